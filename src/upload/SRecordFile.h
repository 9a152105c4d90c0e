#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// One checked line of a Motorola S-record file.
struct SRecord {
    int lineNumber = 0; // 1-based, counting every line of the file
    char type = 0;      // '0' .. '9'
    QByteArray text;    // the line as it goes to the module (no line end, no trailing blanks)
    quint32 address = 0;
    QByteArray data;
};

// A firmware file read in full and checked record by record before any of it can be sent:
// a module half-programmed from a damaged file may not start again, so one bad line refuses
// the whole file. A refused file holds no records and a three-line message for the user.
class SRecordFile {
public:
    // Larger than any firmware we ship by far; protects against picking a disc image.
    static constexpr qint64 kMaxFileSize = 32 * 1024 * 1024;

    static SRecordFile load(const QString& path);
    // name stands in the message when the file as a whole is refused.
    static SRecordFile parse(const QByteArray& content,
                             const QString& name = QStringLiteral("The selected file"));

    bool isValid() const { return m_error.isEmpty(); }
    // "Error," CR where CR what; empty when the file is good.
    const QString& errorText() const { return m_error; }
    // The line the error names; 0 for a fault of the file as a whole.
    int errorLine() const { return m_errorLine; }

    const std::vector<SRecord>& records() const { return m_records; }
    // The line whose start address tells the processor family: the first line containing
    // "S9", otherwise the last line of the file. Empty for a refused file.
    QByteArray terminationLine() const;
    // An S7, S8 or S9 record ends the data. A file without one may have been cut short at a
    // line boundary, which every record check passes.
    bool hasEndRecord() const;

private:
    void refuse(int line, const QString& where, const QString& what);

    std::vector<SRecord> m_records;
    QString m_error;
    int m_errorLine = 0;
};
