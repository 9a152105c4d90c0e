#include "SerialPortProbe.h"

#include <sys/ioctl.h>

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#endif

namespace {

class KernelSerialProbe : public SerialPortProbe {
public:
    std::optional<SerialErrorCounts> errorCounts(int fd) override
    {
#if defined(Q_OS_LINUX) && defined(TIOCGICOUNT)
        serial_icounter_struct c{};
        if (fd < 0 || ::ioctl(fd, TIOCGICOUNT, &c) != 0)
            return std::nullopt;
        SerialErrorCounts out;
        out.frame = quint32(c.frame);
        out.parity = quint32(c.parity);
        out.overrun = quint32(c.overrun);
        out.brk = quint32(c.brk);
        out.bufOverrun = quint32(c.buf_overrun);
        return out;
#else
        Q_UNUSED(fd);
        return std::nullopt;
#endif
    }

    std::optional<int> outputQueued(int fd) override
    {
        int n = 0;
        if (fd < 0 || ::ioctl(fd, TIOCOUTQ, &n) != 0)
            return std::nullopt;
        return n;
    }
};

} // namespace

std::unique_ptr<SerialPortProbe> makeKernelSerialProbe()
{
    return std::make_unique<KernelSerialProbe>();
}

std::vector<LineEvent> lineEventsBetween(const SerialErrorCounts& before, const SerialErrorCounts& after)
{
    // Any change counts: a counter that wrapped around moved as much as one that grew.
    std::vector<LineEvent> out;
    if (after.frame != before.frame)
        out.push_back(LineEvent::Framing);
    if (after.parity != before.parity)
        out.push_back(LineEvent::Parity);
    if (after.overrun != before.overrun)
        out.push_back(LineEvent::Overrun);
    if (after.brk != before.brk)
        out.push_back(LineEvent::Break);
    if (after.bufOverrun != before.bufOverrun)
        out.push_back(LineEvent::ReceiveOverflow);
    return out;
}
