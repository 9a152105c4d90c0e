#include "WaitWindow.h"

#include <QProgressBar>
#include <QVBoxLayout>

namespace {
// 1000 twips at 15 twips per pixel.
constexpr int kOffsetY = 1000 / 15;
} // namespace

WaitWindow::WaitWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), m_owner(owner), m_bar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("frmWait"));
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    m_bar->setTextVisible(false);
    m_bar->setFixedSize(180, 10);
    layout->addWidget(m_bar);
    setStyleSheet(QStringLiteral("WaitWindow { background: #2c2e32; border: 1px solid #0c0c0e; }"));
    m_timer.setInterval(50);
    connect(&m_timer, &QTimer::timeout, this, &WaitWindow::tick);
}

void WaitWindow::begin(int ms)
{
    if (m_depth++ > 0)
        return;
    m_ms = qMax(1, ms);
    m_bar->setRange(0, m_ms);
    m_bar->setValue(0);
    m_clock.start();
    if (m_owner)
        move(m_owner->frameGeometry().topLeft() + QPoint(0, kOffsetY));
    show();
    raise();
    m_timer.start();
}

void WaitWindow::end()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    m_timer.stop();
    hide();
}

void WaitWindow::tick()
{
    m_bar->setValue(int(qMin<qint64>(m_clock.elapsed(), m_ms)));
}
