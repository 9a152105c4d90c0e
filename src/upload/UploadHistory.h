#pragma once

#include "UploadJob.h"

#include <QString>

#include <vector>

// The service report: one record per programming job, from the window or the headless
// flasher, appended to a per-user file under the data folder (XDG_DATA_HOME), one JSON
// object a line, so that an interrupted write can spoil at most its own line.
class UploadHistory {
public:
    // The file in the user's data folder.
    static QString defaultPath();

    explicit UploadHistory(QString path = defaultPath()) : m_path(std::move(path)) {}

    QString path() const { return m_path; }
    // False (with the reason) when the record could not be written.
    bool append(const UploadJob& job, QString* error = nullptr) const;
    // Every readable record, oldest first; lines that do not read as a record are skipped.
    std::vector<UploadJob> load() const;

    // The table's columns, and the records as CSV with that header.
    static QStringList columns();
    static QStringList row(const UploadJob& job);
    static QByteArray toCsv(const std::vector<UploadJob>& jobs);

private:
    QString m_path;
};
