// The probe and bootloader start of the automatic sequence: does the module answer, which
// version does it run, and is its bootloader up. The replies are judged by what the screen
// gained since a mark, as the units' texts are known only by their length and a few letters.
#include "AutoUpload.h"

#include "ManualUpload.h"
#include "Prompter.h"
#include "TerminalSession.h"

namespace {

QByteArray esc(const char* text)
{
    return QByteArray(1, SequenceSteps::kEsc) + text;
}

const char* kModelWarning67 =
    "WARNING:\rYou are about to load QVR-5030 Software (7.xx) onto a QVR-5020 ACU Assembly (6.xx).\r"
    "This may render the Front Panel keyboard and display inoperable!\r\rContinue anyway, Yes or No ?";
const char* kModelWarning76 =
    "WARNING:\rYou are about to load QVR-5020 Software (6.xx) onto a QVR-5030 ACU Assembly (7.xx).\r"
    "This may render the Front Panel keyboard and display inoperable!\r\rContinue anyway, Yes or No ?";

} // namespace

bool AutoUpload::probeAndStart(Family f)
{
    setState(State::Probe);
    beginStep(QStringLiteral("Probe"));
    switch (f) {
    case Family::Acu:
        switch (probeAcu()) {
        case Probe::NoAnswer:
            stop(UploadJob::Verdict::NoAnswer,
                 QStringLiteral("PT:  ACU not responding.  Manually reset the ACU and try the Auto Upload function "
                                "again"));
            return false;
        case Probe::Mismatch:
            stop(UploadJob::Verdict::FileRefused,
                 QStringLiteral("PT:  File and Module major version numbers do not match, Cannot proceed."));
            return false;
        case Probe::Unexpected:
            stop(UploadJob::Verdict::NoAnswer,
                 QStringLiteral("PT:  Unexpected response, Check port connections and try Auto Upload again"));
            return false;
        case Probe::AlreadyActive:
            endStep(true);
            return true;
        case Probe::Normal:
        case Probe::ModelChangeAccepted:
            endStep(true);
            return startAcuBootloader();
        }
        return false;
    case Family::PcuBehindAcu:
    case Family::MdeBehindAcu:
        return probeBehindAcu(f);
    case Family::UsbPcu:
    case Family::ServicePortPcu:
        return probeUsbPcu();
    case Family::UsbMdb:
        return probeUsbMdb();
    case Family::None:
        break;
    }
    return false;
}

AutoUpload::Probe AutoUpload::probeAcu()
{
    auto& s = m_steps;
    for (int attempt = 1; attempt <= 2 && !s.halted(); ++attempt) {
        this->attempt();
        s.show(QStringLiteral("PT:  Checking communication with ACU, send 'S'"));
        qint64 m = mark();
        s.sendBare(esc("S"));
        s.wait(1000);
        const qint64 n = gained(m);
        if (n == 9) {
            s.show(QStringLiteral("PT:  Bootloader mode is active"));
            return Probe::AlreadyActive;
        }
        if (n > 10)
            break;
        if (n < 9) {
            s.show(QStringLiteral("PT:  ACU not responding, send S9 to re-start bootloader"));
            m = mark();
            s.send("9");
            s.wait(1500);
            const qint64 c = gained(m);
            if (c >= 13 && c <= 17) {
                s.show(QStringLiteral("PT:  Bootloader mode is active"));
                return Probe::AlreadyActive;
            }
        }
        if (attempt == 2)
            return Probe::NoAnswer;
        s.show(QStringLiteral("PT:  Uncessful communication attempt, trying again"));
        s.show(QString());
    }
    if (s.halted())
        return Probe::NoAnswer;

    s.show(QStringLiteral("PT:  Normal ACU response, Checking module Version number"));
    const qint64 m = mark();
    s.sendBare("V");
    s.wait(200);
    const QString reply = since(m);
    m_job.versionsBefore << reply.trimmed();
    if (!reply.contains(QLatin1String("QVR")))
        return Probe::Unexpected;
    const std::optional<QChar> module = majorVersion(reply);
    if (!module)
        return Probe::Unexpected;
    const QString fileVersion = m_manual.files().fileVersion;
    const QChar file = fileVersion.isEmpty() ? QChar() : fileVersion.at(0);
    if (*module == file)
        return Probe::Normal;
    const char* warning = nullptr;
    if (*module == QLatin1Char('6') && file == QLatin1Char('7'))
        warning = kModelWarning67;
    else if (*module == QLatin1Char('7') && file == QLatin1Char('6'))
        warning = kModelWarning76;
    if (!warning)
        return Probe::Mismatch;
    const Prompter::Answer answer = m_session.prompter().message({QString::fromLatin1(warning), QString(),
                                                                  Prompter::Icon::Exclamation,
                                                                  Prompter::Buttons::YesNo, Prompter::Answer::No});
    return answer == Prompter::Answer::Yes ? Probe::ModelChangeAccepted : Probe::Mismatch;
}

bool AutoUpload::startAcuBootloader()
{
    auto& s = m_steps;
    setState(State::BootloaderStart);
    beginStep(QStringLiteral("Bootloader start"));
    attempt();
    s.show(QStringLiteral("PT:  File and Module major version numbers verified, starting ACU bootloader"));
    s.show(QStringLiteral("PT:  Send '\\0080' Start ACU Bootloader command"));
    const qint64 m = mark();
    s.send(esc("\\0080"));
    s.wait(1500);
    const qint64 c = gained(m);
    if (c < 11 || c > 13) {
        stop(UploadJob::Verdict::NoAnswer,
             QStringLiteral("PT:  Unknown response.  Manually reset the ACU and try the Auto Upload function again"));
        return false;
    }
    s.show(QStringLiteral("PT:  Bootloader mode is active"));
    endStep(true);
    return true;
}

bool AutoUpload::probeBehindAcu(Family f)
{
    auto& s = m_steps;
    const bool pcu = f == Family::PcuBehindAcu;
    bool acuAnswered = false;
    for (int attempt = 1; attempt <= 2 && !acuAnswered && !s.halted(); ++attempt) {
        this->attempt();
        s.show(QStringLiteral("PT:  Checking communication with ACU, send 'S'"));
        const qint64 m = mark();
        s.sendBare(esc("S"));
        s.wait(1000);
        acuAnswered = gained(m) >= 11;
        if (!acuAnswered) {
            s.show(QStringLiteral("PT:  ACU not responding, Attempting soft reset (\\0090)."));
            s.send("\\0090");
            s.wait(1000);
        }
    }
    if (!acuAnswered) {
        stop(UploadJob::Verdict::NoAnswer,
             QStringLiteral("PT:  Unable to communicate with ACU.  Manually reset the ACU and try the Auto Upload "
                            "function again"));
        return false;
    }
    s.show(QStringLiteral("PT:  Normal ACU response, Sending RESET command (\\0090) to clear previous state"));
    s.send("\\0090");
    s.wait(1000);
    s.show(QStringLiteral("PT:  Setup ACU for Remote Module Programming"));
    m_manual.bootloader().remoteUploadMode();
    s.wait(1000);

    s.show(QStringLiteral("PT:  Checking communication with PCU, send '?S'"));
    qint64 m = mark();
    s.send("?S");
    s.wait(1000);
    const qint64 n = gained(m);
    if (pcu) {
        bool normal = false;
        if (n == 7 || n == 8) {
            s.show(QStringLiteral("PT:  PCU responding normally, Check PCU version number (send ?V)"));
            m = mark();
            s.send("?V");
            s.wait(1000);
            const QString reply = since(m);
            m_job.versionsBefore << reply.trimmed();
            if (const std::optional<QChar> module = majorVersion(reply)) {
                const QString fileVersion = m_manual.files().fileVersion;
                if (fileVersion.isEmpty() || *module != fileVersion.at(0)) {
                    stop(UploadJob::Verdict::FileRefused,
                         QStringLiteral("PT:  File and Module major version numbers do not match, Cannot proceed."));
                    m_manual.bootloader().RebootACU();
                    return false;
                }
                s.show(QStringLiteral("PT:  File and Module major version numbers verified, reset PCU to default "
                                      "state"));
                normal = true;
            }
        }
        if (!normal)
            s.show(QStringLiteral("PT:  Unexpected response, try to re-start Bootloader"));
        s.send("n0000");
        s.wait(1000);
        s.show(QStringLiteral("PT:  PCU motor drives disabled, start Bootloader"));
    } else {
        s.show(n == 7 ? QStringLiteral("PT:  PCU responding normally, start Remote Bootloader")
                      : QStringLiteral("PT:  Unexpected response, try to re-start Bootloader"));
    }
    endStep(true);

    setState(State::BootloaderStart);
    beginStep(QStringLiteral("Bootloader start"));
    for (int attempt = 1; attempt <= 3 && !s.halted(); ++attempt) {
        this->attempt();
        s.show(QStringLiteral("PT:  Bootload Start Try ") + QString::number(attempt));
        m = mark();
        if (pcu) {
            s.send("^0086");
            s.pause(200);
            s.send("?^");
            s.pause(10);
            s.send("#0080");
            s.pause(10);
            s.send(QByteArray("#") + char(11) + "  ");
            s.pause(500);
            s.send("#!   ");
        } else {
            m_manual.bootloader().startBootloader();
        }
        s.wait(1000);
        const QString reply = since(m);
        const bool up = pcu ? reply.contains(QLatin1Char('V')) || reply.contains(QLatin1Char('^'))
                            : reply.contains(QLatin1Char('D'));
        if (up) {
            s.show(QStringLiteral("PT:  Bootloader Active, start Erase"));
            endStep(true);
            return true;
        }
    }
    stop(UploadJob::Verdict::NoAnswer,
         pcu ? QStringLiteral("PT:  PCU Bootloader not responding,  Power cycle the PCU and try the Auto Upload "
                              "function again")
             : QStringLiteral("PT:  MDE Bootloader not responding,  Power cycle the PCU and try the Auto Upload "
                              "function again"));
    return false;
}

QString AutoUpload::wakeAndAsk(const QByteArray& command)
{
    const qint64 m = mark();
    m_steps.send("");
    m_steps.wait(1000);
    m_steps.send(command);
    m_steps.wait(1000);
    return since(m);
}

bool AutoUpload::startUsbBootloader(const QStringList& answers)
{
    m_steps.show(QStringLiteral("PT:  Bootload Start"));
    const qint64 m = mark();
    m_manual.bootloader().startBootloader();
    m_steps.wait(1000);
    const QString started = since(m);
    for (const QString& word : answers) {
        if (started.contains(word))
            return true;
    }
    return false;
}

bool AutoUpload::probeUsbPcu()
{
    auto& s = m_steps;
    attempt();
    s.show(QStringLiteral("PT:  Checking communication with PCU, send '?V'"));
    const QString reply = wakeAndAsk("?V");
    if (reply.contains(QLatin1String("VER"))) {
        m_job.versionsBefore << reply.trimmed();
        s.show(QStringLiteral("PT:  PCU responding normally, start Remote Bootloader"));
    } else {
        s.show(QStringLiteral("PT:  PCU not responding, see if Bootloader is active"));
    }
    endStep(true);
    setState(State::BootloaderStart);
    beginStep(QStringLiteral("Bootloader start"));
    attempt();
    if (!startUsbBootloader({QStringLiteral("USB"), QStringLiteral("Service")})) {
        stop(UploadJob::Verdict::NoAnswer, QStringLiteral("PT:  PCU Bootloader not responding, Exit!"));
        return false;
    }
    s.show(QStringLiteral("PT:  Bootloader Active, start Erase"));
    endStep(true);
    return true;
}

bool AutoUpload::probeUsbMdb()
{
    auto& s = m_steps;
    attempt();
    s.show(QStringLiteral("PT:  Checking communication with MDE, send '*'"));
    const QString reply = wakeAndAsk("*");
    if (!reply.contains(QLatin1String("MDB V"))) {
        stop(UploadJob::Verdict::NoAnswer, QStringLiteral("PT:  MDE not responding. EXIT!"));
        return false;
    }
    m_job.versionsBefore << reply.trimmed();
    s.show(QStringLiteral("PT:  MDE responding normally, start Remote Bootloader"));
    endStep(true);
    setState(State::BootloaderStart);
    beginStep(QStringLiteral("Bootloader start"));
    attempt();
    if (!startUsbBootloader({QStringLiteral("USB")})) {
        stop(UploadJob::Verdict::NoAnswer, QStringLiteral("PT:  MDE Bootloader not responding, Exit!"));
        return false;
    }
    s.show(QStringLiteral("PT:  Bootloader Active, start Erase"));
    endStep(true);
    return true;
}
