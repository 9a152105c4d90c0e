#include "PanelRig.h"

namespace {

using PollCycleScenario = PanelRig;

constexpr qint64 kMs = 1000000;

std::vector<Sent> expectedEvery(qint64 firstMs, qint64 stepMs, const QList<QByteArray>& commands)
{
    std::vector<Sent> out;
    for (int i = 0; i < commands.size(); ++i)
        out.push_back({firstMs + i * stepMs, commands[i]});
    return out;
}

// A unit that replies without pause, whatever it is asked: every millisecond it sends all
// the lines it has made since it last sent, so a handler that keeps the program busy gets
// a bigger chunk next time, as from a TCP socket that filled up meanwhile.
class FloodUnit : public SimPeer {
public:
    FloodUnit(SimRuntime& rt, int linesPerSecond) : m_rt(rt), m_linesPerSecond(linesPerSecond) {}
    void peerReceived(const QByteArray&) override {}
    void peerConnected() override
    {
        m_lastNs = m_rt.nowNs();
        m_rt.singleShot(1, nullptr, [this] { send(); });
    }

private:
    void send()
    {
        const qint64 lines = (m_rt.nowNs() - m_lastNs) * m_linesPerSecond / 1000000000;
        m_lastNs += lines * 1000000000 / m_linesPerSecond;
        QByteArray chunk;
        for (qint64 i = 0; i < lines; ++i)
            chunk += "E0123A1234C0012\r";
        sendToHost(chunk);
        m_rt.singleShot(1, nullptr, [this] { send(); });
    }

    SimRuntime& m_rt;
    qint64 m_linesPerSecond;
    qint64 m_lastNs = 0;
};

const QList<QByteArray> kAntennaCycle{"S", "P", "H", "u", "S",         "P", "H", "q", "S", "P",        "H",
                                      "@", "S", "P", "H", "?   S\r\n", "%", "S", "P", "H", "mN999\r\n"};

TEST_F(PollCycleScenario, AntennaScreenPollsOneCommandPerTickAndDecodesEveryReply)
{
    startOn(kAntenna);
    // The ANTENNA key re-armed the start timer with 600 ms; the first command goes one
    // pacing interval after its tick, then one every 200 ms, and the sequence wraps.
    rt.advance(599);
    EXPECT_TRUE(sent().empty());
    rt.advance(1);
    EXPECT_EQ(poll().startTag(), "1");
    EXPECT_EQ(idleLeds, 1);
    EXPECT_TRUE(poll().polling());
    EXPECT_FALSE(poll().startArmed());

    rt.advance(200 * 22 + 50);
    QList<QByteArray> cycle = kAntennaCycle;
    cycle << "S";
    EXPECT_EQ(sent(), expectedEvery(800, 200, cycle));
    EXPECT_EQ(queries, QStringList{"Query: SPHuSPHqSPH@SPH!?   S%SPH!mN999"});

    // Every reply went to its own query: no sync error, and all values arrived.
    EXPECT_FALSE(statuses.contains("Status: Sync Error 9"));
    EXPECT_EQ(link().statusText(), "Status: Port Open");
    EXPECT_EQ(state().azimuth, 1234);
    EXPECT_EQ(state().heading, 200);
    EXPECT_EQ(state().polarisationText, "0045");
    EXPECT_EQ(state().receiverField1, 1234);
    EXPECT_EQ(state().latitudeText, "37.7N");
    EXPECT_EQ(state().level, 50);
    EXPECT_EQ(state().agc, 100);
    EXPECT_EQ(state().parameter('N'), 130);
    EXPECT_EQ(view.sys, QList<int>{130});
    EXPECT_EQ(view.refreshes, 22);
    EXPECT_EQ(ring().receiveIndex, ring().sendIndex);
}

TEST_F(PollCycleScenario, LinkLedGoesHollowAtTheWrapAndFillsAtTheNextReply)
{
    startOn("SPHu");
    rt.advance(800 + 3 * 200); // "u" goes at 1400 and the walk wraps
    ASSERT_FALSE(leds.empty());
    EXPECT_EQ(leds.back(), LedState::Off);
    rt.advance(100); // its reply
    EXPECT_EQ(leds.back(), LedState::Green);
    EXPECT_EQ(sentBytesList(), (QList<QByteArray>{"S", "P", "H", "u"}));
}

TEST_F(PollCycleScenario, ScreenSequencesSplitIntoTheirCommands)
{
    struct Case {
        QByteArray sequence;
        QList<QByteArray> commands;
    };
    const QByteArray skew(1, char(138));
    const std::vector<Case> cases{
        {"SPH@SPHqSPHuSPH!?   S%",
         {"S", "P", "H", "@", "S", "P", "H", "q", "S", "P", "H", "u", "S", "P", "H", "?   S\r\n", "%"}},
        {"SPHq!m" + skew + "999SPHuSPH!m}999SPH!m~999SPH!?   S%",
         {"S",         "P",         "H",         "q", "m" + skew + "999\r\n",
          "S",         "P",         "H",         "u", "S",
          "P",         "H",         "m}999\r\n", "S", "P",
          "H",         "m~999\r\n", "S",         "P", "H",
          "?   S\r\n", "%"}},
        {"!mI999!mN999!mP999SPHu", {"mI999\r\n", "mN999\r\n", "mP999\r\n", "S", "P", "H", "u"}},
        {"SPHu!?   VSPHu!?   S", {"S", "P", "H", "u", "?   V\r\n", "S", "P", "H", "u", "?   S\r\n"}},
        {"S!?   wP!?   wH!?   wu!?   w!?   S!?   w",
         {"S", "?   w\r\n", "P", "?   w\r\n", "H", "?   w\r\n", "u", "?   w\r\n", "?   S\r\n", "?   w\r\n"}},
    };
    session.start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sequence.toStdString());
        serial.clearTranscript();
        const qint64 t0 = rt.now();
        showScreen(c.sequence);
        rt.advance(600 + 200 * int(c.commands.size()) + 50);
        EXPECT_EQ(sent(), expectedEvery(t0 + 800, 200, c.commands));
        // One full cycle then the first command again would follow; stop here.
        poll().rearmStart();
        rt.advance(100);
    }
}

TEST_F(PollCycleScenario, StartTimerTicksAfter1500msAndThenRechecksEverySecond)
{
    session.start();
    EXPECT_EQ(poll().startIntervalMs(), 1500);
    rt.advance(1499);
    EXPECT_EQ(idleLeds, 0);
    rt.advance(1);
    EXPECT_EQ(idleLeds, 1);
    EXPECT_EQ(poll().startTag(), "1");
    // Nothing to poll: the LED is shown green and the timer rests.
    EXPECT_EQ(link().linkLed(), LedState::Green);
    EXPECT_FALSE(poll().startArmed());
    EXPECT_FALSE(poll().polling());

    // With "Stop" on and a sequence, it re-checks every second and sends nothing.
    poll().setPollSequence("SPHu");
    poll().setStopOption(true);
    poll().rearmStart();
    rt.advance(600);
    EXPECT_TRUE(poll().startArmed());
    EXPECT_EQ(poll().startIntervalMs(), 1000);
    rt.advance(3000);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(idleLeds, 1);

    // Only one-shot commands go while "Stop" is on, even after a screen change stopped the
    // poll timer, and the start timer's re-check does not drop one that waits.
    poll().rearmStart();
    rt.advance(1650);
    poll().setOneShot("V");
    rt.advance(300);
    EXPECT_EQ(sentBytesList(), QList<QByteArray>{"V"});
    poll().setStopOption(false);
    rt.advance(1000); // the re-check starts polling
    ASSERT_TRUE(poll().polling());
    poll().setStopOption(true);
    poll().setOneShot("V");
    const qint64 t = rt.now();
    rt.advance(1000);
    EXPECT_EQ(sentBytesList().mid(int(sentBytesList().size()) - 1), QList<QByteArray>{"V"});
    EXPECT_GE(sent().back().ms, t);
    const auto before = sent().size();
    rt.advance(1000);
    EXPECT_EQ(sent().size(), before);
}

TEST_F(PollCycleScenario, ScreenChangeStopsPollingFor600ms)
{
    startOn("SPHu");
    rt.advance(1000); // S at 800, P at 1000
    showScreen("H");
    rt.advance(799);
    EXPECT_EQ(sentBytesList(), (QList<QByteArray>{"S", "P"}));
    rt.advance(1);
    EXPECT_EQ(sent().back(), (Sent{1800, "H"}));
}

TEST_F(PollCycleScenario, PendingCommandsGoBeforeTheSequenceInTheirPieces)
{
    startOn("S");
    rt.advance(800); // "S"
    poll().setLongCommand("^0067\r\n");
    poll().setOneShot("V");
    rt.advance(200 * 4);
    EXPECT_EQ(sentBytesList(), (QList<QByteArray>{"S", "V", "^0067\r\n", "S", "S"}));

    serial.clearTranscript();
    poll().setLongCommand("&    \r\n?   S\r\n");
    rt.advance(200 * 3);
    EXPECT_EQ(sentBytesList(), (QList<QByteArray>{"&    \r\n", "?   S\r\n", "S"}));

    serial.clearTranscript();
    const QByteArray gll = "$GPGLL,3742.00,N,12212.00,W\r\n";
    poll().setLongCommand(gll);
    rt.advance(200 * 3);
    EXPECT_EQ(sentBytesList(), (QList<QByteArray>{gll, gll, "S"}));

    // Below seven characters a long command goes one character per tick. The unit answers
    // the whole line once, so the ring holds it once and the pairing stays aligned.
    serial.clearTranscript();
    poll().setLongCommand("B12\r\n");
    rt.advance(200 * 7 + 100);
    EXPECT_EQ(sentBytesList(), (QList<QByteArray>{"B", "1", "2", "\r", "\n", "S", "S"}));
    EXPECT_EQ(unit.commands.mid(unit.commands.size() - 3), (QList<QByteArray>{"B12", "S", "S"}));
    EXPECT_TRUE(statuses.filter("Sync Error").isEmpty());
    EXPECT_EQ(ring().receiveIndex, ring().sendIndex);

    // Eight characters: a piece of seven, then the line feed alone.
    serial.clearTranscript();
    poll().setLongCommand("A123.4\r\n");
    rt.advance(200 * 3);
    EXPECT_EQ(sentBytesList(), (QList<QByteArray>{"A123.4\r", "\n", "S"}));
    EXPECT_TRUE(statuses.filter("Sync Error").isEmpty());
}

TEST_F(PollCycleScenario, TrackingAndDvbVersionCommandsExpectNoReply)
{
    session.start();
    rt.advance(10);
    poll().setLongCommand("D");
    poll().pollTick();
    EXPECT_EQ(sentBytesList(), QList<QByteArray>{"D"});
    EXPECT_EQ(ring().sendIndex, 0);
    EXPECT_FALSE(poll().watchdogArmed());

    poll().setOneShot("C");
    poll().pollTick();
    EXPECT_EQ(ring().sendIndex, 0);
    EXPECT_EQ(ring().oneShotSlot, -1);
    EXPECT_FALSE(poll().watchdogArmed());

    // "wV   " asks for nothing; "w!123" follows on the next tick and its reply goes to
    // the diagnostics window.
    QList<QByteArray> diagnostics;
    session.parser().hooks().oneShotReply = [&](const QByteArray& r) { diagnostics << r; };
    poll().setOneShot("wV   \r\n");
    poll().pollTick();
    EXPECT_EQ(ring().sendIndex, 0);
    EXPECT_EQ(poll().oneShot(), "w!123\r\n");
    poll().pollTick();
    EXPECT_EQ(ring().sendIndex, 1);
    EXPECT_EQ(ring().entries[0], "w!123\r\n");
    EXPECT_TRUE(poll().watchdogArmed());
    rt.advance(100);
    EXPECT_EQ(diagnostics, QList<QByteArray>{"DVB VER 3.0"});
    EXPECT_EQ(sentBytesList(), (QList<QByteArray>{"D", "C", "wV   \r\n", "w!123\r\n"}));
}

TEST_F(PollCycleScenario, OneLostReplyIsReportedOnceAndTheRingRealigns)
{
    unit.drop = {1}; // the first "P"
    startOn("SPHu");
    rt.advance(800 + 200 * 8 + 100);
    // "H"'s reply met the "P" query (sync error 8); the "u" reply reported it and skipped
    // the "H" slot; from then on every reply meets its own query.
    EXPECT_EQ(statuses.filter("Sync Error"), QStringList{"Status: Sync Error 8"});
    EXPECT_EQ(link().statusText(), "Status: Port Open");
    EXPECT_EQ(ring().receiveIndex, ring().sendIndex);
    auto it = std::find(leds.begin(), leds.end(), LedState::Yellow);
    EXPECT_NE(it, leds.end());
    EXPECT_EQ(state().polarisationText, "0045");
    EXPECT_EQ(state().elevation, 123);
}

TEST_F(PollCycleScenario, TcpGreetingIsConsumedBySlot31)
{
    useTcp();
    tcpUnit.greeting = "QVR Serial Server\r";
    startOn("SP");
    rt.advance(800 + 200 + 100);
    EXPECT_EQ(sent(tcp).front().bytes, "S");
    EXPECT_TRUE(statuses.filter("Sync Error").isEmpty());
    EXPECT_EQ(state().agc, 100);
    EXPECT_EQ(state().elevation, 123);
    EXPECT_EQ(ring().receiveIndex, 2);
}

// A unit that restarts drops the connection and greets again once the next send has
// reconnected: the ring starts over as after opening, so the greeting meets the empty slot
// and the replies after it meet their own queries.
TEST_F(PollCycleScenario, ReconnectToAGreetingUnitStartsTheRingOver)
{
    useTcp();
    tcpUnit.greeting = "QVR Serial Server\r";
    tcp.setLatencyUs(2000);
    startOn(kAntenna);
    rt.advance(800 + 200 * 40);
    ASSERT_EQ(syncErrors, 0);
    // The drop comes as a command goes out: its reply is lost with the connection.
    ASSERT_EQ(ring().outstanding(), 1);
    tcp.dropFromPeer();
    // The next tick reconnects (waiting in steps of 200 ms) and sends into slot 0.
    rt.advance(200 + 200 + 50);
    EXPECT_EQ(tcp.openCount(), 2);
    EXPECT_EQ(ring().sendIndex, 1);
    EXPECT_EQ(ring().receiveIndex, 1);
    rt.advance(2350);
    EXPECT_LE(syncErrors, 1);
    EXPECT_EQ(link().statusText(), "Status: Port Open");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

// A unit that babbles without CR keeps the watchdog quiet; the overflow of the reply
// assembler is what tells, and it is shown the moment the cap is passed, not at a CR that
// may never come.
TEST_F(PollCycleScenario, BabbleWithoutCrShowsTheOverflowAtOnce)
{
    startOn("SPH");
    rt.advance(1000);
    ASSERT_EQ(link().statusText(), "Status: Port Open");
    unit.silent << "S"
                << "P"
                << "H";
    leds.clear();
    // 100 characters at a time, as a serial line brings them: 10000 at 9600 baud take 10.4 s.
    for (int i = 0; i < 100; ++i)
        unit.say(QByteArray(100, 'x'));
    rt.advance(3000);
    EXPECT_EQ(link().statusText(), "Status: Port Open");
    rt.advance(2000); // past 4096 characters
    EXPECT_EQ(link().statusText(), "Status: Sync Error 10");
    EXPECT_NE(std::find(leds.begin(), leds.end(), LedState::Yellow), leds.end());
    EXPECT_EQ(syncErrors, 1);
    // The babble goes on: still no CR, still the one error on show.
    rt.advance(6000);
    EXPECT_EQ(link().statusText(), "Status: Sync Error 10");
    EXPECT_EQ(syncErrors, 1);
    // A CR ends the dropped run; replies are good again.
    unit.silent.clear();
    unit.say("\r");
    rt.advance(10000);
    EXPECT_EQ(link().statusText(), "Status: Port Open");
    EXPECT_LE(syncErrors, 2); // and one more while the lost replies re-align the ring
}

// Lines come twice as fast as the panel decodes them (20,000 a second, 100 us each). The
// receive path takes them in slices so the poll timer still ticks on time, and drops the
// oldest it cannot keep up with rather than growing without end.
TEST_F(PollCycleScenario, PollingHoldsItsCadenceUnderAFlood)
{
    useTcp();
    FloodUnit flood(rt, 20000);
    tcp.attachPeer(&flood);
    view.cost = [this] { rt.spend(100000); };
    startOn("SPHu");
    rt.advance(800);
    const qint64 from = rt.now();
    rt.advance(10000);
    int commands = 0;
    for (const Sent& s : sent(tcp))
        commands += s.ms >= from && s.ms < from + 10000;
    EXPECT_GE(commands, 45); // of 50 ticks
    EXPECT_GT(view.refreshes, 50000);
    EXPECT_LE(session.parser().assembler().pending().size(),
              ReplyAssembler::kBacklogCap + ReplyAssembler::kDefaultCap);
    EXPECT_GT(syncErrors, 0); // the lines dropped are reported
    tcp.attachPeer(&tcpUnit); // the flood goes before the link
}

TEST_F(PollCycleScenario, SilentUnitShowsTimeOutEveryIntervalUntilDataArrives)
{
    unit.silent << "S"
                << "P";
    startOn("SP");
    session.setTimeoutMs(1000);
    rt.advance(800); // "S" arms the watchdog
    EXPECT_TRUE(poll().watchdogArmed());
    rt.advance(999);
    EXPECT_NE(link().statusText(), "Status: TimeOut");
    rt.advance(1);
    EXPECT_EQ(link().statusText(), "Status: TimeOut");
    EXPECT_NE(std::find(leds.begin(), leds.end(), LedState::Cyan), leds.end());
    link().setStatusText("-");
    rt.advance(1000);
    EXPECT_EQ(link().statusText(), "Status: TimeOut");

    // Every chunk restarts the watchdog: the next time-out comes a whole interval after
    // the last data, not on the old cadence.
    qint64 lastDataNs = -1;
    QObject::connect(&link(), &DeviceLink::received, [&] { lastDataNs = rt.nowNs(); });
    unit.silent.clear();
    rt.advance(300);
    poll().setStopOption(true);
    rt.advance(300);
    ASSERT_GT(lastDataNs, 0);
    EXPECT_NE(link().linkLed(), LedState::Cyan);
    rt.waitNs(lastDataNs + 999 * kMs - rt.nowNs());
    EXPECT_NE(link().statusText(), "Status: TimeOut");
    rt.waitNs(kMs);
    EXPECT_EQ(link().statusText(), "Status: TimeOut");
}

// A unit that falls silent for a while (restarting on its serial line) leaves queries
// unanswered. After a time-out none of them is awaited any more: the replies that follow
// meet their own queries, and no parameter value lands under another letter.
TEST_F(PollCycleScenario, RepliesAfterATimeOutMeetTheirOwnQueries)
{
    startOn("!mI999!mN999!mP999SPHu");
    rt.advance(2000);
    unit.silent << "mI999"
                << "mN999"
                << "mP999"
                << "S"
                << "P"
                << "H"
                << "u";
    rt.advance(5000);
    ASSERT_EQ(link().statusText(), "Status: TimeOut");
    for (quint8 letter : {'I', 'N', 'P'})
        state().parameters[letter] = 0;
    syncErrors = 0;
    unit.silent.clear();
    rt.advance(3000);
    EXPECT_EQ(syncErrors, 0);
    EXPECT_EQ(state().parameter('I'), 1);
    EXPECT_EQ(state().parameter('N'), 130);
    EXPECT_EQ(state().parameter('P'), 66);
    EXPECT_EQ(link().statusText(), "Status: Port Open");
}

TEST_F(PollCycleScenario, WatchdogBelongsToTheDumpPastPosition30)
{
    int dumpTicks = 0;
    int position = 31;
    poll().hooks().dumpPosition = [&] { return position; };
    poll().hooks().dumpWatchdogTick = [&] { ++dumpTicks; };
    unit.silent << "S";
    startOn("S");
    rt.advance(800 + 3000);
    EXPECT_EQ(dumpTicks, 1);
    EXPECT_NE(link().statusText(), "Status: TimeOut");
    position = 30;
    rt.advance(3000);
    EXPECT_EQ(dumpTicks, 1);
    EXPECT_EQ(link().statusText(), "Status: TimeOut");
}

TEST_F(PollCycleScenario, ToolsOwnTheTickWhileTheyRun)
{
    std::optional<QByteArray> sweep;
    poll().hooks().sweepTick = [&] { return sweep; };
    startOn("S");
    rt.advance(800);
    sweep = QByteArray("c0937\r\n");
    poll().setOneShot("V");
    rt.advance(200);
    sweep.reset();
    rt.advance(200);
    EXPECT_EQ(sentBytesList(), (QList<QByteArray>{"S", "c0937\r\n", "V"}));
}

TEST_F(PollCycleScenario, ClosingTheLinkStopsTimersAndSetsStop)
{
    startOn("SPHu");
    rt.advance(1000);
    link().togglePort();
    EXPECT_FALSE(poll().startArmed());
    EXPECT_FALSE(poll().watchdogArmed());
    EXPECT_FALSE(poll().polling());
    EXPECT_TRUE(poll().stopOption());
    const auto n = sent().size();
    rt.advance(5000);
    EXPECT_EQ(sent().size(), n);
    EXPECT_EQ(link().statusText(), "Status: Port Closed");
}

} // namespace
