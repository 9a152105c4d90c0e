#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <vector>

// Where the pages of a data log or screen capture begin, found in one pass over the
// file, so that any page opens with one seek however long the file is. The data lines
// are those after the title line and before the first line that starts with "'" (the
// parameter dump that ends every file).
class CaptureFileIndex {
public:
    static constexpr int kPageLines = 640;
    // A page shows its own 640 lines and the first line of the next page.
    static constexpr int kLinesShown = kPageLines + 1;
    static constexpr qint64 kBlockBytes = qint64(1) << 20;

    // Starts indexing the file. False with the system's reason when it cannot be read.
    bool open(const QString& path, QString* error);
    // Reads one more block; true while more remains. The caller runs the event loop
    // between blocks, so a big file never freezes the window.
    bool step();
    bool isDone() const { return m_done; }
    const QString& error() const { return m_error; }
    qint64 bytesScanned() const { return m_scanned; }
    qint64 fileSize() const { return m_size; }

    const QString& path() const { return m_path; }
    // The first line, without its line end (empty for an empty file).
    const QByteArray& titleLine() const { return m_title; }
    qint64 dataLines() const { return m_dataLines; }

    struct Page {
        QList<QByteArray> lines; // without their line ends
        qint64 endOffset = 0;    // just past the last line read
    };
    // The lines shown by the page whose first data line is `firstLine` (a multiple of
    // 640 below dataLines(), or 0). False with the system's reason when the file cannot
    // be read again.
    bool readPage(qint64 firstLine, Page* page, QString* error) const;

private:
    void scanBlock(const char* data, qint64 size);
    void lineStarts(char first);
    void finish();

    QString m_path;
    QFile m_file;
    QString m_error;
    qint64 m_size = 0;
    qint64 m_scanned = 0;
    qint64 m_line = 0; // the line being scanned; 0 is the title
    bool m_atLineStart = true;
    bool m_done = false;
    QByteArray m_title;
    qint64 m_dataLines = 0;
    std::vector<qint64> m_pageOffsets; // byte offset of data line 640 * i
};
