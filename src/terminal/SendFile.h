#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class TerminalSession;

// "Send Text File": sends a text file line by line with a pause after each line, once or
// in a loop, until the end or Cancel. At 80 ms it is the parameter upload: comment lines
// are only shown and the rest of each line is cut at its comment.
class SendFile : public QObject {
    Q_OBJECT
public:
    static constexpr int kParameterPacing = 80;
    static constexpr const char* kDialogTitle = "Send Text File";
    static constexpr const char* kFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*";
    static constexpr const char* kWindowCaption = "Send Text";

    explicit SendFile(TerminalSession& session, QObject* parent = nullptr);

    // Asks for the file, then sends it. Marks the session busy while it runs.
    void run(int pacingMs);
    // Sends a chosen file (the dialog already answered).
    void sendPath(const QString& path, int pacingMs);
    bool isRunning() const { return m_running; }
    // The Cancel button of the send window.
    void cancel();

    // The text of the send window.
    static QString windowText(int pacingMs, bool loop, const QString& path);
    // Parameter-upload form of a line: tabs removed, cut at the first "'".
    static QByteArray commandPart(const QString& line);
    // The pieces of a line between ";".
    static QStringList splitCommands(const QString& line);

Q_SIGNALS:
    void cancelWindowShown(const QString& caption, const QString& text);
    void cancelWindowHidden();

private:
    // One pass over the file. False when it could not be opened.
    bool sendOnce(const QString& path, int pacingMs);
    void sendLine(const QString& line, int pacingMs);
    void pause(int pacingMs);

    TerminalSession& m_session;
    bool m_running = false;
};
