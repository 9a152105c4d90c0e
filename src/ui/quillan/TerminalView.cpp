#include "TerminalView.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSyntaxHighlighter>
#include <QTextBlock>

namespace {

// Batches are put on the screen at most this often: fast enough to read as live, and
// slow enough that a unit streaming at 115200 baud does not keep the window painting.
// Text arriving after a quiet spell (a typed character's echo) is shown at once.
constexpr int kFlushIntervalMs = 150;
// Text without line ends (the hex view, a stream of progress stars) is broken into
// screen lines of about this length. Each batch lays out the last line again, so the
// shorter the line the less work a batch of hex text costs (a 30 000-character line laid
// out at every batch would stall the window).
constexpr int kLongLine = 256;
// Past the length, a break waits this long for the end of a hex group or a word.
constexpr int kBreakSlack = 8;

const QString kProgressPrefix = QStringLiteral("PT:  ");

// Progress lines of the upload sequences stand out from what the unit echoes, and the
// lines that say something went wrong stand out from those.
class ProgressHighlighter : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString& text) override
    {
        if (!text.startsWith(kProgressPrefix))
            return;
        QTextCharFormat f;
        f.setFontWeight(QFont::Bold);
        static const QStringList troubleWords = {
            QStringLiteral("WARNING"), QStringLiteral(" not "),        QStringLiteral("failed"),
            QStringLiteral("Failure"), QStringLiteral("Un-sucessful"), QStringLiteral("Uncessful"),
            QStringLiteral("Cancled"), QStringLiteral("Cannot"),       QStringLiteral("Unexpected"),
            QStringLiteral("Unable"),  QStringLiteral("Unknown"),      QStringLiteral("EXIT!"),
            QStringLiteral("Exit!")};
        bool bad = false;
        for (const QString& w : troubleWords)
            bad = bad || text.contains(w);
        f.setForeground(bad ? QColor(255, 128, 112) : QColor(255, 209, 102));
        setFormat(0, int(text.size()), f);
    }
};

} // namespace

TerminalView::TerminalView(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("Terminal"));
    setFont(terminalFont());
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTabChangesFocus(false);
    setFrameShape(QFrame::NoFrame);
    // The screen model owns the text: typing reaches it through the key handler, so the
    // area itself only offers selecting and copying.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    // Light text on a dark screen: easier on the eyes in a dim equipment room.
    QPalette pal = palette();
    pal.setColor(QPalette::Base, QColor(16, 20, 24));
    pal.setColor(QPalette::Text, QColor(216, 222, 228));
    pal.setColor(QPalette::Highlight, QColor(58, 90, 130));
    pal.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    setPalette(pal);

    new ProgressHighlighter(document());

    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(kFlushIntervalMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &TerminalView::flush);
}

QFont TerminalView::terminalFont()
{
    QFont f(QStringLiteral("DejaVu Sans Mono"));
    f.setStyleHint(QFont::Monospace);
    if (!QFontInfo(f).fixedPitch())
        f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSize(10);
    return f;
}

void TerminalView::appendText(const QString& text)
{
    if (text.isEmpty())
        return;
    m_pending += displayForm(text, m_tail);
    scheduleFlush();
}

void TerminalView::scheduleFlush()
{
    if (m_flushTimer.isActive())
        return;
    const qint64 sinceLast = m_sinceFlush.isValid() ? m_sinceFlush.elapsed() : kFlushIntervalMs;
    m_flushTimer.start(int(qBound(qint64(0), qint64(kFlushIntervalMs) - sinceLast, qint64(kFlushIntervalMs))));
}

void TerminalView::resetText(const QString& text)
{
    m_tail = Layout{};
    m_front = Layout{};
    m_pending = displayForm(text, m_tail);
    m_resetPending = true;
    scheduleFlush();
}

void TerminalView::removeFront(const QString& removed)
{
    qsizetype count = displayForm(removed, m_front).size();
    if (!m_resetPending) {
        // The document's last block has no separator after it.
        const int inDocument = qMin<qsizetype>(count, document()->characterCount() - 1);
        if (inDocument > 0) {
            QTextCursor c(document());
            c.movePosition(QTextCursor::Start);
            c.setPosition(inDocument, QTextCursor::KeepAnchor);
            c.removeSelectedText();
        }
        count -= inDocument;
    }
    m_pending.remove(0, qMin(count, m_pending.size()));
}

bool TerminalView::chopText(int count)
{
    if (count <= 0)
        return true;
    if (m_resetPending) {
        // The text is about to be rendered whole; cut the rendering instead.
        if (m_pending.right(count).contains(QLatin1Char('\n')) || m_pending.size() < count)
            return false;
        m_pending.chop(count);
        m_tail.lineLength = qMax(0, m_tail.lineLength - count);
        return true;
    }
    // Every character but a line end is one character on the screen, so a tail without
    // line ends is the same length in both.
    const int fromPending = qMin(count, int(m_pending.size()));
    const int fromDocument = count - fromPending;
    if (m_pending.right(fromPending).contains(QLatin1Char('\n')))
        return false;
    if (fromDocument > 0) {
        QTextCursor c(document());
        c.movePosition(QTextCursor::End);
        c.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, fromDocument);
        if (c.selectedText().size() != fromDocument || c.selectedText().contains(QChar::ParagraphSeparator))
            return false;
        c.removeSelectedText();
    }
    m_pending.chop(fromPending);
    m_tail.lastWasCr = false;
    m_tail.lineLength = qMax(0, m_tail.lineLength - count);
    return true;
}

QString TerminalView::shownText()
{
    flush();
    return toPlainText();
}

void TerminalView::flush()
{
    m_flushTimer.stop();
    m_sinceFlush.start();
    if (m_resetPending) {
        m_resetPending = false;
        setPlainText(m_pending);
        m_pending.clear();
        moveCursor(QTextCursor::End);
        ensureCursorVisible();
        return;
    }
    if (m_pending.isEmpty())
        return;
    insertAtEnd(m_pending);
    m_pending.clear();
}

void TerminalView::insertAtEnd(const QString& shown)
{
    QScrollBar* bar = verticalScrollBar();
    // Someone reading further up keeps their place; otherwise the screen follows the end.
    const bool following = bar->value() >= bar->maximum() - 2;
    QTextCursor c(document());
    c.movePosition(QTextCursor::End);
    c.insertText(shown);
    if (following) {
        setTextCursor(c);
        bar->setValue(bar->maximum());
    }
}

// What a received text looks like on screen: every kind of line end breaks the line
// once, the other control characters show as their symbols instead of vanishing, and
// an endless line is broken at a hex group or word near kLongLine.
QString TerminalView::displayForm(const QString& text, Layout& layout)
{
    QString out;
    out.reserve(text.size() + text.size() / kLongLine + 1);
    for (const QChar ch : text) {
        const ushort u = ch.unicode();
        if (u == '\n') {
            if (!layout.lastWasCr) {
                out += QLatin1Char('\n');
                layout.lineLength = 0;
            }
            layout.lastWasCr = false;
            continue;
        }
        layout.lastWasCr = false;
        if (u == '\r') {
            out += QLatin1Char('\n');
            layout.lineLength = 0;
            layout.lastWasCr = true;
            continue;
        }
        if (u < 0x20 && u != '\t')
            out += QChar(0x2400 + u);
        else if (u == 0x7f)
            out += QChar(0x2421);
        else
            out += ch;
        ++layout.lineLength;
        if (layout.lineLength >= kLongLine &&
            (u == '>' || u == ' ' || layout.lineLength >= kLongLine + kBreakSlack)) {
            out += QLatin1Char('\n');
            layout.lineLength = 0;
        }
    }
    return out;
}

void TerminalView::keyPressEvent(QKeyEvent* event)
{
    if (m_keyHandler && m_keyHandler(event)) {
        event->accept();
        return;
    }
    flush();
    QPlainTextEdit::keyPressEvent(event);
}
