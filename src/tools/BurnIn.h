#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>
#include <memory>

class KorvexSession;
class RuntimeTimer;

// Runs a new pedestal in: every interval the antenna is sent to the next of eight
// azimuth/elevation pairs, the elevation one second after the azimuth. The log box shows
// each pair on its own line, followed by a dot every dot period while the pair holds.
class BurnIn : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 1000;
    static constexpr int kPairs = 8;
    static const std::array<const char*, 2 * kPairs> kMoves;

    explicit BurnIn(KorvexSession& session, QObject* parent = nullptr);
    ~BurnIn() override;

    // Text2: the interval in seconds; it shows the seconds left while the cycle runs.
    QString intervalText() const { return m_intervalText; }
    // Typing in the box: the next Start takes the new value.
    void editInterval(const QString& text);
    // Text1, "Command Sequence".
    QString log() const { return m_log; }

    void start();
    void stop();
    void resume();
    bool running() const;
    bool canContinue() const { return m_canContinue; }

    int pairIndex() const { return m_pair; }
    int dotPeriod() const { return m_dotPeriod; }
    void tick();

Q_SIGNALS:
    void changed();

private:
    void move();
    void hand(const QByteArray& command);
    void sendPendingElevation();

    KorvexSession& m_session;
    std::unique_ptr<RuntimeTimer> m_timer;
    QString m_intervalText = QStringLiteral("60");
    QString m_log;
    int m_interval = 0; // 0: not taken from the box yet
    int m_secondsLeft = 0;
    int m_dotPeriod = 1;
    int m_dotCountdown = 1;
    int m_pair = 0;
    int m_pendingElevation = -1; // index into kMoves, -1 none
    bool m_canContinue = false;
};
