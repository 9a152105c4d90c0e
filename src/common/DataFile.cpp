#include "DataFile.h"

#include <QFile>

DataFile::DataFile() = default;
DataFile::~DataFile() { close(); }

bool DataFile::open(const QString& path, Slot slot, QString* error)
{
    if (isOpen() || slot == Slot::None) {
        if (error)
            *error = QStringLiteral("Another data file is open: %1").arg(m_path);
        return false;
    }
    // Unbuffered: each write is one system call, so what has been written is in the file
    // even if this process dies the next moment.
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        if (error)
            *error = file->errorString();
        return false;
    }
    m_file = std::move(file);
    m_slot = slot;
    m_path = path;
    m_error.clear();
    m_written = 0;
    return true;
}

bool DataFile::write(const QByteArray& bytes)
{
    if (!m_file)
        return false;
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = m_file->write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            m_error = m_file->errorString();
            return false;
        }
        done += n;
    }
    m_written += done;
    return true;
}

void DataFile::close()
{
    if (m_file)
        m_file->close();
    m_file.reset();
    m_slot = Slot::None;
    m_path.clear();
}
