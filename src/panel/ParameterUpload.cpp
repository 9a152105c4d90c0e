#include "ParameterUpload.h"

#include "DumpUpload.h"
#include "KorvexSession.h"
#include "ParameterDump.h"
#include "Prompter.h"
#include "ToolProgress.h"

#include <QFile>
#include <QFileInfo>

const QString ParameterUpload::kTitle = QStringLiteral("Send Text File");
const QString ParameterUpload::kFilter = QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
const QString ParameterUpload::kNotFound = QStringLiteral(" not found!");
const QString ParameterUpload::kSending = QStringLiteral("Sending QVR/PCU Parameters");

ParameterUpload::ParameterUpload(KorvexSession& session, ToolProgress& progress, QObject* parent)
    : QObject(parent), m_session(session), m_progress(progress)
{
    m_session.pollCycle().hooks().uploadTick = [this] { return tick(); };
    connect(&m_progress, &ToolProgress::cancelRequested, this, &ParameterUpload::cancel);
    // Polling stops with the link; the file would otherwise stay open with nothing to read it.
    connect(&m_session.link(), &DeviceLink::linkClosed, this, [this] {
        if (running())
            finish(true);
    });
}

ParameterUpload::~ParameterUpload()
{
    m_session.pollCycle().hooks().uploadTick = nullptr;
}

void ParameterUpload::userCommand()
{
    if (running() || (m_blockedBy && m_blockedBy()))
        return;
    Prompter& prompter = m_session.prompter();
    if (!m_session.link().portOpen()) {
        prompter.error(ParameterDump::kPortClosed);
        return;
    }
    for (;;) {
        const QString path = prompter.openFileName({kTitle, kFilter, QString(), QString()});
        if (path.isEmpty())
            return;
        if (QFileInfo::exists(path)) {
            start(path);
            return;
        }
        prompter.error(path + kNotFound);
    }
}

bool ParameterUpload::start(const QString& path)
{
    if (running() || (m_blockedBy && m_blockedBy()))
        return false;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        m_session.prompter().error(file->errorString());
        return false;
    }
    m_file = std::move(file);
    m_lines = 0;
    m_cancel = false;
    m_session.pollCycle().setPollIntervalMs(kTickMs);
    m_progress.setValue(0);
    m_progress.setLabel(kSending);
    m_progress.show();
    Q_EMIT runningChanged(true);
    return true;
}

void ParameterUpload::cancel()
{
    if (!running())
        return;
    m_cancel = true;
    // The poll tick that would close the file does not come on a closed link.
    if (!m_session.link().portOpen())
        finish(true);
}

std::optional<QByteArray> ParameterUpload::tick()
{
    if (!running())
        return std::nullopt;
    if (m_cancel || m_file->atEnd()) {
        finish(m_cancel);
        return QByteArray();
    }
    const QByteArray line = m_file->readLine();
    m_progress.setValue(++m_lines);
    if (const std::optional<QByteArray> command = dump::uploadCommand(line))
        return *command + "\r\n";
    return QByteArray();
}

void ParameterUpload::finish(bool cancelled)
{
    m_file->close();
    m_file.reset();
    m_cancel = false;
    m_session.pollCycle().restoreIntervals();
    m_progress.hide();
    Q_EMIT runningChanged(false);
    Q_EMIT ended(cancelled);
}
