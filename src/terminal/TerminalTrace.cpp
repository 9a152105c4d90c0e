#include "TerminalTrace.h"

#include "ByteLink.h"
#include "SessionTrace.h"
#include "TerminalSession.h"

TerminalTrace::TerminalTrace(TerminalSession& session, ByteLink& serial, ByteLink& tcp, SessionTrace& trace,
                             QObject* parent)
    : QObject(parent), m_session(session), m_trace(trace),
      m_link(
          trace, serial, tcp, [this] { return linkDescription(); }, [this] { return m_session.isPortOpen(); })
{
    using Kind = SessionTrace::Kind;
    connect(&session, &TerminalSession::linkStateChanged, &m_link, &LinkTraceLines::setOpen);
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
