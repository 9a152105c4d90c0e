#include "KorvexTrace.h"

#include "ByteLink.h"
#include "KorvexSession.h"
#include "PanelTexts.h"
#include "SessionTrace.h"

KorvexTrace::KorvexTrace(KorvexSession& session, ByteLink& serial, ByteLink& tcp, SessionTrace& trace,
                         QObject* parent)
    : QObject(parent), m_session(session), m_serial(serial), m_trace(trace),
      m_link(
          trace, serial, tcp, [this] { return linkDescription(); },
          [this] { return m_session.link().portOpen(); })
{
    using Kind = SessionTrace::Kind;
    DeviceLink& link = session.link();
    connect(&link, &DeviceLink::portOpenChanged, &m_link, &LinkTraceLines::setOpen);
    connect(&link, &DeviceLink::statusTextChanged, this,
            [this](const QString& text) { m_trace.record(Kind::Status, text); });
    // A trace started from the menu begins with what the status bar shows (after the link).
    connect(&trace, &SessionTrace::activeChanged, this, [this](bool active) {
        if (active && !m_session.link().statusText().isEmpty())
            m_trace.record(Kind::Status, m_session.link().statusText());
    });

    // The parser reports each sync error as a status text, which shows only when it
    // differs from the one before; the trace wants every one, so it listens where the
    // parser reports them.
    ParserHooks& hooks = session.parser().hooks();
    hooks.statusText = [this, shown = hooks.statusText](const QString& text) {
        const QLatin1String sync(paneltext::kSyncErrorText);
        if (text.startsWith(sync))
            m_trace.record(Kind::Sync, text.mid(sync.size()));
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
