// The real serial and TCP links, end to end: a pseudo-terminal pair made by socat and a
// TCP server on 127.0.0.1. Short, and on real time.
#include "QtRuntime.h"
#include "PtyMaster.h"
#include "SerialByteLink.h"
#include "TcpByteLink.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QNetworkProxy>
#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

namespace {

// Two linked pseudo-terminals, <dir>/a and <dir>/b, for as long as the object lives.
class PtyPair {
public:
    PtyPair()
    {
        m_socat.setProgram("socat");
        m_socat.setArguments({"-d", "-d", "pty,raw,echo=0,link=" + a(), "pty,raw,echo=0,link=" + b()});
        m_socat.setStandardOutputFile(QProcess::nullDevice());
        m_socat.setStandardErrorFile(QProcess::nullDevice());
        m_socat.start();
        if (!m_socat.waitForStarted(3000))
            return;
        for (int i = 0; i < 300 && !ready(); ++i)
            QThread::msleep(10);
    }
    ~PtyPair() { stop(); }

    bool ready() const { return QFileInfo::exists(a()) && QFileInfo::exists(b()); }
    QString a() const { return m_dir.path() + "/a"; }
    QString b() const { return m_dir.path() + "/b"; }
    // Ends socat (our own child, by its process id): both far ends go away.
    void stop()
    {
        if (m_socat.state() == QProcess::NotRunning)
            return;
        m_socat.kill();
        m_socat.waitForFinished(3000);
    }

private:
    QTemporaryDir m_dir;
    QProcess m_socat;
};

struct Collector {
    QByteArray bytes;
    void attach(ByteLink& link)
    {
        QObject::connect(&link, &ByteLink::received, [this](const QByteArray& b) { bytes += b; });
    }
};

std::unique_ptr<SerialByteLink> serialOn(QtRuntime& rt, const QString& device, const QString& settings)
{
    auto link = std::make_unique<SerialByteLink>(rt);
    LinkEndpoint ep;
    ep.device = device;
    ep.settings = settings;
    link->setEndpoint(ep);
    return link;
}

} // namespace

TEST(SerialByteLink, BytesCrossAPseudoTerminalPairBothWays)
{
    QtRuntime rt;
    PtyPair pty;
    ASSERT_TRUE(pty.ready()) << "socat did not make the pseudo-terminals";
    auto host = serialOn(rt, pty.a(), "9600,N,8,1");
    auto unit = serialOn(rt, pty.b(), "19200,N,8,2");
    ASSERT_TRUE(host->open()) << host->errorString().toStdString();
    ASSERT_TRUE(unit->open()) << unit->errorString().toStdString();
    QSignalSpy hostErrors(host.get(), &ByteLink::errorOccurred);
    Collector atHost, atUnit;
    atHost.attach(*host);
    atUnit.attach(*unit);

    EXPECT_EQ(host->write("P"), 1);
    EXPECT_TRUE(host->drain(1000));
    EXPECT_TRUE(rt.waitUntil([&] { return atUnit.bytes == "P"; }, 2000));
    const QByteArray reply = QByteArray("P 123 456 789\r") + char(0xA6) + char(0x80);
    unit->write(reply);
    EXPECT_TRUE(rt.waitUntil([&] { return atHost.bytes == reply; }, 2000));

    // A pseudo-terminal has no modem lines: "not available", not an error.
    EXPECT_FALSE(host->setDtr(true));
    EXPECT_FALSE(host->setRts(true));
    EXPECT_FALSE(host->dtr());
    EXPECT_FALSE(host->rts());
    EXPECT_FALSE(host->lineStates().available);
    EXPECT_EQ(hostErrors.count(), 0);
    EXPECT_TRUE(host->isOpen());
    host->close();
    EXPECT_FALSE(host->isOpen());
    EXPECT_EQ(host->write("P"), -1);
}

TEST(SerialByteLink, BadSettingsAndMissingDevicesGiveErrorTexts)
{
    QtRuntime rt;
    PtyPair pty;
    ASSERT_TRUE(pty.ready());
    for (const QString bad : {"fast,N,8,1", "9600,X,8,1", "9600,N,9,1", "9600,N,8", "", "9600,N,8,3"}) {
        auto link = serialOn(rt, pty.a(), bad);
        EXPECT_FALSE(link->open()) << bad.toStdString();
        EXPECT_FALSE(link->errorString().isEmpty());
        EXPECT_FALSE(link->isOpen());
    }

    const QString missing = QTemporaryDir().path() + "/no-such-tty";
    auto link = serialOn(rt, missing, "9600,N,8,1");
    QSignalSpy errors(link.get(), &ByteLink::errorOccurred);
    EXPECT_FALSE(link->open());
    QSerialPort reference(missing);
    ASSERT_FALSE(reference.open(QIODevice::ReadWrite));
    EXPECT_EQ(link->errorString(), reference.errorString());
    EXPECT_FALSE(link->errorString().isEmpty());
    // The failure is told by open()'s result; a second notice would mean a second message box.
    EXPECT_EQ(errors.count(), 0);
}

TEST(SerialByteLink, FarEndGoingAwayClosesThePortOnce)
{
    QtRuntime rt;
    PtyPair pty;
    ASSERT_TRUE(pty.ready());
    auto host = serialOn(rt, pty.a(), "9600,N,8,1");
    ASSERT_TRUE(host->open());
    QSignalSpy closed(host.get(), &ByteLink::closedByPeer);
    QSignalSpy errors(host.get(), &ByteLink::errorOccurred);
    pty.stop();
    EXPECT_TRUE(rt.waitUntil([&] { return !host->isOpen(); }, 2000));
    rt.wait(200); // no flood afterwards
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(errors.count(), 0);
    EXPECT_FALSE(host->errorString().isEmpty());
    EXPECT_EQ(host->write("P"), -1);
    EXPECT_FALSE(host->drain(10));
}

namespace {

struct TcpRig {
    QtRuntime rt;
    QTcpServer server;
    TcpByteLink link{rt};
    QTcpSocket* peer = nullptr;

    TcpRig()
    {
        server.listen(QHostAddress::LocalHost, 0);
        LinkEndpoint ep;
        ep.host = "127.0.0.1";
        ep.port = server.serverPort();
        link.setEndpoint(ep);
    }
    bool connect()
    {
        if (!link.open())
            return false;
        if (!rt.waitUntil([&] { return link.isOpen() && server.hasPendingConnections(); }, 3000))
            return false;
        peer = server.nextPendingConnection();
        return peer != nullptr;
    }
};

} // namespace

TEST(TcpByteLink, ConnectsAndCarriesBytesBothWays)
{
    TcpRig r;
    ASSERT_TRUE(r.server.isListening());
    QSignalSpy opened(&r.link, &ByteLink::opened);
    EXPECT_EQ(r.link.write("early"), -1);
    ASSERT_TRUE(r.connect());
    EXPECT_EQ(opened.count(), 1);
    EXPECT_TRUE(r.link.open()); // already connected: stays as it is
    r.rt.wait(20);
    EXPECT_EQ(opened.count(), 1);
    EXPECT_TRUE(r.link.isOpen());

    QByteArray atUnit;
    QObject::connect(r.peer, &QTcpSocket::readyRead, [&] { atUnit += r.peer->readAll(); });
    Collector atHost;
    atHost.attach(r.link);
    EXPECT_EQ(r.link.write("!0067\r\n"), 7);
    EXPECT_TRUE(r.link.drain(1000));
    EXPECT_TRUE(r.rt.waitUntil([&] { return atUnit == "!0067\r\n"; }, 2000));
    const QByteArray reply = QByteArray("m123\r") + char(0xFF);
    r.peer->write(reply);
    EXPECT_TRUE(r.rt.waitUntil([&] { return atHost.bytes == reply; }, 2000));
}

// A peer that sends faster than the program reads: the data comes in slices, each handled
// before the next is read, and nothing is lost or reordered.
TEST(TcpByteLink, AFloodArrivesInBoundedSlices)
{
    TcpRig r;
    ASSERT_TRUE(r.connect());
    QByteArray sent;
    for (int i = 0; sent.size() < 2 * 1024 * 1024; ++i)
        sent += QByteArray::number(i) + ' ';
    QByteArray got;
    qsizetype largest = 0;
    QObject::connect(&r.link, &ByteLink::received, [&](const QByteArray& d) {
        got += d;
        largest = qMax(largest, d.size());
    });
    r.peer->write(sent);
    EXPECT_TRUE(r.rt.waitUntil([&] { return got.size() >= sent.size(); }, 10000));
    EXPECT_EQ(got, sent);
    EXPECT_LE(largest, 64 * 1024);
}

TEST(TcpByteLink, RefusedConnectionIsAnError)
{
    QtRuntime rt;
    quint16 closedPort = 0;
    {
        QTcpServer s;
        ASSERT_TRUE(s.listen(QHostAddress::LocalHost, 0));
        closedPort = s.serverPort();
    }
    TcpByteLink link(rt);
    LinkEndpoint ep;
    ep.host = "127.0.0.1";
    ep.port = closedPort;
    link.setEndpoint(ep);
    QSignalSpy errors(&link, &ByteLink::errorOccurred);
    QSignalSpy closed(&link, &ByteLink::closedByPeer);
    EXPECT_TRUE(link.open());
    EXPECT_TRUE(rt.waitUntil([&] { return errors.count() > 0; }, 3000));
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(errors.count(), 1);
    EXPECT_EQ(errors[0][0].toString(), link.errorString());
    EXPECT_TRUE(link.errorString().contains("refused", Qt::CaseInsensitive))
        << link.errorString().toStdString();
    EXPECT_EQ(closed.count(), 0);
}

TEST(TcpByteLink, PeerHangingUpClosesTheLinkOnce)
{
    TcpRig r;
    ASSERT_TRUE(r.connect());
    QSignalSpy closed(&r.link, &ByteLink::closedByPeer);
    QSignalSpy errors(&r.link, &ByteLink::errorOccurred);
    r.peer->disconnectFromHost();
    EXPECT_TRUE(r.rt.waitUntil([&] { return closed.count() > 0; }, 2000));
    r.rt.wait(50);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(errors.count(), 0);
    EXPECT_FALSE(r.link.isOpen());
    EXPECT_FALSE(r.link.errorString().isEmpty());

    // It connects again, and closing it ourselves is not the peer's doing.
    ASSERT_TRUE(r.connect());
    r.link.close();
    r.rt.wait(20);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(errors.count(), 0);
}

namespace {
QNetworkProxy proxyFor(const char* host)
{
    return QNetworkProxyFactory::proxyForQuery(QNetworkProxyQuery(QString::fromLatin1(host), 2000)).value(0);
}
void askForAFactoryAddress()
{
    const QNetworkProxy p = proxyFor("192.168.0.195");
    // Sent to a closed port of this machine instead: nothing leaves it.
    EXPECT_EQ(p.type(), QNetworkProxy::Socks5Proxy);
    EXPECT_EQ(p.hostName(), "127.0.0.1");
}
} // namespace

// The test processes' guard, asked the way a socket asks it (no socket is opened here):
// loopback goes direct, any other address is diverted and fails the test that tried.
TEST(LoopbackGuard, OnlyThisMachineIsReachableFromATest)
{
    for (const char* host : {"127.0.0.1", "127.0.0.2", "::1", "localhost"})
        EXPECT_EQ(proxyFor(host).type(), QNetworkProxy::NoProxy) << host;
    EXPECT_NONFATAL_FAILURE(askForAFactoryAddress(), "tests may reach 127.0.0.1 only");
}

// A port that will not open says why in words a technician can act on.
TEST(SerialOpenAdvice, MissingDeviceAndPortInUse)
{
    QtRuntime rt;
    SerialByteLink link(rt);
    LinkEndpoint missing;
    missing.device = "/dev/ttyQVRnone";
    link.setEndpoint(missing);
    ASSERT_FALSE(link.open());
    EXPECT_EQ(link.openAdvice(), "/dev/ttyQVRnone does not exist - is the adapter plugged in?");

    // The same pseudo-terminal twice: the second open meets the first one's lock.
    PtyMaster far;
    ASSERT_TRUE(far.ok());
    SerialByteLink first(rt), second(rt);
    LinkEndpoint pty;
    pty.device = far.path();
    first.setEndpoint(pty);
    second.setEndpoint(pty);
    ASSERT_TRUE(first.open()) << first.errorString().toStdString();
    ASSERT_FALSE(second.open());
    const QString advice = second.openAdvice();
    EXPECT_TRUE(advice.startsWith(far.path() + " is in use by ")) << advice.toStdString();
    EXPECT_TRUE(advice.contains(QStringLiteral("(pid %1)").arg(QCoreApplication::applicationPid()))) << advice.toStdString();
}
