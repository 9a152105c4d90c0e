#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QFile;

// The one data file Korvex writes at a time: a data log (slot 1) or a screen capture or
// parameter dump (slot 2). Every write goes straight to the operating system, so a killed
// program or a pulled cable loses at most the line being written; nothing waits in a
// buffer of ours.
class DataFile {
public:
    enum class Slot { None = 0, DataLog = 1, Capture = 2 };

    DataFile();
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    // Opens (replacing) the file for writing in the given slot. False with the system's
    // reason in `error` when it cannot be opened; an open file is never replaced by another.
    bool open(const QString& path, Slot slot, QString* error = nullptr);
    bool isOpen() const { return m_slot != Slot::None; }
    Slot slot() const { return m_slot; }
    const QString& path() const { return m_path; }

    // Writes the bytes as they stand (a line carries its own CR LF). False when the system
    // refused them (disk full, device gone); the reason is in lastError().
    bool write(const QByteArray& bytes);
    const QString& lastError() const { return m_error; }
    qint64 bytesWritten() const { return m_written; }

    // Closes the file and frees the slot; harmless when nothing is open.
    void close();

private:
    std::unique_ptr<QFile> m_file;
    Slot m_slot = Slot::None;
    QString m_path;
    QString m_error;
    qint64 m_written = 0;
};
