#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class ModuleSelection;
class TerminalSession;

// The terminal's parameter dump: asks the ACU, the PCU behind it, the motor driver, both
// modems and the comm-interface board one question at a time and writes a commented,
// tab-separated file that "Parameter Upload" can send back. A unit that does not answer
// costs 2 s a question; the dump runs on to the end, and Cancel stops it at the next wait
// with what was written kept and marked as cancelled.
class ParameterDump : public QObject {
    Q_OBJECT
public:
    enum class Kind { All, Legacy };
    static constexpr const char* kFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*";
    static constexpr const char* kWindowCaption = "Parameter Dump";
    static constexpr const char* kCancelledLine = "'Parameter Dump Canceled";
    // The ACU answers "###" while it cannot read the parameter yet.
    static constexpr const char* kBusyValue = "###";
    static constexpr int kBusyRetryMs = 600;
    // The comm-interface board's listing comes as many lines: they get this long to arrive.
    static constexpr int kListingWaitMs = 1000;
    static constexpr int kPcuEntries = 12;

    ParameterDump(TerminalSession& session, ModuleSelection& selection, QObject* parent = nullptr);

    // The two menu commands: the file dialog, then the dump.
    void run(Kind kind);
    // The dump into a chosen file. True when it ran to the end (not cancelled, not refused).
    bool dumpTo(const QString& path);
    // "PCU Param Dump (nA999)": the PCU section, shown on the screen.
    bool pcuDumpToScreen();

    bool isRunning() const { return m_running; }
    // The Cancel button of the progress window.
    void cancel();
    // Questions of a whole dump with the present module selection.
    int totalQueries() const;
    // "Query 12 of 95    Time left (2 s a query): 02:46"
    static QString progressLine(int done, int total);

    static QString dialogTitle(Kind kind);
    static QString defaultFileName(Kind kind);

Q_SIGNALS:
    void cancelWindowShown(const QString& caption, const QString& text);
    void progressChanged(const QString& line, int done, int total);
    void cancelWindowHidden();

private:
    using Sink = std::function<bool(const QByteArray&)>;

    bool stopped() const;
    // Sends the question and waits for its answer; nothing when the dump was stopped.
    std::optional<QString> ask(const QByteArray& question);
    // The first line of what arrived, or "??" after a time-out.
    QString firstLine(const QString& reply) const;
    void counted();
    bool write(const QByteArray& bytes);
    bool writeIdentity(const QByteArray& question);
    void writeAcuRows();
    void writePcuSection();
    void writeModuleVersions();
    void writeCommIfSection();

    TerminalSession& m_session;
    ModuleSelection& m_selection;
    Sink m_sink;
    bool m_running = false;
    bool m_writeFailed = false;
    QString m_writeError;
    int m_done = 0;
    int m_total = 0;
};
