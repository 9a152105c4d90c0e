#include "UploadHistoryWindow.h"

#include "Prompter.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

UploadHistoryWindow::UploadHistoryWindow(const UploadHistory& history, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_history(history), m_prompter(prompter), m_table(new QTableWidget(this)),
      m_summary(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Upload History"));
    auto* box = new QVBoxLayout(this);
    m_table->setColumnCount(int(UploadHistory::columns().size()));
    m_table->setHorizontalHeaderLabels(UploadHistory::columns());
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    box->addWidget(m_table);
    box->addWidget(m_summary);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* exportButton = buttons->addButton(QStringLiteral("Export CSV..."), QDialogButtonBox::ActionRole);
    connect(exportButton, &QPushButton::clicked, this, &UploadHistoryWindow::exportCsv);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    box->addWidget(buttons);
    resize(980, 360);
    reload();
}

void UploadHistoryWindow::reload()
{
    m_jobs = m_history.load();
    m_table->setRowCount(int(m_jobs.size()));
    int programmed = 0;
    for (size_t i = 0; i < m_jobs.size(); ++i) {
        // Newest on top: the job the technician just ran is the one he looks for.
        const UploadJob& job = m_jobs[m_jobs.size() - 1 - i];
        programmed += job.verdict == UploadJob::Verdict::Programmed;
        const QStringList cells = UploadHistory::row(job);
        for (int c = 0; c < cells.size(); ++c) {
            // The table shows file names and the start of each checksum; the tool tip and
            // the CSV export keep them whole.
            QString shown = cells[c];
            if (c == 2 || c == 3) {
                QStringList parts = shown.split(QStringLiteral("; "));
                for (QString& part : parts)
                    part = c == 2 ? QFileInfo(part).fileName() : part.left(12);
                shown = parts.join(QStringLiteral("; "));
            }
            auto* item = new QTableWidgetItem(shown);
            item->setToolTip(c == 6 ? job.verdictText : cells[c]);
            m_table->setItem(int(i), c, item);
        }
    }
    m_table->resizeColumnsToContents();
    m_summary->setText(QStringLiteral("%1 jobs, %2 programmed.  Kept in %3")
                           .arg(m_jobs.size())
                           .arg(programmed)
                           .arg(m_history.path()));
}

bool UploadHistoryWindow::exportCsv()
{
    const QString path = m_prompter.saveFileName(
        {QStringLiteral("Export Upload History"), QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*"),
         QString(), QStringLiteral("upload-history.csv")});
    if (path.isEmpty())
        return false;
    QFile f(path);
    const QByteArray csv = UploadHistory::toCsv(m_jobs);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(csv) != csv.size()) {
        m_prompter.error(f.errorString());
        return false;
    }
    return true;
}
