#include "BootFlash.h"

#include <QFile>

void BootFlash::erase()
{
    m_bytes.clear();
    ++m_eraseCount;
    m_good = m_bad = m_reprogrammed = 0;
    m_complete = false;
}

void BootFlash::program(quint32 address, const QByteArray& data)
{
    for (qsizetype i = 0; i < data.size(); ++i) {
        const auto value = quint8(data[i]);
        const auto [it, fresh] = m_bytes.try_emplace(quint32(address + quint32(i)), value);
        if (!fresh) {
            it->second &= value;
            ++m_reprogrammed;
        }
    }
}

QByteArray BootFlash::span(quint32* base) const
{
    if (m_bytes.empty()) {
        if (base)
            *base = 0;
        return {};
    }
    const quint32 low = m_bytes.begin()->first;
    const quint32 high = m_bytes.rbegin()->first;
    if (base)
        *base = low;
    // Records scattered over a 32-bit space would make a file of gigabytes.
    if (high - low >= kMaxSpan)
        return {};
    QByteArray out(qsizetype(high - low) + 1, char(0xFF));
    for (const auto& [address, value] : m_bytes)
        out[qsizetype(address - low)] = char(value);
    return out;
}

bool BootFlash::writeBinary(const QString& path, QString* error) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray image = span();
    if (image.isEmpty() && !m_bytes.empty()) {
        if (error)
            *error = QStringLiteral("the programmed bytes spread over more than %1 bytes").arg(kMaxSpan);
        return false;
    }
    if (file.write(image) != image.size()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
