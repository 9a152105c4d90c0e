#include "AutoUpload.h"

#include "ManualUpload.h"
#include "ModuleSelection.h"
#include "Runtime.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>

namespace {
using M = Module;
} // namespace

AutoUpload::AutoUpload(TerminalSession& session, ModuleSelection& selection, ManualUpload& manual,
                       QObject* parent)
    : QObject(parent), m_session(session), m_selection(selection), m_manual(manual), m_steps(session, selection)
{
    connect(&session, &TerminalSession::cancelPressed, this, [this] { m_userCancelled = true; });
}

qint64 AutoUpload::mark() const
{
    return m_session.screen().shownCount();
}

qint64 AutoUpload::gained(qint64 mark) const
{
    return m_session.screen().shownCount() - mark;
}

QString AutoUpload::since(qint64 mark) const
{
    return m_session.screen().receivedSince(mark);
}

std::optional<QChar> AutoUpload::majorVersion(const QString& reply)
{
    qsizetype at = reply.indexOf(QLatin1String("VER "));
    const qsizetype mixed = reply.indexOf(QLatin1String("Ver "));
    if (at < 0 || (mixed >= 0 && mixed < at))
        at = mixed;
    if (at < 0)
        return std::nullopt;
    const qsizetype dot = reply.indexOf(QLatin1Char('.'), at + 4);
    if (dot < 0)
        return std::nullopt;
    return reply.at(dot - 1);
}

void AutoUpload::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    Q_EMIT stateChanged(s);
}

void AutoUpload::beginStep(const QString& name)
{
    m_job.steps.push_back({name, 0, false});
}

void AutoUpload::attempt()
{
    if (!m_job.steps.empty())
        ++m_job.steps.back().attempts;
}

void AutoUpload::endStep(bool ok)
{
    if (m_job.steps.empty())
        return;
    UploadJob::Step& s = m_job.steps.back();
    s.attempts = qMax(1, s.attempts);
    s.ok = ok;
}

void AutoUpload::judge(UploadJob::Verdict verdict, const QString& line)
{
    // The KVMP auto update judges each of its parts: the first that failed stands for the
    // job, and "programmed" only while every part so far was.
    if (m_judged && m_job.verdict != UploadJob::Verdict::Programmed)
        return;
    m_judged = true;
    m_job.verdict = verdict;
    m_job.verdictText = line;
}

void AutoUpload::stop(UploadJob::Verdict verdict, const QString& line)
{
    m_steps.show(line);
    endStep(false);
    judge(verdict, line);
}

void AutoUpload::noteFile(const QString& path)
{
    QFile f(path);
    QString sum;
    if (f.open(QIODevice::ReadOnly))
        sum = QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex());
    if (!m_job.file.isEmpty()) {
        m_job.file += QLatin1String("; ");
        m_job.sha256 += QLatin1String("; ");
    }
    m_job.file += path;
    m_job.sha256 += sum;
}

UploadJob AutoUpload::run()
{
    BusyScope busy(m_session);
    SequenceSteps::Sequence sequence(m_steps);
    m_job = UploadJob();
    m_judged = false;
    m_userCancelled = false;
    m_job.when = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    if (const auto m = m_selection.checkedModule())
        m_job.module = QString::fromLatin1(ModuleTable::row(*m).identifier);
    const qint64 startNs = m_session.runtime().nowNs();

    if (m_steps.anyChecked({M::VTPCU, M::KVMP, M::NMEA}))
        kvmpFamilyUpload(false);
    else if (m_steps.checked(M::SLCD))
        kvmpAutoUpdate();
    else
        moduleAutoUpload();

    if (m_steps.halted())
        judge(UploadJob::Verdict::ModuleErrors,
              QStringLiteral("PT:  Stopped: ") + m_steps.haltReason());
    else if (!m_judged)
        judge(UploadJob::Verdict::NoAnswer, QString());
    m_job.durationMs = (m_session.runtime().nowNs() - startNs) / 1000000;
    setState(State::Idle);
    if (m_recorder)
        m_recorder(m_job);
    Q_EMIT jobFinished(m_job);
    return m_job;
}

AutoUpload::Family AutoUpload::family() const
{
    if (m_steps.anyChecked({M::QVRa, M::QVR2a}))
        return Family::Acu;
    if (m_steps.anyChecked({M::QVRp, M::QVR2p}))
        return Family::PcuBehindAcu;
    if (m_steps.checked(M::QVR2mdb))
        return Family::MdeBehindAcu;
    if (m_steps.checked(M::USBpcu))
        return Family::UsbPcu;
    if (m_steps.checked(M::SPG2pcu))
        return Family::ServicePortPcu;
    if (m_steps.checked(M::USBmdb))
        return Family::UsbMdb;
    return Family::None;
}

void AutoUpload::moduleAutoUpload()
{
    const Family f = family();
    if (f == Family::None)
        return;

    setState(State::Verify);
    beginStep(QStringLiteral("Verify"));
    UploadFileChooser& chooser = m_manual.chooser();
    if (!chooser.selectAndVerifyS19()) {
        endStep(false);
        judge(UploadJob::Verdict::FileRefused, QString::fromLatin1(UploadFileChooser::kMismatchText));
        return;
    }
    endStep(true);
    noteFile(m_manual.files().uploadFile);

    if (!m_steps.anyChecked({M::USBpcu, M::USBmdb, M::SPG2pcu, M::KVMP, M::SLCD, M::NMEA, M::VTPCU})) {
        setState(State::LockPorts);
        beginStep(QStringLiteral("Lock ports"));
        m_steps.wait(1500);
        m_steps.show(QStringLiteral("PT:  Locking external port access"));
        m_steps.send(QByteArray(1, SequenceSteps::kEsc) + "[L");
        m_steps.wait(1500);
        endStep(true);
    }

    if (!probeAndStart(f) || m_steps.halted())
        return;
    if (!erase() || m_steps.halted())
        return;
    transfer(f);
}

bool AutoUpload::erase()
{
    setState(State::Erase);
    beginStep(QStringLiteral("Erase"));
    for (int attempt = 1; attempt <= 3 && !m_steps.halted(); ++attempt) {
        this->attempt();
        m_steps.show(QStringLiteral("PT:  Module Erase Try ") + QString::number(attempt));
        const qint64 m = mark();
        m_manual.bootloader().eraseModule();
        m_steps.wait(1500);
        const QString reply = since(m);
        if (reply.contains(QLatin1Char('+')) || reply.contains(QLatin1Char('*'))) {
            m_steps.show(QStringLiteral("PT:  Sucessful Erase"));
            endStep(true);
            return true;
        }
    }
    stop(UploadJob::Verdict::ModuleErrors,
         QStringLiteral("PT:  Un-sucessful Erase, Manually reset the ACU and try the Auto Upload function again"));
    return false;
}

void AutoUpload::transfer(Family f)
{
    setState(State::Transfer);
    beginStep(QStringLiteral("Transfer"));
    attempt();
    m_steps.show(QStringLiteral("PT:  Begin Module Upload"));
    const qint64 m = mark();
    QChar marker;
    S19Transfer::AutoChecks checks;
    switch (f) {
    case Family::Acu:
        marker = QLatin1Char('-');
        checks.tailPauseMs = 500;
        break;
    case Family::PcuBehindAcu:
        marker = QLatin1Char('_');
        checks.tailPauseMs = 500;
        checks.tailBurstEnd = "!    ";
        break;
    case Family::MdeBehindAcu:
        marker = QLatin1Char('#');
        checks.tailPauseMs = 1500;
        checks.tailBurstEnd = "!    ";
        break;
    default:
        checks.closeWithEmptyLine = true;
        break;
    }
    // The motor driver behind the ACU is looked at only once the file has gone.
    if (f == Family::Acu || f == Family::PcuBehindAcu)
        checks.markerSeen = [this, m, marker] { return since(m).contains(marker); };

    S19Transfer& t = m_manual.transfer();
    const S19Transfer::Outcome outcome = t.sendS19File(m_manual.files().uploadFile, checks);
    m_job.bytesSent += t.bytesSent();
    bool errors = outcome == S19Transfer::Outcome::Stopped;
    if (!marker.isNull())
        errors = errors || since(m).contains(marker);
    else if (outcome == S19Transfer::Outcome::Completed)
        errors = !since(t.lastLineMark()).contains(QLatin1String("Ok"));
    endStep(outcome == S19Transfer::Outcome::Completed && !errors);

    if (outcome == S19Transfer::Outcome::Refused) {
        judge(UploadJob::Verdict::FileRefused, QStringLiteral("PT:  File refused"));
        return;
    }
    if (outcome == S19Transfer::Outcome::PortClosed) {
        judge(UploadJob::Verdict::ModuleErrors, QStringLiteral("PT:  Upload stopped: ") + m_steps.haltReason());
        return;
    }
    setState(State::Verdict);
    verdict(f, outcome, errors);
    // End: whatever follows the job treats it as over.
    m_steps.setCancelRequested(true);
    m_session.stopConnectTimer();
}

void AutoUpload::verdict(Family f, S19Transfer::Outcome outcome, bool errors)
{
    auto& s = m_steps;
    const bool cancelled = !errors && outcome == S19Transfer::Outcome::Cancelled;
    // Complete means the file went out to its end with no refused send and no error marker.
    const bool clean = !errors && outcome == S19Transfer::Outcome::Completed;
    const auto show = [&](std::initializer_list<const char*> lines) {
        for (const char* l : lines)
            s.show(QString::fromLatin1(l));
        return QString::fromLatin1(*(lines.end() - 1));
    };
    const UploadJob::Verdict bad = !cancelled        ? UploadJob::Verdict::ModuleErrors
                                   : m_userCancelled ? UploadJob::Verdict::Cancelled
                                                     : UploadJob::Verdict::NoAnswer;
    const UploadJob::Verdict good = UploadJob::Verdict::Programmed;
    const bool usb = f == Family::UsbPcu || f == Family::UsbMdb;

    switch (f) {
    case Family::Acu:
        if (clean)
            judge(good, show({"PT:  ACU programming complete, No errors detected!!"}));
        else if (cancelled)
            judge(bad, show({"PT:  WARNING Upload Cancled", "PT:  ACU will be inoperative",
                             "PT:  Please run the Auto Upload function again"}));
        else
            judge(bad, show({"PT:  WARNING Errors detected",
                             "PT:  ACU will be inoperative, do not panic, bootloader is still active",
                             "PT:  Reset the ACU, wait 15 seconds and run the Auto Upload function again"}));
        return;
    case Family::PcuBehindAcu:
        if (clean)
            judge(good, show({"PT:  PCU programming complete, No errors detected!!"}));
        else if (cancelled)
            judge(bad, show({"PT:  WARNING Upload Cancled", "PT:  PCU will be inoperative, "}));
        else
            judge(bad, show({"PT:  WARNING Errors detected, PCU will be inoperative",
                             "PT:  Try running the Auto Upload function again"}));
        return;
    case Family::MdeBehindAcu:
        if (clean) {
            s.pause(1000);
            judge(good, show({"PT:  Motor Driver programming complete, No errors detected!!"}));
            show({"PT:  Re-Booting PCU"});
        } else if (cancelled) {
            judge(bad, show({"PT:  WARNING Upload Cancled"}));
            show({"PT:  Re-Booting PCU"});
        } else {
            s.pause(1000);
            judge(bad, show({"PT:  WARNING Errors detected", "PT:  Try running the Auto Upload function again"}));
            show({"PT:  Re-booting PCU"});
        }
        s.send("^0090");
        s.pause(500);
        m_manual.bootloader().RebootACU();
        return;
    case Family::UsbPcu:
    case Family::ServicePortPcu:
        if (cancelled) {
            judge(bad, show({"PT:  WARNING Upload Cancled"}));
            show({"PT:  Re-Booting PCU"});
            s.send("S9030000FC");
            if (usb) {
                show({"PT:  Closing Port "});
                m_session.closeLink();
            } else {
                s.pause(500);
            }
        } else if (clean) {
            judge(good, show({"PT:  PCU programming complete, No errors detected!! "}));
            if (usb)
                m_session.closeAndReopen();
        } else {
            judge(bad, show({"PT:  WARNING Errors detected", "PT:  Try running the Auto Upload function again"}));
            s.pause(500);
            if (usb) {
                show({"PT:  Closing Port "});
                m_session.closeLink();
            }
        }
        return;
    case Family::UsbMdb:
        if (cancelled) {
            judge(bad, show({"PT:  WARNING Upload Cancled"}));
            show({"PT:  Re-Booting MDE"});
            s.send("S9");
            s.pause(500);
            show({"PT:  Closing Port "});
            m_session.closeLink();
            return;
        }
        if (clean) {
            judge(good, show({"PT:  MDE programming complete, No errors detected!! "}));
        } else {
            judge(bad, show({"PT:  WARNING Errors detected", "PT:  Try running the Auto Upload function again"}));
            s.pause(500);
        }
        m_session.closeAndReopen();
        return;
    case Family::None:
        return;
    }
}
