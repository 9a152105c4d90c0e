#include "PatternScan.h"

#include "FrontPanelLogic.h"
#include "KorvexSession.h"
#include "KorvexSettings.h"
#include "NumberFormat.h"
#include "Runtime.h"
#include "SettingsStore.h"

#include <cmath>

const QString PatternScan::kIdleCaption = QStringLiteral("Pattern Scan - Idle ");
const QString PatternScan::kRunningCaption = QStringLiteral("Pattern Scan - Running");
const QString PatternScan::kStoppedCaption = QStringLiteral("Pattern Scan - Stopped");
const QString PatternScan::kResetCaption = QStringLiteral("Pattern Scan - Reset");

namespace {
const QString kOptions = QStringLiteral("Options");
const QString kScanKey = QStringLiteral("Scan");
const QString kRateKey = QStringLiteral("Rate");
const QString kN8Key = QStringLiteral("N8");
const QString kTargetPattern = QStringLiteral("###.0");
const QByteArray kTargetEnd("\r\n");
// The binary angle of the "k" and "j" commands: 65536 per turn, from 1/180 degree.
constexpr double kBinaryPerUnit = 1.01111;
} // namespace

PatternScan::PatternScan(KorvexSession& session, QObject* parent)
    : QObject(parent), m_session(session), m_timer(session.runtime().createTimer())
{
    m_timer->setCallback([this] { tick(); });
    // Targets queued for a link that is gone would reach whatever opens next.
    connect(&session.link(), &DeviceLink::linkClosed, this, [this] {
        if (m_running)
            endScan();
    });
}

PatternScan::~PatternScan() = default;

void PatternScan::attachFrontPanel(FrontPanelLogic& front)
{
    m_front = &front;
    FrontPanelLogic::Hooks& hooks = front.hooks();
    hooks.stopPatternScan = [this, before = hooks.stopPatternScan] {
        if (before)
            before();
        if (m_running)
            endScan();
    };
    hooks.jog = [this](const FrontPanelLogic::Jog& j) {
        static constexpr int kScanDirection[] = {ElevationUp, ElevationDown, AzimuthDown, AzimuthUp};
        scanRateText = QString::number(j.step);
        autoStopText = QString::number(j.second);
        rateText = QString::number(j.rate);
        jog(kScanDirection[int(j.direction)]);
    };
}

bool PatternScan::running() const
{
    return m_running;
}

QString PatternScan::stopResetToolTip() const
{
    if (m_running)
        return QStringLiteral("Stops scan, keeps target active");
    if (m_stopResetCaption == QLatin1String("Reset"))
        return QStringLiteral("Resets scan start point");
    return QStringLiteral("Stop scan or Reset scan start point");
}

int PatternScan::intervalMs() const
{
    return qMax(kMinIntervalMs, int(numfmt::roundHalfEven(numfmt::leadingNumber(rateText))));
}

void PatternScan::open()
{
    commandSet = TenthsCommands;
    resetStartPoint();
    const SettingsStore& store = m_session.settings().store();
    scanRateText = store.get(KorvexSettings::kApp, kOptions, kScanKey, QStringLiteral("1.0"));
    rateText = store.get(KorvexSettings::kApp, kOptions, kRateKey, QStringLiteral("300"));
    n8Text = store.get(KorvexSettings::kApp, kOptions, kN8Key, QStringLiteral("8"));
    m_caption = kIdleCaption;
    Q_EMIT changed();
}

void PatternScan::resetStartPoint()
{
    const PanelState& s = m_session.panelState();
    m_az = qint32(s.azimuth) * 18;
    m_el = qint32(s.elevation) * 18;
    m_azText = numfmt::formatPattern(s.azimuth / 10.0, kTargetPattern);
    m_elText = numfmt::formatPattern(s.elevation / 10.0, kTargetPattern);
}

void PatternScan::start(int direction)
{
    if (direction < ElevationUp || direction > AzimuthDown)
        return;
    const int interval = intervalMs();
    m_timer->setInterval(interval);
    // A negative rate would run the axis backwards past its limit checks.
    const double rate = std::fabs(numfmt::leadingNumber(scanRateText));
    m_step = qint32(numfmt::roundHalfEven(rate * kUnitsPerDegree * interval / 1000.0));
    if (m_step == 0)
        m_step = 1;
    m_count = int(numfmt::roundHalfEven(numfmt::leadingNumber(autoStopText) * kUnitsPerDegree / m_step));
    if (m_count < 0)
        m_count = 0;
    m_direction = direction;
    if (rate >= kLookAheadRate) {
        // No limit stays no limit; only a limited scan gives up the two steps.
        if (m_count != 0)
            m_count = qMax(1, m_count - 2);
        bool ended = false;
        advance(direction, 2 * m_step, &ended);
    }
    m_running = true;
    m_timer->start();
    m_caption = kRunningCaption;
    Q_EMIT changed();
}

void PatternScan::advance(int direction, qint32 step, bool* ended)
{
    switch (direction) {
    case ElevationUp:
        m_el += step;
        if (m_el >= kElevationTop) {
            m_el = kElevationTop;
            *ended = true;
        }
        break;
    case ElevationDown:
        m_el -= step;
        if (m_el < 0) {
            m_el = 0;
            *ended = true;
        }
        break;
    case AzimuthUp:
        m_az = (m_az + step) % kAzimuthTurn;
        break;
    case AzimuthDown:
        m_az -= step;
        while (m_az < 0)
            m_az += kAzimuthTurn;
        break;
    }
}

void PatternScan::tick()
{
    if (!m_running)
        return;
    if (m_count != 0 && --m_count == 0) {
        endScan();
        return;
    }
    bool ended = false;
    advance(m_direction, m_step, &ended);
    if (ended) {
        endScan();
        return;
    }
    const bool azimuth = m_direction == AzimuthUp || m_direction == AzimuthDown;
    send(azimuth);
    (azimuth ? m_azText : m_elText) =
        numfmt::formatPattern(double(azimuth ? m_az : m_el) / kUnitsPerDegree, kTargetPattern);
    Q_EMIT changed();
}

QByteArray PatternScan::targetCommand(int set, bool azimuth, qint32 p)
{
    if (set == TenthsCommands) {
        const qint64 tenths = numfmt::roundHalfEven(p / 18.0);
        return (azimuth ? "A" : "E") +
               numfmt::formatPattern(double(tenths), QStringLiteral("0000")).toLatin1() + kTargetEnd;
    }
    if (set == BinaryAngleCommands) {
        const qint64 angle = numfmt::roundHalfEven(p * kBinaryPerUnit);
        const QByteArray hex = "000" + QByteArray::number(angle, 16).toUpper();
        return (azimuth ? "k" : "j") + hex.right(4) + kTargetEnd;
    }
    return {};
}

void PatternScan::send(bool azimuth)
{
    const QByteArray command = targetCommand(commandSet, azimuth, azimuth ? m_az : m_el);
    if (command.isEmpty() || !m_session.link().portOpen())
        return;
    // Another command still going out (the torque test's mode commands at slow pacing) is
    // not cut off: a target is a position, and the next tick commands a newer one anyway.
    PollCycle& poll = m_session.pollCycle();
    if (!poll.longCommand().isEmpty() && poll.longCommand() != m_lastCommand)
        return;
    m_lastCommand = command;
    poll.setLongCommand(command);
}

void PatternScan::endScan()
{
    m_timer->stop();
    const bool wasRunning = m_running;
    m_running = false;
    m_caption = kStoppedCaption;
    m_stopResetCaption = QStringLiteral("Reset");
    Q_EMIT changed();
    if (!wasRunning)
        return;
    Q_EMIT scanEnded();
    // A held arrow key keeps the antenna moving: the next short scan starts from where the
    // antenna is now.
    if (m_jogDirection >= 0 && m_front && m_front->arrowHeld())
        jog(m_jogDirection);
    else
        m_jogDirection = -1;
}

void PatternScan::jog(int direction)
{
    m_jogDirection = -1; // not restarted by the stop below
    stopReset();
    m_jogDirection = direction;
    start(direction);
}

void PatternScan::stopReset()
{
    if (m_running) {
        endScan();
        return;
    }
    resetStartPoint();
    endScan();
    m_caption = kResetCaption;
    Q_EMIT changed();
}

void PatternScan::exit()
{
    m_jogDirection = -1;
    endScan();
    SettingsStore& store = m_session.settings().store();
    store.set(KorvexSettings::kApp, kOptions, kScanKey, scanRateText);
    store.set(KorvexSettings::kApp, kOptions, kRateKey, rateText);
    store.set(KorvexSettings::kApp, kOptions, kN8Key, n8Text);
}
