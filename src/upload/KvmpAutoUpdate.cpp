// The boards on and behind a KVMP: its own application, the NMEA board and the VT PCU take
// S-records; the SLCD display takes a binary image in 128-byte records. The KVMP auto update
// picks up to three files first and then programs each in a fixed order.
#include "AutoUpload.h"

#include "ManualUpload.h"
#include "ModuleSelection.h"
#include "Prompter.h"
#include "Runtime.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

#include <QFile>
#include <QScopeGuard>

namespace {

using M = Module;

constexpr int kSlcdLinkWaitMs = 2000;
constexpr int kSlcdEraseWaitMs = 32000;
constexpr int kPanelUpdateMs = 104000;

} // namespace

bool AutoUpload::kvmpFamilyUpload(bool insideAutoUpdate)
{
    auto& s = m_steps;
    setState(State::Verify);
    beginStep(QStringLiteral("Verify"));
    if (!insideAutoUpdate) {
        if (!m_manual.chooser().selectAndVerifyS19()) {
            endStep(false);
            judge(UploadJob::Verdict::FileRefused, QString::fromLatin1(UploadFileChooser::kMismatchText));
            return false;
        }
    } else {
        const QString title = s.checked(M::KVMP)   ? QStringLiteral("PT:  ********** Updating KVMP Firmware **********")
                              : s.checked(M::NMEA) ? QStringLiteral("PT:  ********** Updating NMEA Firmware **********")
                                                   : QString();
        if (title.isEmpty()) {
            endStep(false);
            return false;
        }
        s.show(QString());
        s.show(title);
        s.show(QString());
    }
    endStep(true);
    noteFile(m_manual.files().uploadFile);

    setState(State::BootloaderStart);
    beginStep(QStringLiteral("Bootloader start"));
    attempt();
    s.setCancelRequested(false);
    if (!m_manual.bootloader().kvmpBootloaderStart() || s.cancelRequested()) {
        endStep(false);
        judge(UploadJob::Verdict::NoAnswer, QStringLiteral("PT:  Bootloader start failed"));
        return false;
    }
    endStep(true);

    setState(State::Erase);
    beginStep(QStringLiteral("Erase"));
    attempt();
    s.wait(1000);
    m_manual.bootloader().eraseModule();
    if (s.cancelRequested() || s.halted()) {
        endStep(false);
        judge(UploadJob::Verdict::ModuleErrors, QStringLiteral("PT:  Erase failed"));
        return false;
    }
    endStep(true);

    setState(State::Transfer);
    beginStep(QStringLiteral("Transfer"));
    attempt();
    s.wait(2000);
    S19Transfer& t = m_manual.transfer();
    const S19Transfer::Outcome outcome = t.sendS19File(m_manual.files().uploadFile);
    m_job.bytesSent += t.bytesSent();
    // The VT PCU says whether the image it received is whole; the others only take it.
    bool ok = outcome == S19Transfer::Outcome::Completed;
    if (ok && s.checked(M::VTPCU))
        ok = m_session.replyText().contains(QLatin1String("CRC is GOOD"));
    endStep(ok);
    setState(State::Verdict);
    if (ok)
        judge(UploadJob::Verdict::Programmed, QStringLiteral("Programming complete!"));
    else if (outcome == S19Transfer::Outcome::Cancelled)
        judge(m_userCancelled ? UploadJob::Verdict::Cancelled : UploadJob::Verdict::NoAnswer,
              QStringLiteral("PT:  Upload cancelled"));
    else if (outcome == S19Transfer::Outcome::Refused)
        judge(UploadJob::Verdict::FileRefused, QStringLiteral("PT:  File refused"));
    else
        judge(UploadJob::Verdict::ModuleErrors, QStringLiteral("PT:  Upload not complete"));
    return ok;
}

void AutoUpload::kvmpAutoUpdate()
{
    auto& s = m_steps;
    UploadFiles& files = m_manual.files();
    UploadFileChooser& chooser = m_manual.chooser();
    // Moves the check mark so that the shared choosers, checks and transfers see the module.
    const auto markOn = [this](Module m) {
        for (Module k : {M::KVMP, M::SLCD, M::NMEA})
            m_selection.setChecked(k, k == m);
    };
    m_selection.setKvmpAutoUpdate(true);
    const auto end = qScopeGuard([&] {
        markOn(M::SLCD);
        m_selection.setKvmpAutoUpdate(false);
    });

    m_session.screen().clear();
    s.show(QStringLiteral("PT:  ********** KVMP Auto Update File Selection **********"));
    files.clearSlots();
    markOn(M::KVMP);
    chooser.selectKvmpOrNmeaS19();
    markOn(M::SLCD);
    chooser.selectSlcdImage();
    markOn(M::NMEA);
    chooser.selectKvmpOrNmeaS19();

    const QString kvmp = files.kvmpFile, slcd = files.slcdFile, nmea = files.nmeaFile;
    if (kvmp.isEmpty() && slcd.isEmpty() && nmea.isEmpty())
        judge(UploadJob::Verdict::FileRefused, QStringLiteral("PT:  No file chosen"));
    if (!kvmp.isEmpty() && !s.halted()) {
        markOn(M::KVMP);
        files.uploadFile = kvmp;
        kvmpFamilyUpload(true);
    }
    if (!slcd.isEmpty() && !s.halted()) {
        markOn(M::SLCD);
        files.uploadFile = slcd;
        slcdImageUpload();
    }
    if (!nmea.isEmpty() && !s.halted()) {
        markOn(M::NMEA);
        files.uploadFile = nmea;
        kvmpFamilyUpload(true);
    }
    markOn(M::SLCD);
    s.show(QString());
    s.show(QStringLiteral("PT:  ********** KVMP Update Sequence is Complete **********"));
    s.show(QString());
    s.show(QStringLiteral("PT:  Remove USB cable and cycle power to the KVMP"));
    s.show(QString());
}

bool AutoUpload::slcdImageUpload()
{
    auto& s = m_steps;
    Runtime& rt = m_session.runtime();
    const QString path = m_manual.files().uploadFile;
    noteFile(path);
    setState(State::Verify);
    beginStep(QStringLiteral("SLCD file"));
    attempt();
    s.show(QStringLiteral("PT:  ********** Updating SLCD Binary Image **********"));
    s.show(QStringLiteral("PT:  Opening file ") + path);
    s.show(QStringLiteral("PT:  Checking file size: "));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_session.prompter().error(file.errorString());
        stop(UploadJob::Verdict::FileRefused, QStringLiteral("PT:  SLCD file could not be read"));
        return false;
    }
    const QByteArray image = file.readAll();
    file.close();
    const qint64 size = image.size();
    s.show(QStringLiteral("File size is %1 bytes").arg(size));
    endStep(true);

    setState(State::Probe);
    beginStep(QStringLiteral("Probe"));
    bool active = false;
    for (int attempt = 1; attempt <= 2 && !active && !s.halted(); ++attempt) {
        this->attempt();
        s.show(QStringLiteral("PT:  Checking communication with KVMP: "));
        const qint64 m = mark();
        s.sendCr("^478");
        s.wait(kSlcdLinkWaitMs);
        active = gained(m) > 0;
        if (active)
            s.show(QStringLiteral("PT:  KVMP Communication with SLCD is active"));
        else if (attempt == 1)
            s.show(QStringLiteral("PT:  KVMP not responding, trying again"));
    }
    if (!active) {
        s.show(QStringLiteral("PT:  KVMP not responding.  Check cables and port settings."));
        s.show(QStringLiteral("     Cycle power to KVMP and try the Auto Upload function again"));
        stop(UploadJob::Verdict::NoAnswer, QStringLiteral("PT:  Closing USB port."));
        m_session.closeLink();
        return false;
    }
    endStep(true);

    s.show(QStringLiteral("PT:  Sending file size to module: %1").arg(size));
    s.sendCr("^479" + QByteArray::number(size));
    s.wait(kSlcdLinkWaitMs);

    setState(State::Erase);
    beginStep(QStringLiteral("Erase"));
    attempt();
    s.show(QStringLiteral("PT:  Module Erase, ... (15-20 secs): "));
    m_session.startConnectTimer();
    const auto stopTimer = qScopeGuard([this] { m_session.stopConnectTimer(); });
    s.captureOn();
    s.clearReply();
    m_manual.bootloader().eraseModule();
    // The wait ends with the erase's "*" rather than with the first text to arrive: an echo
    // or a status line before it would otherwise count as a failed erase.
    const auto erased = [&] { return s.replyContains(QStringLiteral("*")) || !m_session.isPortOpen(); };
    m_session.setEndWaitOnReceive(true);
    if (!s.halted() && !rt.waitUntil(erased, kSlcdEraseWaitMs))
        rt.waitUntil(erased, kSlcdEraseWaitMs);
    m_session.setEndWaitOnReceive(false);
    s.captureOff();
    if (!s.replyContains(QStringLiteral("*"))) {
        s.show(QStringLiteral("PT:  Erase Failure/Timeout"));
        stop(UploadJob::Verdict::ModuleErrors,
             QStringLiteral("     Cycle power to the KVMP, restart Quillan, and try Auto Upload again"));
        return false;
    }
    s.show(QStringLiteral("PT:  Successful Erase"));
    endStep(true);

    setState(State::Transfer);
    beginStep(QStringLiteral("Transfer"));
    attempt();
    s.show(QStringLiteral("PT:  Programming Module, ... (4-5 mins):"));
    s.setCancelRequested(false);
    Q_EMIT cancelWindowShown(QString::fromLatin1(S19Transfer::kWindowCaption),
                             QString::fromLatin1(kSlcdWindowTextPrefix) + path);
    const qint64 startNs = rt.nowNs();
    const qint64 total = (size + kSlcdRecord - 1) / kSlcdRecord;
    qint64 records = 0;
    qint64 sent = 0;
    qint64 lastRecord = 0;
    while (sent < size && !s.cancelRequested() && !s.halted()) {
        const qint64 m = mark();
        const QByteArray record = image.mid(sent, kSlcdRecord);
        if (!s.sendBare(record))
            break;
        sent += record.size();
        lastRecord = record.size();
        ++records;
        Q_EMIT progress(records, total, (rt.nowNs() - startNs) / 1000000);
        // The panel echoes each record once it has written it.
        rt.waitUntil([&] { return gained(m) > 0 || s.cancelRequested() || !m_session.isPortOpen(); },
                     kSlcdEchoLimitMs);
        if (gained(m) > 0 || s.cancelRequested() || !m_session.isPortOpen())
            continue;
        s.show(QStringLiteral("PT:  No echo from the SLCD for %1 s, image transfer stopped")
                   .arg(kSlcdEchoLimitMs / 1000));
        s.setCancelRequested(true);
    }
    m_job.bytesSent += sent;
    endStep(sent == size && !s.halted());
    if (s.halted()) {
        Q_EMIT cancelWindowHidden();
        judge(UploadJob::Verdict::ModuleErrors, QStringLiteral("PT:  Stopped: ") + s.haltReason());
        return false;
    }

    setState(State::Verdict);
    s.show(QStringLiteral("PT:  Checking for Panel Firmware Update"));
    s.captureOn();
    const qint64 deadlineNs = rt.nowNs() + qint64(kPanelUpdateMs) * 1000000;
    bool confirmed = false;
    while (!confirmed && rt.nowNs() < deadlineNs && m_session.isPortOpen()) {
        s.clearReply();
        const qint64 m = mark();
        rt.waitUntil([&] { return gained(m) > 0; }, 1000);
        if (gained(m) > 0)
            confirmed = s.replyContains(QStringLiteral("*"));
        else
            s.show(QStringLiteral("PT:  Waiting for Panel Firmware Update"));
    }
    s.captureOff();
    Q_EMIT cancelWindowHidden();

    // A panel that confirms an image it did not wholly receive has not been programmed.
    if (confirmed && sent == size) {
        s.show(QStringLiteral("PT:  SLCD Programming Complete: %1 bytes").arg(size));
        const QString line = QStringLiteral("PT:  %1 records(128 bytes) + %2 bytes.").arg(records).arg(lastRecord);
        s.show(line);
        judge(UploadJob::Verdict::Programmed, line);
        return true;
    }
    s.show(QStringLiteral("!! OVERRUN ERROR !!  The Firmware update was not sucessful."));
    s.show(QStringLiteral("You must cycle power to the KVMP to restore bootloader operation,"));
    s.show(QStringLiteral("then repeat the SLCD upload proceedure."));
    m_session.closeLink();
    s.show(QStringLiteral("USB port has been closed."));
    s.show(QStringLiteral("Click on 'connect' LED to re-open port after KVMP initializes."));
    judge(m_userCancelled && sent < size ? UploadJob::Verdict::Cancelled : UploadJob::Verdict::ModuleErrors,
          QStringLiteral("!! OVERRUN ERROR !!  The Firmware update was not sucessful."));
    return false;
}
