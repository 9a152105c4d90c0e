// Quillan's upload engine on real time and a real pseudo-terminal, against the qvrsim
// program: a file made by srec_cat goes in through Start, Erase and Upload, and the image
// qvrsim writes out must be srec_cat's own binary of it. A USB PCU takes whole lines; the
// ACU reads its line at 9600 baud and needs every pause of the transfer on the wire.
#include "ManualUpload.h"
#include "ModuleSelection.h"

#include <Prompter.h>
#include <QtRuntime.h>
#include <SerialByteLink.h>
#include <SerialPorts.h>
#include <SettingsStore.h>
#include <TcpByteLink.h>
#include <TerminalScreen.h>
#include <TerminalSession.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "QvrsimPath.h"

#include <cstdio>

namespace {

// Runs a tool to its end; its error output when it fails.
QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return program + ": " + QString::fromLocal8Bit(p.readAllStandardError()) + p.errorString();
    return {};
}

// Reads qvrsim's standard output until a line matches; the match, or none after the time.
QRegularExpressionMatch awaitLine(QProcess& sim, QByteArray& out, const QRegularExpression& re, int ms)
{
    QDeadlineTimer deadline(ms);
    for (;;) {
        out += sim.readAllStandardOutput();
        const QRegularExpressionMatch m = re.match(QString::fromLatin1(out));
        if (m.hasMatch() || deadline.hasExpired() || sim.state() == QProcess::NotRunning)
            return m;
        sim.waitForReadyRead(int(qMax<qint64>(1, qMin<qint64>(100, deadline.remainingTime()))));
    }
}

// Stops qvrsim: asked first, so that it reports what it holds and removes its link.
void stop(QProcess& sim)
{
    if (sim.state() == QProcess::NotRunning)
        return;
    sim.terminate();
    if (!sim.waitForFinished(3000)) {
        sim.kill();
        sim.waitForFinished(2000);
    }
}

// srec_cat builds the files. Without it the tests are skipped on a developer's machine; in
// CI a missing tool must not pass for a green run.
class UploadPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        srecCat = QStandardPaths::findExecutable(QStringLiteral("srec_cat"));
        if (!srecCat.isEmpty())
            return;
        if (qEnvironmentVariable("CI") == QLatin1String("true"))
            FAIL() << "srec_cat (package srecord) is not installed, and CI needs it";
        GTEST_SKIP() << "srec_cat (package srecord) is not installed";
    }

    QString srecCat;
};

} // namespace

TEST_F(UploadPty, SrecCatFileUploadedToQvrsimIsItsBinaryByteForByte)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString s19 = dir.filePath("fw.s19");
    const QString bin = dir.filePath("fw.bin");
    const QString tty = dir.filePath("tty");
    const QString image = dir.filePath("image.bin");
    // 6 KiB of random bytes at 8000, started at E003 as a PCU program is.
    ASSERT_EQ(run(srecCat, {"-generate", "0x8000", "0x9800", "-random", "-o", s19, "-motorola",
                            "-address-length=2", "-execution-start-address=0xE003"}),
              QString());
    ASSERT_EQ(run(srecCat, {s19, "-offset", "-0x8000", "-o", bin, "-binary"}), QString());
    QFile binFile(bin);
    ASSERT_TRUE(binFile.open(QIODevice::ReadOnly));
    const QByteArray expected = binFile.readAll();
    ASSERT_EQ(expected.size(), 0x1800);

    QProcess sim;
    sim.start(qvrsimPath(),
              {"--unit", "usbpcu", "--pty-link", tty, "--image-out", image, "--return-after", "1500"});
    ASSERT_TRUE(sim.waitForStarted(3000)) << qPrintable(sim.errorString());
    auto stopSim = qScopeGuard([&] { stop(sim); });
    QByteArray out;
    ASSERT_TRUE(awaitLine(sim, out,
                          QRegularExpression("^qvrsim: pty \\S+ -> .+$", QRegularExpression::MultilineOption),
                          5000)
                    .hasMatch())
        << out.constData() << sim.readAllStandardError().constData();

    // The window's objects on real time and real ports; the profile names the pty as Com1.
    QtRuntime rt;
    ScriptedPrompter prompter;
    MemorySettingsStore store;
    SerialByteLink serial(rt);
    TcpByteLink tcp(rt);
    const QString app = QStringLiteral("QuillanUniv1");
    const QString section = QString::fromLatin1(TerminalSession::kSection);
    setComDevice(store, app, 1, tty);
    store.set(app, section, QStringLiteral("CommPort"), QStringLiteral("1"));
    store.set(app, section, QStringLiteral("Direct"), QStringLiteral("USBpcu"));
    TerminalSession session(rt, prompter, store, serial, tcp, 1);
    ModuleSelection selection(session);
    ManualUpload upload(session, selection);
    QString shown;
    QObject::connect(&session.screen(), &TerminalScreen::textAppended, [&](const QString& t) { shown += t; });

    session.start();
    ASSERT_TRUE(session.isPortOpen()) << prompter.lastText().toStdString();
    ASSERT_TRUE(selection.isChecked(Module::USBpcu));

    QElapsedTimer clock;
    clock.start();
    // As the technician does: each step once the board has answered the one before.
    const auto answered = [&](const QString& text) {
        return rt.waitUntil([&] { return shown.contains(text); }, 3000);
    };
    upload.start();
    ASSERT_TRUE(answered(QStringLiteral("USB PCU BOOTLOADER READY"))) << shown.toStdString();
    upload.erase();
    ASSERT_TRUE(answered(QStringLiteral("ERASED"))) << shown.toStdString();
    prompter.fileNames << s19;
    upload.uploadButton();
    const qint64 uploadMs = clock.elapsed();

    const QRegularExpressionMatch done =
        awaitLine(sim, out,
                  QRegularExpression("^qvrsim: programmed usb-pcu base 0x(\\w+) length (\\d+) bytes, "
                                     "records good (\\d+) bad (\\d+), overruns 0$",
                                     QRegularExpression::MultilineOption),
                  5000);
    ASSERT_TRUE(done.hasMatch()) << out.constData() << "\n" << shown.toStdString();
    EXPECT_EQ(done.captured(1), "8000");
    EXPECT_EQ(done.captured(2).toInt(), expected.size());
    EXPECT_EQ(done.captured(4), "0");

    QFile imageFile(image);
    ASSERT_TRUE(imageFile.open(QIODevice::ReadOnly));
    const QByteArray programmed = imageFile.readAll();
    EXPECT_EQ(programmed.size(), expected.size());
    EXPECT_TRUE(programmed == expected) << "the image differs from srec_cat's binary";

    EXPECT_TRUE(shown.contains(QStringLiteral("Programming complete!\r\nPT:  Closing USB/Service port\r\n"
                                              "PT:  Waiting for application to restart\r\n")))
        << shown.toStdString();
    EXPECT_FALSE(shown.contains(QStringLiteral("did not re-open")));
    EXPECT_TRUE(session.isPortOpen()) << "the port came back after the board restarted";
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.lastText().toStdString();
    std::printf("[pty upload] %lld bytes in %s lines: Start, Erase, Upload and reopen took %lld ms\n",
                (long long)expected.size(), qPrintable(done.captured(3)), (long long)uploadMs);
}

// Through the ACU at 9600 baud: with its pauses the transfer lands whole and lasts at least
// the wire time plus the pauses; without them the ACU is overrun and the image is spoiled.
TEST_F(UploadPty, ThroughTheAcuAt9600TheTransferKeepsItsPausesOnTheWire)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString s19 = dir.filePath("acu.s19");
    const QString bin = dir.filePath("acu.bin");
    const QString tty = dir.filePath("tty");
    const QString image = dir.filePath("image.bin");
    // 256 bytes at 8000 in eight lines of 32, started at F003 as an ACU program is.
    ASSERT_EQ(run(srecCat, {"-generate", "0x8000", "0x8100", "-random", "-o", s19, "-motorola",
                            "-address-length=2", "-execution-start-address=0xF003"}),
              QString());
    ASSERT_EQ(run(srecCat, {s19, "-offset", "-0x8000", "-o", bin, "-binary"}), QString());
    QFile binFile(bin);
    ASSERT_TRUE(binFile.open(QIODevice::ReadOnly));
    const QByteArray expected = binFile.readAll();
    ASSERT_EQ(expected.size(), 256);

    QProcess sim;
    sim.start(qvrsimPath(), {"--unit", "acu", "--no-tcp", "--pty-link", tty, "--image-out", image});
    ASSERT_TRUE(sim.waitForStarted(3000)) << qPrintable(sim.errorString());
    auto stopSim = qScopeGuard([&] { stop(sim); });
    QByteArray out;
    ASSERT_TRUE(awaitLine(sim, out,
                          QRegularExpression("^qvrsim: pty \\S+ -> .+$", QRegularExpression::MultilineOption),
                          5000)
                    .hasMatch())
        << out.constData() << sim.readAllStandardError().constData();

    QtRuntime rt;
    ScriptedPrompter prompter;
    MemorySettingsStore store;
    SerialByteLink serial(rt);
    TcpByteLink tcp(rt);
    const QString app = QStringLiteral("QuillanUniv1");
    const QString section = QString::fromLatin1(TerminalSession::kSection);
    setComDevice(store, app, 1, tty);
    store.set(app, section, QStringLiteral("CommPort"), QStringLiteral("1"));
    store.set(app, section, QStringLiteral("Direct"), QStringLiteral("QVR2a"));
    TerminalSession session(rt, prompter, store, serial, tcp, 1);
    ModuleSelection selection(session);
    ManualUpload upload(session, selection);
    QString shown;
    QObject::connect(&session.screen(), &TerminalScreen::textAppended, [&](const QString& t) { shown += t; });
    session.start();
    ASSERT_TRUE(session.isPortOpen()) << prompter.lastText().toStdString();
    ASSERT_TRUE(selection.isChecked(Module::QVR2a));

    const auto startAndErase = [&] {
        shown.clear();
        upload.start();
        if (!rt.waitUntil([&] { return shown.contains(QStringLiteral("ACU BOOTLOADER READY")); }, 3000))
            return false;
        upload.erase();
        return rt.waitUntil([&] { return shown.contains(QStringLiteral("ERASED")); }, 3000);
    };
    const QRegularExpression report("^qvrsim: programmed acu base 0x(\\w+) length (\\d+) bytes, records good "
                                    "(\\d+) bad (\\d+), overruns (\\d+)$",
                                    QRegularExpression::MultilineOption);

    ASSERT_TRUE(startAndErase()) << shown.toStdString();
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(upload.transfer().sendS19File(s19), S19Transfer::Outcome::Completed);
    const qint64 transferMs = clock.elapsed();
    std::printf("[acu pty upload] transfer %lld ms against 3250.1 ms of wire time and pauses (%.3f)\n",
                (long long)transferMs, double(transferMs) / 3250.1);
    QRegularExpressionMatch done = awaitLine(sim, out, report, 3000);
    if (!done.hasMatch()) {
        // No complete image: qvrsim's report at exit says what it made of the pieces.
        stop(sim);
        out += sim.readAllStandardOutput();
    }
    ASSERT_TRUE(done.hasMatch()) << "the image never completed; qvrsim said:\n" << out.constData();
    EXPECT_EQ(done.captured(1), "8000");
    EXPECT_EQ(done.captured(2), "256");
    EXPECT_EQ(done.captured(3), "10") << "eight data lines, the record count and the end record";
    EXPECT_EQ(done.captured(4), "0");
    EXPECT_EQ(done.captured(5), "0") << "no piece came before its pause";
    QFile imageFile(image);
    ASSERT_TRUE(imageFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(imageFile.readAll() == expected) << "the image differs from srec_cat's binary";
    imageFile.close();
    // On the wire: eight lines of 19 seven-byte pieces and the S5 and S9 records' 3 each,
    // 1106 bytes at 10 bits each, 1152.1 ms; the pauses: 158 pieces of 6 ms, 10 lines of
    // 15 ms and the 1000 ms tail, 2098 ms.
    EXPECT_GE(transferMs, 3250) << "the pauses did not wait for the wire";

    // The same file again without the pauses: the unit notices.
    out.clear();
    ASSERT_TRUE(startAndErase()) << shown.toStdString();
    upload.transfer().setPausesKept(false);
    EXPECT_EQ(upload.transfer().sendS19File(s19), S19Transfer::Outcome::Completed);
    rt.wait(300); // the last pieces are still crossing the line
    session.closeLink();
    stop(sim);
    out += sim.readAllStandardOutput();
    done = report.match(QString::fromLatin1(out));
    ASSERT_TRUE(done.hasMatch()) << out.constData();
    EXPECT_GT(done.captured(5).toInt(), 0) << "overruns counted";
    EXPECT_GT(done.captured(4).toInt(), 0) << "records spoiled";
    ASSERT_TRUE(imageFile.open(QIODevice::ReadOnly));
    EXPECT_FALSE(imageFile.readAll() == expected) << "the image should differ";
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.lastText().toStdString();
}
