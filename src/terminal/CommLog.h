#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class Prompter;

// The communications log: the received text, as shown, written raw to a file the user
// chose, open until stopped.
class CommLog : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kDialogTitle = "Open Communications Log File";
    static constexpr const char* kFilter = "Log Files (*.LOG)|*.log|All Files (*.*)|*.*";

    using DeviceFactory = std::function<std::unique_ptr<QIODevice>(const QString& path)>;

    explicit CommLog(Prompter& prompter, QObject* parent = nullptr);
    ~CommLog() override;

    // "Start Log File": dialog, replace prompt, open. True when logging started.
    bool start();
    // "Stop Log File".
    void stop();
    bool isOpen() const { return bool(m_device); }
    QString path() const { return m_path; }

    // Writes raw bytes; on failure asks Retry/Cancel until written or cancelled (then stops).
    void write(const QByteArray& bytes);

    // Tests put a failing device here; the default opens a QFile.
    void setDeviceFactory(DeviceFactory factory) { m_factory = std::move(factory); }

Q_SIGNALS:
    // Caption suffix and menu enabling follow this.
    void loggingChanged(bool open, const QString& path);

private:
    bool open(const QString& path);

    Prompter& m_prompter;
    DeviceFactory m_factory;
    std::unique_ptr<QIODevice> m_device;
    QString m_path;
};
