#include "S19Transfer.h"
#include "ModuleSelection.h"
#include "Runtime.h"
#include "SRecordBuilder.h"
#include "TerminalRig.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>

namespace {

using Lines = std::vector<QByteArray>;

struct Transfer : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        rig.session->start();
        QObject::connect(&transfer, &S19Transfer::cancelWindowShown,
                         [this](const QString& c, const QString& t) {
                             caption = c;
                             windowText = t;
                             windowVisible = true;
                         });
        QObject::connect(&transfer, &S19Transfer::cancelWindowHidden, [this] { windowVisible = false; });
        QObject::connect(&transfer, &S19Transfer::progress, [this](qint64 sent, qint64 total, qint64 ms) {
            progress.push_back({sent, total, ms});
        });
    }
    void use(Module m)
    {
        selection.select(m);
        rig.serial.clearTranscript();
        rig.screen().clear();
        t0 = rig.rt.nowMsF();
    }
    QString file(const Lines& lines)
    {
        const QString path = dir.filePath("fw.s19");
        EXPECT_TRUE(srec::write(path, lines));
        return path;
    }
    S19Transfer::Outcome send(const Lines& lines) { return transfer.sendS19File(file(lines)); }
    Lines sent() const { return rig.sends(rig.serial); }
    std::vector<double> times() const
    {
        std::vector<double> out;
        for (double t : rig.sendTimesMs(rig.serial))
            out.push_back(t - t0);
        return out;
    }
    double elapsed() const { return rig.rt.nowMsF() - t0; }
    // The module answers each thing it hears after delayMs with the text and CR LF.
    void echoAfter(int delayMs, int lines = 1000)
    {
        rig.serialPeer.onHeard = [this, delayMs, lines](const QByteArray& b) {
            if (echoed++ < lines)
                rig.rt.singleShot(delayMs, nullptr, [this, b] { rig.serialPeer.say(b.trimmed() + "\r\n"); });
        };
    }

    QTemporaryDir dir;
    TerminalRig rig;
    ModuleSelection selection{*rig.session};
    S19Transfer transfer{*rig.session, selection};
    QString caption, windowText;
    bool windowVisible = false;
    std::vector<std::array<qint64, 3>> progress;
    double t0 = 0;
    int echoed = 0;
};

// Through the ACU one line becomes S1030000FC -> "#S103" "#0000" "#FC00".
const QByteArray kEmptyAt0 = srec::record(1, 0, {});
const QByteArray kOneByte = srec::record(1, 0, "\xAA"); // S1040000AA51, twelve characters

TEST(AcuPieces, LinesBecomeFiveCharacterMessagesWithPaddedTail)
{
    EXPECT_EQ(kEmptyAt0, "S1030000FC");
    EXPECT_EQ(S19Transfer::acuPieces(kEmptyAt0, '#'), (Lines{"#S103", "#0000", "#FC00"}));
    EXPECT_EQ(S19Transfer::acuPieces("ABCDEFGH", '#'), (Lines{"#ABCD", "#EFGH"})) << "4n: no padded piece";
    EXPECT_EQ(S19Transfer::acuPieces("ABCDE", 'w'), (Lines{"wABCD", "wE00"})) << "4n+1: four characters";
    EXPECT_EQ(S19Transfer::acuPieces("ABCDEFG", '#'), (Lines{"#ABCD", "#EFG0"})) << "cut to five";
}

TEST_F(Transfer, AcuRoutedLinesGoAsPiecesRoutedAndClosedPerModule)
{
    bool busyWhileSending = false;
    rig.serialPeer.onHeard = [&](const QByteArray&) {
        busyWhileSending = rig.session->isBusy() && transfer.isRunning();
    };
    const Lines lines{srec::header(), kEmptyAt0, srec::end(0xE003)};
    const QString path = file(lines);
    use(Module::QVR2a);
    EXPECT_EQ(transfer.sendS19File(path), S19Transfer::Outcome::Completed);
    EXPECT_EQ(sent(), (Lines{"#S103\r\n", "#0000\r\n", "#FC00\r\n", "#S903\r\n", "#E003\r\n", "#1900\r\n"}));
    EXPECT_EQ(times(), (std::vector<double>{0, 6, 12, 33, 39, 45}));
    EXPECT_DOUBLE_EQ(elapsed(), 45 + 6 + 15 + 1000.0) << "no burst ends for the ACU itself";
    EXPECT_EQ(caption + "|" + windowText, "Upload|Uploading S19 File - " + path);
    EXPECT_FALSE(windowVisible);
    EXPECT_TRUE(busyWhileSending);
    EXPECT_FALSE(rig.session->isBusy() || rig.session->connectTimerRunning());
    EXPECT_EQ(progress, (std::vector<std::array<qint64, 3>>{{1, 2, 33}, {2, 2, 66}}));

    use(Module::QVR2p);
    transfer.sendS19File(path);
    EXPECT_EQ(sent(), (Lines{"?    \r", "#S103\r\n", "#0000\r\n", "#FC00\r\n", "#!   \r\n", "?    \r",
                             "#S903\r\n", "#E003\r\n", "#1900\r\n", "#!   \r\n", "#!   \r\n", "#!   \r\n"}));
    EXPECT_EQ(times(), (std::vector<double>{0, 6, 12, 18, 39, 51, 57, 63, 69, 90, 1102, 1202}));
    EXPECT_DOUBLE_EQ(elapsed(), 1302);

    use(Module::QVR2d);
    transfer.sendS19File(path);
    EXPECT_EQ(sent(), (Lines{"wS103\r\n", "w0000\r\n", "wFC00\r\n", "w!   \r\n", "wS903\r\n", "wE003\r\n",
                             "w1900\r\n", "w!   \r\n", "w!   \r\n", "w!   \r\n"}))
        << "the DVB receiver is not routed with ?";
}

// Acceptance figure: a 32 KiB image through the ACU at 9600 baud lasts the wire time of
// its bytes plus the prescribed pauses, and the pieces put together give the file again.
TEST_F(Transfer, ThirtyTwoKilobytesThroughTheAcuTakeWireTimePlusPauses)
{
    QByteArray image(32 * 1024, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((i * 7 + i / 256) & 0xFF);
    Lines lines{srec::header()};
    for (const QByteArray& l : srec::image(image, 0x8000))
        lines.push_back(l);
    lines.push_back(srec::end(0xE003));

    for (Module module : {Module::QVR2p, Module::QVR2a}) {
        const bool routed = module == Module::QVR2p;
        use(module);
        rig.serial.setBaud(9600);
        ASSERT_EQ(send(lines), S19Transfer::Outcome::Completed);

        qint64 bytes = 0, pieces = 0, dataLines = 0;
        double pausesMs = 0;
        for (const QByteArray& line : lines) {
            if (line.startsWith("S0"))
                continue;
            const qint64 n = (line.size() + 3) / 4;
            ++dataLines;
            pieces += n;
            bytes += n * 7 + (routed ? 6 + 7 : 0);
            pausesMs += n * 6 + 15 + (routed ? 6 + 12 : 0);
        }
        pausesMs += 1000 + (routed ? 200 : 0);
        bytes += routed ? 14 : 0;
        const double expectedMs = pausesMs + bytes * 10 * 1000.0 / 9600;
        EXPECT_NEAR(elapsed(), expectedMs, expectedMs * 0.005);
        EXPECT_EQ(rig.serial.sentBytes().size(), bytes);
        std::printf(
            "[acceptance 5] %s: %lld lines, %lld pieces, %lld bytes, virtual %.1f ms, expected %.1f ms "
            "(pauses %.0f ms)\n",
            routed ? "PCU behind ACU" : "ACU", (long long)dataLines, (long long)pieces, (long long)bytes,
            elapsed(), expectedMs, pausesMs);

        // Put the lines back together as the module does: the byte count says where the padding starts.
        Lines rebuilt(1);
        for (const QByteArray& s : sent()) {
            if (s.startsWith("#!") || s.startsWith("?"))
                continue;
            rebuilt.back() += s.mid(1, 4).trimmed();
            const QByteArray& l = rebuilt.back();
            if (l.size() >= 4 && l.size() >= 4 + 2 * l.mid(2, 2).toInt(nullptr, 16)) {
                rebuilt.back() = l.left(4 + 2 * l.mid(2, 2).toInt(nullptr, 16));
                rebuilt.emplace_back();
            }
        }
        rebuilt.pop_back();
        EXPECT_EQ(rebuilt, Lines(lines.begin() + 1, lines.end()));
    }
}

TEST_F(Transfer, ShorvelPcuCancelStopsBeforeTheNextLineAndHidesTheWindow)
{
    use(Module::SPCU);
    const Lines lines{kEmptyAt0, kOneByte, srec::end(0xF803)};
    rig.serialPeer.onHeard = [&](const QByteArray& b) {
        if (b == kEmptyAt0)
            rig.session->requestCancel();
    };
    EXPECT_EQ(send(lines), S19Transfer::Outcome::Cancelled);
    EXPECT_EQ(sent(), (Lines{kEmptyAt0, "\r\n"})) << "the line in hand is finished";
    EXPECT_FALSE(windowVisible || transfer.isRunning() || rig.session->connectTimerRunning());

    rig.serialPeer.onHeard = nullptr;
    rig.serial.clearTranscript();
    t0 = rig.rt.nowMsF();
    EXPECT_EQ(send(lines), S19Transfer::Outcome::Completed) << "the next transfer clears the flag";
    EXPECT_EQ(sent(), (Lines{kEmptyAt0, "\r\n", kOneByte, "\r\n", srec::end(0xF803), "\r\n"}));
    EXPECT_EQ(times(), (std::vector<double>{0, 60, 60, 120, 120, 180}));
}

TEST_F(Transfer, UsbModulesEndWithProgrammingCompleteAndAPortReopenExceptNmea)
{
    const Lines lines{kEmptyAt0, srec::end(0xE003)};
    const QString reopen = "PT:  Closing USB/Service port\r\nPT:  Waiting for application to restart\r\n";

    use(Module::USBpcu);
    int opens = rig.serial.openCount();
    EXPECT_EQ(send(lines), S19Transfer::Outcome::Completed);
    EXPECT_EQ(sent(), (Lines{kEmptyAt0 + "\r\n", srec::end(0xE003) + "\r\n"}));
    EXPECT_EQ(rig.screen().text(), "Programming complete!\r\n" + reopen);
    EXPECT_EQ(rig.serial.openCount(), opens + 1);

    use(Module::NMEA);
    opens = rig.serial.openCount();
    send(lines);
    EXPECT_EQ(times(), (std::vector<double>{0, 100}));
    EXPECT_EQ(rig.screen().text(), "Programming complete!\r\n");
    EXPECT_EQ(rig.serial.openCount(), opens);

    use(Module::KVMP);
    selection.setKvmpAutoUpdate(true);
    send(lines);
    EXPECT_EQ(rig.screen().text(), reopen) << "the auto update reports completion itself";

    selection.setKvmpAutoUpdate(false);
    rig.screen().clear();
    rig.serialPeer.onHeard = [&](const QByteArray&) { rig.session->requestCancel(); };
    EXPECT_EQ(send(lines), S19Transfer::Outcome::Cancelled);
    EXPECT_FALSE(rig.screen().text().contains("Programming complete!"))
        << "a cancelled upload is not complete";
}

TEST_F(Transfer, OtherSelectionsGetThePacedTextSendAndEndCancelled)
{
    use(Module::Data);
    rig.session->setSendPacing(250);
    EXPECT_EQ(send({srec::header(), kEmptyAt0}), S19Transfer::Outcome::Completed);
    EXPECT_EQ(sent(), (Lines{srec::header() + "\r\n", kEmptyAt0 + "\r\n"}));
    EXPECT_EQ(times(), (std::vector<double>{0, 250}));
    EXPECT_TRUE(rig.session->cancelRequested()) << "so that no reboot follows";
}

TEST_F(Transfer, ShorvelPanelSendsShortDataRecordsAndStopsAtTheTerminationLine)
{
    use(Module::Spanel);
    const QByteArray longLine = srec::record(1, 0x100, QByteArray(16, '\x11'));
    ASSERT_EQ(longLine.size(), 42);
    EXPECT_EQ(send({longLine, kOneByte, longLine, srec::end(0xF803), longLine}),
              S19Transfer::Outcome::Completed);
    EXPECT_EQ(sent(), (Lines{longLine, kOneByte, longLine})) << "a short data record is part of the image";
    EXPECT_EQ(times(), (std::vector<double>{0, 200, 400}));
}

TEST_F(Transfer, ServicePortPcuWaitsForEachEchoAndGivesUpAfterTenSeconds)
{
    const Lines lines{srec::header(), kOneByte, kEmptyAt0, srec::end(0xE003)};
    use(Module::SPG2pcu);
    echoAfter(30);
    EXPECT_EQ(send(lines), S19Transfer::Outcome::Completed);
    EXPECT_EQ(sent(), (Lines{kOneByte + "\r", kEmptyAt0 + "\r", srec::end(0xE003) + "\r"}))
        << "header dropped";
    EXPECT_EQ(times(), (std::vector<double>{0, 30, 60}));

    use(Module::SPG2pcu);
    echoed = 0;
    echoAfter(30, 1);
    EXPECT_EQ(send(lines), S19Transfer::Outcome::Cancelled);
    EXPECT_EQ(sent().size(), 2u);
    EXPECT_DOUBLE_EQ(elapsed(), 30 + 10000);
    EXPECT_TRUE(rig.screen().text().endsWith("PT:  No echo from module for 10 s, upload stopped\r\n"));
    EXPECT_TRUE(rig.session->cancelRequested());

    use(Module::SPG2pcu);
    rig.serialPeer.onHeard = nullptr;
    rig.rt.singleShot(2000, nullptr, [&] { rig.session->requestCancel(); });
    EXPECT_EQ(send(lines), S19Transfer::Outcome::Cancelled);
    EXPECT_DOUBLE_EQ(elapsed(), 2000) << "Cancel ends the echo wait";
    EXPECT_FALSE(rig.screen().text().contains("No echo"));
}

TEST_F(Transfer, VtPcuWaitsForEchoesThenForTheCrcAndRestartsTheKvmp)
{
    use(Module::VTPCU);
    rig.serialPeer.onHeard = [&](const QByteArray& b) {
        rig.rt.singleShot(20, nullptr, [this, b] {
            rig.serialPeer.say(b + "\n");
            if (b.startsWith("S9"))
                rig.serialPeer.say("CRC is GOOD\r\n");
        });
    };
    EXPECT_EQ(send({srec::header(), kOneByte, srec::end(0xF003)}), S19Transfer::Outcome::Completed);
    EXPECT_EQ(sent(), (Lines{kOneByte + "\r", srec::end(0xF003) + "\r", "%"}));
    EXPECT_EQ(times(), (std::vector<double>{0, 20, 20 + 20 + 2000 + 5000}));
    EXPECT_TRUE(rig.screen().text().endsWith("CRC is GOOD\r\nWaiting for PCU to reboot\r\n"));
    EXPECT_FALSE(rig.session->replyCapture());

    use(Module::VTPCU);
    rig.serialPeer.onHeard = nullptr;
    EXPECT_EQ(send({srec::header(), kOneByte, srec::end(0xF003)}), S19Transfer::Outcome::Cancelled);
    EXPECT_EQ(sent().size(), 1u);
    EXPECT_DOUBLE_EQ(elapsed(), 10000 + 2000) << "given up, then the usual CRC wait";
}

TEST_F(Transfer, ADamagedFileIsRefusedBeforeAnythingHappens)
{
    use(Module::QVR2p);
    Lines lines{srec::header(), kOneByte, kEmptyAt0, srec::end(0xE003)};
    lines[2].chop(2);
    lines[2] += "00";
    EXPECT_EQ(send(lines), S19Transfer::Outcome::Refused);
    EXPECT_TRUE(sent().empty());
    EXPECT_TRUE(caption.isEmpty() && progress.empty()) << "no Cancel window";
    ASSERT_EQ(rig.prompter.messages.size(), 1);
    EXPECT_EQ(rig.prompter.messages[0].text,
              "Error,\rLine 3 is not a valid S-record:\rIts checksum is 00, the record's bytes give FC.");
    EXPECT_EQ(rig.prompter.messages[0].icon, Prompter::Icon::Exclamation);
}

} // namespace
