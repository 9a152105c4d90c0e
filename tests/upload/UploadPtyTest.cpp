// Quillan's upload engine on real time and a real pseudo-terminal, against the qvrsim
// program: a file made by srec_cat goes in through Start, Erase and Upload, and the image
// qvrsim writes out must be srec_cat's own binary of it. A USB PCU takes whole lines; the
// ACU reads its line at 9600 baud and needs every pause of the transfer on the wire.
#include "ManualUpload.h"
#include "ModuleSelection.h"
#include "UploadHistory.h"

#include <Prompter.h>
#include <QtRuntime.h>
#include <SerialByteLink.h>
#include <SerialPorts.h>
#include <SettingsStore.h>
#include <TcpByteLink.h>
#include <TerminalScreen.h>
#include <TerminalSession.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
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
        ASSERT_TRUE(dir.isValid());
        srecCat = QStandardPaths::findExecutable(QStringLiteral("srec_cat"));
        if (!srecCat.isEmpty())
            return;
        if (qEnvironmentVariable("CI") == QLatin1String("true"))
            FAIL() << "srec_cat (package srecord) is not installed, and CI needs it";
        GTEST_SKIP() << "srec_cat (package srecord) is not installed";
    }
    void TearDown() override { stop(sim); }

    // srec_cat's random image from 8000 up to `to`, with the start address `start`, written
    // to `s19`; returns srec_cat's own binary of that file (empty when a step failed).
    QByteArray firmware(const QString& s19, const QString& to, const QString& start)
    {
        const QString bin = s19 + QStringLiteral(".bin");
        const QString made = run(srecCat, {"-generate", "0x8000", to, "-random", "-o", s19, "-motorola",
                                           "-address-length=2", "-execution-start-address=" + start});
        const QString converted =
            made.isEmpty() ? run(srecCat, {s19, "-offset", "-0x8000", "-o", bin, "-binary"}) : made;
        EXPECT_EQ(converted, QString());
        QFile file(bin);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // qvrsim with these arguments, serving a pseudo-terminal linked at tty; false when it
    // did not come up (its output is in out).
    bool startSim(const QStringList& args)
    {
        sim.start(qvrsimPath(), QStringList{"--pty-link", tty} + args);
        if (!sim.waitForStarted(3000)) {
            out = sim.errorString().toLocal8Bit();
            return false;
        }
        const QRegularExpression served("^qvrsim: pty \\S+ -> .+$", QRegularExpression::MultilineOption);
        if (awaitLine(sim, out, served, 5000).hasMatch())
            return true;
        out += sim.readAllStandardError();
        return false;
    }

    QString srecCat;
    QTemporaryDir dir;
    const QString tty = dir.filePath("tty");
    const QString image = dir.filePath("image.bin");
    QProcess sim;
    QByteArray out;
};

// The window's objects on real time and real ports; the profile names the pseudo-terminal
// as Com1 and checks the module.
struct Quillan {
    Quillan(const QString& tty, const QString& identifier)
    {
        const QString app = QStringLiteral("QuillanUniv1");
        const QString section = QString::fromLatin1(TerminalSession::kSection);
        setComDevice(store, app, 1, tty);
        store.set(app, section, QStringLiteral("CommPort"), QStringLiteral("1"));
        store.set(app, section, QStringLiteral("Direct"), identifier);
        session = std::make_unique<TerminalSession>(rt, prompter, store, serial, tcp, 1);
        selection = std::make_unique<ModuleSelection>(*session);
        upload = std::make_unique<ManualUpload>(*session, *selection);
        QObject::connect(&session->screen(), &TerminalScreen::textAppended,
                         [this](const QString& t) { shown += t; });
        session->start();
    }

    // As the technician does: each step once the module has answered the one before.
    bool answered(const QString& text)
    {
        return rt.waitUntil([&] { return shown.contains(text); }, 3000);
    }

    QtRuntime rt;
    ScriptedPrompter prompter;
    MemorySettingsStore store;
    SerialByteLink serial{rt};
    TcpByteLink tcp{rt};
    std::unique_ptr<TerminalSession> session;
    std::unique_ptr<ModuleSelection> selection;
    std::unique_ptr<ManualUpload> upload;
    QString shown;
};

} // namespace

TEST_F(UploadPty, SrecCatFileUploadedToQvrsimIsItsBinaryByteForByte)
{
    const QString s19 = dir.filePath("fw.s19");
    // 6 KiB of random bytes at 8000, started at E003 as a PCU program is.
    const QByteArray expected = firmware(s19, "0x9800", "0xE003");
    ASSERT_EQ(expected.size(), 0x1800);
    ASSERT_TRUE(startSim({"--unit", "usbpcu", "--image-out", image, "--return-after", "1500"}))
        << out.constData();

    Quillan q(tty, QStringLiteral("USBpcu"));
    ASSERT_TRUE(q.session->isPortOpen()) << q.prompter.lastText().toStdString();
    ASSERT_TRUE(q.selection->isChecked(Module::USBpcu));

    QElapsedTimer clock;
    clock.start();
    q.upload->start();
    ASSERT_TRUE(q.answered(QStringLiteral("USB PCU BOOTLOADER READY"))) << q.shown.toStdString();
    q.upload->erase();
    ASSERT_TRUE(q.answered(QStringLiteral("ERASED"))) << q.shown.toStdString();
    q.prompter.fileNames << s19;
    q.upload->uploadButton();
    const qint64 uploadMs = clock.elapsed();

    const QRegularExpressionMatch done =
        awaitLine(sim, out,
                  QRegularExpression("^qvrsim: programmed usb-pcu base 0x(\\w+) length (\\d+) bytes, "
                                     "records good (\\d+) bad (\\d+), overruns 0$",
                                     QRegularExpression::MultilineOption),
                  5000);
    ASSERT_TRUE(done.hasMatch()) << out.constData() << "\n" << q.shown.toStdString();
    EXPECT_EQ(done.captured(1), "8000");
    EXPECT_EQ(done.captured(2).toInt(), expected.size());
    EXPECT_EQ(done.captured(4), "0");

    QFile imageFile(image);
    ASSERT_TRUE(imageFile.open(QIODevice::ReadOnly));
    const QByteArray programmed = imageFile.readAll();
    EXPECT_EQ(programmed.size(), expected.size());
    EXPECT_TRUE(programmed == expected) << "the image differs from srec_cat's binary";

    EXPECT_TRUE(q.shown.contains(QStringLiteral("Programming complete!\r\nPT:  Closing USB/Service port\r\n"
                                                "PT:  Waiting for application to restart\r\n")))
        << q.shown.toStdString();
    EXPECT_FALSE(q.shown.contains(QStringLiteral("did not re-open")));
    EXPECT_TRUE(q.session->isPortOpen()) << "the port came back after the board restarted";
    EXPECT_TRUE(q.prompter.messages.isEmpty()) << q.prompter.lastText().toStdString();
    std::printf("[pty upload] %lld bytes in %s lines: Start, Erase, Upload and reopen took %lld ms\n",
                (long long)expected.size(), qPrintable(done.captured(3)), (long long)uploadMs);
}

// Through the ACU at 9600 baud: with its pauses the transfer lands whole and lasts at least
// the wire time plus the pauses; without them the ACU is overrun and the image is spoiled.
TEST_F(UploadPty, ThroughTheAcuAt9600TheTransferKeepsItsPausesOnTheWire)
{
    const QString s19 = dir.filePath("acu.s19");
    // 256 bytes at 8000 in eight lines of 32, started at F003 as an ACU program is.
    const QByteArray expected = firmware(s19, "0x8100", "0xF003");
    ASSERT_EQ(expected.size(), 256);
    ASSERT_TRUE(startSim({"--unit", "acu", "--no-tcp", "--image-out", image})) << out.constData();

    Quillan q(tty, QStringLiteral("QVR2a"));
    ASSERT_TRUE(q.session->isPortOpen()) << q.prompter.lastText().toStdString();
    ASSERT_TRUE(q.selection->isChecked(Module::QVR2a));

    const auto startAndErase = [&] {
        q.shown.clear();
        q.upload->start();
        if (!q.answered(QStringLiteral("ACU BOOT V1")))
            return false;
        q.upload->erase();
        return q.answered(QStringLiteral("ERASED"));
    };
    const QRegularExpression report("^qvrsim: programmed acu base 0x(\\w+) length (\\d+) bytes, records good "
                                    "(\\d+) bad (\\d+), overruns (\\d+)$",
                                    QRegularExpression::MultilineOption);

    ASSERT_TRUE(startAndErase()) << q.shown.toStdString();
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(q.upload->transfer().sendS19File(s19), S19Transfer::Outcome::Completed);
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
    ASSERT_TRUE(startAndErase()) << q.shown.toStdString();
    q.upload->transfer().setPausesKept(false);
    EXPECT_EQ(q.upload->transfer().sendS19File(s19), S19Transfer::Outcome::Completed);
    q.rt.wait(300); // the last pieces are still crossing the line
    q.session->closeLink();
    stop(sim);
    out += sim.readAllStandardOutput();
    done = report.match(QString::fromLatin1(out));
    ASSERT_TRUE(done.hasMatch()) << out.constData();
    EXPECT_GT(done.captured(5).toInt(), 0) << "overruns counted";
    EXPECT_GT(done.captured(4).toInt(), 0) << "records spoiled";
    ASSERT_TRUE(imageFile.open(QIODevice::ReadOnly));
    EXPECT_FALSE(imageFile.readAll() == expected) << "the image should differ";
    EXPECT_TRUE(q.prompter.messages.isEmpty()) << q.prompter.lastText().toStdString();
}

namespace {

// One run of the headless flasher: its exit code, its JSON record and what it said.
struct Flash {
    int exitCode = -1;
    QJsonObject json;
    QString said;
};

Flash flash(const QStringList& args, const QString& dataHome)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QUILLAN_FLASH_EXE), args + QStringList{"--json"});
    Flash f;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished(2000);
        f.said = QStringLiteral("did not finish");
        return f;
    }
    f.exitCode = p.exitCode();
    f.json = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    f.said = QString::fromLocal8Bit(p.readAllStandardError());
    return f;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class FlashPty : public UploadPty {
protected:
    // srec_cat's random image at 8000 and a version text after it, ending with `start`.
    QByteArray versioned(const QString& s19, const QString& version, const QString& start)
    {
        const QString bin = s19 + QStringLiteral(".bin");
        const QString made =
            run(srecCat, {"-generate", "0x8000", "0x8100", "-random", "-generate", "0x8100", "0x8110",
                          "-repeat-string", version + "      ", "-o", s19, "-motorola", "-address-length=2",
                          "-execution-start-address=" + start});
        EXPECT_EQ(made.isEmpty() ? run(srecCat, {s19, "-offset", "-0x8000", "-o", bin, "-binary"}) : made,
                  QString());
        return readAll(bin);
    }
    QTemporaryDir data;
};

// Through the ACU: a file of the wrong family is refused without an answer for its warning,
// then the ACU and the PCU behind it are programmed, each image srec_cat's binary.
TEST_F(FlashPty, AcuAndPcuBehindItAreProgrammedAndAFileOfAnotherFamilyIsRefused)
{
    const QString acuFile = dir.filePath("acu.s19");
    const QString pcuFile = dir.filePath("pcu.s19");
    const QByteArray acuImage = versioned(acuFile, "VER 3.20", "0xF003");
    const QByteArray pcuImage = versioned(pcuFile, "VER 2.10", "0xE003");
    ASSERT_EQ(acuImage.size(), 0x110);
    ASSERT_TRUE(startSim({"--unit", "acu", "--no-tcp", "--image-out", image})) << out.constData();

    Flash refused = flash({"--module", "QVR2a", "--file", pcuFile, "--serial", tty}, data.path());
    EXPECT_EQ(refused.exitCode, 1) << refused.said.toStdString();
    EXPECT_EQ(refused.json.value("verdict").toString(), "file refused");
    EXPECT_TRUE(refused.said.contains("give --yes or --no")) << refused.said.toStdString();

    Flash acu = flash({"--module", "QVR2a", "--file", acuFile, "--serial", tty}, data.path());
    EXPECT_EQ(acu.exitCode, 0) << acu.said.toStdString();
    EXPECT_EQ(acu.json.value("verdict").toString(), "programmed");
    EXPECT_EQ(acu.json.value("verdictText").toString(), "PT:  ACU programming complete, No errors detected!!");
    EXPECT_EQ(acu.json.value("versionsBefore").toArray().first().toString(), "QVR-100 ACU VER 3.14 SIM");
    EXPECT_EQ(acu.json.value("sha256").toString(),
              QString::fromLatin1(QCryptographicHash::hash(readAll(acuFile), QCryptographicHash::Sha256).toHex()));
    EXPECT_GT(acu.json.value("bytesSent").toInt(), 0x110 * 2);
    EXPECT_TRUE(acu.said.contains("lines sent, elapsed")) << acu.said.toStdString();
    EXPECT_TRUE(readAll(image) == acuImage) << "the ACU's image differs from srec_cat's binary";

    Flash pcu = flash({"--module", "QVR2p", "--file", pcuFile, "--serial", tty}, data.path());
    EXPECT_EQ(pcu.exitCode, 0) << pcu.said.toStdString();
    EXPECT_EQ(pcu.json.value("verdictText").toString(), "PT:  PCU programming complete, No errors detected!!");
    EXPECT_TRUE(readAll(image) == pcuImage) << "the PCU's image differs from srec_cat's binary";

    // Every job is in the user's history, the refused one too.
    EXPECT_EQ(UploadHistory(data.filePath("Vantrel/Quillan/upload-history.jsonl")).load().size(), 3u);
}

TEST_F(FlashPty, TheKvmpJobProgramsTheBoardAndASilentUnitIsNoAnswer)
{
    const QString kvmpFile = dir.filePath("771204_KVMP_2.20.s19");
    const QByteArray kvmpImage = versioned(kvmpFile, "VER 2.20", "0xE003");
    ASSERT_TRUE(startSim({"--unit", "kvmp", "--no-status", "--image-out", image, "--return-after", "1500"}))
        << out.constData();
    Flash kvmp = flash({"--module", "KVMP", "--file", kvmpFile, "--serial", tty}, data.path());
    EXPECT_EQ(kvmp.exitCode, 0) << kvmp.said.toStdString();
    EXPECT_EQ(kvmp.json.value("verdict").toString(), "programmed");
    EXPECT_TRUE(readAll(image) == kvmpImage) << "the KVMP's image differs from srec_cat's binary";
    stop(sim);

    ASSERT_TRUE(startSim({"--unit", "acu", "--no-tcp", "--drop-every", "1"})) << out.constData();
    const QString acuFile = dir.filePath("acu.s19");
    versioned(acuFile, "VER 3.20", "0xF003");
    Flash silent = flash({"--module", "QVR2a", "--file", acuFile, "--serial", tty}, data.path());
    EXPECT_EQ(silent.exitCode, 2) << silent.said.toStdString();
    EXPECT_EQ(silent.json.value("verdict").toString(), "no answer");
    EXPECT_EQ(silent.json.value("steps").toArray().last().toObject().value("attempts").toInt(), 2);
}
