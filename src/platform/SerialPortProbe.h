#pragma once

#include "ByteLink.h"

#include <QtGlobal>

#include <memory>
#include <optional>
#include <vector>

// The kernel's error counters of one serial port. They count from when the driver
// started, not from our open, so only their increments mean anything.
struct SerialErrorCounts {
    quint32 frame = 0;
    quint32 parity = 0;
    quint32 overrun = 0;
    quint32 brk = 0;
    quint32 bufOverrun = 0;
};

// What the serial link asks the kernel about an open port beyond what QSerialPort tells:
// the line-error counters and the bytes still queued for sending. Behind an interface so
// that tests can feed values a pseudo-terminal never produces.
class SerialPortProbe {
public:
    virtual ~SerialPortProbe() = default;
    // Nothing when the device keeps no counters (pseudo-terminals, some USB adapters).
    virtual std::optional<SerialErrorCounts> errorCounts(int fd) = 0;
    // Bytes the kernel still holds for the line; nothing when it cannot tell.
    virtual std::optional<int> outputQueued(int fd) = 0;
};

// The ioctl implementation (TIOCGICOUNT, TIOCOUTQ).
std::unique_ptr<SerialPortProbe> makeKernelSerialProbe();

// The line events that the change from one reading to the next stands for: one event per
// kind that moved, however many errors of that kind came in between (a wrong baud rate
// gives one on every byte), in a fixed order: framing, parity, overrun, break, receive
// overflow.
std::vector<LineEvent> lineEventsBetween(const SerialErrorCounts& before, const SerialErrorCounts& after);
