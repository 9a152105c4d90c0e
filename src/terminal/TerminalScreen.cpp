#include "TerminalScreen.h"

#include "CommLog.h"

namespace {
constexpr QChar kBackspace(8);
// How much received text receivedSince() can still return.
constexpr int kRecentKeep = 65536;
} // namespace

TerminalScreen::TerminalScreen(CommLog& log, QObject* parent) : QObject(parent), m_log(log)
{
    m_parser.onLine = [this](int line, const QString& text) {
        m_lines[line - 1] = text;
        Q_EMIT panelLineChanged(line, text);
    };
    m_parser.onFlags = [this](int flags) {
        m_unwrap = (flags & PanelFrameParser::kUnwrapBit) ? QString::fromLatin1(kUnwrapLegend) : QString();
        m_tracking =
            (flags & PanelFrameParser::kTrackingBit) ? QString::fromLatin1(kTrackingLegend) : QString();
        Q_EMIT legendsChanged(m_unwrap, m_tracking);
    };
}

void TerminalScreen::clear()
{
    m_text.clear();
    Q_EMIT textReset();
}

void TerminalScreen::setHexView(bool on)
{
    if (m_hexView == on)
        return;
    m_hexView = on;
    Q_EMIT hexViewChanged(on);
}

QString TerminalScreen::panelLine(int line) const
{
    return line >= 1 && line <= 4 ? m_lines[line - 1] : QString();
}

void TerminalScreen::dropFront(qsizetype count)
{
    const QString removed = m_text.left(count);
    m_text.remove(0, count);
    Q_EMIT frontRemoved(removed);
}

// Over the limit, the oldest part goes in one step of at least kTrimCount characters, so a
// trim is rare; a screen that holds far more (a chunk of a TCP flood) comes down to the
// limit itself, so it never grows.
void TerminalScreen::trim()
{
    if (m_text.size() > kTrimLimit)
        dropFront(qMax<qsizetype>(kTrimCount, m_text.size() - kTrimLimit));
}

QString TerminalScreen::normaliseLineEnds(const QString& text) const
{
    if (m_dataMode)
        return text;
    QString out = text;
    out.remove(QLatin1Char('\n'));
    out.replace(QLatin1Char('\r'), QLatin1String("\r\n"));
    return out;
}

void TerminalScreen::appendPlain(const QString& text)
{
    if (text.isEmpty())
        return;
    // A piece longer than the whole screen shows only its newest part.
    if (text.size() >= kTrimLimit) {
        if (!m_text.isEmpty())
            dropFront(m_text.size());
        m_text = text.right(kTrimLimit);
        Q_EMIT textAppended(m_text);
        return;
    }
    m_text += text;
    Q_EMIT textAppended(text);
}

void TerminalScreen::appendWithBackspaces(const QString& text)
{
    if (!text.contains(kBackspace)) {
        appendPlain(text);
        return;
    }
    // A backspace erases the last character on the screen; the unit's "BS blank BS"
    // erase is the same as one backspace, so it needs no look-ahead across chunks.
    QString pending;
    for (const QChar c : text) {
        if (c != kBackspace) {
            pending += c;
            continue;
        }
        if (!pending.isEmpty()) {
            pending.chop(1);
        } else if (!m_text.isEmpty()) {
            m_text.chop(1);
            Q_EMIT textChopped(1);
        }
    }
    appendPlain(pending);
}

void TerminalScreen::showReceived(const QByteArray& data)
{
    trim();
    const QString text = normaliseLineEnds(QString::fromLatin1(data));
    QString shown;
    if (m_panelFrames) {
        shown = m_parser.feed(text);
    } else if (m_hexView) {
        shown.reserve(text.size() * 4);
        for (const QChar c : text)
            shown += QStringLiteral("<%1>").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
    } else {
        shown = text;
    }
    appendWithBackspaces(shown);
    if (!shown.isEmpty()) {
        m_shownCount += shown.size();
        m_recentReceived += shown;
        if (m_recentReceived.size() > 2 * kRecentKeep)
            m_recentReceived.remove(0, m_recentReceived.size() - kRecentKeep);
        if (m_log.isOpen())
            m_log.write(shown.toLatin1());
    }
    // Replies are captured whether or not a log is open: the sequences that search them
    // must work the same while the technician keeps a log.
    if (!text.isEmpty())
        Q_EMIT receivedShown(text);
}

QString TerminalScreen::receivedSince(qint64 mark) const
{
    const qint64 gained = m_shownCount - mark;
    if (gained <= 0)
        return QString();
    return m_recentReceived.right(int(qMin<qint64>(gained, m_recentReceived.size())));
}

void TerminalScreen::showText(const QString& text)
{
    trim();
    const QString shown = normaliseLineEnds(text);
    appendWithBackspaces(shown);
    if (m_log.isOpen() && !shown.isEmpty())
        m_log.write(shown.toLatin1());
}

void TerminalScreen::showLine(const QString& text)
{
    showText(text + QStringLiteral("\r\n"));
}

void TerminalScreen::typeLocally(const QString& text)
{
    for (const QChar c : text) {
        if (c == kBackspace) {
            if (!m_text.isEmpty()) {
                m_text.chop(1);
                Q_EMIT textChopped(1);
            }
        } else if (c == QLatin1Char('\r')) {
            appendPlain(QStringLiteral("\r\n"));
        } else if (c.unicode() >= 32) {
            appendPlain(QString(c));
        }
    }
}
