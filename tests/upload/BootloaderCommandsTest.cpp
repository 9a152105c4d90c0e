#include "BootloaderCommands.h"
#include "ModuleSelection.h"
#include "TerminalRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

// "ms bytes" per write, control bytes spelled out, so a failure shows the wire readably.
std::string spell(const QByteArray& bytes)
{
    std::string out;
    for (char c : bytes) {
        const auto u = quint8(c);
        if (c == '\r')
            out += "<CR>";
        else if (c == '\n')
            out += "<LF>";
        else if (u < 0x20 || u >= 0x7F)
            out += QStringLiteral("<%1>").arg(u, 2, 16, QLatin1Char('0')).toUpper().toStdString();
        else
            out += c;
    }
    return out;
}

struct Boot : ::testing::Test {
    TerminalRig rig;
    ModuleSelection selection{*rig.session};
    BootloaderCommands boot{*rig.session, selection};
    qint64 t0 = 0;

    void begin(Module module)
    {
        if (!rig.session->isPortOpen())
            rig.session->start();
        selection.select(module);
        rig.serial.clearTranscript();
        rig.tcp.clearTranscript();
        rig.screen().clear();
        t0 = rig.rt.nowNs();
    }
    double elapsedMs() const { return double(rig.rt.nowNs() - t0) / 1e6; }
    Strings wire(const SimByteLink& link) const
    {
        Strings out;
        for (const auto& r : link.transcript())
            if (r.direction == SimByteLink::Direction::ToUnit)
                out.push_back(std::to_string(qRound64(double(r.timeNs - t0) / 1e6)) + " " + spell(r.bytes));
        return out;
    }
    Strings wire() const { return wire(rig.serial); }
    Strings shown(bool ptOnly = false) const
    {
        Strings out;
        for (const QString& line :
             rig.session->screen().text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            if (!ptOnly || line.startsWith(QStringLiteral("PT:  ")))
                out.push_back(line.toStdString());
        return out;
    }
    void answer(std::function<QByteArray(const QByteArray&)> script)
    {
        rig.serialPeer.onHeard = [this, script](const QByteArray& heard) {
            const QByteArray reply = script(heard);
            if (!reply.isEmpty())
                rig.serialPeer.say(reply);
        };
    }
    // A KVMP board: "KVMP Ver" from its application, "Ver" from its bootloader. After "^BL"
    // its USB port vanishes and comes back backMs later (never when negative).
    void kvmpBoard(int backMs, bool answersVerA = true)
    {
        rig.serialPeer.onHeard = [this, backMs, answersVerA](const QByteArray& heard) {
            if (heard == "verA\r\n" && answersVerA && !m_inLoader)
                rig.serialPeer.say("KVMP Ver 2.07\r\n");
            if (heard == "verB\r\n" && m_inLoader)
                rig.serialPeer.say("Ver B1.3\r\n");
            if (heard != "^BL\r\n")
                return;
            m_inLoader = true;
            rig.serial.setOpenFailure(QStringLiteral("No such file or directory"));
            rig.rt.singleShot(1, nullptr, [this] { rig.serial.dropFromPeer(); });
            if (backMs >= 0)
                rig.rt.singleShot(backMs, nullptr, [this] { rig.serial.clearOpenFailure(); });
        };
    }
    bool m_inLoader = false;
};

const QByteArray kEsc(1, 27);
const Strings kRemoteUpload = {"0 <1B>\\0090<CR><LF>", "8000 <1B>D", "8010 [L<CR><LF>", "8020 mE159<CR><LF>"};
const Strings kRemoteUploadQvr30 = {"0 <1B>\\0090<CR><LF>", "8000 <1B>D", "8010 mE163<CR><LF>"};

Strings join(Strings a, const Strings& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Row {
    std::vector<Module> modules;
    Strings wire;
};

void expectRows(Boot& t, const std::vector<Row>& rows, void (BootloaderCommands::*command)())
{
    for (const Row& row : rows)
        for (Module m : row.modules) {
            t.begin(m);
            (t.boot.*command)();
            EXPECT_EQ(t.wire(), row.wire) << ModuleTable::row(m).menuName;
            EXPECT_TRUE(t.rig.prompter.texts().isEmpty());
        }
}

TEST_F(Boot, StartSendsEachFamilysEntryCommandsAtTheirTimes)
{
    expectRows(
        *this,
        {{{Module::KT4000, Module::SPCU, Module::Data}, {"0 ^0080<A6><CR><LF>"}},
         {{Module::Spanel, Module::Dpanel}, {"0 <05><07><08>"}},
         {{Module::USBpcu, Module::SPG2pcu}, {"0 ^0080<CR><LF>"}},
         {{Module::USBmdb}, {"0 ]0080<CR><LF>"}},
         {{Module::QVRa, Module::QVR2a}, {"0 [L<CR><LF>", "10 \\0080<CR><LF>"}},
         {{Module::QVRp},
          join(kRemoteUploadQvr30, {"8610 ^0086<CR><LF>", "8810 ?^<CR><LF>", "8820 #0080<CR><LF>",
                                    "8830 #<0B>  <CR><LF>", "9330 #!   <CR><LF>"})},
         {{Module::QVR2p},
          join(kRemoteUpload, {"8620 ^0086<CR><LF>", "8820 ?^<CR><LF>", "8830 #0080<CR><LF>",
                               "8840 #<0B>  <CR><LF>", "9340 #!   <CR><LF>"})},
         {{Module::QVR2mdb},
          join(kRemoteUpload, {"8620 ^0086<CR><LF>", "8820 ?]<CR><LF>", "8830 #0080<CR><LF>",
                               "8840 #<0B>  <CR><LF>", "9440 #!   <CR><LF>"})},
         {{Module::QVR2m1},
          join(kRemoteUpload,
               {"8620 ?<<CR><LF>", "8630 #0080<CR><LF>", "8640 #0<0B>  <CR><LF>", "8840 #!   <CR><LF>"})},
         {{Module::QVR2m2},
          join(kRemoteUpload,
               {"8620 ?><CR><LF>", "8630 #0080<CR><LF>", "8640 #0<0B>  <CR><LF>", "8840 #!   <CR><LF>"})},
         {{Module::QVRd},
          join(kRemoteUploadQvr30,
               {"8610 w!   <CR><LF>", "8660 wP   <CR><LF>", "8960 w!   <CR><LF>", "9010 w!   <CR><LF>"})},
         {{Module::QVR2d},
          join(kRemoteUpload,
               {"8620 w!   <CR><LF>", "8670 wP   <CR><LF>", "8970 w!   <CR><LF>", "9020 w!   <CR><LF>"})},
         {{Module::SPdvb},
          {"0 <1B>D", "0 w!   <CR><LF>", "50 wP   <CR><LF>", "350 w!   <CR><LF>", "400 w!   <CR><LF>"}}},
        &BootloaderCommands::startBootloader);
}

TEST_F(Boot, RemoteUploadModeWaitsEightSecondsAndTellsTheUser)
{
    begin(Module::QVR2p);
    boot.remoteUploadMode();
    EXPECT_EQ(wire(), kRemoteUpload);
    EXPECT_DOUBLE_EQ(elapsedMs(), 8620);
    EXPECT_EQ(shown(), (Strings{"Resetting ACU to be sure its in the correct state, Please Wait:", ".", ".",
                                ".", ".", "Setting ACU 'Remote Upload Mode' "}));
}

TEST_F(Boot, ShorvelDvbStartTellsTheUserWithoutResettingTheAcu)
{
    begin(Module::SPdvb);
    boot.startBootloader();
    EXPECT_EQ(shown(), (Strings{"Set PCU to program mode", "Start DVB Bootloader"}));
}

TEST_F(Boot, EraseSendsEachFamilysCommandsAtTheirTimes)
{
    expectRows(
        *this,
        {{{Module::QVRa, Module::QVR2a, Module::Dpanel, Module::KVMP, Module::NMEA}, {"0 ^0578<CR><LF>"}},
         {{Module::Spanel}, {"0 S119"}},
         {{Module::USBpcu, Module::SPG2pcu}, {"0 ^0578<CR>"}},
         {{Module::USBmdb}, {"0 ]0578<CR><LF>"}},
         {{Module::QVRp, Module::QVR2p},
          {"0 ?    <CR><LF>", "10 #^057<CR><LF>", "20 #8   <CR><LF>", "520 #!   <CR><LF>"}},
         {{Module::QVR2mdb},
          {"0 ?    <CR><LF>", "10 #]057<CR><LF>", "20 #8   <CR><LF>", "30 #<0B>  <CR><LF>",
           "1030 #!   <CR><LF>"}},
         {{Module::QVR2m1},
          {"0 ?    <CR><LF>", "10 #<057<CR><LF>", "20 #8   <CR><LF>", "270 #!   <CR><LF>"}},
         {{Module::QVR2m2},
          {"0 ?    <CR><LF>", "10 #>057<CR><LF>", "20 #8   <CR><LF>", "270 #!   <CR><LF>"}},
         {{Module::QVRd, Module::QVR2d, Module::SPdvb},
          {"0 w^057<CR><LF>", "50 w8   <CR><LF>", "550 w!   <CR><LF>", "560 w!   <CR><LF>",
           "560 w^578<CR><LF>", "1060 w!   <CR><LF>"}},
         {{Module::SLCD}, {"0 ^378<CR><LF>"}},
         {{Module::Data, Module::KT4000, Module::SPCU}, {"0 ^0578"}}},
        &BootloaderCommands::eraseModule);
}

TEST_F(Boot, BulkEraseSendsEachFamilysCommandsAtTheirTimes)
{
    expectRows(*this,
               {{{Module::QVRa, Module::QVR2a}, {"0 ^0577<CR><LF>"}},
                {{Module::QVRp, Module::QVR2p}, {"0 ?    <CR><LF>", "10 #^057<CR><LF>", "20 #7!  <CR><LF>"}},
                {{Module::QVRd, Module::QVR2d, Module::SPdvb},
                 {"0 w^057<CR><LF>", "10 w7   <CR><LF>", "510 w!   <CR><LF>"}},
                {{Module::Data, Module::USBpcu}, {"0 ^0577"}}},
               &BootloaderCommands::bulkErase);
}

TEST_F(Boot, ClosedPortReportsTheFirstSendAndSkipsTheRest)
{
    begin(Module::QVRp);
    rig.session->closeLink();
    boot.eraseModule();
    EXPECT_TRUE(wire().empty());
    EXPECT_EQ(rig.prompter.texts().size(), 1) << "one box, not one per command";
    EXPECT_TRUE(rig.prompter.lastText().contains("Operation not allowed while port is closed"));
    EXPECT_DOUBLE_EQ(elapsedMs(), 0) << "the pauses of a stopped sequence do not run";
    EXPECT_EQ(shown(), Strings{"PT:  Stopped: the port closed"});
}

TEST_F(Boot, VtPcuEraseWaitsForErasingThenOk)
{
    begin(Module::VTPCU);
    answer([this](const QByteArray& heard) -> QByteArray {
        if (heard != "^0578\r")
            return {};
        rig.rt.singleShot(3000, nullptr, [this] { rig.serialPeer.say("OK\r\n"); });
        return "Erasing\r\n";
    });
    boot.eraseModule();
    EXPECT_EQ(wire(), Strings{"0 ^0578<CR>"});
    EXPECT_EQ(shown(true), Strings{"PT:  Erase attempt 1"});
    EXPECT_DOUBLE_EQ(elapsedMs(), 4000);
    EXPECT_FALSE(rig.session->replyCapture());

    // Acknowledged but never finished, then silent: three attempts, no verdict.
    begin(Module::VTPCU);
    answer([](const QByteArray&) -> QByteArray { return "Erasing\r\n"; });
    boot.eraseModule();
    EXPECT_EQ(wire(), (Strings{"0 ^0578<CR>", "4000 ^0578<CR>", "8000 ^0578<CR>"}));
    EXPECT_EQ(shown(true), (Strings{"PT:  Erase attempt 1", "PT:  Erase attempt 2", "PT:  Erase attempt 3"}));
    EXPECT_FALSE(rig.session->cancelRequested());
}

TEST_F(Boot, ManualKvmpStartReopensThePortAndAsksTheBootloader)
{
    begin(Module::KVMP);
    kvmpBoard(3000);
    const int opens = rig.serial.openCount();
    boot.startBootloader();
    EXPECT_EQ(wire(), (Strings{"0 ^BL<CR><LF>", "5000 verB<CR><LF>"}));
    EXPECT_EQ(rig.serial.openCount(), opens + 1);
    EXPECT_EQ(shown(), (Strings{"Sending '^BL' Command to enter Bootloader mode", "Closing USB Port",
                                "Waiting for Bootloader to open USB port",
                                "Port open, checking for Bootloader response", "Ver B1.3",
                                "PT:  Bootloader start is sucessful!"}));
    EXPECT_TRUE(rig.prompter.texts().isEmpty());

    begin(Module::KVMP);
    m_inLoader = false;
    kvmpBoard(-1);
    boot.startBootloader();
    EXPECT_EQ(wire(), Strings{"0 ^BL<CR><LF>"});
    EXPECT_EQ(shown(true), Strings{"PT:  Bootloader start not sucessful, check Comm port and try again"});
    EXPECT_TRUE(rig.prompter.texts().isEmpty()) << "the vanished port is expected, not an error box";
    EXPECT_FALSE(rig.session->cancelRequested());
}

TEST_F(Boot, KvmpStartSucceedsOnTheFirstAttemptWhenTheBoardReturnsAfterThreeSeconds)
{
    begin(Module::KVMP);
    kvmpBoard(3000);
    EXPECT_TRUE(boot.kvmpBootloaderStart());
    EXPECT_EQ(wire(), (Strings{"0 <CR><LF>", "500 verA<CR><LF>", "3000 ^BL<CR><LF>", "9000 verB<CR><LF>"}));
    EXPECT_DOUBLE_EQ(elapsedMs(), 10500);
    EXPECT_EQ(
        shown(true),
        (Strings{
            "PT:  Checking Communication with KVMP: ", "PT:  KVMP responding correctly, starting bootloader",
            "PT:  Bootloader start attempt 1, Sending '^BL' Command", "PT:  Closing USB Port",
            "PT:  Waiting for Bootloader to open USB port",
            "PT:  Port open, checking for Bootloader response: ", "PT:  Bootloader start is sucessful!"}));
    EXPECT_FALSE(rig.session->cancelRequested());
    EXPECT_TRUE(rig.session->isPortOpen());
    EXPECT_FALSE(rig.session->replyCapture());
}

TEST_F(Boot, KvmpStartRetriesWhileTheBoardIsAwayAndGivesUpAfterThree)
{
    begin(Module::KVMP);
    kvmpBoard(8000); // misses the first re-open, catches the second
    EXPECT_TRUE(boot.kvmpBootloaderStart());
    EXPECT_EQ(wire(), (Strings{"0 <CR><LF>", "500 verA<CR><LF>", "3000 ^BL<CR><LF>", "16500 verB<CR><LF>"}));
    EXPECT_EQ(shown(true)[5], "PT:  Bootloader start not sucessful, trying again");

    begin(Module::KVMP);
    m_inLoader = false;
    kvmpBoard(-1);
    EXPECT_FALSE(boot.kvmpBootloaderStart());
    EXPECT_EQ(wire(), (Strings{"0 <CR><LF>", "500 verA<CR><LF>", "3000 ^BL<CR><LF>"}));
    EXPECT_DOUBLE_EQ(elapsedMs(), 3000 + 3 * 7500);
    const Strings lines = shown(true);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "PT:  Bootloader start not sucessful, trying again"), 3);
    EXPECT_EQ(lines.back(), "PT:  Bootloader start failed, cycle power to KVMP and try again");
    EXPECT_TRUE(rig.session->cancelRequested());
    EXPECT_TRUE(rig.prompter.texts().isEmpty());
}

TEST_F(Boot, KvmpStartWithoutTheApplicationChecksForARunningBootloader)
{
    begin(Module::KVMP);
    m_inLoader = true;
    kvmpBoard(-1);
    EXPECT_TRUE(boot.kvmpBootloaderStart());
    EXPECT_EQ(wire(), (Strings{"0 <CR><LF>", "500 verA<CR><LF>", "2000 <CR><LF>", "2500 verB<CR><LF>"}));
    EXPECT_EQ(shown(true).back(), "PT:  Bootloader start is sucessful!");

    begin(Module::KVMP);
    m_inLoader = false;
    kvmpBoard(-1, false);
    EXPECT_FALSE(boot.kvmpBootloaderStart());
    EXPECT_EQ(shown(true).back(), "PT:  Unexpected response, check port settings and try again");
    EXPECT_TRUE(rig.session->cancelRequested());
}

// An NMEA board behind a KVMP whose bootloader prompts "ERASE" after `lines` empty lines.
void nmeaBoard(Boot& t, int lines)
{
    t.answer([lines, seen = 0, armed = false](const QByteArray& heard) mutable -> QByteArray {
        if (heard == "verA\r\n")
            return "KVMP Ver 2.07\r\n";
        armed = armed || heard == "bootloader\r\n";
        if (heard == "\r\n" && armed && ++seen == lines)
            return "ERASE flash? \r\n";
        return {};
    });
}

TEST_F(Boot, NmeaStartPromptsUntilTheBootloaderAsksToErase)
{
    begin(Module::NMEA);
    nmeaBoard(*this, 2);
    EXPECT_TRUE(boot.kvmpBootloaderStart());
    EXPECT_EQ(wire(), (Strings{"0 <CR><LF>", "250 verA<CR><LF>", "2250 ^NM<CR><LF>",
                               "2250 bootloader<CR><LF>", "3250 <CR><LF>", "3750 <CR><LF>"}));
    EXPECT_EQ(
        shown(true),
        (Strings{
            "PT:  Checking Communication with KVMP: ", "PT:  KVMP responding correctly, starting bootloader",
            "PT:  Sending '^NM' Command to enter NMEA pass through mode",
            "PT:  Sending command to start bootloader: ", "PT:  Bootloader start not sucessful, trying again",
            "PT:  Bootloader start not sucessful, trying again", "PT:  Bootloader start is sucessful!"}));

    begin(Module::NMEA);
    nmeaBoard(*this, 0);
    EXPECT_FALSE(boot.kvmpBootloaderStart());
    EXPECT_EQ(wire().size(), 4u + 10u);
    EXPECT_EQ(shown(true).back(), "PT:  Bootloader start failed, cycle power to KVMP and try again");
    EXPECT_TRUE(rig.session->cancelRequested());

    begin(Module::NMEA);
    rig.session->setCancelRequested(false);
    answer([](const QByteArray&) -> QByteArray { return {}; });
    EXPECT_FALSE(boot.kvmpBootloaderStart());
    EXPECT_EQ(wire(), (Strings{"0 <CR><LF>", "250 verA<CR><LF>"}));
    EXPECT_EQ(shown(true).back(), "PT:  Unexpected response, check port settings and try again");
    EXPECT_TRUE(rig.session->cancelRequested());
}

TEST_F(Boot, ManualNmeaStartReportsWithoutAborting)
{
    begin(Module::NMEA);
    nmeaBoard(*this, 1);
    boot.startBootloader();
    EXPECT_EQ(wire(), (Strings{"0 ^NM<CR><LF>", "500 bootloader<CR><LF>", "1500 <CR><LF>"}));
    EXPECT_EQ(shown(true).back(), "PT:  Bootloader start is sucessful!");

    begin(Module::NMEA);
    nmeaBoard(*this, 0);
    boot.startBootloader();
    EXPECT_EQ(wire().size(), 2u + 5u);
    EXPECT_EQ(shown(true).back(), "PT:  Bootloader start failed, cycle power to KVMP and try again");
    EXPECT_FALSE(rig.session->cancelRequested());
    EXPECT_FALSE(rig.session->replyCapture());
}

// A KVMP that streams its data until it has heard `stopAfter` "$" (never when 0), and a VT
// PCU behind it that answers "^B" from its bootloader.
void vtPcuBoard(Boot& t, int stopAfter, bool bootloaderAnswers = true)
{
    auto dollars = std::make_shared<int>(0);
    auto timer = std::shared_ptr<RuntimeTimer>(t.rig.rt.createTimer());
    timer->setInterval(35);
    timer->setCallback([&t, dollars, stopAfter] {
        if (stopAfter == 0 || *dollars < stopAfter)
            t.rig.serialPeer.say("$GPHDT,123.4,T*2C\r\n$HEHDT,123.4,T*2C\r\n");
    });
    if (stopAfter >= 0)
        timer->start();
    t.answer([&t, dollars, timer, bootloaderAnswers](const QByteArray& heard) -> QByteArray {
        if (heard == "$")
            ++*dollars;
        if (heard == "^B\r" && bootloaderAnswers)
            return "VT PCU BootLoader v1\r\n";
        return {};
    });
}

TEST_F(Boot, VtPcuStartSilencesTheKvmpFirst)
{
    begin(Module::VTPCU);
    vtPcuBoard(*this, 3);
    EXPECT_TRUE(boot.kvmpBootloaderStart());
    const Strings sent = wire();
    EXPECT_EQ(sent, (Strings{"35 $", "135 $", "235 $", "335 $", "435 <CR>", "435 ^B<CR>"}))
        << "the check ends as soon as the stream is seen; three stops, one check, one start";
    const Strings lines = shown(true);
    EXPECT_EQ(lines[1], "PT:  KVMP Active, Send '$' until no more responses");
    EXPECT_EQ(lines[4], "PT:  KVMP Stop attempt  3");
    EXPECT_EQ(lines.back(), "PT:  Bootloader start attempt 1");
    rig.serialPeer.onHeard = nullptr;

    begin(Module::VTPCU);
    vtPcuBoard(*this, 0);
    EXPECT_FALSE(boot.kvmpBootloaderStart());
    EXPECT_EQ(wire().size(), 25u);
    EXPECT_EQ(shown(true).back(), "PT:  KVMP stop failed, check Com Ports and try again");
    EXPECT_TRUE(rig.session->cancelRequested());
    rig.serialPeer.onHeard = nullptr;
}

TEST_F(Boot, VtPcuStartOnAQuietKvmp)
{
    begin(Module::VTPCU);
    vtPcuBoard(*this, -1);
    EXPECT_TRUE(boot.kvmpBootloaderStart());
    EXPECT_EQ(wire(), (Strings{"2000 $", "2100 <CR>", "2100 ^B<CR>"}));
    EXPECT_EQ(shown(true), (Strings{"PT:  Checking for KVMP Active", "PT:  KVMP inactive, Skip '$' command",
                                    "PT:  Bootloader start attempt 1"}));

    begin(Module::VTPCU);
    answer([](const QByteArray& heard) -> QByteArray { return heard == "$" ? "ERASE? \r\n" : ""; });
    EXPECT_TRUE(boot.kvmpBootloaderStart());
    EXPECT_EQ(wire(), Strings{"2000 $"});
    EXPECT_EQ(shown(true).back(), "PT:  Bootloarder already active, skip '^B' command");

    begin(Module::VTPCU);
    vtPcuBoard(*this, -1, false);
    EXPECT_FALSE(boot.kvmpBootloaderStart());
    EXPECT_EQ(wire().size(), 1u + 2 * 5);
    EXPECT_EQ(shown(true).back(), "PT:  Bootloader start failed, check Com Ports and try again");
    EXPECT_TRUE(rig.session->cancelRequested());
}

TEST_F(Boot, ManualVtPcuStartLeavesAnActiveKvmpAlone)
{
    begin(Module::VTPCU);
    answer([](const QByteArray&) -> QByteArray { return {}; });
    rig.rt.singleShot(700, nullptr, [this] { rig.serialPeer.say("$GPHDT,1*00\r\n"); });
    boot.startBootloader();
    EXPECT_TRUE(wire().empty());
    EXPECT_DOUBLE_EQ(elapsedMs(), 700);
    EXPECT_EQ(shown(true).back(),
              "PT:  KVMP Active, Manually turn off KVMP communications and select Start again");

    begin(Module::VTPCU);
    vtPcuBoard(*this, -1, false);
    boot.startBootloader();
    EXPECT_EQ(wire().size(), 1u + 2 * 5);
    EXPECT_EQ(shown(true).back(), "PT:  Bootloader start failed, check Com Ports and try again");
    EXPECT_FALSE(rig.session->cancelRequested());
}

TEST_F(Boot, RebootAcuRedialsATcpLink)
{
    rig.putTcp();
    begin(Module::QVR2a);
    const int opens = rig.tcp.openCount();
    boot.RebootACU();
    EXPECT_EQ(wire(rig.tcp), (Strings{"500 \\0090<CR><LF>", "1000 [Z<CR><LF>"}));
    EXPECT_EQ(shown(), (Strings{"PT:  Re-booting ACU", "PT:  Re-booting CommIF"}));
    EXPECT_EQ(rig.tcp.openCount(), opens + 1);
    EXPECT_TRUE(rig.session->isPortOpen());
    EXPECT_GE(elapsedMs(), 6000);
    EXPECT_LT(elapsedMs(), 6100);
}

} // namespace
