// The terminal's parameter dump against a unit that never answers, a scripted unit and the
// simulated ACU, and its file sent back by the parameter upload.
#include "ToolsRig.h"

#include <AcuModel.h>
#include <CommLog.h>
#include <SendFile.h>

#include <gtest/gtest.h>

namespace {

const QByteArray kAcuHeader = "'ACU Parameter Dump, Legacy Mode\r\n'CMD\tValue\tResult\tDescription\r\n";
const QByteArray kPcuHeader = "'PCU Parameter Dump, Legacy Mode\r\n'CMD\tValue\tDescription\r\n";

// Every line answered: parameters "001", the first two asks of "mA" busy ("###").
std::optional<QByteArray> benchAnswer(const QByteArray& line, int* busyLeft, const QByteArray& listing)
{
    if (line == "mA999" && *busyLeft > 0) {
        --*busyLeft;
        return QByteArray("mA###\r");
    }
    if (line.startsWith('m'))
        return line.left(2) + "001\r\n";
    if (line.startsWith('n'))
        return QByteArray("n042\r");
    if (line == "[?")
        return listing;
    return "ANS " + line + "\r";
}

const QByteArray kIpListing = "IP Address=10.1.2.3\rNet Mask=255.0.0.0\rGateway=10.1.2.1\rTCP Port 0=2000\r"
                              "TCP Port 1=2001\rUDP Port=2002\rBaud M&C=9600\rBaud NMEA A=4800\rBaud NMEA B=4800\r";

} // namespace

TEST(ParameterDump, SilentUnitRunsToTheEndAndBothMenuCommandsAskTheSame)
{
    ToolsRig r;
    r.open();
    r.prompter.fileNames = {r.path("all.txt"), r.path("leg.txt")};
    r.dump->run(ParameterDump::Kind::All);
    const qint64 endMs = r.rt.now();
    const QByteArray allBytes = r.sent(r.serial);
    r.serial.clearTranscript();
    r.dump->run(ParameterDump::Kind::Legacy);

    EXPECT_EQ(r.sent(r.serial), allBytes);
    ASSERT_EQ(r.prompter.fileRequests.size(), 2);
    EXPECT_EQ(r.prompter.fileRequests[0].title, "Parameter DumpALL Text File");
    EXPECT_EQ(r.prompter.fileRequests[0].fileName, "param_All.txt");
    EXPECT_EQ(r.prompter.fileRequests[1].title, "5000/30 Legacy Parameter Dump Text File");
    EXPECT_EQ(r.prompter.fileRequests[1].fileName, "param_Leg.txt");
    EXPECT_EQ(r.prompter.fileRequests[1].filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*");

    EXPECT_TRUE(allBytes.startsWith("V\r\nS\r\nmA999\r\nmB999\r\n"));
    EXPECT_TRUE(allBytes.contains("m~999\r\nm\x7f" "999\r\n"));
    EXPECT_TRUE(allBytes.contains("m\x8a" "999\r\n?V\r\n?S\r\n\x1bn0999\r\n"));
    EXPECT_TRUE(allBytes.endsWith("\x1bn;999\r\n]0411\r\n<0411\r\n>0411\r\n[V\r\n[?\r\n"));
    // 95 questions at 2 s each, and the second the comm-interface listing gets.
    EXPECT_GE(endMs, 95 * 2000 + 1000);
    EXPECT_LT(endMs, 95 * 2000 + 1000 + 500);
    EXPECT_EQ(r.screen().count("Command Timed Out No Response"), 2 * 95);

    const QByteArray file = readAll(r.path("all.txt"));
    EXPECT_TRUE(file.startsWith("'??\r\n'??\r\n" + kAcuHeader + "mA\t\t'*\r\nmB\t\t'000.0\tEl Trim\r\n"));
    EXPECT_TRUE(file.contains(kPcuHeader + "n0\t?\t'Model Index\r\nn1\t?\t'CL Kp\r\n"));
    EXPECT_TRUE(file.endsWith("n;\t?\t'Stat1\r\n\r\n'??\r\n\r\n'??\r\n'??\r\n'??\r\n"));
    EXPECT_FALSE(file.contains("Canceled"));
    EXPECT_TRUE(r.screen().endsWith("Parameter Dump written to " + r.path("leg.txt") + "\r\n"));
    EXPECT_EQ(readAll(r.path("leg.txt")), file);
}

TEST(ParameterDump, BusyValueIsAskedAgainAndTheListingBecomesNineRowsThatUploadBack)
{
    ToolsRig r;
    int busy = 2;
    r.unit.answer = [&busy](const QByteArray& l) { return benchAnswer(l, &busy, kIpListing); };
    // Answers in two pieces, line ends as they come (the data terminal shows them untouched).
    r.unit.split = 3;
    r.open(Module::Data);
    ASSERT_TRUE(r.dump->dumpTo(r.path("bench.txt")));

    const std::vector<qint64> asks = r.timesOf("mA999\r\n");
    ASSERT_EQ(asks.size(), 3u);
    for (int i = 1; i < 3; ++i) {
        EXPECT_GE(asks[i] - asks[i - 1], 600);
        EXPECT_LT(asks[i] - asks[i - 1], 650);
    }
    const QByteArray file = readAll(r.path("bench.txt"));
    EXPECT_TRUE(file.startsWith("'ANS V\r\n'ANS S\r\n" + kAcuHeader + "mA\t001\t'*\r\nmB\t001\t'025.7\tEl Trim\r\n"));
    EXPECT_TRUE(file.contains("n;\t042\t'Stat1\r\n\r\n'ANS ]0411\r\n\r\n'ANS <0411\r\n'ANS >0411\r\n'ANS [V\r\n"));
    EXPECT_TRUE(file.endsWith("'CommIF Parameter Dump, Legacy mode\r\n'CMD\tValue\t\tDescription\r\n"
                              "[I\t10.1.2.3\t'IP Address\r\n[N\t255.0.0.0\t'Net Mask\r\n[G\t10.1.2.1\t'Gateway\r\n"
                              "[0\t2000\t\t'TCP Port 0\r\n[1\t2001\t\t'TCP Port 1\r\n[U\t2002\t\t'UDP Port\r\n"
                              "[C\t9600\t\t'Baud Rate M&C  (C)\r\n[A\t4800\t\t'Baud Rate NMEA (A)\r\n"
                              "[B\t4800\t\t'Baud Rate NMEA (B)\r\n"));

    // Sent back: one command per data row, nothing for the identity, header and comment rows.
    r.serial.clearTranscript();
    SendFile upload(*r.session);
    upload.sendPath(r.path("bench.txt"), SendFile::kParameterPacing);
    const std::vector<QByteArray> sent = r.sends(r.serial);
    ASSERT_EQ(sent.size(), 74u + 12u + 9u);
    EXPECT_EQ(sent[0], "mA001\r\n");
    EXPECT_EQ(sent[1], "mB001\r\n");
    EXPECT_EQ(sent[73], "m\x8a" "001\r\n");
    EXPECT_EQ(sent[74], "n0042\r\n");
    EXPECT_EQ(sent[86], "[I10.1.2.3\r\n");
    EXPECT_EQ(sent[94], "[B4800\r\n");
}

TEST(ParameterDump, ListingInDumpFormIsCopiedAndAnyOtherAddsNothing)
{
    for (const QByteArray& listing : {QByteArray("'CommIF 2.0\r[I\t10.1.2.3\t'IP Address\r"), QByteArray("ERR\r")}) {
        ToolsRig r;
        int busy = 0;
        r.unit.answer = [&](const QByteArray& l) { return benchAnswer(l, &busy, listing); };
        r.open(Module::QVR2a);
        ASSERT_TRUE(r.dump->dumpTo(r.path("d.txt")));
        const QByteArray file = readAll(r.path("d.txt"));
        if (listing.startsWith('\''))
            EXPECT_TRUE(file.endsWith("'ANS [V\r\n'CommIF 2.0\r\n[I\t10.1.2.3\t'IP Address\r\n")) << file.right(80).data();
        else
            EXPECT_TRUE(file.endsWith("'ANS [V\r\n")) << file.right(80).data();
    }
}

TEST(ParameterDump, CancelClosedPortAndOpenLogStopItHonestly)
{
    ToolsRig r;
    r.open();
    QStringList progress;
    QObject::connect(r.dump.get(), &ParameterDump::progressChanged,
                     [&progress](const QString& line, int, int) { progress << line; });
    r.rt.singleShot(5000, nullptr, [&r] { r.session->requestCancel(); });
    EXPECT_FALSE(r.dump->dumpTo(r.path("cancel.txt")));
    EXPECT_EQ(readAll(r.path("cancel.txt")),
              "'??\r\n'??\r\n" + kAcuHeader + "'Parameter Dump Canceled\r\n");
    EXPECT_EQ(r.sent(r.serial), "V\r\nS\r\nmA999\r\n");
    EXPECT_TRUE(r.screen().endsWith("\r\nParameter Dump stopped: " + r.path("cancel.txt") + " is incomplete\r\n"));
    ASSERT_GE(progress.size(), 3);
    EXPECT_EQ(progress[0], "Query 1 of 95    Time left (2 s a query): 03:10");
    EXPECT_EQ(progress[2], "Query 3 of 95    Time left (2 s a query): 03:06");

    // A full disk: the first row cannot be kept, so the dump stops and says why.
    r.prompter.messages.clear();
    r.serial.clearTranscript();
    EXPECT_FALSE(r.dump->dumpTo("/dev/full"));
    EXPECT_EQ(r.sent(r.serial), "V\r\n");
    EXPECT_EQ(r.prompter.texts(),
              QStringList{"Error,\rNo space left on device\rThe dump stopped; the rows before it are in the file."});
    EXPECT_FALSE(r.session->isBusy());

    // Port closed: the refusal's one message, and the file says the dump did not run.
    r.session->openOrCloseLink();
    r.prompter.messages.clear();
    EXPECT_FALSE(r.dump->dumpTo(r.path("closed.txt")));
    EXPECT_EQ(readAll(r.path("closed.txt")), "'Parameter Dump Canceled\r\n");
    EXPECT_EQ(r.prompter.texts(),
              QStringList{"Error,\rOperation not allowed while port is closed\rClick LED or 'CommPort / Port Open' to connect."});

    // A log open: refused before the file dialog.
    r.session->openOrCloseLink();
    r.prompter.fileNames = {r.path("session.log")};
    ASSERT_TRUE(r.session->log().start());
    r.serial.clearTranscript();
    r.dump->run(ParameterDump::Kind::All);
    EXPECT_EQ(r.prompter.lastText(), "Error,\rParameter Dump not allowed while a log file is open\r"
                                     "Click 'Stop Log File' in the File menu, then dump again.");
    EXPECT_EQ(r.prompter.fileRequests.size(), 1); // the log's own
    EXPECT_TRUE(r.sent(r.serial).isEmpty());
}

TEST(ParameterDump, SimulatedAcuAnswersEveryQuestion)
{
    ToolsRig r;
    AcuModel acu(r.rt, 7);
    r.serial.attachPeer(&acu);
    r.open(Module::QVR2a);
    ASSERT_TRUE(r.dump->dumpTo(r.path("acu.txt")));
    const QByteArray file = readAll(r.path("acu.txt"));
    EXPECT_FALSE(r.screen().contains("Command Timed Out"));
    EXPECT_TRUE(file.startsWith("'QVR-100 ACU VER 3.14 SIM\r\n"));
    EXPECT_TRUE(file.contains(kPcuHeader + "n0\t003\t'Model Index\r\nn1\t045\t'CL Kp\r\n"));
    EXPECT_TRUE(file.contains("\r\n'] G2 MDE VER 2.10 SIM\r\n\r\n'< BDE MODEM VER 4.02 SIM\r\n"
                              "'> ADE MODEM VER 4.02 SIM\r\n'QVR COMMIF VER 1.05 SIM\r\n"));
    EXPECT_TRUE(file.contains("[I\t192.168.0.195\t'IP Address\r\n"));
    EXPECT_TRUE(file.endsWith("[B\t4800\t\t'Baud Rate NMEA (B)\r\n"));

    // The PCU section alone, on the screen.
    r.session->screen().clear();
    EXPECT_TRUE(r.dump->pcuDumpToScreen());
    EXPECT_TRUE(r.screen().endsWith("n;\t064\t'Stat1\r\n")) << r.screen().right(60).toStdString();
}
