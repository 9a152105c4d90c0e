#include "FirmwareImage.h"

#include "SRecordFile.h"

#include <algorithm>

void FirmwareImage::load(const SRecordFile& file)
{
    m_bytes.fill('\0');
    for (const SRecord& record : file.records()) {
        if (record.type == '9')
            break;
        if (record.type != '1')
            continue;
        const qsizetype start = record.address & 0xFFFF;
        const qsizetype n = std::min<qsizetype>(record.data.size(), kSize - start);
        std::copy_n(record.data.constData(), n, m_bytes.data() + start);
    }
}

std::optional<QString> FirmwareImage::findVersion() const
{
    const auto at = [this](qsizetype i) { return uchar(m_bytes[i]); };
    // The marker is looked for no higher than the old tool did, so files give the same answer.
    constexpr qsizetype kLastMarker = kSize - 13;
    for (qsizetype a = 0; a <= kLastMarker; ++a) {
        if (at(a) != 'V' || (at(a + 1) & 0xDF) != 'E' || (at(a + 2) & 0xDF) != 'R')
            continue;
        qsizetype blank = a + 9;
        for (qsizetype i = a + 3; i <= a + 8; ++i) {
            if (at(i) == ' ') {
                blank = i;
                break;
            }
        }
        // A marker near the top of memory leaves fewer than six bytes after the blank; the
        // text ends with the image rather than reading past it.
        QString version;
        for (qsizetype i = blank + 1; i < kSize && version.size() < 6; ++i) {
            const uchar c = at(i);
            if (c < 33 || c >= 122)
                break;
            version.append(QChar(c));
        }
        return version;
    }
    return std::nullopt;
}
