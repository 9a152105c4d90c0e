#pragma once

#include "Prompter.h"

#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <functional>

// The prompts the logic asks for, shown with Qt's own dialogs. Dialogs are parented to
// the window given, so they stay in front of it and centre on it.
class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}

    void setParentWidget(QWidget* parent) { m_parent = parent; }
    // The caption of a message box whose request carries no title (the program's title).
    void setDefaultTitle(const QString& title) { m_defaultTitle = title; }
    // What hands a page to the system's browser or viewer (QDesktopServices by default);
    // a test or screenshot run puts something harmless here.
    using UrlOpener = std::function<bool(const QUrl&)>;
    void setUrlOpener(UrlOpener opener) { m_opener = std::move(opener); }
    // The guide folders searched for help pages; the program's own when unset.
    void setGuideFolders(const QStringList& folders) { m_guideFolders = folders; }

    Answer message(const Message& message) override;
    QString openFileName(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;
    std::optional<quint32> chooseColor(quint32 initialBgr) override;
    void openUrl(const QString& url) override;

private:
    QPointer<QWidget> m_parent;
    QString m_defaultTitle;
    QStringList m_guideFolders;
    UrlOpener m_opener;
};
