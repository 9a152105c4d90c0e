// The session trace of a short Quillan session in virtual time: every line, with its time.
#include "TerminalRig.h"

#include "SessionTrace.h"
#include "TerminalTrace.h"
#include "TraceFile.h"
#include "TracingPrompter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace {

// The trace and its link hooks exist before the session, as in the program, so that a
// received chunk is in the trace before what it causes.
struct TracedTerminal {
    TracedTerminal()
    {
        serial.attachPeer(&unit);
        serial.setBaud(9600);
        trace.watchLink(serial);
        trace.watchLink(tcp);
        session = std::make_unique<TerminalSession>(rt, tracing, store, serial, tcp, 1);
        hooks = std::make_unique<TerminalTrace>(*session, serial, tcp, trace);
        path = dir.filePath("quillan-trace.txt");
    }

    SimRuntime rt;
    ScriptedPrompter prompter;
    MemorySettingsStore store;
    SessionTrace trace{rt};
    TracingPrompter tracing{prompter, trace};
    TestPeer unit;
    SimByteLink serial{rt, ByteLink::Kind::Serial};
    SimByteLink tcp{rt, ByteLink::Kind::Tcp};
    std::unique_ptr<TerminalSession> session;
    std::unique_ptr<TerminalTrace> hooks;
    QTemporaryDir dir;
    QString path;
};

TEST(SessionTrace, QuillanSessionGivesOneLinePerEventWithItsTime)
{
    TracedTerminal t;
    t.unit.onHeard = [&](const QByteArray& bytes) {
        if (bytes.endsWith('\r'))
            t.unit.say("V 1.07\r\n");
    };
    t.store.set("QuillanUniv1", "Properties", "Settings", "9600,N,8,1");
    ASSERT_TRUE(t.trace.start(t.path));
    t.session->start();
    t.rt.wait(100);
    t.session->commOut(QByteArray("V\r"));
    t.rt.wait(100);
    t.serial.injectLineEvent(LineEvent::Framing);
    t.rt.wait(2100);
    t.session->openOrCloseLink();
    t.session->commOut(QByteArray("V\r"));
    t.trace.stop();

    EXPECT_EQ(traceFileLines(t.path),
              std::vector<std::string>({
                  "0\ttrace\tstarted",
                  "0\topen\tserial COM1 /dev/ttyS0 9600,N,8,1",
                  "100\tsend\tV\\r",
                  // Two bytes out, eight back, at 1.04 ms a byte.
                  "110\trecv\tV 1.07\\r\\n",
                  "200\tstatus\tStatus: Framing Error",
                  "2200\tstatus\tStatus: ",
                  "2300\tclose\tserial COM1 /dev/ttyS0 9600,N,8,1",
                  "2300\tbox\tError,\\rOperation not allowed while port is closed\\rClick "
                  "LED or 'CommPort / Port Open' to connect.",
                  "2300\tanswer\tOk",
                  "2300\ttrace\tstopped",
              }));
}

} // namespace
