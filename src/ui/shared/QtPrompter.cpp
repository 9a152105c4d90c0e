#include "QtPrompter.h"

#include "HelpPages.h"

#include "PromptConversions.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon qtIcon(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::None:
        return QMessageBox::NoIcon;
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Exclamation:
        return QMessageBox::Warning;
    case Prompter::Icon::Critical:
        return QMessageBox::Critical;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

struct ButtonChoice {
    Prompter::Answer answer;
    QMessageBox::StandardButton button;
};

QList<ButtonChoice> buttonsOf(Prompter::Buttons buttons)
{
    using A = Prompter::Answer;
    switch (buttons) {
    case Prompter::Buttons::Ok:
        return {{A::Ok, QMessageBox::Ok}};
    case Prompter::Buttons::OkCancel:
        return {{A::Ok, QMessageBox::Ok}, {A::Cancel, QMessageBox::Cancel}};
    case Prompter::Buttons::YesNo:
        return {{A::Yes, QMessageBox::Yes}, {A::No, QMessageBox::No}};
    case Prompter::Buttons::YesNoCancel:
        return {{A::Yes, QMessageBox::Yes}, {A::No, QMessageBox::No}, {A::Cancel, QMessageBox::Cancel}};
    case Prompter::Buttons::RetryCancel:
        return {{A::Retry, QMessageBox::Retry}, {A::Cancel, QMessageBox::Cancel}};
    case Prompter::Buttons::AbortRetryIgnore:
        return {
            {A::Abort, QMessageBox::Abort}, {A::Retry, QMessageBox::Retry}, {A::Ignore, QMessageBox::Ignore}};
    }
    return {{A::Ok, QMessageBox::Ok}};
}

// Closing the box without a button counts as the way out the buttons offer: Cancel,
// No, or the only button there is.
Prompter::Answer escapeAnswer(const QList<ButtonChoice>& choices)
{
    for (const ButtonChoice& s : choices) {
        if (s.answer == Prompter::Answer::Cancel)
            return s.answer;
    }
    for (const ButtonChoice& s : choices) {
        if (s.answer == Prompter::Answer::No || s.answer == Prompter::Answer::Ignore)
            return s.answer;
    }
    return choices.size() == 1 ? choices.first().answer : choices.last().answer;
}

} // namespace

Prompter::Answer QtPrompter::message(const Message& m)
{
    QMessageBox box(m_parent);
    box.setIcon(qtIcon(m.icon));
    box.setWindowTitle(m.title.isEmpty() ? m_defaultTitle : m.title);
    box.setText(promptconv::displayText(m.text));
    box.setTextFormat(Qt::PlainText);

    const QList<ButtonChoice> choices = buttonsOf(m.buttons);
    QAbstractButton* defaultButton = nullptr;
    QAbstractButton* escapeButton = nullptr;
    const Answer escape = escapeAnswer(choices);
    for (const ButtonChoice& s : choices) {
        QPushButton* b = box.addButton(s.button);
        if (!defaultButton && (!m.defaultButton || *m.defaultButton == s.answer))
            defaultButton = b;
        if (s.answer == escape)
            escapeButton = b;
    }
    if (defaultButton)
        box.setDefaultButton(qobject_cast<QPushButton*>(defaultButton));
    box.setEscapeButton(escapeButton);
    box.exec();

    const auto clicked = box.standardButton(box.clickedButton());
    for (const ButtonChoice& s : choices) {
        if (s.button == clicked)
            return s.answer;
    }
    return escape;
}

QString QtPrompter::openFileName(const FileRequest& request)
{
    const QString start =
        request.fileName.isEmpty() ? request.directory : QDir(request.directory).filePath(request.fileName);
    return QFileDialog::getOpenFileName(m_parent, request.title, start, promptconv::qtFilter(request.filter));
}

QString QtPrompter::saveFileName(const FileRequest& request)
{
    const QString start =
        request.fileName.isEmpty() ? request.directory : QDir(request.directory).filePath(request.fileName);
    return QFileDialog::getSaveFileName(m_parent, request.title, start, promptconv::qtFilter(request.filter), nullptr,
                                        request.confirmOverwrite ? QFileDialog::Options()
                                                                 : QFileDialog::DontConfirmOverwrite);
}

std::optional<quint32> QtPrompter::chooseColor(quint32 initialBgr)
{
    const QColor chosen = QColorDialog::getColor(promptconv::colorFromBgr(initialBgr), m_parent);
    if (!chosen.isValid())
        return std::nullopt;
    return promptconv::bgrFromColor(chosen);
}

void QtPrompter::openUrl(const QString& url)
{
    const UrlOpener open = m_opener ? m_opener : UrlOpener([](const QUrl& u) { return QDesktopServices::openUrl(u); });
    if (helppages::isNetworkAddress(url)) {
        if (!open(QUrl(url, QUrl::TolerantMode)))
            error(QStringLiteral("Could not open %1: no web browser answered.").arg(url));
        return;
    }
    const QStringList folders =
        m_guideFolders.isEmpty() ? helppages::searchFolders(QCoreApplication::applicationDirPath()) : m_guideFolders;
    const std::optional<QString> page = helppages::locate(url, folders);
    if (!page) {
        message({helppages::missingText(url, folders), QString(), Icon::Exclamation, Buttons::Ok, {}});
        return;
    }
    if (!open(QUrl::fromLocalFile(*page)))
        error(QStringLiteral("Could not open %1: no program answered for HTML pages.").arg(*page));
}
