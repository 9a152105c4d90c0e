#pragma once

#include <QByteArray>
#include <QtGlobal>

class BootFlash;

// The bootloader's own S-record reader. Text arrives in whatever pieces the line delivers;
// each record is 'S', a type digit, a two-digit byte count and that many bytes in hex
// (address, data, checksum: the ones' complement of the sum of count, address and data).
// Whatever stands between records (line ends, the "00" filling of pass-through pieces,
// blanks) is skipped up to the next 'S'. A record with a character that is not hex, a
// count too short for its address, an unknown type or a wrong checksum is a bad record:
// it is counted and programs nothing. S1/S2/S3 data go to the flash at their 16/24/32-bit
// address; S7/S8/S9 mark the image complete; S0, S5 and S6 are checked and counted only.
class SRecordDecoder {
public:
    explicit SRecordDecoder(BootFlash& flash) : m_flash(flash) {}

    void feed(const QByteArray& text);
    void feed(char c);
    // Forgets a record under way (the bootloader restarted).
    void reset();
    bool inRecord() const { return m_state != State::Idle; }
    // The record under way is lost on its way: when it completes it is neither counted
    // nor programmed, as if it had never come.
    void loseCurrentRecord() { m_lose = inRecord(); }
    // Characters of the record under way were lost on the line: it ends as a bad record
    // and programs nothing, whatever its checksum says.
    void spoilCurrentRecord() { m_spoiled = inRecord(); }
    // Records that have ended so far, good, bad or lost.
    int recordsEnded() const { return m_ended; }

private:
    enum class State { Idle, Type, Body };
    void finish();
    void bad();

    BootFlash& m_flash;
    State m_state = State::Idle;
    int m_type = 0;
    int m_count = -1; // bytes after the count field, -1 while the count is being read
    QByteArray m_hex;
    bool m_lose = false;
    bool m_spoiled = false;
    int m_ended = 0;
};
