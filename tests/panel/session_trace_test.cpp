// The session trace of a short Korvex session in virtual time: every line, with its time.
#include "KorvexTrace.h"
#include "PanelRig.h"
#include "SessionTrace.h"
#include "TraceFile.h"
#include "TracingPrompter.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

// The trace and its link hooks exist before the session, as in the program, so that a
// received chunk is in the trace before what it causes.
class KorvexTraceTest : public ::testing::Test {
protected:
    KorvexTraceTest()
    {
        serial.attachPeer(&unit);
        serial.setBaud(9600);
        tcp.attachPeer(&tcpUnit);
        trace.watchLink(serial);
        trace.watchLink(tcp);
        session = std::make_unique<KorvexSession>(store, tracing, rt, serial, tcp);
        hooks = std::make_unique<KorvexTrace>(*session, serial, tcp, trace);
        path = dir.filePath("korvex-trace.txt");
    }

    SimRuntime rt;
    MemorySettingsStore store;
    ScriptedPrompter prompter;
    SessionTrace trace{rt};
    TracingPrompter tracing{prompter, trace};
    ScriptedUnit unit;
    ScriptedUnit tcpUnit;
    SimByteLink serial{rt, ByteLink::Kind::Serial};
    SimByteLink tcp{rt, ByteLink::Kind::Tcp};
    std::unique_ptr<KorvexSession> session;
    std::unique_ptr<KorvexTrace> hooks;
    QTemporaryDir dir;
    QString path;
};

TEST_F(KorvexTraceTest, ShortSessionGivesOneLinePerEventWithItsTime)
{
    store.set("multQVRRemote", "Properties", "Settings1", "9600,N,8,1");
    ASSERT_TRUE(trace.start(path));
    // The third command (a "P") goes unanswered: the "H" reply then meets the "P" query.
    unit.drop = {2};
    session->start();
    session->pollCycle().setPollSequence("PH");
    rt.wait(2700);
    // The user is asked about a switch to antenna 2 and declines.
    prompter.answers = {Prompter::Answer::Cancel};
    session->link().selectAntenna(1);
    session->link().togglePort();
    trace.stop();

    // Commands of one byte and replies of 16 and 11 bytes at 9600 baud (1.04 ms a byte).
    EXPECT_EQ(traceFileLines(path),
              std::vector<std::string>({
                  "0\ttrace\tstarted",
                  "0\topen\tserial COM1 /dev/ttyS0 9600,N,8,1",
                  "0\tstatus\tStatus: Port Open",
                  // 1500 ms start timer, then one command each 200 ms.
                  "1700\tsend\tP",
                  "1717\trecv\tE0123A1234C0012\\r",
                  "1900\tsend\tH",
                  "1912\trecv\tR0100H0200\\r",
                  "2100\tsend\tP",
                  "2300\tsend\tH",
                  // Meets the "P" query: shown with the next reply.
                  "2312\trecv\tR0100H0200\\r",
                  "2500\tsend\tP",
                  "2517\trecv\tE0123A1234C0012\\r",
                  "2517\tsync\t8",
                  "2517\tstatus\tStatus: Sync Error 8",
                  "2700\tsend\tH",
                  "2700\tbox\tClose Port for Antenna 1\\rand\\rOpen Port for Antenna 2?",
                  "2700\tanswer\tCancel",
                  "2700\tclose\tserial COM1 /dev/ttyS0 9600,N,8,1",
                  "2700\tstatus\tStatus: Port Closed",
                  "2700\ttrace\tstopped",
              }));
}

// A trace started from the menu in the middle of a session says first what link is open
// and what the status bar shows.
TEST_F(KorvexTraceTest, ATraceStartedLaterBeginsWithTheOpenLinkAndTheStatus)
{
    session->start();
    rt.wait(1000);
    ASSERT_TRUE(trace.start(path));
    trace.stop();
    EXPECT_EQ(traceFileLines(path), std::vector<std::string>({
                                        "1000\ttrace\tstarted",
                                        "1000\topen\tserial COM1 /dev/ttyS0 9600,N,8,1",
                                        "1000\tstatus\tStatus: Port Open",
                                        "1000\ttrace\tstopped",
                                    }));
}

// A TCP link that drops and is found again by the next send stays open for the panel;
// the trace shows both halves.
TEST_F(KorvexTraceTest, ATcpLinkLostAndFoundAgainBySendIsTraced)
{
    store.set("multQVRRemote", "Properties", "Serial1", "False");
    store.set("multQVRRemote", "Properties", "Address1", "127.0.0.1");
    store.set("multQVRRemote", "Properties", "Port1", "2000");
    session->start();
    session->pollCycle().setPollSequence("P");
    rt.wait(1800);
    ASSERT_TRUE(trace.start(path));
    tcp.dropFromPeer();
    rt.wait(200);
    trace.stop();
    // The send at 1901 reconnects in steps of 200 ms and goes out after the first.
    EXPECT_EQ(traceFileLines(path), std::vector<std::string>({
                                        "1801\ttrace\tstarted",
                                        "1801\topen\ttcp 127.0.0.1:2000",
                                        "1801\tstatus\tStatus: Port Open",
                                        "1801\tclose\ttcp 127.0.0.1:2000 (closed by the far end)",
                                        "1901\topen\ttcp 127.0.0.1:2000 (again)",
                                        "2100\tsend\tP",
                                        "2100\ttrace\tstopped",
                                    }));
}

// A crash loses at most the line being written: read while the session runs, the file
// already ends with the complete line of the command just sent.
TEST_F(KorvexTraceTest, EachLineIsInTheFileWhileTheSessionRuns)
{
    ASSERT_TRUE(trace.start(path));
    std::vector<bool> complete;
    QObject::connect(&session->pollCycle(), &PollCycle::commandSent, [&](const QByteArray& text) {
        complete.push_back(traceFileBytes(path).endsWith("\tsend\t" + text + "\n"));
    });
    session->start();
    session->pollCycle().setPollSequence("PH");
    rt.wait(2400);
    EXPECT_EQ(complete, std::vector<bool>({true, true, true, true}));
}

} // namespace
