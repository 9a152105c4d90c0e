// The ways a firmware file reaches a module: the pieces, pauses and echo waits of each.
#include "S19Transfer.h"

#include "ModuleSelection.h"
#include "Runtime.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

#include <QScopeGuard>

namespace {

using M = Module;

constexpr int kPiecePauseMs = 6;
constexpr int kLinePauseMs = 15;
constexpr int kBurstEndPauseMs = 12;
constexpr int kTailPauseMs = 1000;
constexpr int kTailEndPauseMs = 100;
constexpr int kPanelLineMs = 200;
constexpr int kShorvelPcuPauseMs = 60;
constexpr int kNmeaLineWaitMs = 100;
// The service-port PCU echoes each line; anything shorter is not yet the echo.
constexpr qint64 kServicePortEcho = 10;
constexpr int kCrcWaitMs = 2000;
constexpr int kPcuRebootMs = 5000;

} // namespace

S19Transfer::Outcome S19Transfer::acuRouted(const Lines& lines)
{
    const bool dvb = m_steps.anyChecked({M::QVRd, M::QVR2d, M::SPdvb});
    const bool behindAcu = !m_steps.anyChecked({M::QVRa, M::QVR2a});
    const char prefix = dvb ? 'w' : '#';
    const QByteArray burstEnd = QByteArray(1, prefix) + "!   ";

    for (const QByteArray& line : lines) {
        if (m_steps.cancelRequested())
            break;
        if (behindAcu && !dvb) {
            if (!(m_auto ? m_steps.send("?    ") : m_steps.sendCr("?    ")))
                return portClosed();
            if (!pause(kPiecePauseMs))
                return portClosed();
        }
        for (const QByteArray& piece : acuPieces(line, prefix)) {
            if (!m_steps.send(piece))
                return portClosed();
            if (!pause(kPiecePauseMs))
                return portClosed();
        }
        if (!pause(kLinePauseMs))
            return portClosed();
        if (behindAcu) {
            if (!m_steps.send(burstEnd))
                return portClosed();
            if (!pause(kBurstEndPauseMs))
                return portClosed();
        }
        lineSent(line);
        if (markerCheck())
            return Outcome::Stopped;
    }
    if (!pause(m_auto ? m_auto->tailPauseMs : kTailPauseMs))
        return portClosed();
    if (behindAcu) {
        const QByteArray tailEnd = m_auto ? QByteArray(1, prefix) + m_auto->tailBurstEnd : burstEnd;
        for (int i = 0; i < 2; ++i) {
            if (!m_steps.send(tailEnd))
                return portClosed();
            if (!pause(kTailEndPauseMs))
                return portClosed();
        }
    }
    return m_steps.cancelRequested() ? Outcome::Cancelled : Outcome::Completed;
}

S19Transfer::Outcome S19Transfer::shorvelPanel(const Lines& lines)
{
    Runtime& rt = m_steps.session().runtime();
    for (const QByteArray& line : lines) {
        if (m_steps.cancelRequested())
            return Outcome::Cancelled;
        if (!m_steps.sendBare(line))
            return portClosed();
        rt.wait(kPanelLineMs);
        lineSent(line);
    }
    return Outcome::Completed;
}

S19Transfer::Outcome S19Transfer::shorvelPcu(const Lines& lines)
{
    for (const QByteArray& line : lines) {
        if (m_steps.cancelRequested())
            return Outcome::Cancelled;
        if (!m_steps.sendBare(line))
            return portClosed();
        if (!pause(kShorvelPcuPauseMs))
            return portClosed();
        if (!m_steps.send(QByteArray()))
            return portClosed();
        lineSent(line);
    }
    return Outcome::Completed;
}

S19Transfer::Outcome S19Transfer::servicePortPcu(const Lines& lines)
{
    const TerminalScreen& screen = m_steps.session().screen();
    for (const QByteArray& line : lines) {
        if (m_steps.cancelRequested())
            return Outcome::Cancelled;
        const qint64 mark = screen.shownCount();
        m_lastLineMark = mark;
        if (!m_steps.sendCr(line))
            return portClosed();
        if (!awaitEcho(mark, kServicePortEcho))
            return m_steps.session().isPortOpen() ? Outcome::Cancelled : portClosed();
        lineSent(line);
    }
    if (m_auto && m_auto->closeWithEmptyLine)
        return closeWholeLines();
    return Outcome::Completed;
}

S19Transfer::Outcome S19Transfer::vtPcu(const Lines& lines)
{
    TerminalSession& session = m_steps.session();
    m_steps.captureOn();
    const auto captureOff = qScopeGuard([this] { m_steps.captureOff(); });
    session.setReplyText(QStringLiteral("0"));
    Outcome outcome = Outcome::Completed;
    for (const QByteArray& line : lines) {
        if (m_steps.cancelRequested()) {
            outcome = Outcome::Cancelled;
            break;
        }
        const qint64 mark = session.screen().shownCount();
        if (!m_steps.sendCr(line))
            return portClosed();
        if (!awaitEcho(mark, 0)) {
            if (!session.isPortOpen())
                return portClosed();
            outcome = Outcome::Cancelled;
            break;
        }
        lineSent(line);
    }
    m_steps.wait(kCrcWaitMs);
    if (m_steps.replyContains(QStringLiteral("CRC is GOOD"))) {
        m_steps.show(QStringLiteral("Waiting for PCU to reboot"));
        m_steps.wait(kPcuRebootMs);
        // Restarts the KVMP's own traffic, which was stopped for the upload.
        if (!m_steps.sendBare("%"))
            return portClosed();
    }
    return outcome;
}

S19Transfer::Outcome S19Transfer::wholeLines(const Lines& lines)
{
    TerminalSession& session = m_steps.session();
    const bool nmea = m_steps.checked(M::NMEA);
    for (const QByteArray& line : lines) {
        if (m_steps.cancelRequested())
            break;
        m_lastLineMark = session.screen().shownCount();
        if (!m_steps.send(line))
            return portClosed();
        if (nmea)
            m_steps.wait(kNmeaLineWaitMs);
        // Each line leaves the output buffer before the next is queued, so Cancel stops the
        // file where the progress says it is, and a long file never waits in the buffer.
        if (!pause(0))
            return portClosed();
        lineSent(line);
    }
    if (m_auto && m_auto->closeWithEmptyLine)
        return m_steps.cancelRequested() ? Outcome::Cancelled : closeWholeLines();
    const bool cancelled = m_steps.cancelRequested();
    // A cancelled transfer is not a complete one, whatever the old tool said.
    if (!cancelled && !m_steps.selection().kvmpAutoUpdate())
        m_steps.show(QStringLiteral("Programming complete!"));
    if (!nmea)
        session.closeAndReopen();
    return cancelled ? Outcome::Cancelled : Outcome::Completed;
}

S19Transfer::Outcome S19Transfer::pacedText(const Lines& lines)
{
    TerminalSession& session = m_steps.session();
    Runtime& rt = session.runtime();
    for (;;) {
        m_linesSent = 0;
        for (const QByteArray& line : lines) {
            if (m_steps.cancelRequested())
                return Outcome::Cancelled;
            if (!m_steps.send(line))
                return portClosed();
            if (session.sendPacing() > 0)
                rt.wait(session.sendPacing());
            else
                rt.processEvents();
            lineSent(line);
        }
        if (!session.loopSend()) {
            // The end of a single pass counts as a cancel for whatever follows the transfer.
            m_steps.setCancelRequested(true);
            return Outcome::Completed;
        }
    }
}

S19Transfer::Outcome S19Transfer::closeWholeLines()
{
    if (m_steps.cancelRequested())
        return Outcome::Cancelled;
    if (!m_steps.send(QByteArray()))
        return portClosed();
    m_steps.session().runtime().processEvents();
    if (!pause(100))
        return portClosed();
    return Outcome::Completed;
}
