#include "LinkTraceLines.h"

#include "ByteLink.h"
#include "SessionTrace.h"

using Kind = SessionTrace::Kind;

LinkTraceLines::LinkTraceLines(SessionTrace& trace, ByteLink& serial, ByteLink& tcp,
                               std::function<QString()> describe, std::function<bool()> isOpen,
                               QObject* parent)
    : QObject(parent), m_trace(trace), m_describe(std::move(describe)), m_isOpen(std::move(isOpen))
{
    for (ByteLink* link : {&serial, &tcp}) {
        connect(link, &ByteLink::closedByPeer, this, [this] {
            if (!m_openLink.isEmpty())
                m_trace.record(Kind::Close, m_openLink + QStringLiteral(" (closed by the far end)"));
        });
    }
    connect(&tcp, &ByteLink::opened, this, [this] {
        if (!m_openLink.isEmpty() && m_isOpen())
            m_trace.record(Kind::Open, m_openLink + QStringLiteral(" (again)"));
    });
    connect(&trace, &SessionTrace::activeChanged, this, [this](bool active) {
        if (active && !m_openLink.isEmpty())
            m_trace.record(Kind::Open, m_openLink);
    });
}

void LinkTraceLines::setOpen(bool open)
{
    if (open) {
        m_openLink = m_describe();
        m_trace.record(Kind::Open, m_openLink);
    } else if (!m_openLink.isEmpty()) {
        m_trace.record(Kind::Close, m_openLink);
        m_openLink.clear();
    }
}
