#include "SRecordFile.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Bytes of address each record type carries; 0 marks a type the modules do not know
// (S4 is reserved, S6 postdates every bootloader we program).
int addressBytes(char type)
{
    switch (type) {
    case '0':
    case '1':
    case '5':
    case '9':
        return 2;
    case '2':
    case '8':
        return 3;
    case '3':
    case '7':
        return 4;
    default:
        return 0;
    }
}

bool isTermination(char type)
{
    return type == '5' || type == '7' || type == '8' || type == '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

int byteAt(const QByteArray& line, qsizetype pos)
{
    return hexValue(line[pos]) * 16 + hexValue(line[pos + 1]);
}

QString hex2(int value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

struct SplitFile {
    std::vector<QByteArray> lines;
    // The line of a Ctrl-Z with more than line ends after it (0: none). A DOS editor leaves
    // Ctrl-Z as the file's last byte; data after it means files were joined or a transfer
    // cut one short, and the part after the mark would silently never be programmed.
    int dataAfterEof = 0;
};

// CR, LF and CR LF each end a line; a Ctrl-Z ends the file.
SplitFile splitLines(const QByteArray& content)
{
    SplitFile out;
    QByteArray current;
    bool pending = false;
    for (qsizetype i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\x1a') {
            for (qsizetype j = i + 1; j < content.size(); ++j) {
                const char after = content[j];
                if (after != '\x1a' && after != '\r' && after != '\n' && after != ' ' && after != '\t') {
                    out.dataAfterEof = int(out.lines.size()) + 1;
                    break;
                }
            }
            break;
        }
        if (c == '\r' || c == '\n') {
            out.lines.push_back(current);
            current.clear();
            pending = false;
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n')
                ++i;
            continue;
        }
        current.append(c);
        pending = true;
    }
    if (pending)
        out.lines.push_back(current);
    return out;
}

} // namespace

SRecordFile SRecordFile::load(const QString& path)
{
    SRecordFile file;
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        file.refuse(0, QStringLiteral("Cannot open ") + path, in.errorString());
        return file;
    }
    if (in.size() > kMaxFileSize) {
        file.refuse(0, path, QStringLiteral("The file is too large to be a firmware file."));
        return file;
    }
    const QByteArray content = in.read(kMaxFileSize + 1);
    if (in.error() != QFileDevice::NoError) {
        file.refuse(0, QStringLiteral("Cannot read ") + path, in.errorString());
        return file;
    }
    return parse(content, QFileInfo(path).fileName());
}

SRecordFile SRecordFile::parse(const QByteArray& content, const QString& name)
{
    SRecordFile file;
    if (content.size() > kMaxFileSize) {
        file.refuse(0, name, QStringLiteral("The file is too large to be a firmware file."));
        return file;
    }
    const SplitFile split = splitLines(content);
    if (split.dataAfterEof > 0) {
        file.refuse(split.dataAfterEof,
                    QStringLiteral("Line %1 holds an end-of-file mark (Ctrl-Z) with data after it.")
                        .arg(split.dataAfterEof),
                    QStringLiteral("The file may be two files joined or damaged; it is not sent."));
        return file;
    }
    const std::vector<QByteArray>& lines = split.lines;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int number = int(i) + 1;
        const QString where = QStringLiteral("Line %1 is not a valid S-record:").arg(number);
        // Editors leave trailing blanks; they would otherwise reach the bootloader. Hex
        // digits and the record mark are read in either case and sent in capitals, the
        // way every bootloader reads them.
        QByteArray line = lines[i].toUpper();
        while (!line.isEmpty() && (line.endsWith(' ') || line.endsWith('\t')))
            line.chop(1);
        if (line.isEmpty())
            continue;

        if (line.size() < 2 || line[0] != 'S' || line[1] < '0' || line[1] > '9') {
            file.refuse(number, where, QStringLiteral("It does not begin with S and a record type."));
            return file;
        }
        const char type = line[1];
        const int addrBytes = addressBytes(type);
        if (addrBytes == 0) {
            file.refuse(number, where, QStringLiteral("S%1 is not a known record type.").arg(type));
            return file;
        }
        for (qsizetype pos = 2; pos < line.size(); ++pos) {
            if (hexValue(line[pos]) < 0) {
                const uchar c = uchar(line[pos]);
                const QString shown =
                    c > 32 && c < 127 ? QStringLiteral(" (\"%1\")").arg(QChar(c)) : QString();
                file.refuse(
                    number, where,
                    QStringLiteral("Character %1%2 is not a hexadecimal digit.").arg(pos + 1).arg(shown));
                return file;
            }
        }
        if (line.size() < 4) {
            file.refuse(number, where, QStringLiteral("The line ends before its byte count."));
            return file;
        }
        const int count = byteAt(line, 2);
        if (line.size() != 4 + 2 * count) {
            file.refuse(number, where,
                        QStringLiteral("Its byte count %1 needs %2 characters, the line has %3.")
                            .arg(hex2(count))
                            .arg(4 + 2 * count)
                            .arg(line.size()));
            return file;
        }
        if (count < addrBytes + 1) {
            file.refuse(number, where,
                        QStringLiteral("Its byte count %1 is too small for an S%2 record.")
                            .arg(hex2(count))
                            .arg(type));
            return file;
        }
        int sum = 0;
        for (int b = 0; b < count; ++b)
            sum += byteAt(line, 2 + 2 * b);
        const int given = byteAt(line, 2 + 2 * count);
        const int expected = ~sum & 0xFF;
        if (given != expected) {
            file.refuse(number, where,
                        QStringLiteral("Its checksum is %1, the record's bytes give %2.")
                            .arg(hex2(given), hex2(expected)));
            return file;
        }
        const int dataBytes = count - addrBytes - 1;
        if (isTermination(type) && dataBytes != 0) {
            file.refuse(number, where,
                        QStringLiteral("An S%1 record carries no data, this one has %2 bytes.")
                            .arg(type)
                            .arg(dataBytes));
            return file;
        }

        SRecord record;
        record.lineNumber = number;
        record.type = type;
        record.text = line;
        for (int b = 0; b < addrBytes; ++b)
            record.address = (record.address << 8) | quint32(byteAt(line, 4 + 2 * b));
        record.data.reserve(dataBytes);
        for (int b = 0; b < dataBytes; ++b)
            record.data.append(char(byteAt(line, 4 + 2 * (addrBytes + b))));
        file.m_records.push_back(std::move(record));
    }
    if (file.m_records.empty())
        file.refuse(0, name, QStringLiteral("The file holds no S-records."));
    return file;
}

bool SRecordFile::hasEndRecord() const
{
    for (const SRecord& record : m_records) {
        if (record.type == '7' || record.type == '8' || record.type == '9')
            return true;
    }
    return false;
}

QByteArray SRecordFile::terminationLine() const
{
    for (const SRecord& record : m_records) {
        if (record.text.contains("S9"))
            return record.text;
    }
    return m_records.empty() ? QByteArray() : m_records.back().text;
}

void SRecordFile::refuse(int line, const QString& where, const QString& what)
{
    m_records.clear();
    m_errorLine = line;
    m_error = QStringLiteral("Error,\r") + where + QLatin1Char('\r') + what;
}
