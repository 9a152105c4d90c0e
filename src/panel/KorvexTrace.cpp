#include "KorvexTrace.h"

#include "ByteLink.h"
#include "KorvexSession.h"
#include "SessionTrace.h"

namespace {
const QString kSyncErrorText = QStringLiteral("Status: Sync Error ");
}

KorvexTrace::KorvexTrace(KorvexSession& session, ByteLink& serial, ByteLink& tcp, SessionTrace& trace,
                         QObject* parent)
    : QObject(parent), m_session(session), m_serial(serial), m_trace(trace)
{
    using Kind = SessionTrace::Kind;
    DeviceLink& link = session.link();
    connect(&link, &DeviceLink::portOpenChanged, this, [this](bool open) {
        if (open) {
            m_openLink = linkDescription();
            m_trace.record(Kind::Open, m_openLink);
        } else if (!m_openLink.isEmpty()) {
            m_trace.record(Kind::Close, m_openLink);
            m_openLink.clear();
        }
    });
    // A TCP link that drops and comes back within a send's reconnect stays "open" for the
    // panel; the trace shows both halves.
    for (ByteLink* l : {&serial, &tcp}) {
        connect(l, &ByteLink::closedByPeer, this, [this] {
            if (!m_openLink.isEmpty())
                m_trace.record(Kind::Close, m_openLink + QStringLiteral(" (closed by the far end)"));
        });
    }
    connect(&tcp, &ByteLink::opened, this, [this] {
        if (!m_openLink.isEmpty() && m_session.link().portOpen())
            m_trace.record(Kind::Open, m_openLink + QStringLiteral(" (again)"));
    });
    connect(&link, &DeviceLink::sent, this,
            [this](const QByteArray& text) { m_trace.recordBytes(Kind::Send, text); });
    connect(&link, &DeviceLink::statusTextChanged, this,
            [this](const QString& text) { m_trace.record(Kind::Status, text); });

    // The parser reports each sync error as a status text, which shows only when it
    // differs from the one before; the trace wants every one, so it listens where the
    // parser reports them.
    ParserHooks& hooks = session.parser().hooks();
    hooks.statusText = [this, shown = hooks.statusText](const QString& text) {
        if (text.startsWith(kSyncErrorText))
            m_trace.record(Kind::Sync, text.mid(kSyncErrorText.size()));
        if (shown)
            shown(text);
    };
}

QString KorvexTrace::linkDescription() const
{
    const DeviceLink& link = m_session.link();
    const ConnectionProfile& p = link.profile(link.selectedAntenna());
    if (p.serial)
        return QStringLiteral("serial COM%1 %2 %3")
            .arg(p.commPort)
            .arg(m_serial.endpoint().device, p.settings);
    return QStringLiteral("tcp %1:%2").arg(p.address).arg(p.tcpPort);
}
