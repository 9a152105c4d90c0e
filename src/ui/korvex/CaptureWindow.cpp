#include "CaptureWindow.h"

#include "Twips.h"

#include "Prompter.h"

#include <QAction>
#include <QPushButton>
#include <QVBoxLayout>

namespace {


QPushButton* button(const QString& caption, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setMinimumHeight(30);
    return b;
}
} // namespace

CaptureWindow::CaptureWindow(Prompter& prompter, QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("frmCapture"));
    setWindowTitle(QStringLiteral("Capture"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(6);
    m_log = button(QStringLiteral("Start Data Log"), QStringLiteral("cmdLog"), this);
    m_save = button(QStringLiteral("Save Screen Data"), QStringLiteral("cmdSaveData"), this);
    m_load = button(QStringLiteral("Load Data Log"), QStringLiteral("cmdLoadDataLog"), this);
    m_unload = button(QStringLiteral("Unload Data Log"), QStringLiteral("cmdUnloadDataLog"), this);
    m_print = button(QStringLiteral("Print Screen"), QStringLiteral("cmdPrint"), this);
    for (QPushButton* b : {m_log, m_save, m_load, m_unload, m_print})
        column->addWidget(b);
    column->addStretch(1);
    setMinimumWidth(170);

    auto* help = new QAction(this);
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::WindowShortcut);
    addAction(help);
    connect(help, &QAction::triggered, this,
            [&prompter] { prompter.openUrl(QStringLiteral("html\\capture.html")); });
}

QPoint CaptureWindow::placement(const QRect& mainFrame, const QSize& captureFrame)
{
    const int top =
        mainFrame.top() + mainFrame.height() - captureFrame.height() - qRound(150.0 / kTwipsPerPixel);
    const int left =
        mainFrame.left() + mainFrame.width() - captureFrame.width() - qRound(50.0 / kTwipsPerPixel);
    return {left, top};
}
