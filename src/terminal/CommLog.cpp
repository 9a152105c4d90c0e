#include "CommLog.h"

#include "Prompter.h"

#include <QFile>
#include <QFileInfo>

CommLog::CommLog(Prompter& prompter, QObject* parent) : QObject(parent), m_prompter(prompter)
{
    m_factory = [](const QString& path) -> std::unique_ptr<QIODevice> {
        // Unbuffered, so a full disk shows at the write that hits it. A file that did not
        // open is returned closed; its error text is what the user sees.
        auto file = std::make_unique<QFile>(path);
        file->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        return file;
    };
}

CommLog::~CommLog()
{
    if (m_device)
        m_device->close();
}

bool CommLog::start()
{
    Prompter::FileRequest request{QString::fromLatin1(kDialogTitle), QString::fromLatin1(kFilter), QString(),
                                  QString(), false};
    for (;;) {
        const QString path = m_prompter.saveFileName(request);
        if (path.isEmpty())
            return false;
        if (QFileInfo::exists(path)) {
            const Prompter::Answer a =
                m_prompter.ask(QStringLiteral("Replace existing file - ") + path + QLatin1Char('?'),
                               Prompter::Buttons::YesNoCancel, QString(), Prompter::Icon::Question);
            if (a == Prompter::Answer::No)
                continue;
            if (a != Prompter::Answer::Yes)
                return false;
            QFile::remove(path);
        }
        return open(path);
    }
}

bool CommLog::open(const QString& path)
{
    if (m_device)
        stop();
    std::unique_ptr<QIODevice> device = m_factory(path);
    if (!device || !device->isOpen()) {
        // The platform's text alone ("Permission denied") does not say which file; the
        // technician may have picked a folder he cannot write to without noticing.
        m_prompter.error(QStringLiteral("Error,\rCannot open the log file ") + path + QLatin1Char('\r') +
                         (device ? device->errorString() : QString()));
        return false;
    }
    m_device = std::move(device);
    m_path = path;
    Q_EMIT loggingChanged(true, m_path);
    return true;
}

void CommLog::stop()
{
    if (!m_device)
        return;
    m_device->close();
    m_device.reset();
    m_path.clear();
    Q_EMIT loggingChanged(false, QString());
}

void CommLog::write(const QByteArray& bytes)
{
    if (!m_device || bytes.isEmpty())
        return;
    qint64 done = 0;
    for (;;) {
        const qint64 n = m_device->write(bytes.constData() + done, bytes.size() - done);
        if (n > 0)
            done += n;
        if (done == bytes.size())
            return;
        if (n > 0)
            continue;
        const QString text = m_device->errorString();
        const Prompter::Answer a = m_prompter.message(
            {text, QString(), Prompter::Icon::Critical, Prompter::Buttons::RetryCancel, {}});
        if (a != Prompter::Answer::Retry) {
            stop();
            return;
        }
    }
}
