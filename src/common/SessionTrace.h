#pragma once

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>

class ByteLink;
class Prompter;
class Runtime;

// A record of what happened in a session, for support: one line per event,
//
//   <ms>\t<kind>\t<text>
//
// with ms counted from the program's start on the Runtime's clock. Every line goes to the
// file as soon as it is written, so a crash loses at most the line being written. Texts are
// escaped so that one event stays one line (see escape()).
class SessionTrace : public QObject {
    Q_OBJECT
public:
    enum class Kind {
        Trace,  // the trace itself started or stopped
        Open,   // a link opened: "serial COM<n> <device> <settings>" or "tcp <host>:<port>"
        Close,  // that link closed
        Send,   // bytes handed to the link
        Recv,   // a chunk as the link delivered it
        Sync,   // a reply that did not fit its query, with its code
        Status, // a status text shown
        Box,    // a message box's text
        File,   // a file dialog's title
        Color,  // the colour dialog
        Url,    // a help page or document opened
        Answer, // what the user answered the box or dialog just before
    };

    // The clock starts now: create the trace at program start.
    explicit SessionTrace(Runtime& runtime, QObject* parent = nullptr);
    ~SessionTrace() override;

    // Starts writing to path (replacing the file). False when the file cannot be opened:
    // errorString() then has the platform's reason.
    bool start(const QString& path);
    // start(), and on failure a message box naming the path; a trace that later cannot be
    // written (a full disk) stops and says so through the prompter too.
    bool start(const QString& path, Prompter& prompter);
    void stop();
    bool isActive() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }
    QString errorString() const { return m_error; }

    // The menu item: stops a running trace, or asks for a file and starts one.
    void toggle(Prompter& prompter);

    // Texts are escaped from their UTF-8 form; bytes (wire data) byte for byte.
    void record(Kind kind, const QString& text);
    void recordBytes(Kind kind, const QByteArray& bytes);
    // Every chunk the link receives and every write it accepts, from the moment of this
    // call; call it before anything else listens, so that a chunk's line comes before the
    // events it causes.
    void watchLink(ByteLink& link);

    // Printable ASCII stays as it is; backslash, CR, LF and tab become \\ \r \n \t, every
    // other byte \xNN (upper-case hex).
    static QString escape(const QByteArray& bytes);
    static QString kindName(Kind kind);
    // "Error," CR "Cannot write the session trace to <path>" CR "<reason>."
    static QString openFailureText(const QString& path, const QString& reason);
    // "Error," CR "The session trace to <path> stopped" CR "<reason>."
    static QString writeFailureText(const QString& path, const QString& reason);

Q_SIGNALS:
    void activeChanged(bool active);

private:
    void writeLine(Kind kind, const QString& escaped);

    Runtime& m_rt;
    Prompter* m_prompter = nullptr; // told when writing fails after a good start
    qint64 m_originNs;
    QFile m_file;
    bool m_announced = false; // activeChanged(true) went out for the open file
    QString m_error;
};
