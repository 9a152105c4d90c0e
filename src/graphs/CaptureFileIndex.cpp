#include "CaptureFileIndex.h"

#include <cstring>

namespace {
// A title longer than this is not one of ours; the type words are near its start.
constexpr int kTitleLimit = 64 * 1024;
} // namespace

bool CaptureFileIndex::open(const QString& path, QString* error)
{
    m_file.close();
    m_path = path;
    m_error.clear();
    m_size = m_scanned = m_line = m_dataLines = 0;
    m_atLineStart = true;
    m_done = false;
    m_title.clear();
    m_pageOffsets.clear();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = m_file.errorString();
        m_done = true;
        return false;
    }
    m_size = m_file.size();
    return true;
}

bool CaptureFileIndex::step()
{
    if (m_done)
        return false;
    const QByteArray block = m_file.read(kBlockBytes);
    if (block.isEmpty()) {
        if (!m_file.atEnd())
            m_error = m_file.errorString();
        finish();
        return false;
    }
    scanBlock(block.constData(), block.size());
    if (!m_done && m_file.atEnd())
        finish();
    return !m_done;
}

void CaptureFileIndex::scanBlock(const char* data, qint64 size)
{
    qint64 i = 0;
    while (i < size && !m_done) {
        if (m_atLineStart) {
            m_atLineStart = false;
            lineStarts(data[i]);
            if (m_done)
                return;
        }
        const void* nl = std::memchr(data + i, '\n', size_t(size - i));
        const qint64 end = nl ? static_cast<const char*>(nl) - data : size;
        if (m_line == 0 && m_title.size() < kTitleLimit)
            m_title.append(data + i, int(qMin<qint64>(end - i, kTitleLimit - m_title.size())));
        m_scanned += (nl ? end + 1 : end) - i;
        i = nl ? end + 1 : end;
        if (nl) {
            ++m_line;
            m_atLineStart = true;
        }
    }
}

// Called with the first byte of line m_line, whose offset is m_scanned.
void CaptureFileIndex::lineStarts(char first)
{
    if (m_line == 0)
        return;
    const qint64 dataLine = m_line - 1;
    if (first == '\'') {
        // The dump that ends the file: nothing after it is data.
        m_dataLines = dataLine;
        m_done = true;
        m_file.close();
        return;
    }
    if (dataLine % kPageLines == 0)
        m_pageOffsets.push_back(m_scanned);
    m_dataLines = dataLine + 1;
}

void CaptureFileIndex::finish()
{
    m_done = true;
    m_file.close();
    if (m_title.endsWith('\r'))
        m_title.chop(1);
}

bool CaptureFileIndex::readPage(qint64 firstLine, Page* page, QString* error) const
{
    page->lines.clear();
    page->endOffset = 0;
    const qint64 index = firstLine / kPageLines;
    if (firstLine < 0 || firstLine % kPageLines != 0 || index >= qint64(m_pageOffsets.size()))
        return true; // no data lines there: an empty page
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(m_pageOffsets[size_t(index)])) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const qint64 count = qMin<qint64>(kLinesShown, m_dataLines - firstLine);
    page->lines.reserve(int(count));
    for (qint64 i = 0; i < count; ++i) {
        QByteArray line = file.readLine();
        if (line.isEmpty())
            break; // the file was cut short since it was indexed
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        page->lines.append(line);
    }
    page->endOffset = file.pos();
    return true;
}
