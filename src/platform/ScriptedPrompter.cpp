#include "Prompter.h"

namespace {
Prompter::Answer firstButton(Prompter::Buttons b)
{
    switch (b) {
    case Prompter::Buttons::Ok:
    case Prompter::Buttons::OkCancel:
        return Prompter::Answer::Ok;
    case Prompter::Buttons::YesNo:
    case Prompter::Buttons::YesNoCancel:
        return Prompter::Answer::Yes;
    case Prompter::Buttons::RetryCancel:
        return Prompter::Answer::Retry;
    case Prompter::Buttons::AbortRetryIgnore:
        return Prompter::Answer::Abort;
    }
    return Prompter::Answer::Ok;
}
} // namespace

Prompter::Answer ScriptedPrompter::message(const Message& m)
{
    messages.append(m);
    if (whileShown)
        whileShown(m);
    if (!answers.isEmpty())
        return answers.takeFirst();
    return m.defaultButton.value_or(firstButton(m.buttons));
}

QString ScriptedPrompter::openFileName(const FileRequest& request)
{
    fileRequests.append(request);
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString ScriptedPrompter::saveFileName(const FileRequest& request)
{
    fileRequests.append(request);
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

std::optional<quint32> ScriptedPrompter::chooseColor(quint32)
{
    return colors.isEmpty() ? std::nullopt : colors.takeFirst();
}

void ScriptedPrompter::openUrl(const QString& url)
{
    openedUrls.append(url);
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const auto& m : messages)
        out.append(m.text);
    return out;
}
