#include "TerminalTrace.h"

#include "ByteLink.h"
#include "SessionTrace.h"
#include "TerminalSession.h"

TerminalTrace::TerminalTrace(TerminalSession& session, ByteLink& serial, ByteLink& tcp, SessionTrace& trace,
                             QObject* parent)
    : QObject(parent), m_session(session), m_trace(trace)
{
    using Kind = SessionTrace::Kind;
    connect(&session, &TerminalSession::linkStateChanged, this, [this](bool open) {
        if (open) {
            m_openLink = linkDescription();
            m_trace.record(Kind::Open, m_openLink);
        } else if (!m_openLink.isEmpty()) {
            m_trace.record(Kind::Close, m_openLink);
            m_openLink.clear();
        }
    });
    for (ByteLink* l : {&serial, &tcp}) {
        connect(l, &ByteLink::closedByPeer, this, [this] {
            if (!m_openLink.isEmpty())
                m_trace.record(Kind::Close, m_openLink + QStringLiteral(" (closed by the far end)"));
        });
    }
    connect(&tcp, &ByteLink::opened, this, [this] {
        if (!m_openLink.isEmpty() && m_session.isPortOpen())
            m_trace.record(Kind::Open, m_openLink + QStringLiteral(" (again)"));
    });
    connect(&session, &TerminalSession::sent, this,
            [this](const QByteArray& text) { m_trace.recordBytes(Kind::Send, text); });
    connect(&session, &TerminalSession::statusTextChanged, this,
            [this](const QString& text) { m_trace.record(Kind::Status, text); });
}

QString TerminalTrace::linkDescription() const
{
    if (m_session.linkIsSerial())
        return QStringLiteral("serial COM%1 %2 %3")
            .arg(m_session.comNumber())
            .arg(m_session.serialDevice(), m_session.serialSettings());
    return QStringLiteral("tcp %1:%2").arg(m_session.address()).arg(m_session.tcpPort());
}
