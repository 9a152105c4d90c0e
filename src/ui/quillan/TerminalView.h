#pragma once

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>

#include <functional>

// The terminal's text area. It mirrors the screen model: received text is appended at
// the end in batches (a unit at 115200 baud delivers thousands of small chunks a
// second, and laying the document out once per chunk would stall the window), and the
// whole text is only rendered again when the model says so (trim, clear, backspace).
// Keys go to a handler first; what it does not take (scrolling, selecting) is the text
// area's own.
class TerminalView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TerminalView(QWidget* parent = nullptr);

    // Returns true when the key was taken (sent, swallowed or typed into the screen
    // model); false leaves it to the text area (scrolling, selecting, copying).
    using KeyHandler = std::function<bool(QKeyEvent*)>;
    void setKeyHandler(KeyHandler handler) { m_keyHandler = std::move(handler); }

    void appendText(const QString& text);
    void resetText(const QString& text);
    // The model dropped the oldest part of its text, removed: the view drops what it had
    // made of it, without laying out the rest again.
    void removeFront(const QString& removed);
    // The model removed its last count characters. False when the view cannot follow
    // that on its own (a line end is involved) and needs resetText().
    bool chopText(int count);
    void clearText() { resetText(QString()); }

    // The text as shown, pending batches included.
    QString shownText();
    // Puts pending text on the screen now (before a grab or a print).
    void flush();

    static QFont terminalFont();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Where the rendering of the model's text stands: a CR just seen (an LF right after it
    // belongs to it) and the length of the screen line so far.
    struct Layout {
        bool lastWasCr = false;
        int lineLength = 0;
    };
    // The screen form of text, carrying on from layout. Rendering a text in pieces gives
    // the same as rendering it whole, which is what lets the view drop any front part of
    // the model's text exactly.
    static QString displayForm(const QString& text, Layout& layout);
    void insertAtEnd(const QString& shown);
    void scheduleFlush();

    KeyHandler m_keyHandler;
    QTimer m_flushTimer;
    QElapsedTimer m_sinceFlush;
    QString m_pending;
    bool m_resetPending = false;
    // The rendering at the end of the text (for appends) and at its start (for trims).
    Layout m_tail;
    Layout m_front;
};
