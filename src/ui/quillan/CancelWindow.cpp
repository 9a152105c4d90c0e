#include "CancelWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

CancelWindow::CancelWindow(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("CancelWindow"));
    setModal(false);

    auto* box = new QVBoxLayout(this);
    m_text = new QLabel(this);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setMinimumWidth(400);
    m_text->setWordWrap(true);
    box->addWidget(m_text);

    m_bar = new QProgressBar(this);
    m_bar->setTextVisible(true);
    m_bar->hide();
    box->addWidget(m_bar);

    m_progress = new QLabel(this);
    m_progress->setObjectName(QStringLiteral("Progress"));
    m_progress->hide();
    box->addWidget(m_progress);

    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    m_cancel->setDefault(true);
    box->addWidget(m_cancel, 0, Qt::AlignHCenter);
    connect(m_cancel, &QPushButton::clicked, this, &CancelWindow::cancelClicked);
}

void CancelWindow::present(const QString& caption, const QString& text)
{
    setWindowTitle(caption);
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_text->setText(shown);
    m_bar->hide();
    m_progress->hide();
    m_progress->clear();
    adjustSize();
    show();
    raise();
}

void CancelWindow::setProgress(qint64 done, qint64 total, qint64 elapsedMs)
{
    const bool grows = m_progress->isHidden() || (total > 0 && m_bar->isHidden());
    QString line = tr("Lines sent: %1").arg(done);
    if (total > 0) {
        m_bar->setRange(0, 1000);
        m_bar->setValue(int(qBound(qint64(0), done * 1000 / total, qint64(1000))));
        m_bar->setFormat(QStringLiteral("%1 / %2").arg(done).arg(total));
        m_bar->show();
        line = tr("Lines sent: %1 of %2").arg(done).arg(total);
    }
    line += tr("    Elapsed: %1").arg(clockText(elapsedMs));
    if (total > 0 && done > 0 && done < total)
        line += tr("    Left: %1").arg(clockText(elapsedMs * (total - done) / done));
    m_progress->setText(line);
    m_progress->show();
    // The first progress adds two rows; the window grows rather than squeezing the text.
    if (grows)
        adjustSize();
}

void CancelWindow::setProgressLine(const QString& line, qint64 done, qint64 total)
{
    const bool grows = m_progress->isHidden() || (total > 0 && m_bar->isHidden());
    if (total > 0) {
        m_bar->setRange(0, int(total));
        m_bar->setValue(int(qBound(qint64(0), done, total)));
        m_bar->setFormat(QStringLiteral("%1 / %2").arg(done).arg(total));
        m_bar->show();
    }
    m_progress->setText(line);
    m_progress->show();
    if (grows)
        adjustSize();
}

QString CancelWindow::text() const
{
    return m_text->text();
}

QString CancelWindow::progressText() const
{
    return m_progress->text();
}

QString CancelWindow::clockText(qint64 ms)
{
    const qint64 s = qMax<qint64>(0, ms) / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

// Closing the window any other way than Cancel would leave the run going with no way
// to stop it; the only way out is the Cancel button.
void CancelWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void CancelWindow::reject()
{
    m_cancel->click();
}
