#include "SessionTrace.h"

#include "ByteLink.h"
#include "Prompter.h"
#include "Runtime.h"

SessionTrace::SessionTrace(Runtime& runtime, QObject* parent)
    : QObject(parent), m_rt(runtime), m_originNs(runtime.nowNs())
{
}

SessionTrace::~SessionTrace()
{
    stop();
}

bool SessionTrace::start(const QString& path)
{
    stop();
    m_file.setFileName(path);
    // Unbuffered: each line is one write to the system, so it is in the file even if the
    // program dies right after.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        m_error = m_file.errorString();
        return false;
    }
    m_error.clear();
    record(Kind::Trace, QStringLiteral("started"));
    // A file that opens but takes nothing (a full disk) is no trace either.
    if (!m_file.isOpen())
        return false;
    m_announced = true;
    Q_EMIT activeChanged(true);
    return true;
}

bool SessionTrace::start(const QString& path, Prompter& prompter)
{
    m_prompter = nullptr;
    if (start(path)) {
        m_prompter = &prompter;
        return true;
    }
    prompter.error(openFailureText(path, m_error));
    return false;
}

void SessionTrace::stop()
{
    if (!m_file.isOpen())
        return;
    record(Kind::Trace, QStringLiteral("stopped"));
    if (!m_file.isOpen())
        return; // that last line failed, and said so
    m_announced = false;
    m_file.close();
    Q_EMIT activeChanged(false);
}

void SessionTrace::toggle(Prompter& prompter)
{
    if (isActive()) {
        stop();
        return;
    }
    const QString path = prompter.saveFileName(
        {QStringLiteral("Session Trace"), QStringLiteral("Trace Files (*.txt)|*.txt|All Files (*.*)|*.*"),
         QString(), QStringLiteral("trace.txt")});
    if (!path.isEmpty())
        start(path, prompter);
}

void SessionTrace::record(Kind kind, const QString& text)
{
    if (m_file.isOpen())
        writeLine(kind, escape(text.toUtf8()));
}

void SessionTrace::recordBytes(Kind kind, const QByteArray& bytes)
{
    if (m_file.isOpen())
        writeLine(kind, escape(bytes));
}

void SessionTrace::writeLine(Kind kind, const QString& escaped)
{
    const qint64 ms = (m_rt.nowNs() - m_originNs) / 1000000;
    const QString line = QString::number(ms) + QLatin1Char('\t') + kindName(kind) + QLatin1Char('\t') +
                         escaped + QLatin1Char('\n');
    // One write per line (the text is pure ASCII after escaping).
    const QByteArray bytes = line.toLatin1();
    qint64 done = 0;
    // A short write is followed by one that fails with the system's reason.
    while (done < bytes.size()) {
        const qint64 n = m_file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            break;
        done += n;
    }
    if (done != bytes.size()) {
        // A full disk or a removed stick: stop rather than fail on every event, and say so
        // once the event being handled is done (the box is not shown from inside it).
        const bool announced = m_announced;
        m_announced = false;
        m_error = m_file.errorString();
        m_file.close();
        if (!announced)
            return;
        Q_EMIT activeChanged(false);
        if (Prompter* prompter = m_prompter) {
            const QString text = writeFailureText(path(), m_error);
            m_rt.post(this, [prompter, text] { prompter->error(text); });
        }
    }
}

void SessionTrace::watchLink(ByteLink& link)
{
    connect(&link, &ByteLink::received, this,
            [this](const QByteArray& data) { recordBytes(Kind::Recv, data); });
    connect(&link, &ByteLink::sent, this, [this](const QByteArray& data) { recordBytes(Kind::Send, data); });
}

QString SessionTrace::escape(const QByteArray& bytes)
{
    static const char kHex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c >= 0x20 && c < 0x7f) {
                out += QLatin1Char(char(c));
            } else {
                out += QLatin1String("\\x");
                out += QLatin1Char(kHex[c >> 4]);
                out += QLatin1Char(kHex[c & 0xf]);
            }
        }
    }
    return out;
}

QString SessionTrace::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Trace:
        return QStringLiteral("trace");
    case Kind::Open:
        return QStringLiteral("open");
    case Kind::Close:
        return QStringLiteral("close");
    case Kind::Send:
        return QStringLiteral("send");
    case Kind::Recv:
        return QStringLiteral("recv");
    case Kind::Sync:
        return QStringLiteral("sync");
    case Kind::Status:
        return QStringLiteral("status");
    case Kind::Box:
        return QStringLiteral("box");
    case Kind::File:
        return QStringLiteral("file");
    case Kind::Color:
        return QStringLiteral("color");
    case Kind::Url:
        return QStringLiteral("url");
    case Kind::Answer:
        return QStringLiteral("answer");
    }
    return QStringLiteral("?");
}

QString SessionTrace::writeFailureText(const QString& path, const QString& reason)
{
    return QStringLiteral("Error,\rThe session trace to ") + path + QStringLiteral(" stopped\r") + reason +
           QLatin1Char('.');
}

QString SessionTrace::openFailureText(const QString& path, const QString& reason)
{
    return QStringLiteral("Error,\rCannot write the session trace to ") + path + QLatin1Char('\r') + reason +
           QLatin1Char('.');
}
