// libFuzzer entry for the receive path: the input chooses the queries in the ring and
// how the text is cut into chunks, then goes through the assembler and the parser.
// Built only with clang and QVR_LIBFUZZER=ON (see tests/panel/CMakeLists.txt).
#include "DeviceLink.h"
#include "ReplyParser.h"

#include <cstddef>
#include <cstdint>

namespace {
const QByteArray kQueries[] = {"S",         "P",         "H",         "u",         "q",
                               "@",         "%",         "V",         "?   S\r\n", "?   V\r\n",
                               "?   v\r\n", "?   w\r\n", "?   x\r\n", "?   y\r\n", "mN999\r\n",
                               "mP999\r\n", "c0937\r\n", "",          "m",         "?"};
constexpr int kQueryCount = int(sizeof(kQueries) / sizeof(kQueries[0]));
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PanelState state;
    QueryRing ring;
    ReplyParser parser(state, ring);
    PanelView view;
    parser.setView(&view);
    parser.hooks().plot = [] {};
    parser.hooks().linkLed = [](LedState) {};
    parser.hooks().statusText = [](const QString&) {};
    parser.hooks().oneShotReply = [](const QByteArray&) {};
    parser.hooks().fmtParam = [](const QByteArray&, const QByteArray&) {};

    size_t i = 0;
    for (int slot = 0; slot < QueryRing::kSlots && i < size; ++slot, ++i)
        ring.record(kQueries[data[i] % kQueryCount]);
    if (i < size)
        state.parameters['N'] = qint16(data[i++]);
    if (i < size)
        ring.oneShotSlot = data[i++] % QueryRing::kSlots;
    while (i < size) {
        const size_t want = 1 + data[i] % 64;
        ++i;
        const size_t n = qMin<size_t>(want, size - i);
        parser.receive(QByteArray(reinterpret_cast<const char*>(data + i), qsizetype(n)));
        i += n;
    }
    if (parser.assembler().pending().size() > parser.assembler().cap())
        __builtin_trap();
    return 0;
}
