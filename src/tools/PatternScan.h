#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class FrontPanelLogic;
class KorvexSession;
class RuntimeTimer;

// Moves the antenna at a constant rate along one axis by commanding a new target at a
// fixed interval, for measuring an antenna pattern across a satellite; the panel's arrow
// keys jog the antenna with the same engine. Positions are kept in 1/180 degree so that
// small steps do not lose their fractions. The window's boxes are held here as text.
class PatternScan : public QObject {
    Q_OBJECT
public:
    enum Direction { ElevationUp = 0, AzimuthUp = 1, ElevationDown = 2, AzimuthDown = 3 };
    // "A, E, I", "i, j, k", "ads, eds".
    enum CommandSet { TenthsCommands = 0, BinaryAngleCommands = 1, NoCommands = 2 };

    static constexpr int kUnitsPerDegree = 180;
    static constexpr qint32 kAzimuthTurn = 64800;
    static constexpr qint32 kElevationTop = 16200;
    // From this rate on the target runs two steps ahead of the antenna.
    static constexpr double kLookAheadRate = 2.0;
    // The update interval is never shorter than the fastest poll pacing.
    static constexpr int kMinIntervalMs = 50;

    static const QString kIdleCaption;    // "Pattern Scan - Idle "
    static const QString kRunningCaption; // "Pattern Scan - Running"
    static const QString kStoppedCaption; // "Pattern Scan - Stopped"
    static const QString kResetCaption;   // "Pattern Scan - Reset"

    explicit PatternScan(KorvexSession& session, QObject* parent = nullptr);
    ~PatternScan() override;

    // The arrow keys of this panel jog through this scan.
    void attachFrontPanel(FrontPanelLogic& front);

    // The boxes. Form defaults until open() reads the stored options.
    QString scanRateText = QStringLiteral("0.5");
    QString rateText = QStringLiteral("250");
    QString autoStopText = QStringLiteral("10");
    QString n8Text = QStringLiteral("8");
    int commandSet = TenthsCommands;

    // Opening the window: command set 0, the start point at the antenna, stored options.
    void open();
    void start(int direction);
    void stopReset();
    // Ends the scan and stores the three options (the window hides).
    void exit();
    // The end of a scan (timer off, "Stopped"); the last target stays commanded.
    void endScan();
    void tick();

    bool running() const;
    QString caption() const { return m_caption; }
    QString stopResetCaption() const { return m_running ? QStringLiteral("Stop") : m_stopResetCaption; }
    QString stopResetToolTip() const;
    QString azimuthText() const { return m_azText; }
    QString elevationText() const { return m_elText; }
    qint32 azimuthTarget() const { return m_az; }
    qint32 elevationTarget() const { return m_el; }
    qint32 step() const { return m_step; }
    int count() const { return m_count; }
    int intervalMs() const;

    // The command that moves the axis to p (1/180 degree); empty for command set 2.
    static QByteArray targetCommand(int set, bool azimuth, qint32 p);

Q_SIGNALS:
    void changed();
    void scanEnded();

private:
    void resetStartPoint();
    void advance(int direction, qint32 step, bool* ended);
    void send(bool azimuth);
    void jog(int direction);

    KorvexSession& m_session;
    FrontPanelLogic* m_front = nullptr;
    std::unique_ptr<RuntimeTimer> m_timer;
    bool m_running = false;
    int m_direction = AzimuthUp;
    qint32 m_az = 0;
    qint32 m_el = 0;
    qint32 m_step = 1;
    int m_count = 0;
    QString m_azText;
    QString m_elText;
    QString m_caption = QStringLiteral("Pattern Scan");
    QString m_stopResetCaption = QStringLiteral("Stop/Reset");
    int m_jogDirection = -1;  // the direction an arrow key holds, -1 none
    QByteArray m_lastCommand; // the target this scan last handed over
};
