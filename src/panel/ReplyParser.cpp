#include "ReplyParser.h"

#include "CommandVocabulary.h"
#include "DeviceLink.h"
#include "PanelTexts.h"
#include "ReplyDecoders.h"

#include <QLoggingCategory>

#include <utility>

Q_LOGGING_CATEGORY(lcParser, "korvex.parser", QtWarningMsg)

namespace {
const QString kPortOpenText = QStringLiteral("Status: Port Open");
const QByteArray kStandIn = QByteArrayLiteral("????");
} // namespace

ReplyParser::ReplyParser(PanelState& state, QueryRing& ring) : m_state(state), m_ring(ring) {}

void ReplyParser::reset()
{
    m_assembler.clear();
    m_assembler.takeOverflows();
    m_syncError = 0;
    m_syncShown = false;
    m_current.clear();
}

void ReplyParser::receive(const QByteArray& chunk)
{
    append(chunk);
    while (processNextLine()) {
    }
}

bool ReplyParser::processNextLine()
{
    std::optional<QByteArray> line = m_assembler.nextLine();
    if (!line)
        return false;
    processLine(*line);
    return true;
}

void ReplyParser::append(const QByteArray& chunk)
{
    m_assembler.append(chunk);
    if (m_assembler.takeOverflows() > 0) {
        // A run of text without CR too long to be a reply (dropped up to its CR), or lines
        // coming faster than they can be decoded (the oldest dropped): one bad reply, so
        // that the next one re-aligns the ring. It is shown at once: a unit that babbles
        // may never send the CR that would show it otherwise.
        qCInfo(lcParser) << "receive overflow, dropped" << m_assembler.droppedBytes() << "bytes so far";
        m_syncError = kSyncOverflow;
        m_syncShown = true;
        showSyncError();
    }
}

void ReplyParser::processLine(const QByteArray& line)
{
    m_current = line;
    // The first line after a time-out answers the newest query; the ring is re-aligned on
    // it, so a bad reply from before the silence is shown without skipping a slot.
    const bool realigned = std::exchange(m_ring.timedOut, false);
    if (realigned)
        m_ring.dropAllButNewest();
    if (m_ring.receiveIndex == m_ring.dumpStart) {
        m_ring.dumpFormatting = 0;
        m_ring.dumpStart = -1;
    } else if (m_ring.receiveIndex == m_ring.oneShotSlot) {
        m_ring.oneShotSlot = -1;
        if (m_hooks.oneShotReply)
            m_hooks.oneShotReply(m_current);
    }

    if (m_syncError != 0) {
        if (!realigned)
            m_ring.skip();
        if (!m_syncShown)
            showSyncError();
        m_syncError = 0;
        m_syncShown = false;
    } else {
        if (m_hooks.linkLed)
            m_hooks.linkLed(LedState::Green);
        if (m_hooks.statusText)
            m_hooks.statusText(kPortOpenText);
    }

    const QByteArray query = m_ring.takeQuery();
    // The dump watchdog's stand-in for a reply that never came fills its row and nothing
    // else: shape-checked, it would count as a bad reply, and the skip of one slot that
    // follows would put every later row of the dump on another parameter's letters.
    const bool standIn = m_ring.dumpFormatting >= 0 && m_current == kStandIn;
    if (m_ring.dumpFormatting >= 0 && m_hooks.fmtParam)
        m_hooks.fmtParam(m_current, query);

    m_syncError = standIn ? 0 : decode(m_current, query, m_state, m_view, &m_hooks, m_graphMode);
    if (m_syncError != 0)
        qCDebug(lcParser) << "sync error" << m_syncError << "query" << query << "reply" << m_current;
    else if (m_view)
        m_view->refreshPage();
    if (m_state.settleCounter > 0)
        --m_state.settleCounter;
}

void ReplyParser::showSyncError()
{
    if (m_hooks.linkLed)
        m_hooks.linkLed(LedState::Yellow);
    if (m_hooks.statusText)
        m_hooks.statusText(QLatin1String(paneltext::kSyncErrorText) + QString::number(m_syncError));
}

int ReplyParser::decode(const QByteArray& reply, const QByteArray& query, PanelState& state, PanelView* view,
                        const ParserHooks* hooks, int graphMode)
{
    if (query.isEmpty())
        return 0;
    const decoders::Context c{state, view, hooks, graphMode};
    switch (query[0]) {
    case vocab::kParameter:
        return decoders::parameter(reply, query, c);
    case '?':
        if (query.size() >= vocab::kPcuLetterPosition)
            decoders::pcu(reply, query[vocab::kPcuLetterPosition - 1], c);
        return 0;
    case vocab::kGps:
        return decoders::gps(reply, c);
    case vocab::kHeading:
        return decoders::heading(reply, c);
    case vocab::kReceiver:
        return decoders::receiver(reply, c);
    case vocab::kAuxiliary:
        return decoders::auxiliary(reply, c);
    case vocab::kLevel:
        return decoders::level(reply, c);
    case vocab::kVersion:
        return decoders::version(reply, c);
    case vocab::kPosition:
        return decoders::position(reply, c);
    case vocab::kStatus:
        return decoders::status(reply, c);
    case 'c':
        decoders::spectrumPoint(reply, c);
        return 0;
    default:
        return 0;
    }
}
