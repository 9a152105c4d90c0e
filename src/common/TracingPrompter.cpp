#include "TracingPrompter.h"

#include "SessionTrace.h"

using Kind = SessionTrace::Kind;

Prompter::Answer TracingPrompter::message(const Message& message)
{
    // The box goes into the trace before it is shown: if the program never gets past it,
    // the trace still says what it was asking.
    m_trace.record(Kind::Box, message.text);
    const Answer answer = m_inner.message(message);
    m_trace.record(Kind::Answer, answerName(answer));
    return answer;
}

QString TracingPrompter::openFileName(const FileRequest& request)
{
    m_trace.record(Kind::File, request.title);
    const QString path = m_inner.openFileName(request);
    m_trace.record(Kind::Answer, path);
    return path;
}

QString TracingPrompter::saveFileName(const FileRequest& request)
{
    m_trace.record(Kind::File, request.title);
    const QString path = m_inner.saveFileName(request);
    m_trace.record(Kind::Answer, path);
    return path;
}

std::optional<quint32> TracingPrompter::chooseColor(quint32 initialBgr)
{
    m_trace.record(Kind::Color, QString::number(initialBgr));
    const std::optional<quint32> color = m_inner.chooseColor(initialBgr);
    m_trace.record(Kind::Answer, color ? QString::number(*color) : QString());
    return color;
}

void TracingPrompter::openUrl(const QString& url)
{
    m_trace.record(Kind::Url, url);
    m_inner.openUrl(url);
}

QString TracingPrompter::answerName(Answer answer)
{
    switch (answer) {
    case Answer::Ok:
        return QStringLiteral("Ok");
    case Answer::Cancel:
        return QStringLiteral("Cancel");
    case Answer::Yes:
        return QStringLiteral("Yes");
    case Answer::No:
        return QStringLiteral("No");
    case Answer::Retry:
        return QStringLiteral("Retry");
    case Answer::Abort:
        return QStringLiteral("Abort");
    case Answer::Ignore:
        return QStringLiteral("Ignore");
    }
    return QString();
}
