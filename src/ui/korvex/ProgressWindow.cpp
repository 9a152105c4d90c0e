#include "ProgressWindow.h"

#include "ToolProgress.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

ProgressWindow::ProgressWindow(ToolProgress& progress, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint), m_owner(owner),
      m_label(new QLabel(this)), m_bar(new QProgressBar(this)), m_cancel(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmMsg"));
    setWindowTitle(QStringLiteral("QVR Remote Panel"));
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setTextFormat(Qt::PlainText);
    m_label->setAlignment(Qt::AlignCenter);
    QFont big = m_label->font();
    big.setPointSizeF(big.pointSizeF() * 1.15);
    m_label->setFont(big);
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    m_bar->setRange(0, ToolProgress::kMaximum);
    m_bar->setTextVisible(false);
    m_bar->setMinimumWidth(300);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cancel->setText(QStringLiteral("Cancel"));
    m_cancel->setDefault(true);

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(16, 14, 16, 14);
    box->setSpacing(10);
    box->addWidget(m_label);
    box->addWidget(m_bar);
    box->addWidget(m_cancel, 0, Qt::AlignHCenter);

    m_label->setText(progress.label());
    m_bar->setValue(progress.value());
    connect(&progress, &ToolProgress::labelChanged, m_label, &QLabel::setText);
    connect(&progress, &ToolProgress::valueChanged, m_bar, &QProgressBar::setValue);
    connect(&progress, &ToolProgress::shownChanged, this, &ProgressWindow::setShown);
    connect(m_cancel, &QPushButton::clicked, &progress, &ToolProgress::cancel);
    setShown(progress.isShown());
}

void ProgressWindow::setShown(bool shown)
{
    if (!shown) {
        hide();
        return;
    }
    adjustSize();
    // Over the middle of the panel, where the eye already is.
    if (m_owner)
        move(m_owner->frameGeometry().center() - rect().center());
    show();
    raise();
}
