// The KVMP board with the NMEA board and the VT PCU behind it, driven the way the
// terminal's KVMP, NMEA and VT PCU sequences drive them.
#include "BoardOnWire.h"
#include "SRecordBuilder.h"

#include <gtest/gtest.h>

using namespace srec;

namespace {

struct KvmpRig : BoardOnWire {
    KvmpRig() : BoardOnWire(BootTarget::Kvmp) {}

    // A line sent with CR and the wait until its echo has come back.
    bool sendEchoed(const QByteArray& line)
    {
        const qsizetype before = rx.size();
        link.write(line + "\r");
        return rt.waitUntil([&] { return rx.size() > before + 10; }, 10000);
    }
};

} // namespace

TEST(Kvmp, ApplicationTalksThenRestartsIntoItsBootloaderBehindAPortThatComesBack)
{
    KvmpRig t;
    t.rt.advance(1000);
    EXPECT_GE(t.rx.size(), 10 * 25) << "status text, at least 25 characters every 100 ms";
    t.send("", 500);
    EXPECT_TRUE(t.ask("verA", 1500).contains("KVMP Ver"));

    const qint64 blAt = t.rt.now();
    t.send("^BL", 500);
    EXPECT_EQ(t.drops, 1) << "the port went under the open link";
    t.link.close();
    t.rt.advance(2400);
    EXPECT_FALSE(t.link.open()) << "still away " << t.rt.now() - blAt << " ms after ^BL";
    t.rt.advance(3100);
    ASSERT_TRUE(t.link.open());
    t.rx.clear();
    t.rt.advance(500);
    EXPECT_TRUE(t.rx.isEmpty()) << "the bootloader sends no status";
    const QByteArray verB = t.ask("verB", 1500);
    EXPECT_TRUE(verB.contains("Ver") && !verB.contains("KVMP Ver")) << verB.constData();
    EXPECT_TRUE(t.ask("verA", 500).isEmpty()) << "the bootloader does not know verA";

    const QByteArray image = pattern(1000);
    EXPECT_EQ(t.ask("^0578"), "ERASED\r\n");
    t.rx.clear();
    for (const QByteArray& line : file(image, 0x0800))
        t.send(line, 1);
    EXPECT_EQ(t.rx, "PROGRAMMED 1000 BYTES, 0 BAD RECORDS\r\n");
    EXPECT_EQ(t.board.module().flash().span(), image);

    // The application comes back on a port that went away once more.
    t.rt.advance(ModuleUnit::kDefaultRestartDelayMs + 10);
    EXPECT_EQ(t.drops, 2);
    t.rt.advance(ModuleUnit::kDefaultReturnAfterMs);
    ASSERT_TRUE(t.link.open());
    EXPECT_TRUE(t.ask("verA", 300).contains("KVMP Ver"));
}

TEST(Kvmp, BoardThatNeverComesBackAfterBL)
{
    KvmpRig t;
    t.board.setReturnAfterMs(-1);
    t.send("^BL", 500);
    t.link.close();
    for (int attempt = 0; attempt < 60; ++attempt) {
        t.rt.advance(1000);
        ASSERT_FALSE(t.link.open());
    }
}

TEST(Kvmp, NmeaBoardBehindTheKvmp)
{
    KvmpRig t;
    t.board.setStatusStream(false);
    EXPECT_TRUE(t.ask("verA", 1000).contains("KVMP Ver"));
    t.send("^NM", 10);
    t.rx.clear();
    t.send("bootloader", 1000);
    EXPECT_TRUE(t.rx.contains("ERASE")) << t.rx.constData();
    const QByteArray menu = t.rx;
    EXPECT_EQ(t.ask("", 500), menu) << "an empty line shows the menu again";
    EXPECT_EQ(t.ask("^0578", 500), "ERASED\r\n");

    const QByteArray image = pattern(400, 7);
    for (const QByteArray& line : file(image, 0, 2))
        t.send(line, 100);
    EXPECT_EQ(t.board.nmea()->flash().span(), image);
    EXPECT_TRUE(t.board.module().flash().isEmpty()) << "the KVMP's own memory is left alone";
    t.rt.advance(10000);
    EXPECT_EQ(t.drops, 0) << "the NMEA board restarts behind the KVMP; the port stays";
    EXPECT_TRUE(t.ask("verA", 300).contains("KVMP Ver")) << "the KVMP has its line back";
}

TEST(Kvmp, VtPcuIsReachedOnceTheKvmpIsSilencedAndReportsItsCrc)
{
    for (const bool corrupt : {false, true}) {
        KvmpRig t;
        BootFaults faults;
        faults.corruptRecord = corrupt ? 4 : 0;
        t.board.setBootFaults(faults);

        // "Checking for KVMP Active": it is, so "$" until fewer than 25 characters come back.
        t.rt.advance(2000);
        ASSERT_FALSE(t.rx.isEmpty());
        int attempts = 0;
        do {
            ++attempts;
            t.rx.clear();
            t.bare("$", 100);
        } while (t.rx.size() >= 25 && attempts < 25);
        EXPECT_LE(attempts, 2);
        EXPECT_EQ(t.board.kvmpRoute(), ModuleUnit::KvmpRoute::VtPcu);

        // The VT PCU's application says nothing to "$"; its bootloader starts on "^B".
        t.rx.clear();
        t.bare("$", 100);
        EXPECT_FALSE(t.rx.contains("ERASE"));
        t.bare("\r", 0);
        t.bare("^B\r", 100);
        EXPECT_TRUE(t.rx.contains("BootLoader"));
        t.rx.clear();
        t.bare("$", 100);
        EXPECT_TRUE(t.rx.contains("ERASE")) << "the bootloader's menu";
        EXPECT_LT(t.rx.size(), 25) << "short enough not to pass for a KVMP still talking";

        t.rx.clear();
        t.bare("^0578\r", 2000);
        EXPECT_TRUE(t.rx.startsWith("Erasing\r\n"));
        EXPECT_TRUE(t.rx.contains("OK")) << "within two seconds";

        const QByteArray image = pattern(256, 8);
        const QList<QByteArray> lines = file(image);
        t.rx.clear();
        for (const QByteArray& line : lines.mid(1))
            ASSERT_TRUE(t.sendEchoed(line)) << line.constData();
        t.rt.advance(2000);
        EXPECT_EQ(t.rx.contains("CRC is GOOD"), !corrupt) << t.rx.constData();
        EXPECT_EQ(t.rx.contains("CRC is BAD"), corrupt);
        EXPECT_EQ(t.board.vtPcu()->flash().badRecords(), corrupt ? 1 : 0);
        if (!corrupt) {
            EXPECT_EQ(t.board.vtPcu()->flash().span(), image);
        }

        // "%" gives the KVMP its voice back.
        t.rt.advance(5000);
        t.rx.clear();
        t.bare("%", 500);
        EXPECT_GE(t.rx.size(), 4 * 25);
        EXPECT_EQ(t.drops, 0);
    }
}
