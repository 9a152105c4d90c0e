#pragma once

#include "UploadHistory.h"

#include <QDialog>

class Prompter;
class QLabel;
class QTableWidget;

// Help / "Upload History": every programming job of this user as a table, newest first,
// with an export of the whole record to CSV.
class UploadHistoryWindow : public QDialog {
    Q_OBJECT
public:
    UploadHistoryWindow(const UploadHistory& history, Prompter& prompter, QWidget* parent = nullptr);

    // Reads the record again.
    void reload();
    // Asks for a file name and writes the CSV there. False when cancelled or not written.
    bool exportCsv();
    QTableWidget* table() const { return m_table; }

private:
    const UploadHistory& m_history;
    Prompter& m_prompter;
    std::vector<UploadJob> m_jobs;
    QTableWidget* m_table;
    QLabel* m_summary;
};
