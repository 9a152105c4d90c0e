#include "PtyUnitHost.h"

#include "TranscriptWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QScopedValueRollback>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcSimPty, "qvrsim.pty", QtWarningMsg)

namespace {
// How often a closed port is checked for a program opening it. Bytes the program sends
// meanwhile wait in the terminal, so this only delays the first answer a little.
constexpr int kWatchMs = 50;
// A start bit, eight data bits and a stop bit.
constexpr qint64 kBitsPerByte = 10;
// Arrived bytes wait at most this long for the rest of their run before the unit hears
// them, so a long stream is handed over in slices rather than byte by byte.
constexpr qint64 kHoldNs = 4000000;
// While the port is open at a line speed, the terminal is looked at this often even when
// nothing woke us: the last look that found it empty bounds how long bytes may have
// waited before they were read.
constexpr int kLookMs = 1;
// The terminal itself passes written bytes on to its reading side through a kernel worker,
// which on a busy machine runs a millisecond or two late: bytes found by a look may have
// been written that much before it.
constexpr qint64 kTerminalLatenessNs = 2000000;
} // namespace

PtyUnitHost::PtyUnitHost(std::unique_ptr<SimPeer> peer, TranscriptWriter* transcript, QObject* parent)
    : QObject(parent), m_peer(std::move(peer)), m_transcript(transcript)
{
    m_peer->setSender([this](const QByteArray& bytes) { send(bytes); });
    m_clock.start();
    m_arrival = new QTimer(this);
    m_arrival->setSingleShot(true);
    m_arrival->setTimerType(Qt::PreciseTimer);
    connect(m_arrival, &QTimer::timeout, this, [this] { deliverArrived(); });
    m_look = new QTimer(this);
    m_look->setInterval(kLookMs);
    m_look->setTimerType(Qt::PreciseTimer);
    connect(m_look, &QTimer::timeout, this, [this] {
        if (m_portOpen)
            readMaster();
    });
}

PtyUnitHost::~PtyUnitHost()
{
    m_peer->setSender({});
    close();
}

bool PtyUnitHost::fail(const QString& what)
{
    m_error = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    close();
    return false;
}

bool PtyUnitHost::open(const QString& linkPath)
{
    if (isOpen())
        return true;
    m_error.clear();
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return fail(QStringLiteral("posix_openpt"));
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return fail(QStringLiteral("grantpt/unlockpt"));
    const char* name = ::ptsname(m_master);
    if (!name)
        return fail(QStringLiteral("ptsname"));
    m_slavePath = QString::fromLocal8Bit(name);

    // Raw mode is set once on the terminal side and stays for every later opener. With echo
    // on, the terminal would hand each reply straight back to the unit as a command.
    const int slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave < 0)
        return fail(QStringLiteral("open ") + m_slavePath);
    termios tio{};
    bool raw = ::tcgetattr(slave, &tio) == 0;
    if (raw) {
        ::cfmakeraw(&tio);
        raw = ::tcsetattr(slave, TCSANOW, &tio) == 0;
    }
    ::close(slave);
    if (!raw)
        return fail(QStringLiteral("raw mode on ") + m_slavePath);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);

    if (!linkPath.isEmpty()) {
        const QFileInfo existing(linkPath);
        if (existing.isSymLink()) {
            QFile::remove(linkPath);
        } else if (existing.exists()) {
            m_error = QStringLiteral("%1 exists and is not a link; not replacing it").arg(linkPath);
            close();
            return false;
        }
        if (::symlink(name, QFile::encodeName(linkPath).constData()) != 0)
            return fail(QStringLiteral("symlink ") + linkPath);
        m_linkPath = linkPath;
    }

    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    m_notifier->setEnabled(false);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyUnitHost::readMaster);
    // A closed terminal side reads as a hang-up on our side, for as long as it stays
    // closed: it is watched on a timer, not with the notifier, which would fire non-stop.
    m_watch = new QTimer(this);
    m_watch->setInterval(kWatchMs);
    connect(m_watch, &QTimer::timeout, this, &PtyUnitHost::watch);
    m_watch->start();
    if (m_transcript)
        m_transcript->note(kEndpoint, QStringLiteral("serving ") + m_slavePath);
    return true;
}

void PtyUnitHost::close()
{
    // Bytes still crossing a line that is taken away never arrive.
    m_arrival->stop();
    m_look->stop();
    m_arriving.clear();
    delete m_notifier;
    m_notifier = nullptr;
    delete m_watch;
    m_watch = nullptr;
    if (m_portOpen)
        m_peer->peerDisconnected();
    m_portOpen = false;
    if (!m_linkPath.isEmpty()) {
        // Only our own link goes: someone may have put something else there meanwhile.
        if (QFileInfo(m_linkPath).symLinkTarget() == m_slavePath)
            QFile::remove(m_linkPath);
        m_linkPath.clear();
    }
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

void PtyUnitHost::vanish()
{
    if (!isOpen())
        return;
    m_vanishedLink = m_linkPath;
    if (m_transcript)
        m_transcript->note(kEndpoint, QStringLiteral("vanished"));
    close();
}

bool PtyUnitHost::comeBack()
{
    if (isOpen())
        return true;
    return open(m_vanishedLink);
}

bool PtyUnitHost::portIsOpen() const
{
    pollfd p{m_master, POLLIN, 0};
    return ::poll(&p, 1, 0) >= 0 && !(p.revents & POLLHUP);
}

void PtyUnitHost::watch()
{
    if (!portIsOpen())
        return;
    m_watch->stop();
    m_portOpen = true;
    if (m_transcript)
        m_transcript->note(kEndpoint, QStringLiteral("opened"));
    qCInfo(lcSimPty) << m_slavePath << "opened";
    m_peer->peerConnected();
    m_notifier->setEnabled(true);
    m_lastLookNs = nowNs();
    if (m_baud > 0)
        m_look->start();
    readMaster();
}

void PtyUnitHost::portClosed()
{
    m_look->stop();
    m_notifier->setEnabled(false);
    m_portOpen = false;
    // What the program wrote before it closed the port was on the line: the unit hears it
    // all before the port goes (its answers go nowhere).
    deliverArrived(true);
    if (m_transcript)
        m_transcript->note(kEndpoint, QStringLiteral("closed"));
    qCInfo(lcSimPty) << m_slavePath << "closed";
    m_peer->peerDisconnected();
    m_watch->start();
}

void PtyUnitHost::readMaster()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            const QByteArray bytes(buffer, n);
            if (m_transcript)
                m_transcript->record(kEndpoint, TranscriptWriter::Direction::In, bytes);
            // They came after the last look that found the terminal empty.
            arrive(bytes, nowNs() - m_lastLookNs + kTerminalLatenessNs);
            if (!m_portOpen) // the unit may have hung up meanwhile
                return;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            m_lastLookNs = nowNs();
            return;
        }
        // EIO: the program closed the port.
        portClosed();
        return;
    }
}

void PtyUnitHost::send(const QByteArray& bytes)
{
    // Checked before every write: bytes written to a closed port would wait there for the
    // next program that opens it.
    if (!m_portOpen)
        return;
    if (!portIsOpen()) {
        portClosed();
        return;
    }
    if (m_transcript)
        m_transcript->record(kEndpoint, TranscriptWriter::Direction::Out, bytes);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // The terminal's input queue is full: the program does not read. A serial line loses
        // what nobody takes, and so do we.
        if (!m_reportedOverflow)
            qCWarning(lcSimPty) << m_slavePath << "is not being read; replies are lost";
        m_reportedOverflow = true;
        return;
    }
    m_reportedOverflow = false;
}

qint64 PtyUnitHost::byteTimeNs(qint64 bytes) const
{
    return bytes * kBitsPerByte * 1000000000LL / m_baud;
}

void PtyUnitHost::arrive(const QByteArray& bytes, qint64 waitedUpToNs)
{
    if (m_baud <= 0) {
        m_peer->peerReceived(bytes);
        return;
    }
    // A byte starts across the line when it is read or when the byte before it has
    // arrived, whichever is later: bytes read together follow each other back to back.
    const qint64 now = nowNs();
    qint64 start = now;
    if (!m_arriving.empty()) {
        const Run& last = m_arriving.back();
        start = qMax(now, last.startNs + byteTimeNs(last.bytes.size()));
    }
    m_arriving.push_back({bytes, start, waitedUpToNs});
    scheduleArrival();
}

void PtyUnitHost::deliverArrived(bool all)
{
    // The unit may close the port while it hears bytes; the delivery under way goes on.
    if (m_delivering)
        return;
    const QScopedValueRollback<bool> delivering(m_delivering, true);
    const qint64 now = nowNs();
    while (!m_arriving.empty()) {
        Run& run = m_arriving.front();
        const qsizetype size = run.bytes.size();
        // Bytes of the run whose last bit has arrived by now.
        qsizetype arrived = size;
        if (!all)
            arrived =
                qsizetype(qMin<qint64>(size, (now - run.startNs) * m_baud / (kBitsPerByte * 1000000000LL)));
        if (arrived > run.delivered) {
            const WireTiming timing{run.startNs + byteTimeNs(run.delivered),
                                    run.startNs + byteTimeNs(arrived), run.earlyNs};
            const QByteArray bytes = run.bytes.mid(run.delivered, arrived - run.delivered);
            run.delivered = arrived;
            m_peer->peerReceivedOnWire(bytes, timing);
            // The unit may have closed the terminal meanwhile (a USB board that restarts).
            if (m_arriving.empty())
                return;
        }
        if (run.delivered < size)
            break;
        m_arriving.pop_front();
    }
    scheduleArrival();
}

void PtyUnitHost::scheduleArrival()
{
    if (m_arriving.empty()) {
        m_arrival->stop();
        return;
    }
    const Run& run = m_arriving.front();
    const qint64 runEnd = run.startNs + byteTimeNs(run.bytes.size());
    const qint64 nextByteEnd = run.startNs + byteTimeNs(run.delivered + 1);
    const qint64 due = qMin(runEnd, nextByteEnd + kHoldNs);
    // Rounded up: a timer that fires early finds nothing new and only comes round again.
    const qint64 waitNs = qMax<qint64>(0, due - nowNs());
    m_arrival->start(int((waitNs + 999999) / 1000000));
}
