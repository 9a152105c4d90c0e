#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class SRecordFile;

// The 64 KiB memory picture of a 16-bit firmware file, used to find the version text the
// build put into the code.
class FirmwareImage {
public:
    static constexpr int kSize = 65536;

    FirmwareImage() : m_bytes(kSize, '\0') {}

    // Clears the image, then stores the data of the S1 records up to the first S9 record at
    // their addresses; other records are not part of a 16-bit image. Bytes that would fall
    // past the top address are dropped.
    void load(const SRecordFile& file);

    const QByteArray& bytes() const { return m_bytes; }

    // The text after the first "VER" marker ("V" then E and R in either case), at most 6
    // characters; nothing when the image holds no marker.
    std::optional<QString> findVersion() const;

private:
    QByteArray m_bytes;
};
