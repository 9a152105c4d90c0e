#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class KorvexSession;
class QFile;
class ToolProgress;

// "Parameter Upload (Send Param.txt)": sends a parameter file back to the unit, one line
// per 80 ms poll tick, each line as the command its row stands for. Header, comment and
// prompt lines send nothing, so a dump file uploads as one command per parameter row.
class ParameterUpload : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 80;
    static const QString kTitle; // "Send Text File"
    static const QString kFilter;
    static const QString kNotFound; // appended to the path
    static const QString kSending;  // "Sending QVR/PCU Parameters"

    ParameterUpload(KorvexSession& session, ToolProgress& progress, QObject* parent = nullptr);
    ~ParameterUpload() override;

    // The user command: checks, asks for the file and starts.
    void userCommand();
    // Starts on a file by path; false (with the system's reason shown) when it cannot be read.
    bool start(const QString& path);
    void cancel();

    bool running() const { return m_file != nullptr; }
    // Lines read so far.
    int lineCount() const { return m_lines; }
    void setBlockedBy(std::function<bool()> busy) { m_blockedBy = std::move(busy); }

    // The poll cycle's call: the next command, nothing while idle.
    std::optional<QByteArray> tick();

Q_SIGNALS:
    void runningChanged(bool running);
    void ended(bool cancelled);

private:
    void finish(bool cancelled);

    KorvexSession& m_session;
    ToolProgress& m_progress;
    std::unique_ptr<QFile> m_file;
    int m_lines = 0;
    bool m_cancel = false;
    std::function<bool()> m_blockedBy;
};
