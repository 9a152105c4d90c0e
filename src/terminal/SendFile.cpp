#include "SendFile.h"

#include "Prompter.h"
#include "Runtime.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

namespace {
// Lines end in CR LF, LF or a lone CR, whichever the file uses.
QStringList readLines(const QByteArray& bytes)
{
    QString text = QString::fromLatin1(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
} // namespace

SendFile::SendFile(TerminalSession& session, QObject* parent) : QObject(parent), m_session(session)
{
    connect(&m_session, &TerminalSession::cancelPressed, this, [this] {
        if (m_running)
            Q_EMIT cancelWindowHidden();
    });
}

QString SendFile::windowText(int pacingMs, bool loop, const QString& path)
{
    return QStringLiteral("Send Text File - Pacing: ") + QString::number(pacingMs) +
           (loop ? QStringLiteral(",  Loop") : QStringLiteral(",  No Loop")) + QLatin1Char('\r') + path;
}

QByteArray SendFile::commandPart(const QString& line)
{
    QString cmd = line;
    cmd.remove(QLatin1Char('\t'));
    const int quote = cmd.indexOf(QLatin1Char('\''));
    if (quote >= 0)
        cmd.truncate(quote);
    return cmd.toLatin1();
}

QStringList SendFile::splitCommands(const QString& line)
{
    return line.split(QLatin1Char(';'));
}

void SendFile::cancel()
{
    m_session.requestCancel();
}

void SendFile::run(int pacingMs)
{
    Prompter& prompter = m_session.prompter();
    const QString path = prompter.openFileName(
        {QString::fromLatin1(kDialogTitle), QString::fromLatin1(kFilter), QString(), QString()});
    if (path.isEmpty())
        return;
    sendPath(path, pacingMs);
}

void SendFile::sendPath(const QString& path, int pacingMs)
{
    Prompter& prompter = m_session.prompter();
    if (!QFileInfo::exists(path)) {
        prompter.error(path + QStringLiteral(" not found!"));
        return;
    }
    BusyScope busy(m_session);
    m_running = true;
    auto done = qScopeGuard([this] { m_running = false; });
    m_session.setCancelRequested(false);
    Q_EMIT cancelWindowShown(QString::fromLatin1(kWindowCaption),
                             windowText(pacingMs, m_session.loopSend(), path));
    for (;;) {
        if (!sendOnce(path, pacingMs))
            break;
        if (!m_session.loopSend() || m_session.cancelRequested())
            break;
    }
    Q_EMIT cancelWindowHidden();
}

bool SendFile::sendOnce(const QString& path, int pacingMs)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_session.prompter().error(file.errorString());
        return false;
    }
    // Read whole: the file is closed at the end of each pass anyway, and a loop pass
    // picks up an edited file.
    const QStringList lines = readLines(file.readAll());
    file.close();
    for (const QString& line : lines) {
        if (m_session.cancelRequested())
            break;
        sendLine(line, pacingMs);
        pause(pacingMs);
    }
    return true;
}

void SendFile::sendLine(const QString& line, int pacingMs)
{
    TerminalScreen& screen = m_session.screen();
    const QByteArray& eol = TerminalSession::kLineTerminator;
    if (pacingMs == kParameterPacing) {
        if (line.startsWith(QLatin1Char('\'')) || line.startsWith(QLatin1Char('>'))) {
            screen.showLine(line);
            return;
        }
        // A blank line (a dump file has some between its sections) carries no command: an
        // empty line end would only make the unit answer with an error or a prompt.
        const QByteArray command = commandPart(line);
        if (!command.trimmed().isEmpty())
            m_session.commOut(command + eol);
        return;
    }
    if (line.startsWith(QLatin1Char('\''))) {
        screen.showLine(line);
        return;
    }
    for (const QString& part : splitCommands(line))
        m_session.commOut(part.toLatin1() + eol);
}

void SendFile::pause(int pacingMs)
{
    Runtime& rt = m_session.runtime();
    if (pacingMs > 0)
        rt.wait(pacingMs);
    else
        rt.processEvents();
}
