// The parameter dump and upload in virtual time: what goes on the wire, when, and the exact
// bytes of the file, against the scripted unit and the simulated ACU of qvrsim.
#include "PanelRig.h"

#include <AcuModel.h>
#include <DataFile.h>
#include <ParameterDump.h>
#include <ParameterUpload.h>
#include <ToolProgress.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

// Every query of the dump as it goes on the wire, from the unit's parameter map: "V", "S",
// "m" + 0x41..0x8A + "999", the PCU's version and status, "n" + "0".."; " + "999", then the
// comm-interface version.
QList<QByteArray> dumpQueries()
{
    QList<QByteArray> q{"V", "S"};
    for (int c = 0x41; c <= 0x8A; ++c)
        q << QByteArray("m") + char(c) + "999\r\n";
    q << "?   V\r\n"
      << "?   S\r\n";
    for (int c = '0'; c <= ';'; ++c)
        q << QByteArray("n") + char(c) + "999\r\n";
    q << "[V   \r\n";
    return q;
}

const QByteArray kHeader = "'ACU Parameter Dump - Legacy Mode\r\n'CMD\tValue\tResult\tDescription\r\n";

class ParameterDumpScenario : public PanelRig {
protected:
    ParameterDumpScenario()
    {
        QObject::connect(&dump, &ParameterDump::ended, [this](bool c) { ends << c; });
        QObject::connect(&upload, &ParameterUpload::ended, [this](bool c) { ends << c; });
        QObject::connect(&progress, &ToolProgress::labelChanged, [this](const QString& l) { labels << l; });
    }

    // Polling the ANTENNA screen for a while, then the dump on a file of its own.
    void startDump()
    {
        startOn(kAntenna);
        rt.advance(3000);
        beginDump();
    }
    void beginDump()
    {
        ASSERT_TRUE(file.open(path(), DataFile::Slot::Capture));
        dumpFrom = rt.now();
        ASSERT_TRUE(dump.start(file));
    }
    std::vector<Sent> sentSince(qint64 ms) const
    {
        std::vector<Sent> out;
        for (const Sent& s : sent())
            if (s.ms > ms)
                out.push_back(s);
        return out;
    }
    QString path(const char* name = "param_Leg.txt") const { return dir.filePath(name); }
    QByteArray contents(const QString& p) const
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void write(const QString& p, const QByteArray& bytes)
    {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir;
    DataFile file;
    ToolProgress progress;
    ParameterDump dump{session, progress};
    ParameterUpload upload{session, progress};
    qint64 dumpFrom = 0;
    QList<bool> ends;
    QStringList labels;
};

class DumpAgainstAcu : public ParameterDumpScenario {
protected:
    DumpAgainstAcu() { serial.attachPeer(&acu); }
    ~DumpAgainstAcu() override { serial.attachPeer(&unit); }
    AcuModel acu{rt, 7};
};

// A whole dump, then the same file sent back: one command per parameter row, none for the
// header, the identity rows or what follows an apostrophe.
TEST_F(DumpAgainstAcu, EveryQueryEightyMillisecondsApartEveryReplyItsRowAndTheFileUploadsBack)
{
    startDump();
    rt.advance(91 * 80 + 700);
    ASSERT_EQ(ends, QList<bool>{false});
    EXPECT_FALSE(file.isOpen());
    EXPECT_FALSE(progress.isShown());
    EXPECT_EQ(labels, (QStringList{"Reading QVR Parameters", "Reading PCU Parameters"}));

    const std::vector<Sent> wire = sentSince(dumpFrom);
    ASSERT_GT(wire.size(), 93u);
    QList<QByteArray> dumpBytes;
    for (size_t i = 0; i < 91; ++i) {
        dumpBytes << wire[i].bytes;
        EXPECT_EQ(wire[i].ms, dumpFrom + 80 * qint64(i + 1)) << i;
    }
    EXPECT_EQ(dumpBytes, dumpQueries());
    EXPECT_EQ(wire[92].ms - wire[91].ms, 200) << "then the screen's polling at its own pace";

    const QByteArray bytes = contents(path());
    const QList<QByteArray> rows = bytes.split('\n');
    ASSERT_EQ(rows.size(), 2 + 91 + 1) << "header, one row per reply, nothing after the last CR LF";
    EXPECT_TRUE(bytes.startsWith(kHeader));
    EXPECT_EQ(rows[2], "'QVR-100 ACU VER 3.14 SIM\r");
    EXPECT_EQ(rows[5], "mB\t025\t'002.5\tEl Trim\r");
    EXPECT_EQ(rows[7], "mD\t240\t'-001.6\tAz Trim\r");
    EXPECT_EQ(rows[45], "mj\t016\t'W\tSat E/W\r");
    EXPECT_EQ(rows[80], "n0\t003\t'003\tSystyp\r");
    EXPECT_EQ(rows[92], "'QVR COMMIF VER 1.05 SIM\r");
    EXPECT_EQ(syncErrors, 0);

    const qint64 from = rt.now();
    ASSERT_TRUE(upload.start(path()));
    EXPECT_EQ(progress.label(), "Sending QVR/PCU Parameters");
    rt.advance(94 * 80 + 300);
    EXPECT_EQ(ends, (QList<bool>{false, false}));
    QList<QByteArray> commands;
    for (const Sent& s : sentSince(from))
        if (s.bytes.size() > 1 && (s.bytes[0] == 'm' || s.bytes[0] == 'n'))
            commands << s.bytes;
    ASSERT_EQ(commands.size(), 74 + 12);
    EXPECT_EQ(commands[1], "mB025\r\n");
    EXPECT_EQ(commands[73], QByteArray("m\x8A") + "012\r\n");
    EXPECT_EQ(commands[74], "n0003\r\n");
    EXPECT_EQ(upload.lineCount(), 2 + 91);
}

// Replies lost while the others keep coming: a parameter reply names its letter, so the
// rows of the lost ones are stood in for and every value stays on its own parameter (sent
// back, a value on the wrong row would write it into another parameter).
TEST_F(DumpAgainstAcu, LostRepliesLeaveEveryValueOnItsOwnParameter)
{
    acu.setDropEvery(17);
    startDump();
    rt.advance(91 * 80 + 5000);
    ASSERT_EQ(ends, QList<bool>{false});
    int standIns = 0, checked = 0;
    for (const QByteArray& row : contents(path()).split('\n')) {
        if (!row.startsWith('m'))
            continue;
        const QByteArray value = row.mid(3, 3);
        if (value == "???") {
            ++standIns;
            continue;
        }
        ++checked;
        EXPECT_EQ(value.toInt(), acu.unit().parameter(quint8(row[1]))) << row.constData();
    }
    EXPECT_GE(standIns, 4);
    EXPECT_EQ(standIns + checked, 74);
}

// Cancel while the first reply is on its way: its row is written, then the note, and the
// file is closed; nothing more of the list goes out.
TEST_F(ParameterDumpScenario, CancelAfterTheFirstQueryWritesItsRowAndTheNote)
{
    startDump();
    rt.advance(81);
    progress.cancel();
    rt.advance(1000);
    EXPECT_EQ(ends, QList<bool>{true});
    EXPECT_EQ(contents(path()), kHeader + "'ACU VER 2.11\r\n" + "'Parameter Dump Canceled\r\n\r\n");
    EXPECT_FALSE(file.isOpen());
    const std::vector<Sent> wire = sentSince(dumpFrom);
    ASSERT_GE(wire.size(), 2u);
    EXPECT_EQ(wire[0].bytes, "V");
    EXPECT_GT(wire[1].ms, dumpFrom + 80 + 200) << "the list stops at the cancel; polling resumes at its pace";
}

// Replies as the unit gives them: two-byte values joined across rows, an odd hemisphere
// byte, the PCU's answers cut to four characters. A screen key pressed meanwhile pauses the
// walk as it pauses polling, and it goes on at its own 80 ms.
TEST_F(ParameterDumpScenario, RowsFromTheUnitsOwnReplies)
{
    unit.replies.insert("mA999", "mA255");
    unit.replies.insert("mB999", "mB255");
    unit.replies.insert("md999", "md003");
    unit.replies.insert("n2999", "n040 LV Kp");
    startDump();
    rt.advance(1000);
    showScreen(kAntenna);
    rt.advance(91 * 80 + 1100);
    const std::vector<Sent> wire = sentSince(dumpFrom);
    const auto last =
        std::find_if(wire.begin(), wire.end(), [](const Sent& x) { return x.bytes == "[V   \r\n"; });
    ASSERT_TRUE(last != wire.end() && last != wire.begin());
    EXPECT_EQ(last->ms - (last - 1)->ms, 80);
    const QList<QByteArray> rows = contents(path()).split('\n');
    ASSERT_EQ(rows.size(), 94);
    EXPECT_EQ(rows[5], "mB\t255\t'-000.1\tEl Trim\r");
    EXPECT_EQ(rows[39], "md\t003\t'S\tLat N/S\r");
    EXPECT_EQ(rows[82], "n2\t040\t'040\tLV Kp\r");
}

// Silence: a unit that answers nothing of the dump ends it at the first watchdog tick past
// the first commands; one that stops in the middle gets a stand-in per missing row (the
// walk stops short of overrunning the ring) until a whole ring of them ends it.
TEST_F(ParameterDumpScenario, ASilentUnitEndsTheDumpWithTheTimeOutMessage)
{
    const QString timedOut = "Error,\rTimeout while reading QVR Parameters\rClosing Log / Parameter file";
    startOn(kAntenna);
    rt.advance(3000);
    for (int answered : {0, 10}) {
        SCOPED_TRACE(answered);
        ends.clear();
        beginDump();
        rt.advance(40); // the screen's last command reaches the unit
        for (int i = int(unit.commands.size()) + answered; i < 2000; ++i)
            unit.drop.insert(i);
        rt.advance(answered == 0 ? 3500 : 10 * 80 + 3000 + 32 * 100 + 200);
        EXPECT_EQ(ends, QList<bool>{true});
        EXPECT_EQ(prompter.lastText(), timedOut);
        EXPECT_EQ(prompter.messages.last().icon, Prompter::Icon::Exclamation);
        EXPECT_FALSE(file.isOpen());
        EXPECT_EQ(poll().watchdogIntervalMs(), 3000);
        const QList<QByteArray> rows = contents(path()).split('\n');
        ASSERT_EQ(rows.size(), answered == 0 ? 3 : 2 + 10 + 32 + 1);
        if (answered == 10) {
            EXPECT_EQ(rows[11], "mH\t999\t'999\tAz Step Size\r");
            EXPECT_EQ(rows[12], "mI\t???\t'???\tStep Integral\r");
            EXPECT_EQ(rows[43], "mh\t???\t'*\r");
        }
        // The unit back: the dump's unanswered queries are dropped, not paired with its
        // replies one sync error at a time.
        unit.drop.clear();
        syncErrors = 0;
        rt.advance(3000);
        EXPECT_EQ(syncErrors, 0);
    }
}

TEST_F(ParameterDumpScenario, TheUserCommandChecksPortAndLogThenAsksForTheFile)
{
    DataFile log;
    ASSERT_TRUE(log.open(path("log.csv"), DataFile::Slot::DataLog));
    startOn(kAntenna);
    rt.advance(2000);
    dump.userCommand(log);
    EXPECT_EQ(prompter.lastText(),
              "Error,\rParameter Dump is not supported while a log file is currently open");
    log.close();

    write(path(), "old");
    prompter.fileNames = {path(), path()};
    prompter.answers = {Prompter::Answer::No, Prompter::Answer::Yes};
    dump.userCommand(file);
    ASSERT_EQ(prompter.fileRequests.size(), 2) << "No shows the dialog again";
    EXPECT_EQ(prompter.fileRequests[0].fileName, "param_Leg.txt");
    EXPECT_EQ(prompter.fileRequests[0].filter,
              "Data (*.csv, *.txt)|*.csv;*.txt|Text (*.txt, *.prn)|*.txt;*.prn|All files (*.*)|*.*");
    EXPECT_EQ(prompter.messages.last().text, "Replace existing file - " + path() + "?");
    EXPECT_FALSE(prompter.fileRequests.constLast().confirmOverwrite);
    EXPECT_EQ(prompter.messages.last().icon, Prompter::Icon::Question);
    EXPECT_EQ(file.slot(), DataFile::Slot::Capture);
    EXPECT_TRUE(dump.running());
    dump.cancel();
    rt.advance(500);

    link().togglePort();
    dump.userCommand(file);
    upload.userCommand();
    EXPECT_EQ(prompter.texts().mid(prompter.texts().size() - 2),
              QStringList(2,
                          "Error,\rOperation not allowed while port is closed\rClick LED or 'CommPort / Port "
                          "Open' to connect."));
    // A data log closed while the port is: the dump cannot run and ends the file at once.
    ASSERT_TRUE(file.open(path("log.csv"), DataFile::Slot::DataLog));
    EXPECT_TRUE(dump.start(file));
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(contents(path("log.csv")), kHeader + "'Parameter Dump Canceled\r\n\r\n");
}

TEST_F(ParameterDumpScenario, UploadAsksAgainForAMissingFileAndAFileOfCommentsSendsNothing)
{
    write(path("notes.txt"), "'ACU Parameter Dump - Legacy Mode\r\n'CMD\tValue\r\n\r\n>prompt\r\n");
    startOn(kAntenna);
    rt.advance(2000);
    prompter.fileNames = {path("gone.txt"), path("notes.txt")};
    upload.userCommand();
    EXPECT_EQ(prompter.fileRequests[0].title, "Send Text File");
    EXPECT_EQ(prompter.fileRequests[0].filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_EQ(prompter.texts(), QStringList{path("gone.txt") + " not found!"});
    ASSERT_TRUE(upload.running());
    const qint64 from = rt.now();
    rt.advance(5 * 80 + 300);
    EXPECT_EQ(ends, QList<bool>{false});
    const std::vector<Sent> wire = sentSince(from);
    ASSERT_FALSE(wire.empty());
    EXPECT_GE(wire[0].ms, from + 5 * 80) << "nothing went out while the file was read";
}

} // namespace
