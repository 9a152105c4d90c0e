// The built qvrsim program, end to end: a TCP client on 127.0.0.1 and a serial-style client
// on its pseudo-terminal link, then a clean stop by its pid.
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "QvrsimPath.h"
#include "SRecordBuilder.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

QByteArray tcpLine(QTcpSocket& socket, QByteArray& buffer)
{
    QDeadlineTimer deadline(2000);
    while (!buffer.contains('\r') && !deadline.hasExpired())
        if (socket.waitForReadyRead(int(deadline.remainingTime())))
            buffer += socket.readAll();
    const qsizetype cr = buffer.indexOf('\r');
    if (cr < 0)
        return {};
    const QByteArray line = buffer.left(cr);
    buffer.remove(0, cr + 1);
    return line;
}

// Writes a command to a serial-style descriptor and reads back one reply line.
QByteArray ttyAsk(int fd, const QByteArray& command)
{
    if (::write(fd, command.constData(), size_t(command.size())) != command.size())
        return "write failed";
    QByteArray in;
    QDeadlineTimer deadline(2000);
    while (!in.contains('\r') && !deadline.hasExpired()) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, int(deadline.remainingTime())) <= 0)
            break;
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            in.append(buffer, n);
    }
    return in.left(in.indexOf('\r'));
}

int openTty(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        termios tio{};
        ::tcgetattr(fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    return fd;
}

} // namespace

TEST(QvrsimProcess, ServesTcpAndPtyWritesTheTranscriptAndStopsCleanly)
{
    QTemporaryDir dir;
    const QString link = dir.filePath("ttyQVR");
    const QString transcript = dir.filePath("traffic.log");
    QProcess sim;
    sim.start(qvrsimPath(), {"--port", "0", "--pty-link", link, "--transcript", transcript, "--greeting",
                             "QVR SIM READY", "--quiet"});
    ASSERT_TRUE(sim.waitForStarted(3000)) << qPrintable(sim.errorString());
    auto stop = qScopeGuard([&] {
        if (sim.state() != QProcess::NotRunning) {
            ::kill(pid_t(sim.processId()), SIGKILL);
            sim.waitForFinished(2000);
        }
    });

    quint16 port = 0;
    QString slave;
    QByteArray out;
    QDeadlineTimer started(5000);
    const QRegularExpression tcpLineRe("^qvrsim: TCP 127\\.0\\.0\\.1:(\\d+)$",
                                       QRegularExpression::MultilineOption);
    const QRegularExpression ptyLineRe("^qvrsim: pty (/dev/pts/\\d+) -> (.+)$",
                                       QRegularExpression::MultilineOption);
    while ((port == 0 || slave.isEmpty()) && !started.hasExpired()) {
        sim.waitForReadyRead(100);
        out += sim.readAllStandardOutput();
        if (const auto m = tcpLineRe.match(QString::fromLatin1(out)); m.hasMatch())
            port = quint16(m.captured(1).toUInt());
        if (const auto m = ptyLineRe.match(QString::fromLatin1(out)); m.hasMatch()) {
            slave = m.captured(1);
            EXPECT_EQ(m.captured(2), link);
        }
    }
    ASSERT_NE(port, 0) << out.constData();
    ASSERT_FALSE(slave.isEmpty()) << out.constData();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), slave);

    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(socket.waitForConnected(2000));
    QByteArray buffer;
    EXPECT_EQ(tcpLine(socket, buffer), "QVR SIM READY");
    socket.write("S");
    const QByteArray status = tcpLine(socket, buffer);
    EXPECT_TRUE(status.startsWith('S') && status.size() == 13) << status.constData();
    socket.write("mA999\r\n");
    EXPECT_EQ(tcpLine(socket, buffer), "mA000");
    socket.write("mA017\r\n");
    EXPECT_EQ(tcpLine(socket, buffer), "mA017");
    socket.disconnectFromHost();

    // The serial side reaches the same unit, and survives the port being closed and reopened.
    for (int round = 0; round < 2; ++round) {
        const int fd = openTty(link);
        ASSERT_GE(fd, 0);
        EXPECT_TRUE(ttyAsk(fd, "S").startsWith('S'));
        EXPECT_EQ(ttyAsk(fd, "mA999\r\n"), "mA017");
        ::close(fd);
    }

    ::kill(pid_t(sim.processId()), SIGTERM);
    ASSERT_TRUE(sim.waitForFinished(3000));
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink()) << "the link is removed on exit";

    QFile log(transcript);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    for (const char* expected :
         {" tcp1 out QVR SIM READY<0D>\n", " tcp1 in  S\n", " tcp1 in  mA999<0D><0A>\n",
          " tcp1 out mA000<0D>\n", " pty in  mA999<0D><0A>\n", " pty out mA017<0D>\n"})
        EXPECT_TRUE(text.contains(expected)) << expected << "\n" << text.constData();
}

TEST(QvrsimProcess, TerminalUnitEchoesAnswersSendsPanelFramesAndHangsUpOnTime)
{
    QProcess sim;
    sim.start(qvrsimPath(), {"--unit", "terminal", "--port", "0", "--panel-interval", "100", "--hang-up-at",
                             "1200", "--quiet"});
    ASSERT_TRUE(sim.waitForStarted(3000)) << qPrintable(sim.errorString());
    auto stop = qScopeGuard([&] {
        ::kill(pid_t(sim.processId()), SIGTERM);
        if (!sim.waitForFinished(3000)) {
            ::kill(pid_t(sim.processId()), SIGKILL);
            sim.waitForFinished(2000);
        }
    });
    QByteArray out;
    quint16 port = 0;
    const QRegularExpression tcpLineRe("^qvrsim: TCP 127\\.0\\.0\\.1:(\\d+)$",
                                       QRegularExpression::MultilineOption);
    QDeadlineTimer started(5000);
    while (port == 0 && !started.hasExpired()) {
        sim.waitForReadyRead(100);
        out += sim.readAllStandardOutput();
        if (const auto m = tcpLineRe.match(QString::fromLatin1(out)); m.hasMatch())
            port = quint16(m.captured(1).toUInt());
    }
    ASSERT_NE(port, 0) << out.constData();

    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(socket.waitForConnected(2000));
    socket.write("V\r\n");
    QByteArray in;
    QDeadlineTimer deadline(4000);
    while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired())
        if (socket.waitForReadyRead(100))
            in += socket.readAll();
    in += socket.readAll();
    EXPECT_NE(socket.state(), QAbstractSocket::ConnectedState) << "the unit hangs up";
    EXPECT_LT(deadline.remainingTime(), 3000) << "not before its time";
    EXPECT_TRUE(in.contains("V\r\nQVR TERMINAL UNIT VER 1.00 SIM\r\n")) << in.constData();
    const QRegularExpression frame(
        "\\x01AZ[^\\r]{18}\\r\\n\\x02AGC [^\\r]{16}\\r\\n\\x03\\d\\d\\x04\\d{4}\\x05\\x06[@DHL]");
    EXPECT_GE(int(QString::fromLatin1(in).count(frame)), 8) << "about one frame every 100 ms";
}

namespace {

// Reads from a descriptor until `wanted` shows up or the time is over.
QByteArray ttyReadUntil(int fd, const QByteArray& wanted, int ms)
{
    QByteArray in;
    QDeadlineTimer deadline(ms);
    while (!in.contains(wanted) && !deadline.hasExpired()) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, int(deadline.remainingTime())) <= 0 || (p.revents & (POLLHUP | POLLERR)))
            break;
        char buffer[512];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            in.append(buffer, n);
    }
    return in;
}

bool ttyWrite(int fd, const QByteArray& bytes)
{
    return ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
}

struct SimProcess {
    QProcess process;
    QByteArray out;

    explicit SimProcess(const QStringList& args) { process.start(qvrsimPath(), args); }
    ~SimProcess() { stopQvrsim(process); }
    // Waits for a stdout line matching the pattern; returns the match.
    QRegularExpressionMatch waitFor(const QString& pattern, int ms = 5000)
    {
        const QRegularExpression re(pattern, QRegularExpression::MultilineOption);
        QDeadlineTimer deadline(ms);
        for (;;) {
            out += process.readAllStandardOutput();
            const auto m = re.match(QString::fromLatin1(out));
            if (m.hasMatch() || deadline.hasExpired())
                return m;
            process.waitForReadyRead(50);
        }
    }
};

} // namespace

TEST(QvrsimProcess, UsbPcuBootloaderWritesTheProgrammedImageAndSaysSo)
{
    QTemporaryDir dir;
    const QString link = dir.filePath("ttyPCU");
    const QString imagePath = dir.filePath("image.bin");
    SimProcess sim({"--unit", "usbpcu", "--pty-link", link, "--image-out", imagePath, "--quiet"});
    ASSERT_TRUE(sim.waitFor("^qvrsim: pty .* -> ").hasMatch()) << sim.out.constData();

    QByteArray image(3000, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((i * 7 + i / 256) & 0xFF);
    const int fd = openTty(link);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(ttyWrite(fd, "^0080\r\n^0578\r\n"));
    EXPECT_TRUE(ttyReadUntil(fd, "ERASED *\r\n", 2000).contains("ERASED"));
    const QList<QByteArray> lines = srec::file(image, 0x1000, 1, 32);
    for (const QByteArray& line : lines)
        ASSERT_TRUE(ttyWrite(fd, line + "\r\n"));
    EXPECT_TRUE(ttyReadUntil(fd, "RECORDS\r\n", 3000).contains("PROGRAMMED 3000 BYTES, 0 BAD RECORDS"));
    ::close(fd);

    const auto m = sim.waitFor("^qvrsim: programmed (.*)$");
    ASSERT_TRUE(m.hasMatch()) << sim.out.constData();
    EXPECT_EQ(m.captured(1),
              QStringLiteral("usb-pcu base 0x1000 length 3000 bytes, records good %1 bad 0, overruns 0")
                  .arg(lines.size()));
    QFile file(imagePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), image);
}

TEST(QvrsimProcess, KvmpPortVanishesOnBLAndComesBackOnTheSameLinkPath)
{
    QTemporaryDir dir;
    const QString link = dir.filePath("ttyKVMP");
    SimProcess sim({"--unit", "kvmp", "--no-status", "--pty-link", link, "--return-after", "600"});
    ASSERT_TRUE(sim.waitFor("^qvrsim: pty .* -> ").hasMatch()) << sim.out.constData();

    int fd = openTty(link);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(ttyWrite(fd, "verA\r\n"));
    EXPECT_TRUE(ttyReadUntil(fd, "\r\n", 2000).contains("KVMP Ver"));
    ASSERT_TRUE(ttyWrite(fd, "^BL\r\n"));
    ASSERT_TRUE(sim.waitFor("^qvrsim: pty gone$", 3000).hasMatch()) << sim.out.constData();
    ::close(fd);
    EXPECT_FALSE(QFileInfo::exists(link)) << "the device is away";

    const auto back = sim.waitFor("^qvrsim: pty gone\\n(?:.*\\n)*qvrsim: pty (/dev/pts/\\d+) -> (.+)$", 3000);
    ASSERT_TRUE(back.hasMatch()) << sim.out.constData();
    EXPECT_EQ(back.captured(2), link);
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), back.captured(1));
    fd = openTty(link);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(ttyWrite(fd, "verB\r\n"));
    EXPECT_TRUE(ttyReadUntil(fd, "Ver", 2000).contains("Bootloader Ver"));
    ::close(fd);
}
