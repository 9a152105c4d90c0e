#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Everything the logic asks of the person at the keyboard goes through here: message
// boxes, file choosers, colour and print dialogs, and opening help pages. The Qt
// implementation lives with the windows; tests answer from a script.
class Prompter {
public:
    enum class Icon { None, Information, Exclamation, Critical, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
    enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

    struct Message {
        // Lines are separated by CR ("\r"), as the programs' texts are written.
        QString text;
        QString title;
        Icon icon = Icon::Exclamation;
        Buttons buttons = Buttons::Ok;
        // The button that Enter presses; unset means the first one.
        std::optional<Answer> defaultButton;
    };

    struct FileRequest {
        QString title;
        // Legacy filter text: "Text (*.txt)|*.txt|All Files (*.*)|*.*".
        QString filter;
        QString directory;
        QString fileName;
        // The dialog itself asks before an existing file is chosen for saving. Off where the
        // logic asks its own question ("Replace existing file - ...?"), so it is asked once.
        bool confirmOverwrite = true;
    };

    virtual ~Prompter() = default;

    virtual Answer message(const Message& message) = 0;
    // Empty when the user cancelled.
    virtual QString openFileName(const FileRequest& request) = 0;
    virtual QString saveFileName(const FileRequest& request) = 0;
    // Colours are 24-bit values in blue-green-red order. Empty when cancelled.
    virtual std::optional<quint32> chooseColor(quint32 initialBgr) = 0;
    // Opens a help page or document with the system's handler. Never called from a test
    // with a real opener.
    virtual void openUrl(const QString& url) = 0;

    // Shorthands for the common cases.
    void error(const QString& text) { message({text, QString(), Icon::Exclamation, Buttons::Ok, {}}); }
    Answer ask(const QString& text, Buttons buttons, const QString& title = QString(),
               Icon icon = Icon::Exclamation)
    {
        return message({text, title, icon, buttons, {}});
    }
};

// Answers from queues and records everything it was shown, for tests.
class ScriptedPrompter : public Prompter {
public:
    Answer message(const Message& message) override;
    QString openFileName(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;
    std::optional<quint32> chooseColor(quint32 initialBgr) override;
    void openUrl(const QString& url) override;

    // Queued answers; when a queue is empty the first button (Ok, Yes, Retry, Abort)
    // or "cancelled" is the answer.
    QList<Answer> answers;
    QStringList fileNames;
    QList<std::optional<quint32>> colors;

    // Runs while a message is "up", before it is answered: a test can make things happen
    // meanwhile, as they do while a real box waits for its click.
    std::function<void(const Message&)> whileShown;

    // What was shown, in order.
    QList<Message> messages;
    QList<FileRequest> fileRequests;
    QStringList openedUrls;

    QStringList texts() const;
    QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }
};
