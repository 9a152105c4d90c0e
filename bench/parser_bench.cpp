// How many replies per second the receive path takes: each reply is paired with its
// query from the ring, shape-checked and decoded into the panel state, with the status
// and LED reports going to no-op sinks as they would to an idle status bar.
#include "DeviceLink.h"
#include "ReplyParser.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

struct Exchange {
    QByteArray query;
    QByteArray reply;
};

// One ANTENNA screen cycle as the unit answers it.
const std::vector<Exchange> kAntenna{
    {"S", "SH@@AL0300 `P"}, {"P", "E0123A1234C0012"}, {"H", "R0100H2345"},      {"u", "G0045V0500T0250"},
    {"S", "SH@@AL0300 `P"}, {"P", "E0123A1234C0012"}, {"H", "R0100H2345"},      {"q", "Q1234 0567"},
    {"S", "SH@@AL0300 `P"}, {"P", "E0123A1234C0012"}, {"H", "R0100H2345"},      {"@", " N0377W1222"},
    {"S", "SH@@AL0300 `P"}, {"P", "E0123A1234C0012"}, {"H", "R0100H2345"},      {"?   S\r\n", "S@@@@"},
    {"%", "L0150"},         {"S", "SH@@AL0300 `P"},   {"P", "E0123A1234C0012"}, {"H", "R0100H2345"},
    {"mN999\r\n", "mN130"}};

// The loop-error graph: mostly hexadecimal PCU sensor replies.
const std::vector<Exchange> kLoopError{{"?   x\r\n", "ivAFFFF 0100 8000"},
                                       {"?   x\r\n", "ivB0010 FFF0 0003"},
                                       {"S", "SH@@AL0300 `P"},
                                       {"?   x\r\n", "ivC0011 FFF1 0004"},
                                       {"P", "E0123A1234C0012"},
                                       {"?   x\r\n", "ivD0012 FFF2 0005"}};

void run(benchmark::State& st, const std::vector<Exchange>& cycle, bool chunked)
{
    PanelState state;
    QueryRing ring;
    ReplyParser parser(state, ring);
    PanelView view;
    parser.setView(&view);
    parser.hooks().linkLed = [](LedState) {};
    parser.hooks().statusText = [](const QString&) {};
    parser.hooks().plot = [] {};
    std::vector<QByteArray> wire;
    for (const Exchange& e : cycle)
        wire.push_back(e.reply + "\r");
    std::int64_t replies = 0;
    for (auto _ : st) {
        for (size_t i = 0; i < cycle.size(); ++i) {
            ring.record(cycle[i].query);
            if (chunked) {
                // A serial port hands text over in small pieces.
                const QByteArray& w = wire[i];
                const qsizetype half = w.size() / 2;
                parser.receive(w.left(half));
                parser.receive(w.mid(half));
            } else {
                parser.receive(wire[i]);
            }
        }
        replies += std::int64_t(cycle.size());
    }
    st.SetItemsProcessed(replies);
    benchmark::DoNotOptimize(state.azimuth);
}

void BM_AntennaReplies(benchmark::State& st)
{
    run(st, kAntenna, false);
}
void BM_AntennaRepliesInTwoChunks(benchmark::State& st)
{
    run(st, kAntenna, true);
}
void BM_LoopErrorReplies(benchmark::State& st)
{
    run(st, kLoopError, false);
}

} // namespace

BENCHMARK(BM_AntennaReplies);
BENCHMARK(BM_AntennaRepliesInTwoChunks);
BENCHMARK(BM_LoopErrorReplies);

BENCHMARK_MAIN();
