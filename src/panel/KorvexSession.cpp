#include "KorvexSession.h"

#include "Prompter.h"
#include "Runtime.h"
#include "SettingsStore.h"

const QString KorvexSession::kCheckCommPort = QStringLiteral("Check Comm Port");

KorvexSession::KorvexSession(SettingsStore& store, Prompter& prompter, Runtime& runtime, ByteLink& serial,
                             ByteLink& tcp, QObject* parent)
    : QObject(parent), m_store(store), m_prompter(prompter), m_rt(runtime), m_settings(store),
      m_link(runtime, prompter, m_settings, serial, tcp), m_parser(m_panel, m_ring),
      m_poll(runtime, m_link, m_ring), m_lines(kDisplayLines, QString())
{
    connect(&m_link, &DeviceLink::linkClosed, this, &KorvexSession::onLinkClosed);
    connect(&m_link, &DeviceLink::matchingReset, this, [this](int receiveIndex) {
        m_ring.reset(receiveIndex);
        m_parser.reset();
    });
    connect(&m_link, &DeviceLink::received, this, &KorvexSession::onReceived);
    connect(&m_poll, &PollCycle::queryTextChanged, this, &KorvexSession::setQueryText);
    ParserHooks& hooks = m_parser.hooks();
    hooks.linkLed = [this](LedState state) { m_link.setLinkLed(state); };
    hooks.statusText = [this](const QString& text) { m_link.setStatusText(text); };
}

KorvexSession::~KorvexSession() = default;

void KorvexSession::start()
{
    // Settings written later (a switch, the dialog, the exit) that cannot be saved are
    // reported once, naming the file.
    m_store.reportSaveFailuresTo(m_prompter);
    m_link.load();
    for (const QString& problem : m_settings.takeLoadProblems())
        m_prompter.error(problem);
    m_showQuery = m_settings.loadShowQuery();
    m_receiverMode = m_settings.loadReceiverMode();
    m_timeoutMs = 3000;
    m_pacingMs = 200;
    m_poll.setTimeoutMs(m_timeoutMs);
    m_poll.setPacingMs(m_pacingMs);
    Q_EMIT optionsChanged();
    m_poll.begin();
    m_link.togglePort();
}

void KorvexSession::shutdown()
{
    m_settings.saveOnExit(m_showQuery, m_receiverMode);
}

void KorvexSession::setReceiverMode(ReceiverMode mode)
{
    if (m_receiverMode == mode)
        return;
    m_receiverMode = mode;
    Q_EMIT optionsChanged();
}

void KorvexSession::setTimeoutMs(int ms)
{
    if ((ms != 1000 && ms != 2000 && ms != 3000) || ms == m_timeoutMs)
        return;
    m_timeoutMs = ms;
    m_poll.setTimeoutMs(ms);
    Q_EMIT optionsChanged();
}

void KorvexSession::setPacingMs(int ms)
{
    if ((ms != 50 && ms != 100 && ms != 200 && ms != 500) || ms == m_pacingMs)
        return;
    m_pacingMs = ms;
    m_poll.setPacingMs(ms);
    Q_EMIT optionsChanged();
}

void KorvexSession::setShowQuery(bool show)
{
    if (m_showQuery == show)
        return;
    m_showQuery = show;
    Q_EMIT optionsChanged();
}

void KorvexSession::setDisplayLine(int line, const QString& text)
{
    if (line < 0 || line >= kDisplayLines || m_lines[line] == text)
        return;
    m_lines[line] = text;
    Q_EMIT displayChanged();
}

void KorvexSession::clearDisplay()
{
    m_lines = QStringList(kDisplayLines, QString());
    Q_EMIT displayChanged();
}

void KorvexSession::setScreenCode(int code)
{
    if (m_screenCode == code)
        return;
    m_screenCode = code;
    Q_EMIT displayChanged();
}

// Every chunk restarts the reply watchdog before it is assembled.
void KorvexSession::onReceived(const QByteArray& data)
{
    m_poll.restartWatchdog();
    m_parser.append(data);
    processReceivedLines();
}

// A unit that replies without pause hands over a huge chunk at a time; decoding it all in
// one handler would hold the poll timer off until polling starves. So the lines are taken
// in slices and the rest is posted back, letting timers run in between. They stay in the
// assembler, oldest first, so their order holds whichever pass takes them.
void KorvexSession::processReceivedLines()
{
    const qint64 startNs = m_rt.nowNs();
    for (int n = 0; m_parser.hasPendingLine(); ++n) {
        if (n == kLinesPerSlice || m_rt.nowNs() - startNs >= kSliceNs) {
            if (!m_slicePosted) {
                m_slicePosted = true;
                m_rt.post(this, [this] {
                    m_slicePosted = false;
                    processReceivedLines();
                });
            }
            return;
        }
        m_parser.processNextLine();
    }
}

void KorvexSession::setQueryText(const QString& text)
{
    if (m_queryText == text)
        return;
    m_queryText = text;
    Q_EMIT queryTextChanged(text);
}

void KorvexSession::onLinkClosed()
{
    m_poll.linkClosed();
    m_lines = QStringList(kDisplayLines, QString());
    m_lines[0] = kCheckCommPort;
    m_screenCode = 0;
    Q_EMIT displayChanged();
}
