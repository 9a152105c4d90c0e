#pragma once

#include <QString>

#include <array>

// One antenna's link: a serial port or a TCP/IP endpoint, plus the caption and enabled
// state of its selector button. Korvex keeps four, numbered 1 to 4.
struct ConnectionProfile {
    QString settings; // serial line settings, "9600,N,8,1"
    int commPort = 1; // COM number, 1 = COM1
    QString address;  // IP address of the unit, not validated
    int tcpPort = 2000;
    bool serial = true;
    bool enabled = true;
    QString caption;

    // The factory profile of antenna 1..4.
    static ConnectionProfile defaults(int antenna);

    bool operator==(const ConnectionProfile&) const = default;
};

inline constexpr int kAntennaCount = 4;
using ConnectionProfiles = std::array<ConnectionProfile, kAntennaCount>;
