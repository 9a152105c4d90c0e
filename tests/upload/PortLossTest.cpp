// A port that goes away in the middle of an upload (cable pulled, USB adapter gone): the
// transfer stops at the first refused send with one box and one verdict line, and nothing
// that follows a finished upload (restart, "Programming complete!") runs.
#include "BootloaderCommands.h"
#include "ManualUpload.h"
#include "ModuleSelection.h"
#include "SRecordBuilder.h"
#include "TerminalRig.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<QByteArray>;

const QString kClosedBox = QStringLiteral(
    "Error,\rOperation not allowed while port is closed\rClick LED or 'CommPort / Port Open' to connect.");

struct LossCase {
    const char* name;
    Module module;
    QByteArray lastLine; // the module's own termination line
    bool viaButton;      // the Upload button; otherwise the transfer alone (no family check passes)
    bool echoes;         // the module echoes each line and the transfer waits for it
    const char* verdict;
    qint64 sent; // lines the progress counts as sent: the refused one is not among them
};

void PrintTo(const LossCase& c, std::ostream* os)
{
    *os << c.name;
}

class PortLoss : public ::testing::TestWithParam<LossCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        rig.session->start();
        selection.select(GetParam().module);
        rig.serial.clearTranscript();
        rig.screen().clear();
        rig.prompter.messages.clear();
    }

    QTemporaryDir dir;
    TerminalRig rig;
    ModuleSelection selection{*rig.session};
    ManualUpload upload{*rig.session, selection};
};

// The cable comes out as the module hears the start of the second data record (15 bytes,
// "S112..."); echoing modules echo what they hear until then.
TEST_P(PortLoss, StopsAtTheFirstRefusedSendWithOneBoxAndNoRestart)
{
    const LossCase& c = GetParam();
    const Lines lines{srec::record(1, 0x0000, srec::pattern(16, 1)),
                      srec::record(1, 0x0010, srec::pattern(15, 2)),
                      srec::record(1, 0x001F, srec::pattern(14, 3)), c.lastLine};
    const QString path = dir.filePath("fw.s19");
    ASSERT_TRUE(srec::write(path, lines));

    qint64 progressSent = 0;
    QObject::connect(&upload.transfer(), &S19Transfer::progress,
                     [&](qint64 sent, qint64, qint64) { progressSent = sent; });
    size_t writesAtLoss = 0;
    rig.serialPeer.onHeard = [&](const QByteArray& heard) {
        if (writesAtLoss == 0 && heard.contains("S112")) {
            writesAtLoss = rig.serial.transcript().size();
            rig.serial.dropFromPeer();
            return;
        }
        if (c.echoes && writesAtLoss == 0)
            rig.rt.singleShot(5, nullptr, [this, heard] { rig.serialPeer.say(heard.trimmed() + "\r\n"); });
    };
    if (c.viaButton) {
        rig.prompter.fileNames << path;
        upload.uploadButton();
    } else {
        EXPECT_EQ(upload.transfer().sendS19File(path), S19Transfer::Outcome::PortClosed);
    }
    rig.rt.advance(5000);

    ASSERT_GT(writesAtLoss, 0u) << "the port was never lost";
    EXPECT_EQ(rig.serial.transcript().size(), writesAtLoss) << "nothing goes out after the loss";
    EXPECT_EQ(rig.prompter.texts(), c.echoes ? QStringList() : QStringList{kClosedBox})
        << "one box for the refused send; none when no send was refused (an echo was awaited)";
    const QString screen = rig.screen().text();
    EXPECT_TRUE(screen.endsWith(QString::fromLatin1(c.verdict) + "\r\n")) << screen.toStdString();
    EXPECT_EQ(screen.count("PT:  Upload stopped"), 1);
    EXPECT_EQ(progressSent, c.sent);
    EXPECT_FALSE(screen.contains("Programming complete!"));
    EXPECT_FALSE(screen.contains("Re-booting") || screen.contains("Rebooting"));
    EXPECT_FALSE(screen.contains("Closing USB/Service port")) << "no reopen of a port the module lost";
    EXPECT_TRUE(rig.session->cancelRequested());
    EXPECT_FALSE(rig.session->isBusy());
    EXPECT_FALSE(rig.session->isPortOpen());
}

const QByteArray kVector = srec::record(1, 0xFFFC, QByteArray("\xF1\x03", 2));

INSTANTIATE_TEST_SUITE_P(
    EveryPath, PortLoss,
    ::testing::Values(LossCase{"AcuItself", Module::QVR2a, srec::end(0xF003), true, false,
                               "PT:  Upload stopped: the port closed at line 2 of 4", 1},
                      LossCase{"PcuBehindAcu", Module::QVR2p, srec::end(0xE003), true, false,
                               "PT:  Upload stopped: the port closed at line 2 of 4", 1},
                      LossCase{"DvbBehindAcu", Module::QVR2d, kVector, true, false,
                               "PT:  Upload stopped: the port closed at line 2 of 4", 1},
                      LossCase{"ShorvelPanel", Module::Spanel, srec::end(0xF803), false, false,
                               "PT:  Upload stopped: the port closed at line 3 of 3", 2},
                      LossCase{"ShorvelPcu", Module::SPCU, srec::end(0xF803), true, false,
                               "PT:  Upload stopped: the port closed at line 2 of 4", 1},
                      LossCase{"ServicePortPcu", Module::SPG2pcu, srec::end(0xE003), true, true,
                               "PT:  Upload stopped: the port closed at line 1 of 3", 0},
                      LossCase{"VtPcu", Module::VTPCU, srec::end(0xF003), true, true,
                               "PT:  Upload stopped: the port closed at line 1 of 3", 0},
                      LossCase{"UsbPcu", Module::USBpcu, srec::end(0xE003), true, false,
                               "PT:  Upload stopped: the port closed at line 3 of 4", 2},
                      LossCase{"Kvmp", Module::KVMP, srec::end(0xE003), true, false,
                               "PT:  Upload stopped: the port closed at line 3 of 4", 2},
                      LossCase{"Nmea", Module::NMEA, srec::end(0xF806), true, false,
                               "PT:  Upload stopped: the port closed at line 3 of 4", 2},
                      LossCase{"DataTerminal", Module::Data, srec::end(0xF003), false, false,
                               "PT:  Upload stopped: the port closed at line 3 of 4", 2}),
    [](const ::testing::TestParamInfo<LossCase>& info) { return std::string(info.param.name); });

// Over TCP the session first dials again for up to 3 s; when that fails the same way out.
TEST(TcpPortLoss, AFailedRedialStopsTheTransferWithItsOneBox)
{
    QTemporaryDir dir;
    TerminalRig rig;
    rig.putTcp();
    rig.put("Direct", "QVR2a");
    ModuleSelection selection{*rig.session};
    ManualUpload upload{*rig.session, selection};
    rig.session->start();
    ASSERT_TRUE(rig.session->isPortOpen());
    const QString path = dir.filePath("fw.s19");
    const Lines lines{srec::record(1, 0, srec::pattern(16, 1)), srec::record(1, 0x10, srec::pattern(15, 2)),
                      srec::end(0xF003)};
    ASSERT_TRUE(srec::write(path, lines));
    bool lost = false;
    rig.tcpPeer.onHeard = [&](const QByteArray& heard) {
        if (!lost && heard.contains("S112")) {
            lost = true;
            rig.tcp.setOpenFailure(QStringLiteral("Connection refused"));
            rig.tcp.dropFromPeer();
        }
    };
    rig.prompter.fileNames << path;
    upload.uploadButton();

    EXPECT_EQ(rig.prompter.texts(),
              QStringList{"Error,\rTCP/IP connection is no longer valid.\rClick LED to re-connect."});
    EXPECT_TRUE(rig.screen().text().endsWith("PT:  Upload stopped: the port closed at line 2 of 3\r\n"));
    EXPECT_FALSE(rig.screen().text().contains("Re-booting"));
    EXPECT_FALSE(rig.session->isPortOpen());
}

// A line that stops taking bytes (a handshake line held low, a stalled adapter) would
// otherwise cost the drain's limit on every piece of the file and still end "complete":
// the first stalled drain stops the transfer with one box, and what was queued behind it
// never reaches the module.
TEST(StalledLine, TheFirstDrainThatCannotFinishStopsTheTransfer)
{
    QTemporaryDir dir;
    TerminalRig rig;
    ModuleSelection selection{*rig.session};
    ManualUpload upload{*rig.session, selection};
    rig.session->start();
    selection.select(Module::QVR2a);
    rig.serial.clearTranscript();
    rig.screen().clear();
    const QString path = dir.filePath("fw.s19");
    const Lines lines{srec::record(1, 0, srec::pattern(16, 1)), srec::record(1, 0x10, srec::pattern(15, 2)),
                      srec::end(0xF003)};
    ASSERT_TRUE(srec::write(path, lines));
    QByteArray heardAfterStall;
    bool stalled = false;
    rig.serialPeer.onHeard = [&](const QByteArray& heard) {
        if (stalled)
            heardAfterStall += heard;
        if (!stalled && heard.contains("#S112")) {
            stalled = true;
            rig.serial.setOutputStalled(true);
        }
    };
    const qint64 t0 = rig.rt.now();
    EXPECT_EQ(upload.transfer().sendS19File(path), S19Transfer::Outcome::PortClosed);
    const qint64 took = rig.rt.now() - t0;
    rig.serial.setOutputStalled(false);
    rig.rt.advance(2000);

    EXPECT_EQ(rig.prompter.texts(),
              QStringList{"Error,\rThe port did not send its output within 10 s.\rCheck the cable and the "
                          "handshaking setting."});
    EXPECT_TRUE(
        rig.screen().text().endsWith("PT:  Upload stopped: the port stopped sending at line 2 of 3\r\n"))
        << rig.screen().text().toStdString();
    EXPECT_LT(took, 11000) << "one drain limit, not one per piece";
    EXPECT_TRUE(heardAfterStall.isEmpty())
        << "the queued piece was thrown away: " << heardAfterStall.toStdString();
    EXPECT_TRUE(rig.session->cancelRequested());
    EXPECT_TRUE(rig.session->isPortOpen());
}

// The bootloader and erase sequences stop the same way: one box, one line, no waits run on.
TEST(SequencePortLoss, StartAndEraseStopAtTheFirstRefusedSend)
{
    TerminalRig rig;
    ModuleSelection selection{*rig.session};
    BootloaderCommands boot{*rig.session, selection};
    rig.session->start();
    selection.select(Module::QVR2mdb);
    rig.screen().clear();

    // The ACU restarts into its remote upload mode; the cable comes out during the 8 s of waits.
    rig.rt.singleShot(3000, nullptr, [&] { rig.serial.dropFromPeer(); });
    const qint64 t0 = rig.rt.nowNs();
    boot.startBootloader();
    EXPECT_EQ((rig.rt.nowNs() - t0) / 1000000, 8000) << "the waits already running end on time";
    EXPECT_EQ(rig.prompter.texts(), QStringList{kClosedBox});
    EXPECT_EQ(rig.screen().text(),
              "Resetting ACU to be sure its in the correct state, Please Wait:\r\n.\r\n.\r\n"
              ".\r\n.\r\nPT:  Stopped: the port closed\r\n");
    EXPECT_EQ(rig.serial.sentBytes(), QByteArray("\x1b\\0090\r\n"));
    EXPECT_TRUE(rig.session->cancelRequested());

    // The next command starts afresh and is refused again, once.
    rig.prompter.messages.clear();
    rig.session->setCancelRequested(false);
    boot.eraseModule();
    EXPECT_EQ(rig.prompter.texts(), QStringList{kClosedBox});
    EXPECT_EQ(rig.rt.nowNs() - t0, 8000 * 1000000LL) << "no pause of the erase runs";
    EXPECT_TRUE(
        rig.screen().text().endsWith("PT:  Stopped: the port closed\r\nPT:  Stopped: the port closed\r\n"));
}

} // namespace
