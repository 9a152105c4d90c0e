#include "TerminalUnit.h"

#include "AcuUnit.h"
#include "PanelFrames.h"

#include <Runtime.h>

#include <utility>

namespace {
constexpr int kMaxLine = 256;
}

TerminalUnit::TerminalUnit(Runtime& runtime, quint64 seed, QObject* parent)
    : TerminalUnit(runtime, std::make_shared<AcuUnit>(runtime, seed), seed, parent)
{
}

TerminalUnit::TerminalUnit(Runtime& runtime, std::shared_ptr<AcuUnit> unit, quint64 seed, QObject* parent)
    : UnitLine(runtime, seed, parent), m_unit(std::move(unit)), m_panelTimer(runtime.createTimer()),
      m_streamTimer(runtime.createTimer()), m_statusTimer(runtime.createTimer())
{
    // A console ends its lines the way a terminal shows them.
    output().setLineEnd("\r\n");
    m_panelTimer->setCallback([this] { sendPanel(); });
    m_streamTimer->setInterval(kStreamTickMs);
    m_streamTimer->setCallback([this] { streamTick(); });
    m_statusTimer->setCallback([this] {
        if (hasHungUp())
            return;
        m_unit->update();
        output().sendChunk(PanelFrame::statusLine(*m_unit) + "\r\n");
    });
}

TerminalUnit::~TerminalUnit() = default;

QByteArray TerminalUnit::answer(const QByteArray& line)
{
    const QByteArray command = line.trimmed().toUpper();
    if (command.isEmpty())
        return {};
    if (command == "V")
        return kVersion;
    if (command == "?")
        return "V VERSION  ? HELP";
    return "ERR";
}

void TerminalUnit::received(const QByteArray& bytes)
{
    // Bytes are echoed up to each line end, and the answer follows the echo of the line end
    // (with its LF when both came together), so the answer starts on a line of its own.
    qsizetype echoed = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const bool lf = c == '\n';
        if (lf && m_lastWasCr) { // the second half of CR LF: the line was answered at the CR
            m_lastWasCr = false;
            continue;
        }
        m_lastWasCr = c == '\r';
        if (c != '\r' && !lf) {
            if (m_line.size() < kMaxLine)
                m_line += c;
            continue;
        }
        qsizetype end = i + 1;
        if (c == '\r' && end < bytes.size() && bytes[end] == '\n') {
            ++end;
            ++i;
            m_lastWasCr = false;
        }
        if (m_echo)
            output().sendChunk(bytes.mid(echoed, end - echoed));
        echoed = end;
        const QByteArray reply = answer(std::exchange(m_line, {}));
        if (!reply.isEmpty())
            output().reply(reply);
        if (hasHungUp())
            return;
    }
    if (m_echo && echoed < bytes.size())
        output().sendChunk(bytes.mid(echoed));
}

void TerminalUnit::connected()
{
    m_line.clear();
    m_lastWasCr = false;
    startTimers();
}

void TerminalUnit::disconnected()
{
    stopTimers();
}

void TerminalUnit::setPanelFrames(int intervalMs)
{
    m_panelIntervalMs = qMax(0, intervalMs);
    if (isConnected())
        startTimers();
}

void TerminalUnit::setStream(int bytesPerSecond)
{
    m_streamRate = qMax(0, bytesPerSecond);
    if (isConnected())
        startTimers();
}

void TerminalUnit::setStatusLines(int intervalMs)
{
    m_statusIntervalMs = qMax(0, intervalMs);
    if (isConnected())
        startTimers();
}

void TerminalUnit::startTimers()
{
    stopTimers();
    if (m_statusIntervalMs > 0)
        m_statusTimer->start(m_statusIntervalMs);
    if (m_panelIntervalMs > 0)
        m_panelTimer->start(m_panelIntervalMs);
    if (m_streamRate > 0) {
        m_text.reset();
        m_streamStartNs = runtime().nowNs();
        m_streamTimer->start();
    }
}

void TerminalUnit::stopTimers()
{
    m_panelTimer->stop();
    m_streamTimer->stop();
    m_statusTimer->stop();
}

void TerminalUnit::sendPanel()
{
    if (hasHungUp())
        return;
    m_unit->update();
    output().sendChunk(PanelFrame::of(*m_unit).encode());
}

// Sends what the rate allows up to now: the total follows the clock, not the number of
// ticks, so late or merged ticks do not slow the stream down.
void TerminalUnit::streamTick()
{
    if (hasHungUp())
        return;
    const qint64 elapsedNs = runtime().nowNs() - m_streamStartNs;
    const qint64 due = qint64(double(m_streamRate) * double(elapsedNs) / 1e9);
    const qint64 n = due - m_text.bytesTaken();
    if (n > 0)
        output().sendChunk(m_text.take(n));
}
