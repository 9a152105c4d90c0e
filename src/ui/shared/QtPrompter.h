#pragma once

#include "Prompter.h"

#include <QPointer>
#include <QWidget>

// The prompts the logic asks for, shown with Qt's own dialogs. Dialogs are parented to
// the window given, so they stay in front of it and centre on it.
class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}

    void setParentWidget(QWidget* parent) { m_parent = parent; }
    // The caption of a message box whose request carries no title (the program's title).
    void setDefaultTitle(const QString& title) { m_defaultTitle = title; }
    // Where relative help paths are looked up; the program's folder when unset.
    void setDocumentFolder(const QString& folder) { m_documentFolder = folder; }

    Answer message(const Message& message) override;
    QString openFileName(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;
    std::optional<quint32> chooseColor(quint32 initialBgr) override;
    void openUrl(const QString& url) override;

private:
    QPointer<QWidget> m_parent;
    QString m_defaultTitle;
    QString m_documentFolder;
};
