// Modules attached straight to the terminal: USB and service-port PCUs, the USB motor
// driver board and the Shorvel boards, fed the terminal's exact bytes.
#include "BoardOnWire.h"
#include "SRecordBuilder.h"

#include <gtest/gtest.h>

using namespace srec;

TEST(ModuleUnit, UsbPcuProgramsThenRestartsAndItsPortComesBackAfterTheSetTime)
{
    BoardOnWire t(BootTarget::UsbPcu);
    const QByteArray image = pattern(500);
    const QList<QByteArray> lines = file(image, 0x2000);

    EXPECT_EQ(t.ask("^0080"), "USB PCU BOOTLOADER READY\r\n");
    EXPECT_EQ(t.ask("^0578"), "ERASED *\r\n");
    t.rx.clear();
    for (const QByteArray& line : lines)
        t.send(line, 2);
    EXPECT_EQ(t.rx, "PROGRAMMED 500 BYTES, 0 BAD RECORDS\r\nOk\r\n");
    quint32 base = 0;
    EXPECT_EQ(t.board.module().flash().span(&base), image);
    EXPECT_EQ(base, 0x2000u);

    // The application starts: the port goes, cannot be opened, and comes back 3 s later.
    t.rt.advance(ModuleUnit::kDefaultRestartDelayMs + 1);
    EXPECT_EQ(t.drops, 1);
    EXPECT_FALSE(t.link.isOpen());
    EXPECT_FALSE(t.board.portPresent());
    EXPECT_FALSE(t.link.open());
    EXPECT_EQ(t.link.errorString(), QLatin1String(SimUsbAttachment::kAbsentText));
    t.rt.advance(ModuleUnit::kDefaultReturnAfterMs - 100);
    EXPECT_FALSE(t.link.open());
    t.rt.advance(200);
    ASSERT_TRUE(t.link.open());
    EXPECT_FALSE(t.board.module().inBootloader());
    // The application does not program.
    t.send(record(1, 0x2000, QByteArray(1, '\0')), 50);
    EXPECT_EQ(t.board.module().flash().span(), image);
}

TEST(ModuleUnit, UsbBoardThatNeverComesBackAndOneThatRefusesToErase)
{
    BoardOnWire t(BootTarget::UsbMdb);
    BootFaults faults;
    faults.neverReturn = true;
    faults.refuseErase = true;
    t.board.setBootFaults(faults);
    EXPECT_EQ(t.ask("^0080"), "") << "the motor driver board takes \"]\"";
    EXPECT_EQ(t.ask("]0080"), "USB MDB BOOTLOADER READY\r\n");
    EXPECT_EQ(t.ask("]0578"), "ERASE FAILED\r\n");
    EXPECT_FALSE(t.board.module().flash().erased());
    for (const QByteArray& line : file(pattern(32)))
        t.send(line, 2);
    t.rt.advance(60000);
    EXPECT_EQ(t.drops, 1);
    EXPECT_FALSE(t.link.open());
    EXPECT_EQ(t.usb.returns(), 0);
}

TEST(ModuleUnit, ServicePortPcuEchoesEveryLineAndKeepsItsPort)
{
    BoardOnWire t(BootTarget::ServicePortPcu, 115200);
    const QByteArray image = pattern(100, 2);
    const QList<QByteArray> lines = file(image);
    t.send("^0080");
    t.bare("^0578\r");
    t.rx.clear();
    // The terminal drops the first line and sends the rest with CR, each after the echo.
    for (const QByteArray& line : lines.mid(1)) {
        const QByteArray before = t.rx;
        t.bare(line + "\r", 20);
        EXPECT_TRUE(t.rx.mid(before.size()).startsWith(line + "\r\n")) << line.constData();
    }
    EXPECT_TRUE(t.rx.endsWith("PROGRAMMED 100 BYTES, 0 BAD RECORDS\r\nOk\r\n"));
    EXPECT_EQ(t.board.module().flash().span(), image);
    t.rt.advance(10000);
    EXPECT_EQ(t.drops, 0);
    EXPECT_TRUE(t.link.isOpen());
}

TEST(ModuleUnit, ShorvelPcuTakesBareCommandsAndBareLines)
{
    BoardOnWire t(BootTarget::ShorvelPcu, 9600);
    const QByteArray image = pattern(120, 3);
    t.bare("^0080\xA6\r\n", 100);
    EXPECT_TRUE(t.board.module().inBootloader());
    t.bare("^0578", 100);
    EXPECT_EQ(t.board.module().flash().eraseCount(), 1);
    for (const QByteArray& line : file(image)) {
        t.bare(line, 60);
        t.bare("\r\n", 10);
    }
    EXPECT_EQ(t.board.module().flash().span(), image);
    EXPECT_TRUE(t.rx.contains("PROGRAMMED 120 BYTES, 0 BAD RECORDS\r\n"));
    t.send("^0090", 100);
    EXPECT_FALSE(t.board.module().inBootloader());
}

// The Shorvel PCU writes each bare record before it reads on: 60 ms after its last byte,
// less the 1 ms allowed for a late read.
TEST(ModuleUnit, ShorvelPcuOverrunsWhenALineFollowsARecordTooSoon)
{
    BoardOnWire t(BootTarget::ShorvelPcu, 9600);
    const QByteArray image = pattern(64, 6);
    const QList<QByteArray> lines = file(image); // S0, four lines of 16 bytes, S9
    t.bare("^0080\xA6\r\n", 100);
    t.bare("^0578", 100);
    const auto line = [&](const QByteArray& text, qint64 pauseUs) {
        t.link.write(text);
        t.link.drain(1000);
        t.rt.waitNs(pauseUs * 1000);
        t.bare("\r\n", 0);
    };
    BootModule& pcu = t.board.module();
    line(lines[0], 60000);
    line(lines[1], 59000);
    EXPECT_EQ(pcu.overruns(), 0);
    line(lines[2], 58900); // its line end is lost; the record was already whole
    EXPECT_EQ(pcu.overruns(), 1);
    // No pause at all: the line end and the next record come while the record is written.
    t.link.write(lines[3]);
    t.bare("\r\n", 0);
    line(lines[4], 60000);
    EXPECT_EQ(pcu.overruns(), 2);
    line(lines[5], 60000);
    EXPECT_EQ(pcu.overruns(), 2);
    EXPECT_EQ(pcu.flash().badRecords(), 1);
    EXPECT_EQ(pcu.flash().span(), image.left(48)) << "the last data record never landed";
}

TEST(ModuleUnit, ShorvelPanelIsDoneAtItsRestartAsItNeverSeesTheShortLastLine)
{
    BoardOnWire t(BootTarget::ShorvelPanel, 9600);
    const QByteArray image = pattern(160, 4); // ten full 42-character records
    int programmed = 0;
    QObject::connect(&t.board.module(), &BootModule::programmed, [&] { ++programmed; });

    t.bare("S119", 100);
    EXPECT_FALSE(t.board.module().flash().erased()) << "not before its start bytes";
    t.bare(QByteArray("\x05\x07\x08"), 100);
    t.bare("S119", 100);
    EXPECT_TRUE(t.board.module().flash().erased());
    for (const QByteArray& line : file(image)) {
        if (line.size() < 42)
            continue;
        t.bare(line, 200);
    }
    EXPECT_EQ(programmed, 0);
    t.send("^0090", 100);
    EXPECT_EQ(programmed, 1);
    EXPECT_EQ(t.board.module().flash().span(), image);
    EXPECT_TRUE(t.rx.endsWith("PROGRAMMED 160 BYTES, 0 BAD RECORDS\r\n"));
}
