#include "BurnIn.h"

#include "KorvexSession.h"
#include "NumberFormat.h"
#include "Runtime.h"

#include <cmath>

const std::array<const char*, 2 * BurnIn::kPairs> BurnIn::kMoves{
    "A0000", "E0150", "A1350", "E0450", "A0750", "E0150", "A2250", "E0600",
    "A1800", "E0300", "A3150", "E0750", "A2700", "E0450", "A0450", "E0750"};

namespace {
const QString kLineEnd = QStringLiteral("\r\n");
const QString kIndent = QStringLiteral("     ");
} // namespace

BurnIn::BurnIn(KorvexSession& session, QObject* parent)
    : QObject(parent), m_session(session), m_timer(session.runtime().createTimer())
{
    m_timer->setCallback([this] { tick(); });
}

BurnIn::~BurnIn() = default;

bool BurnIn::running() const
{
    return m_timer->isActive();
}

void BurnIn::editInterval(const QString& text)
{
    m_intervalText = text;
    m_interval = 0;
}

void BurnIn::start()
{
    m_log.clear();
    m_timer->setInterval(kTickMs);
    if (m_interval == 0) {
        // An interval below one second would move the antenna on every tick anyway.
        m_interval = qMax(1, int(numfmt::roundHalfEven(numfmt::leadingNumber(m_intervalText))));
    }
    m_dotPeriod = int(std::floor(m_interval / 30.0 + 0.9));
    m_dotCountdown = m_dotPeriod;
    m_secondsLeft = 0;
    m_pair = 0;
    m_pendingElevation = -1;
    m_timer->start();
    m_canContinue = true;
    Q_EMIT changed();
}

void BurnIn::stop()
{
    m_timer->stop();
    // A pair is never left half sent.
    sendPendingElevation();
    Q_EMIT changed();
}

void BurnIn::resume()
{
    if (!m_canContinue || running())
        return;
    m_timer->start();
    Q_EMIT changed();
}

void BurnIn::tick()
{
    sendPendingElevation();
    if (--m_dotCountdown <= 0) {
        m_dotCountdown = m_dotPeriod;
        if (!m_log.isEmpty())
            m_log += QLatin1Char('.');
    }
    if (--m_secondsLeft <= 0) {
        m_secondsLeft = m_interval;
        move();
    }
    m_intervalText = QString::number(m_secondsLeft);
    Q_EMIT changed();
}

void BurnIn::move()
{
    if (!m_log.isEmpty())
        m_log += kLineEnd;
    const int pair = m_pair;
    m_log += kIndent + QString::fromLatin1(kMoves[pair]);
    hand(kMoves[pair]);
    m_pair = (m_pair + 2) % (2 * kPairs);
    // The elevation follows one second later, at the next tick and before anything else
    // of it, so the pair stays together on its line.
    m_pendingElevation = pair + 1;
}

void BurnIn::sendPendingElevation()
{
    if (m_pendingElevation < 0)
        return;
    const char* command = kMoves[m_pendingElevation];
    m_pendingElevation = -1;
    hand(command);
    m_log += QString::fromLatin1(command);
}

void BurnIn::hand(const QByteArray& command)
{
    if (m_session.link().portOpen())
        m_session.pollCycle().setLongCommand(command + "\r\n");
}
