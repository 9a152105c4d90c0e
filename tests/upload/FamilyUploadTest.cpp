// Every module family programmed the way a technician does it in the window: select the
// module, open the port, Start (or the KVMP's automatic start), Erase, Upload with the file
// picked in the chooser. The far end is the real simulated unit on a line at the module's
// speed, so what is checked at the end is what its bootloader stored, compared with the
// bytes the test put into the file.
#include "ManualUpload.h"
#include "ModuleSelection.h"
#include "SRecordBuilder.h"
#include "ShownInOrder.h"

#include <AcuBootModules.h>
#include <AcuModel.h>
#include <AcuUnit.h>
#include <ModuleUnit.h>
#include <Prompter.h>
#include <SettingsStore.h>
#include <SimByteLink.h>
#include <SimRuntime.h>
#include <SimUsbAttachment.h>
#include <TerminalScreen.h>
#include <TerminalSession.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>

namespace {

using Bytes = std::map<quint32, quint8>;
using Lines = std::vector<QByteArray>;

// A firmware file and the memory it describes, both made here from the same numbers.
struct Firmware {
    Lines lines;
    Bytes bytes;
    // The address ranges of the data records, in file order (header and end excluded).
    std::vector<std::pair<quint32, int>> records;

    void add(quint32 address, const QByteArray& data)
    {
        lines.push_back(srec::record(1, address, data));
        records.push_back({address, int(data.size())});
        for (int i = 0; i < data.size(); ++i)
            bytes[address + quint32(i)] = quint8(data[i]);
    }
};

// Bytes without a short period, so that a record stored at the wrong address shows.
QByteArray pattern(int size, quint32 seed)
{
    QByteArray out(size, '\0');
    quint32 x = seed * 2654435761u + 12345u;
    for (int i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        out[i] = char(x >> 16);
    }
    return out;
}

// Records of 16, 15, 14 and 13 bytes in turn: lines that fill their last pass-through piece
// and lines that end in a padded one.
Firmware firmware(quint32 base, int size, quint32 seed, bool header = true)
{
    static constexpr int kSizes[] = {16, 15, 14, 13};
    const QByteArray data = pattern(size, seed);
    Firmware fw;
    if (header)
        fw.lines.push_back(srec::header());
    for (int at = 0, i = 0; at < size; ++i) {
        const int n = qMin(kSizes[i % 4], size - at);
        fw.add(base + quint32(at), data.mid(at, n));
        at += n;
    }
    return fw;
}

enum class After { RebootAcu, RebootPcu };
enum class Entry { Start, KvmpAuto };

struct Family {
    const char* name;
    Module module;
    std::optional<BootTarget> board; // the unit on the line; none: the ACU
    BootTarget target;               // the bootloader that is programmed
    Entry entry;
    After after;
    quint16 start = 0; // S9 start address; 0: the file ends with the DVB's reset vector instead
    // What the terminal shows after the Upload button, in this order.
    std::vector<QString> done;
};

// A line at the module's speed, the unit at its end, and the window's objects.
struct Bench {
    Bench(Module module, std::optional<BootTarget> boardTarget) : m_module(module)
    {
        if (boardTarget) {
            board = std::make_unique<ModuleUnit>(rt, *boardTarget, 3);
            serial.attachPeer(board.get());
            usb = std::make_unique<SimUsbAttachment>(*board, serial);
        } else {
            acu = std::make_unique<AcuModel>(rt, 3);
            serial.attachPeer(acu.get());
        }
        session = std::make_unique<TerminalSession>(rt, prompter, store, serial, tcp, 1);
        selection = std::make_unique<ModuleSelection>(*session);
        upload = std::make_unique<ManualUpload>(*session, *selection);
        QObject::connect(&session->screen(), &TerminalScreen::textAppended,
                         [this](const QString& text) { shown += text; });
        for (BootModule* m : modules()) {
            QObject::connect(m, &BootModule::started, [this, m] { ++starts[m->target()]; });
            QObject::connect(m, &BootModule::erased, [this, m](bool ok) { erases[m->target()] += ok; });
        }
    }

    QList<BootModule*> modules() const { return acu ? acu->unit().bootModules().all() : board->modules(); }
    BootModule& module(BootTarget target) const
    {
        for (BootModule* m : modules())
            if (m->target() == target)
                return *m;
        return *modules().front();
    }

    // The module menu click, then the port LED.
    void selectAndOpen()
    {
        selection->select(m_module);
        serial.setBaud(ModuleTable::row(m_module).speed);
        session->start();
        serial.clearTranscript();
        shown.clear();
    }
    // The file as the chooser will hand it over.
    QString file(const Lines& lines)
    {
        const QString path = dir.filePath(QStringLiteral("fw%1.s19").arg(++m_files));
        EXPECT_TRUE(srec::write(path, lines));
        return path;
    }
    QString dumpAfter(int from) const { return shown.mid(from); }

    SimRuntime rt;
    ScriptedPrompter prompter;
    MemorySettingsStore store;
    QTemporaryDir dir;
    // Units before the links: a link lets go of its peer when it is destroyed.
    std::unique_ptr<AcuModel> acu;
    std::unique_ptr<ModuleUnit> board;
    SimByteLink serial{rt, ByteLink::Kind::Serial};
    SimByteLink tcp{rt, ByteLink::Kind::Tcp};
    std::unique_ptr<SimUsbAttachment> usb;
    std::unique_ptr<TerminalSession> session;
    std::unique_ptr<ModuleSelection> selection;
    std::unique_ptr<ManualUpload> upload;
    QString shown;
    std::map<BootTarget, int> starts;
    std::map<BootTarget, int> erases;

private:
    Module m_module;
    int m_files = 0;
};

const QString kProgrammed = QStringLiteral("PROGRAMMED %1 BYTES, 0 BAD RECORDS");
const QString kVerified = QStringLiteral("PT:  File verification complete! Checking for File version number");
const QString kComplete = QStringLiteral("Programming complete!");
const std::vector<QString> kReopen{QStringLiteral("PT:  Closing USB/Service port"),
                                   QStringLiteral("PT:  Waiting for application to restart")};
const std::vector<QString> kRebootAcu{QStringLiteral("PT:  Re-booting ACU"),
                                      QStringLiteral("PT:  Re-booting CommIF")};

std::vector<QString> join(std::initializer_list<std::vector<QString>> parts)
{
    std::vector<QString> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

bool isAcuRouted(Module m)
{
    for (Module r : {Module::QVRa, Module::QVRp, Module::QVRd, Module::QVR2a, Module::QVR2p, Module::QVR2d,
                     Module::QVR2m1, Module::QVR2m2, Module::SPdvb, Module::QVR2mdb})
        if (m == r)
            return true;
    return false;
}
bool isDvb(Module m)
{
    return m == Module::QVRd || m == Module::QVR2d || m == Module::SPdvb;
}
bool isAcuItself(Module m)
{
    return m == Module::QVRa || m == Module::QVR2a;
}

// The writes of the transcript, one per entry.
Lines writes(const SimByteLink& link)
{
    Lines out;
    for (const auto& r : link.transcript())
        if (r.direction == SimByteLink::Direction::ToUnit)
            out.push_back(r.bytes);
    return out;
}

void PrintTo(const Family& f, std::ostream* os)
{
    *os << f.name;
}

class Families : public ::testing::TestWithParam<Family> {};

TEST_P(Families, StartEraseUploadLeaveTheFilesBytesInTheModule)
{
    const Family& f = GetParam();
    Bench b(f.module, f.board);
    b.selectAndOpen();
    ASSERT_TRUE(b.session->isPortOpen());

    // The file: the module's own termination line, checked by the chooser like any other.
    Firmware fw = firmware(isAcuItself(f.module) ? 0x4000 : 0x8000, 500, quint32(f.module) + 1);
    if (f.start)
        fw.lines.push_back(srec::end(f.start));
    else
        fw.add(0xFFFC, QByteArray("\xF1\x03", 2)); // the DVB receiver's file ends with its reset vector
    const QString path = b.file(fw.lines);

    if (f.entry == Entry::KvmpAuto)
        ASSERT_TRUE(b.upload->bootloader().kvmpBootloaderStart()) << b.shown.toStdString();
    else
        b.upload->start();
    b.rt.advance(200); // the last command is still on the wire when Start returns
    BootModule& target = b.module(f.target);
    EXPECT_TRUE(target.inBootloader()) << b.shown.toStdString();
    b.upload->erase();
    b.rt.advance(100);
    // The DVB receiver's erase names its memory twice ("^0578", then "^578").
    EXPECT_EQ(b.erases[f.target], isDvb(f.module) ? 2 : 1) << b.shown.toStdString();
    EXPECT_TRUE(target.flash().erased() && target.flash().isEmpty());
    for (BootModule* other : b.modules()) {
        if (other != &target) {
            EXPECT_EQ(b.starts[other->target()] + b.erases[other->target()], 0)
                << other->name().constData() << " was started or erased as well";
        }
    }

    const qsizetype uploadShown = b.shown.size();
    const size_t uploadWrite = writes(b.serial).size();
    b.prompter.fileNames << path;
    b.upload->uploadButton();
    b.rt.advance(1000);

    EXPECT_EQ(target.flash().bytes(), fw.bytes);
    EXPECT_EQ(target.flash().badRecords(), 0);
    EXPECT_EQ(target.overruns(), 0) << "the transfer keeps every pause on the wire";
    EXPECT_EQ(target.flash().reprogrammedBytes(), 0);
    EXPECT_EQ(target.flash().complete(), f.start != 0);
    for (BootModule* other : b.modules()) {
        if (other != &target) {
            EXPECT_TRUE(other->flash().isEmpty()) << other->name().constData();
        }
    }
    EXPECT_TRUE(b.prompter.messages.isEmpty()) << b.prompter.lastText().toStdString();
    EXPECT_TRUE(inOrder(b.dumpAfter(uploadShown), join({{kVerified}, f.done})));
    EXPECT_FALSE(b.session->isBusy());
    EXPECT_TRUE(b.session->isPortOpen());

    // What went on the wire during the upload and the step after it.
    const Lines all = writes(b.serial);
    const Lines sent(all.begin() + qsizetype(uploadWrite), all.end());
    QByteArray wire;
    for (const QByteArray& w : sent)
        wire += w;
    switch (f.after) {
    case After::RebootAcu:
        ASSERT_GE(sent.size(), 2u);
        EXPECT_EQ(sent[sent.size() - 2], "\\0090\r\n");
        EXPECT_EQ(sent.back(), "[Z\r\n");
        break;
    case After::RebootPcu:
        EXPECT_EQ(sent.back(), "^0090\r\n");
        break;
    }
    if (isAcuRouted(f.module)) {
        EXPECT_FALSE(wire.contains("S0")) << "the header line of an ACU-routed file stays at home";
        const bool routed = !isAcuItself(f.module) && !isDvb(f.module);
        int routes = 0;
        for (size_t i = 0; i < sent.size(); ++i) {
            if (sent[i] == "?    \r")
                ++routes;
            if (sent[i].startsWith("#S") && routed && i > 0) {
                EXPECT_EQ(sent[i - 1], "?    \r") << "before line piece " << i;
            }
        }
        EXPECT_EQ(routes, routed ? int(fw.lines.size()) - 1 : 0);
        EXPECT_EQ(wire.contains("#!   "), routed);
        EXPECT_EQ(wire.contains("w!   "), isDvb(f.module));
    }
    if (isDvb(f.module)) {
        EXPECT_FALSE(writes(b.serial).empty());
        for (const QByteArray& w : writes(b.serial))
            EXPECT_FALSE(w.startsWith("?")) << "the DVB receiver is never routed: " << w.constData();
    }
}

const QString kBytes500 = kProgrammed.arg(500);
// A USB board's own report of the image is lost: the port closes right after the last line.

INSTANTIATE_TEST_SUITE_P(
    Upload, Families,
    ::testing::Values(
        Family{"QVRa",
               Module::QVRa,
               {},
               BootTarget::Acu,
               Entry::Start,
               After::RebootAcu,
               0xF003,
               join({{kBytes500}, kRebootAcu})},
        Family{"QVR2a",
               Module::QVR2a,
               {},
               BootTarget::Acu,
               Entry::Start,
               After::RebootAcu,
               0xF003,
               join({{kBytes500}, kRebootAcu})},
        Family{"QVRp",
               Module::QVRp,
               {},
               BootTarget::Pcu,
               Entry::Start,
               After::RebootAcu,
               0xE003,
               join({{kBytes500}, kRebootAcu})},
        Family{"QVR2p",
               Module::QVR2p,
               {},
               BootTarget::Pcu,
               Entry::Start,
               After::RebootAcu,
               0xE003,
               join({{kBytes500}, kRebootAcu})},
        Family{"QVRd", Module::QVRd, {}, BootTarget::Dvb, Entry::Start, After::RebootAcu, 0, kRebootAcu},
        Family{"QVR2d", Module::QVR2d, {}, BootTarget::Dvb, Entry::Start, After::RebootAcu, 0, kRebootAcu},
        Family{"SPdvb",
               Module::SPdvb,
               {},
               BootTarget::Dvb,
               Entry::Start,
               After::RebootPcu,
               0,
               {QStringLiteral("Rebooting PCU")}},
        Family{"QVR2m1",
               Module::QVR2m1,
               {},
               BootTarget::BdeModem,
               Entry::Start,
               After::RebootAcu,
               0xF080,
               join({{kBytes500}, kRebootAcu})},
        Family{"QVR2m2",
               Module::QVR2m2,
               {},
               BootTarget::AdeModem,
               Entry::Start,
               After::RebootAcu,
               0xF080,
               join({{kBytes500}, kRebootAcu})},
        Family{"QVR2mdb",
               Module::QVR2mdb,
               {},
               BootTarget::MotorDriver,
               Entry::Start,
               After::RebootAcu,
               0xF089,
               join({{kBytes500}, kRebootAcu})},
        Family{"USBpcu", Module::USBpcu, BootTarget::UsbPcu, BootTarget::UsbPcu, Entry::Start,
               After::RebootAcu, 0xE003, join({{kComplete}, kReopen, kRebootAcu})},
        Family{"USBmdb", Module::USBmdb, BootTarget::UsbMdb, BootTarget::UsbMdb, Entry::Start,
               After::RebootAcu, 0xF089, join({{kComplete}, kReopen, kRebootAcu})},
        Family{"SPG2pcu", Module::SPG2pcu, BootTarget::ServicePortPcu, BootTarget::ServicePortPcu,
               Entry::Start, After::RebootAcu, 0xE003, join({{kBytes500}, kRebootAcu})},
        Family{"SPCU",
               Module::SPCU,
               BootTarget::ShorvelPcu,
               BootTarget::ShorvelPcu,
               Entry::Start,
               After::RebootPcu,
               0xF803,
               {kBytes500, QStringLiteral("Rebooting PCU")}},
        Family{"KVMP", Module::KVMP, BootTarget::Kvmp, BootTarget::Kvmp, Entry::KvmpAuto, After::RebootAcu,
               0xE003, join({{kComplete}, kReopen, kRebootAcu})},
        Family{"NMEA", Module::NMEA, BootTarget::Kvmp, BootTarget::Nmea, Entry::KvmpAuto, After::RebootAcu,
               0xF806, join({{kBytes500, kComplete}, kRebootAcu})},
        Family{"VTPCU", Module::VTPCU, BootTarget::Kvmp, BootTarget::VtPcu, Entry::KvmpAuto, After::RebootAcu,
               0xF003,
               join({{QStringLiteral("CRC is GOOD"), QStringLiteral("Waiting for PCU to reboot")},
                     kRebootAcu})}),
    [](const ::testing::TestParamInfo<Family>& info) { return std::string(info.param.name); });

// The panel has no line in the family check, so the Upload button turns every file down;
// the transfer itself is driven directly here, and the panel's restart is the "^0090" the
// button would send after it.
TEST(ShorvelPanel, ChooserRefusesEveryFileTheTransferStillProgramsThePanel)
{
    Bench b(Module::Spanel, BootTarget::ShorvelPanel);
    b.selectAndOpen();
    BootModule& panel = b.board->module();
    Firmware fw = firmware(0x8000, 500, 77, false); // a header line would end the panel's transfer at once
    fw.lines.push_back(srec::end(0xF803));
    const QString path = b.file(fw.lines);

    b.upload->start();
    b.upload->erase();
    b.rt.advance(200);
    EXPECT_TRUE(panel.inBootloader());
    EXPECT_EQ(b.erases[BootTarget::ShorvelPanel], 1);

    const size_t before = writes(b.serial).size();
    b.prompter.fileNames << path;
    b.upload->uploadButton();
    EXPECT_TRUE(b.shown.endsWith(
        QStringLiteral("\r\n Selected file does not match parameters for selected module\r\n")));
    EXPECT_EQ(writes(b.serial).size(), before) << "nothing sent";

    ASSERT_EQ(b.upload->transfer().sendS19File(path), S19Transfer::Outcome::Completed);
    b.rt.advance(500);
    EXPECT_EQ(panel.flash().bytes(), fw.bytes);
    EXPECT_EQ(panel.flash().badRecords(), 0);
    EXPECT_FALSE(b.serial.sentBytes().contains("S9")) << "the short last line ends the transfer unsent";
    b.session->commOut(QByteArray("^0090\r\n"));
    b.rt.advance(500);
    EXPECT_TRUE(b.shown.contains(kProgrammed.arg(500))) << b.shown.toStdString();
}

// The KVMP's automatic start against the board model: it comes back 3 s after "^BL", which
// the first attempt's 6 s wait covers; a board that never comes back costs three attempts.
TEST(KvmpAutoStart, BoardBackAfterThreeSecondsFirstAttemptNeverBackThreeAttemptsAndCancel)
{
    {
        Bench b(Module::KVMP, BootTarget::Kvmp);
        ASSERT_EQ(b.board->returnAfterMs(), 3000);
        b.selectAndOpen();
        EXPECT_TRUE(b.upload->bootloader().kvmpBootloaderStart()) << b.shown.toStdString();
        EXPECT_TRUE(
            inOrder(b.shown, {QStringLiteral("PT:  Bootloader start attempt 1, Sending '^BL' Command"),
                              QStringLiteral("PT:  Port open, checking for Bootloader response: "),
                              QString::fromLatin1(ModuleUnit::kKvmpBootVersion),
                              QStringLiteral("PT:  Bootloader start is sucessful!")}));
        EXPECT_FALSE(b.shown.contains(QStringLiteral("attempt 2")));
        EXPECT_FALSE(b.session->cancelRequested());
        EXPECT_TRUE(b.session->isPortOpen());
        EXPECT_TRUE(b.board->module().inBootloader());
        EXPECT_EQ(b.usb->departures(), 1);
        EXPECT_EQ(b.usb->returns(), 1);
        EXPECT_TRUE(b.prompter.messages.isEmpty());
    }
    {
        Bench b(Module::KVMP, BootTarget::Kvmp);
        b.board->setReturnAfterMs(-1);
        b.selectAndOpen();
        const qint64 t0 = b.rt.nowNs();
        EXPECT_FALSE(b.upload->bootloader().kvmpBootloaderStart());
        // 500 + 1500 + 1000 before the attempts, 500 + 2500 + 3000 + 1500 each.
        EXPECT_EQ((b.rt.nowNs() - t0) / 1000000, 3000 + 3 * 7500);
        EXPECT_EQ(b.shown.count(QStringLiteral("PT:  Bootloader start not sucessful, trying again")), 3);
        EXPECT_TRUE(b.shown.contains(QStringLiteral("PT:  Bootloader start attempt 3")));
        EXPECT_TRUE(b.shown.endsWith(
            QStringLiteral("PT:  Bootloader start failed, cycle power to KVMP and try again\r\n")));
        EXPECT_TRUE(b.session->cancelRequested());
        EXPECT_EQ(b.serial.sentBytes().count("^BL"), 1) << "the board is away for the later attempts";
        EXPECT_TRUE(b.prompter.messages.isEmpty()) << "an absent board is expected, not an error box";
    }
}

// A record spoilt on the way is reported by the module, and the comparison with the file
// shows exactly the bytes it should have brought.
TEST(FaultyLine, ACorruptedRecordShowsAsBadAndAsMissingBytes)
{
    Bench b(Module::QVR2p, {});
    BootFaults faults;
    faults.corruptRecord = 3; // the third line the PCU receives: the header never goes
    b.acu->unit().bootModules().setFaults(faults);
    b.selectAndOpen();
    Firmware fw = firmware(0x8000, 500, 5);
    fw.lines.push_back(srec::end(0xE003));
    b.upload->start();
    b.upload->erase();
    b.prompter.fileNames << b.file(fw.lines);
    b.upload->uploadButton();
    b.rt.advance(1000);

    const BootFlash& flash = b.acu->unit().bootModules().pcu().flash();
    EXPECT_EQ(flash.badRecords(), 1);
    EXPECT_NE(flash.bytes(), fw.bytes);
    const auto [lost, size] = fw.records[2];
    Bytes expected = fw.bytes;
    for (int i = 0; i < size; ++i)
        expected.erase(lost + quint32(i));
    EXPECT_EQ(flash.bytes(), expected);
    EXPECT_TRUE(b.shown.contains(QStringLiteral("PROGRAMMED %1 BYTES, 1 BAD RECORDS").arg(500 - size)))
        << b.shown.toStdString();
}

} // namespace
