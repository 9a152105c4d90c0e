#pragma once

#include <SimPeer.h>

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <deque>
#include <memory>

class QSocketNotifier;
class QTimer;
class TranscriptWriter;

// Serves a simulated unit on a pseudo-terminal, which programs open like a serial port by
// its /dev/pts path or by a symbolic link to it. A program may close the port and open it
// again as often as it likes: the terminal stays, in raw mode, and the unit keeps
// answering. The host notices the port being opened and closed (the unit sees a
// connection come and go) and sends nothing while the port is closed, so a program that
// opens it later does not read replies meant for the one before.
class PtyUnitHost : public QObject {
    Q_OBJECT
public:
    explicit PtyUnitHost(std::unique_ptr<SimPeer> peer, TranscriptWriter* transcript = nullptr,
                         QObject* parent = nullptr);
    ~PtyUnitHost() override;

    // Creates the terminal; with a link path, also a symbolic link to it there. An old link
    // left at that path is replaced; any other file there is left alone and open() fails.
    bool open(const QString& linkPath = {});
    // Closes the terminal and removes the link if it is still ours.
    void close();
    bool isOpen() const { return m_master >= 0; }
    // The device goes away as a USB port does when its board restarts: the terminal closes
    // under whoever has it open and the link disappears. comeBack() serves a new terminal
    // behind the same link path.
    void vanish();
    bool comeBack();

    // A pseudo-terminal has no line speed: what the program writes is there at once. At a
    // line speed (bits per second; 0: none) each byte takes ten bit times to arrive, after
    // the one before it, and the unit hears it, with its times, once it has arrived.
    void setLineSpeed(int baud) { m_baud = qMax(0, baud); }
    int lineSpeed() const { return m_baud; }

    QString slavePath() const { return m_slavePath; }
    QString linkPath() const { return m_linkPath; }
    QString errorString() const { return m_error; }
    SimPeer& peer() { return *m_peer; }

    static constexpr const char* kEndpoint = "pty";

private:
    bool fail(const QString& what);
    bool portIsOpen() const;
    void watch();
    void portClosed();
    void readMaster();
    void send(const QByteArray& bytes);
    // Bytes read now start arriving when the line is free; hands over what has arrived.
    // waitedUpToNs: how long they may have waited in the terminal before they were read.
    void arrive(const QByteArray& bytes, qint64 waitedUpToNs);
    void deliverArrived(bool all = false);
    void scheduleArrival();
    qint64 byteTimeNs(qint64 bytes) const;
    qint64 nowNs() const { return m_clock.nsecsElapsed(); }

    std::unique_ptr<SimPeer> m_peer;
    TranscriptWriter* m_transcript;
    int m_master = -1;
    bool m_portOpen = false;
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_watch = nullptr;
    QString m_slavePath;
    QString m_linkPath;
    QString m_vanishedLink;
    QString m_error;
    bool m_reportedOverflow = false;

    // Bytes on their way across the line, one run a read, each following the one before.
    struct Run {
        QByteArray bytes;
        qint64 startNs;
        qint64 earlyNs; // they may have begun this much earlier (WireTiming)
        qsizetype delivered = 0;
    };
    int m_baud = 0;
    QElapsedTimer m_clock;
    std::deque<Run> m_arriving;
    QTimer* m_arrival = nullptr;
    QTimer* m_look = nullptr;
    qint64 m_lastLookNs = 0; // the terminal was found empty then
    bool m_delivering = false;
};
