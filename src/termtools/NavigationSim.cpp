#include "NavigationSim.h"

#include "NumberFormat.h"
#include "Runtime.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

#include <cmath>
#include <numbers>

namespace {

QByteArray format(double value, const char* pattern)
{
    return numfmt::formatPattern(value, QLatin1String(pattern)).toLatin1();
}

} // namespace

NavigationSim::NavigationSim(TerminalSession& session, QObject* parent)
    : QObject(parent), m_session(session), m_tune(session.runtime().createTimer())
{
    m_tune->setInterval(kTuneIntervalMs);
    m_tune->setSingleShot(false);
    m_tune->setCallback([this] { tuneTick(); });
    connect(&m_session, &TerminalSession::cancelPressed, this, &NavigationSim::stopModemTune);
}

NavigationSim::~NavigationSim() = default;

QByteArray NavigationSim::checksum(const QByteArray& body)
{
    quint8 sum = 0;
    for (const char c : body)
        sum ^= quint8(c);
    return QByteArray::number(sum, 16).toUpper().rightJustified(2, '0');
}

QByteArray NavigationSim::gpsSentence() const
{
    QByteArray body = "GPGLL,";
    if (!m_latMinutes) {
        const int degrees = m_longitude / 100;
        const qint64 minutes = numfmt::roundHalfEven((m_longitude - degrees * 100) * 60 / 100.0);
        body += format(m_latitude, "0000.000") + ",N," + format(degrees, "000") + format(double(minutes), "00.000") +
                ",W,";
    } else {
        // Fractions of a minute: a ship at a few knots moves less than a minute between sends.
        const auto field = [](double minutes, const char* degreeForm) {
            const double m = std::abs(minutes);
            const double whole = std::floor(m / 60);
            return format(whole, degreeForm) + format(m - whole * 60, "00.000");
        };
        body += field(*m_latMinutes, "00") + (*m_latMinutes < 0 ? ",S," : ",N,") + field(m_lonMinutes, "000") +
                (m_lonMinutes < 0 ? ",E," : ",W,");
    }
    body += "0,00000,A";
    return "$" + body + (m_checksums ? "*" + checksum(body) : QByteArray()) + TerminalSession::kLineTerminator;
}

QByteArray NavigationSim::hdgSentence() const
{
    const QByteArray value = m_heading != 0 ? format(m_heading / 10.0, "0.0") : QByteArray();
    const QByteArray body = "HDHDT," + value + ",T";
    return "$" + body + "*" + (m_checksums ? checksum(body) : QByteArray("00")) + TerminalSession::kLineTerminator;
}

void NavigationSim::sendSentence(QByteArray sentence, const QByteArray& after)
{
    m_session.screen().showText(QString::fromLatin1(sentence));
    if (!m_session.commOut(sentence))
        return;
    m_session.flushAndPause(10);
    m_session.commOut(after);
}

void NavigationSim::sendGps()
{
    advance();
    sendSentence(gpsSentence(), "@");
}

void NavigationSim::sendHdg()
{
    const QByteArray sentence = hdgSentence();
    if (m_heading != 0)
        m_heading = numfmt::wrap16(qint64(m_heading) + 1);
    sendSentence(sentence, "H");
}

void NavigationSim::resetHeadingRange()
{
    // Each range's own value moves on to the next one, so repeated resets cycle through
    // no heading, 1.0, 10.0 and 100.0 degrees instead of stopping at the first.
    if (m_heading >= 1000)
        m_heading = 0;
    else if (m_heading >= 100)
        m_heading = 1000;
    else if (m_heading >= 10)
        m_heading = 100;
    else
        m_heading = 10;
}

void NavigationSim::setMotion(double courseDegrees, double knots)
{
    advance();
    m_course = std::fmod(std::fmod(courseDegrees, 360.0) + 360.0, 360.0);
    m_speed = qMax(0.0, knots);
    if (m_speed > 0 && !m_latMinutes) {
        // The ship sets off from the position the stationary sentence gives.
        m_latMinutes = (m_latitude / 100) * 60.0 + (m_latitude % 100);
        const int degrees = m_longitude / 100;
        m_lonMinutes = degrees * 60.0 + double(numfmt::roundHalfEven((m_longitude - degrees * 100) * 60 / 100.0));
    }
    m_movedAtNs = m_session.runtime().nowNs();
}

void NavigationSim::advance()
{
    if (!m_latMinutes)
        return;
    const qint64 now = m_session.runtime().nowNs();
    const double hours = double(now - m_movedAtNs) / 3.6e12;
    m_movedAtNs = now;
    // A nautical mile is a minute of latitude; a minute of longitude shrinks with the latitude.
    const double miles = m_speed * hours;
    const double rad = m_course * std::numbers::pi / 180.0;
    const double latRad = *m_latMinutes / 60.0 * std::numbers::pi / 180.0;
    *m_latMinutes = qBound(-89.0 * 60, *m_latMinutes + miles * std::cos(rad), 89.0 * 60);
    m_lonMinutes -= miles * std::sin(rad) / std::cos(latRad);
    // Across the date line the longitude comes round from the other side.
    if (m_lonMinutes > 180 * 60)
        m_lonMinutes -= 360 * 60;
    else if (m_lonMinutes < -180 * 60)
        m_lonMinutes += 360 * 60;
}

void NavigationSim::startModemTune()
{
    m_session.setCancelRequested(false);
    m_tune->start();
    Q_EMIT cancelWindowShown(QString::fromLatin1(kTuneCaption), QStringLiteral("Modem Tune\rPress Cancel to END"));
}

void NavigationSim::stopModemTune()
{
    if (!m_tune->isActive())
        return;
    m_tune->stop();
    Q_EMIT cancelWindowHidden();
}

bool NavigationSim::modemTuneRunning() const
{
    return m_tune->isActive();
}

void NavigationSim::tuneTick()
{
    // A closed port refuses with its message once; repeating that ten times a second
    // would bury the window in boxes.
    if (!m_session.isPortOpen()) {
        stopModemTune();
        m_session.commOut(tunePattern());
        return;
    }
    const qint64 waiting = m_session.activeLink().bytesToWrite();
    m_session.screen().showText(QStringLiteral(" ") + QString::number(waiting));
    if (waiting >= kTuneLowWater)
        return;
    if (!m_session.commOut(tunePattern())) {
        stopModemTune();
        return;
    }
    m_session.screen().showText(QStringLiteral("+") + QString::number(m_session.activeLink().bytesToWrite()));
}
