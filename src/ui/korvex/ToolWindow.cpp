#include "ToolWindow.h"

#include "Prompter.h"

#include <QLineEdit>
#include <QShortcut>

ToolWindow::ToolWindow(const QString& name, const QString& title, const QString& help, Prompter& prompter,
                       QWidget* parent)
    : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(title);
    setModal(false);
    if (help.isEmpty())
        return;
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [&prompter, help] { prompter.openUrl(help); });
}

void ToolWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Q_EMIT shownChanged(true);
}

void ToolWindow::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    Q_EMIT shownChanged(false);
}

void setBoxText(QLineEdit* box, const QString& text)
{
    if (box->text() != text)
        box->setText(text);
}
