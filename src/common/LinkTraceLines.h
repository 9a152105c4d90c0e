#pragma once

#include <QObject>
#include <QString>

#include <functional>

class ByteLink;
class SessionTrace;

// The trace's lines about a program's one link: "open" and "close" naming it, a TCP link
// lost and found again within a send's reconnect (the program still counts it open), and
// the link that is already open when a trace starts in the middle of a session.
class LinkTraceLines : public QObject {
    Q_OBJECT
public:
    // describe() names the link as it is now ("serial COM1 /dev/ttyS0 9600,N,8,1",
    // "tcp 127.0.0.1:2000"); isOpen() is the program's own view of it.
    LinkTraceLines(SessionTrace& trace, ByteLink& serial, ByteLink& tcp, std::function<QString()> describe,
                   std::function<bool()> isOpen, QObject* parent = nullptr);

    // The program opened or closed its link.
    void setOpen(bool open);

private:
    SessionTrace& m_trace;
    std::function<QString()> m_describe;
    std::function<bool()> m_isOpen;
    QString m_openLink; // what the open line named, empty while closed
};
