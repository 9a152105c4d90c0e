#pragma once

#include "S19Transfer.h"
#include "SequenceSteps.h"
#include "UploadJob.h"

#include <QObject>

#include <functional>
#include <optional>

class ManualUpload;
class ModuleSelection;
class TerminalSession;

// The Auto Upload button: a whole programming job for the selected module. Unlike the manual
// buttons it reads the module's replies, refuses a firmware of the wrong major version,
// retries the steps that fail (2 ACU probes, 3 bootloader starts, 3 erases) and ends with a
// verdict line. It runs on the same bootloader commands, file checks and transfer as the
// manual buttons; every wait goes through the session, so it runs in virtual time in tests
// and without a window in the headless flasher.
class AutoUpload : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Verify, LockPorts, Probe, BootloaderStart, Erase, Transfer, Verdict };

    static constexpr const char* kSlcdWindowTextPrefix = "Uploading BIN File - ";
    // An SLCD record without any echo for this long stops the image transfer.
    static constexpr int kSlcdEchoLimitMs = 10000;
    static constexpr int kSlcdRecord = 128;

    AutoUpload(TerminalSession& session, ModuleSelection& selection, ManualUpload& manual,
               QObject* parent = nullptr);

    // Runs the job for the checked module and returns what it did.
    UploadJob run();
    State state() const { return m_state; }
    // Called with every finished job (the service report).
    void setRecorder(std::function<void(const UploadJob&)> recorder) { m_recorder = std::move(recorder); }

    // The major version in a version reply: the character before the first "." after
    // "VER " or "Ver ". None when the reply holds no such text.
    static std::optional<QChar> majorVersion(const QString& reply);

Q_SIGNALS:
    void stateChanged(AutoUpload::State state);
    // The SLCD image transfer's Cancel window (the S-record transfers use the transfer's own).
    void cancelWindowShown(const QString& caption, const QString& text);
    void progress(qint64 recordsSent, qint64 recordsTotal, qint64 elapsedMs);
    void cancelWindowHidden();
    void jobFinished(const UploadJob& job);

private:
    // Outcome codes of the ACU probe.
    enum class Probe { AlreadyActive, NoAnswer, Normal, Unexpected, ModelChangeAccepted, Mismatch };
    enum class Family { Acu, PcuBehindAcu, MdeBehindAcu, UsbPcu, ServicePortPcu, UsbMdb, None };

    // The sequence for the ACU, PCU and motor-driver selections.
    void moduleAutoUpload();
    // The KVMP, NMEA and VT PCU sequence; inside the KVMP auto update it takes the file
    // already chosen. True when the module was programmed.
    bool kvmpFamilyUpload(bool insideAutoUpdate);
    void kvmpAutoUpdate();
    bool slcdImageUpload();

    Family family() const;
    bool probeAndStart(Family f);
    Probe probeAcu();
    bool startAcuBootloader();
    bool probeBehindAcu(Family f);
    bool probeUsbPcu();
    bool probeUsbMdb();
    // The version comparison of the PCU behind the ACU; false (after the reboot) on a mismatch.
    bool erase();
    void transfer(Family f);
    void verdict(Family f, S19Transfer::Outcome outcome, bool errors);

    // The display length now, and the received text shown since such a mark.
    qint64 mark() const;
    qint64 gained(qint64 mark) const;
    QString since(qint64 mark) const;
    // A USB board's probe: an empty line to wake it, a second, the command, a second; what
    // came back meanwhile.
    QString wakeAndAsk(const QByteArray& command);
    // The USB board's bootloader start: the start command, a second, and whether its answer
    // holds one of the words.
    bool startUsbBootloader(const QStringList& answers);

    void setState(State s);
    // The job's step records.
    void beginStep(const QString& name);
    void attempt();
    void endStep(bool ok);
    // Ends the job with a verdict and the line that says why (shown).
    void stop(UploadJob::Verdict verdict, const QString& line);
    void judge(UploadJob::Verdict verdict, const QString& line);
    void noteFile(const QString& path);

    TerminalSession& m_session;
    ModuleSelection& m_selection;
    ManualUpload& m_manual;
    SequenceSteps m_steps;
    State m_state = State::Idle;
    UploadJob m_job;
    bool m_judged = false;
    // The technician pressed Cancel (or the flasher was interrupted); a transfer that gave up
    // waiting for an echo also stops as cancelled, but that is no answer, not a cancel.
    bool m_userCancelled = false;
    std::function<void(const UploadJob&)> m_recorder;
};
