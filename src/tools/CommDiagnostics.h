#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <span>

class KorvexSession;
class PatternScan;
class RuntimeTimer;

// The communication diagnostics window as logic: any command typed or picked from the
// button and menu lists goes out as the poll cycle's one-shot command and its reply is
// shown in "Response"; "Stop" pauses all polling; the cross-level and azimuth torque
// drive tests run from here.
class CommDiagnostics : public QObject {
    Q_OBJECT
public:
    enum Button {
        Repeat = 0,
        PcuStatus = 1,
        PcuAux = 2,
        AcuAux = 3,
        NutaraToggle = 4,
        SatReference = 5,
        SlowScan = 6,
        RepeatToo = 7,
        ClTest = 8,
        AzTest = 9,
        TiltMode = 10,
        NormalMode = 11
    };
    static constexpr int kButtonCount = 12;
    struct ButtonInfo {
        const char* caption;
        const char* toolTip;
        const char* command; // null: the button does something else
    };
    static const ButtonInfo kButtons[kButtonCount];

    struct MenuItem {
        const char* name;
        const char* command;
        const char* caption;
    };
    static std::span<const MenuItem> pcuMenu();
    static std::span<const MenuItem> acuMenu();

    // The test timer: first tick after 6000 ms, then every 1000 ms.
    static constexpr int kTestFirstMs = 6000;
    static constexpr int kTestNextMs = 1000;
    static constexpr int kAzTargetDelayMs = 2000;
    static const QString kClTest; // "CL Test"
    static const QString kAzTest; // "AZ Test"

    // What other parts do for the tests; each is empty until that part is there.
    struct Hooks {
        std::function<void()> clearGraph;
        std::function<int()> graphMode;
        std::function<void(int)> setGraphMode;
        std::function<void()> raiseWindow;
        std::function<void()> showScanWindow;
        // The panel's Target LED is lit.
        std::function<bool()> targetLit;
    };

    CommDiagnostics(KorvexSession& session, PatternScan& scan, QObject* parent = nullptr);
    ~CommDiagnostics() override;

    Hooks& hooks() { return m_hooks; }

    QString lastSent() const { return m_lastSent; }
    QString response() const { return m_response; }
    bool stopChecked() const;
    void setStop(bool on);

    // Enter in the command box.
    void enter(const QString& text);
    // A button of the array; PCU Aux and ACU Aux only open their menus (nothing here).
    void pressButton(int index);
    // A menu item: its command into "Last Sent", then sent.
    void chooseCommand(const QString& command);
    QString buttonCaption(int index) const;

    // The test running (kClTest / kAzTest), empty when none.
    QString runningTest() const { return m_running ? m_tag : QString(); }
    void testTick();

    // The one-shot command for an entry, by the entry rules.
    static QByteArray entryCommand(const QString& text);

Q_SIGNALS:
    void changed();

private:
    void send(const QString& command);
    void startOrAbort(const QString& test);
    void startTest(const QString& test);
    void startClTest();
    void startAzTest();
    void abortTest();
    void setResponse(const QString& text);

    KorvexSession& m_session;
    PatternScan& m_scan;
    Hooks m_hooks;
    std::unique_ptr<RuntimeTimer> m_testTimer;
    QString m_lastSent;
    QString m_response;
    QString m_tag;
    bool m_running = false;
    int m_testRun = 0; // counts starts, so a delayed target of an earlier run is not sent
};
