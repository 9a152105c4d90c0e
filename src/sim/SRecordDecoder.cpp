#include "SRecordDecoder.h"

#include "BootFlash.h"

#include <utility>

namespace {

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

// Address bytes of each record type; -1: not a type a bootloader takes.
int addressBytes(int type)
{
    switch (type) {
    case 0:
    case 1:
    case 5:
    case 9:
        return 2;
    case 2:
    case 6:
    case 8:
        return 3;
    case 3:
    case 7:
        return 4;
    default:
        return -1;
    }
}

} // namespace

void SRecordDecoder::feed(const QByteArray& text)
{
    for (const char c : text)
        feed(c);
}

void SRecordDecoder::feed(char c)
{
    switch (m_state) {
    case State::Idle:
        if (c == 'S') {
            m_state = State::Type;
            m_hex.clear();
            m_count = -1;
            m_spoiled = false;
        }
        return;
    case State::Type:
        if (c < '0' || c > '9' || addressBytes(c - '0') < 0) {
            bad();
            // The character that broke the record may start the next one.
            feed(c);
            return;
        }
        m_type = c - '0';
        m_state = State::Body;
        return;
    case State::Body:
        if (hexValue(c) < 0) {
            bad();
            feed(c);
            return;
        }
        m_hex += c;
        if (m_count < 0 && m_hex.size() == 2) {
            m_count = hexValue(m_hex[0]) * 16 + hexValue(m_hex[1]);
            // Address and checksum must fit in the count.
            if (m_count < addressBytes(m_type) + 1) {
                bad();
                return;
            }
        }
        if (m_count >= 0 && m_hex.size() == 2 + 2 * m_count)
            finish();
        return;
    }
}

void SRecordDecoder::bad()
{
    m_state = State::Idle;
    m_spoiled = false;
    ++m_ended;
    if (!std::exchange(m_lose, false))
        m_flash.countRecord(false);
}

void SRecordDecoder::finish()
{
    if (m_spoiled) {
        bad();
        return;
    }
    m_state = State::Idle;
    QByteArray bytes;
    bytes.reserve(m_hex.size() / 2);
    for (qsizetype i = 0; i < m_hex.size(); i += 2)
        bytes += char(hexValue(m_hex[i]) * 16 + hexValue(m_hex[i + 1]));
    quint8 sum = 0;
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i)
        sum += quint8(bytes[i]);
    if (quint8(~sum) != quint8(bytes.back())) {
        bad();
        return;
    }
    ++m_ended;
    if (std::exchange(m_lose, false))
        return;
    m_flash.countRecord(true);
    const int width = addressBytes(m_type);
    quint32 address = 0;
    for (int i = 0; i < width; ++i)
        address = (address << 8) | quint8(bytes[1 + i]);
    if (m_type >= 1 && m_type <= 3)
        m_flash.program(address, bytes.mid(1 + width, bytes.size() - 2 - width));
    else if (m_type >= 7)
        m_flash.markComplete();
}

void SRecordDecoder::reset()
{
    m_state = State::Idle;
    m_hex.clear();
    m_count = -1;
    m_lose = false;
    m_spoiled = false;
}
