#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class RuntimeTimer;
class TerminalSession;

// Bench navigation data: the position (GLL) and true-heading (HDT) sentences a ship's
// systems would send, typed into the terminal's link, and the modem tune that keeps a
// modem's transmit path busy with alternating bits.
//
// Sentences go out exactly as older units expect them (HDT with "*00", GLL without a
// checksum) unless the user asks for real checksums. The ship stands still unless the user
// gives it a course and speed; then each send moves it on by the time since the last one.
class NavigationSim : public QObject {
    Q_OBJECT
public:
    static constexpr qint16 kStartLatitude = 3746;   // ddmm
    static constexpr qint16 kStartLongitude = 12222; // degrees x 100 (122.22)
    static constexpr qint16 kStartHeading = 1234;    // tenths of a degree
    static constexpr int kTuneIntervalMs = 100;
    static constexpr int kTuneLength = 250;
    // The pattern is topped up while fewer bytes than this wait to go out.
    static constexpr int kTuneLowWater = 100;
    static constexpr const char* kTuneCaption = "Modem Tune";

    explicit NavigationSim(TerminalSession& session, QObject* parent = nullptr);
    ~NavigationSim() override;

    // "Send GPS Data": the sentence, then "@".
    void sendGps();
    // "Send HDG Data": the sentence, then "H"; the heading then grows by a tenth.
    void sendHdg();
    // "Reset HDG Range null, 1, 10, 100".
    void resetHeadingRange();

    QByteArray gpsSentence() const;
    QByteArray hdgSentence() const;
    qint16 heading() const { return m_heading; }
    void setHeading(qint16 tenths) { m_heading = tenths; }

    // Real NMEA checksums on both sentences (off: the sentences of older units).
    bool checksums() const { return m_checksums; }
    void setChecksums(bool on) { m_checksums = on; }
    // Course over ground in degrees true and speed in knots; speed 0 stops the ship.
    void setMotion(double courseDegrees, double knots);
    double course() const { return m_course; }
    double speed() const { return m_speed; }

    // "Modem Tune": starts the repeat timer; Cancel in the window stops it.
    void startModemTune();
    void stopModemTune();
    bool modemTuneRunning() const;
    static QByteArray tunePattern() { return QByteArray(kTuneLength, 'U'); }

    // The checksum of a sentence: the exclusive or of the bytes between "$" and "*".
    static QByteArray checksum(const QByteArray& body);

Q_SIGNALS:
    void cancelWindowShown(const QString& caption, const QString& text);
    void cancelWindowHidden();

private:
    void advance();
    void tuneTick();
    void sendSentence(QByteArray sentence, const QByteArray& after);

    TerminalSession& m_session;
    qint16 m_latitude = kStartLatitude;
    qint16 m_longitude = kStartLongitude;
    qint16 m_heading = kStartHeading;
    bool m_checksums = false;
    double m_course = 0;
    double m_speed = 0;
    // While the ship moves: its position in minutes of arc, north and west positive, and
    // when it was there.
    std::optional<double> m_latMinutes;
    double m_lonMinutes = 0;
    qint64 m_movedAtNs = 0;
    std::unique_ptr<RuntimeTimer> m_tune;
};
