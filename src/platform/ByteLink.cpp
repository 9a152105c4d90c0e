#include "ByteLink.h"

QString lineEventText(LineEvent event)
{
    switch (event) {
    case LineEvent::Break:
        return QStringLiteral("Break Received");
    case LineEvent::CdTimeout:
        return QStringLiteral("Carrier Detect Timeout");
    case LineEvent::CtsTimeout:
        return QStringLiteral("CTS Timeout");
    case LineEvent::DcbError:
        return QStringLiteral("Error retrieving DCB");
    case LineEvent::DsrTimeout:
        return QStringLiteral("DSR Timeout");
    case LineEvent::Framing:
        return QStringLiteral("Framing Error");
    case LineEvent::Overrun:
        return QStringLiteral("Overrun Error");
    case LineEvent::ReceiveOverflow:
        return QStringLiteral("Receive Buffer Overflow");
    case LineEvent::Parity:
        return QStringLiteral("Parity Error");
    case LineEvent::TransmitBufferFull:
        return QStringLiteral("Transmit Buffer Full");
    case LineEvent::Unknown:
        break;
    }
    return QStringLiteral("Unknown error or event");
}
