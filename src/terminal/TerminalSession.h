#pragma once

#include "ByteLink.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class CommLog;
class ModuleSelectorHook;
class Prompter;
class Runtime;
class RuntimeTimer;
class OverlaySettingsStore;
class SettingsStore;
class TerminalScreen;

// The five line-state boxes of the window.
struct TerminalLineStates {
    bool cts = false;
    bool dsr = false;
    bool dcd = false;
    bool dtr = false;
    bool rts = false;
    bool operator==(const TerminalLineStates&) const = default;
};

// The state and operations of Quillan's window: one link (serial or TCP) at a time, the
// settings profile of this instance, the single send path, the receive routing and the
// waits every command sequence uses. Waits go through the Runtime, so the same code
// runs on real time in the program and on virtual time in the tests.
class TerminalSession : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kSection = "Properties";
    static constexpr const char* kDefaultAddress = "192.168.0.195";
    static constexpr int kDefaultTcpPort = 2000;
    static constexpr int kNormalTopMargin = 800;
    static constexpr int kPanelTopMargin = 1600;
    static constexpr int kDefaultPacing = 200;
    static constexpr int kReplyWaitMs = 2000;
    static constexpr int kConnectWaitMs = 3000;
    static constexpr int kStatusClearMs = 2000;
    // How often CTS, DSR and DCD are read while a serial port is open.
    static constexpr int kLineStatePollMs = 200;
    static constexpr int kAbortPortClosed = 2;
    // Sent after every full command line.
    static const QByteArray kLineTerminator;

    TerminalSession(Runtime& runtime, Prompter& prompter, SettingsStore& store, ByteLink& serial,
                    ByteLink& tcp, int instanceNumber, QObject* parent = nullptr);
    ~TerminalSession() override;

    Runtime& runtime() const { return m_rt; }
    Prompter& prompter() const { return m_prompter; }
    SettingsStore& store() const { return m_store; }
    TerminalScreen& screen() const { return *m_screen; }
    CommLog& log() const { return *m_log; }
    // The module selection of the upload layer; start() asks it to restore "Direct".
    void setModuleSelector(ModuleSelectorHook* hook) { m_selector = hook; }
    ModuleSelectorHook* moduleSelector() const { return m_selector; }

    // --- identity ---
    int instanceNumber() const { return m_instance; }
    QString profileName() const; // "QuillanUniv1" / "QuillanUniv2"
    // A link (and module, when not empty) chosen for this run only, from the command line:
    // pinned in the overlay, so the stored profile is neither read for it nor changed.
    static void pinRunLink(OverlaySettingsStore& store, const QString& profile, bool serial, const QString& device,
                           int baud, const QString& host, int port, const QString& module);
    QString captionText() const; // "Vantrel Program Terminal" [" 2"]
    // The window caption: caption text, plus " - Logging " and the path while logging.
    QString caption() const;

    // --- start-up and shutdown ---
    // Reads the profile, restores the module selection and opens the link.
    void start();
    // Closes the link and an open log. Safe to call twice.
    void shutdown();

    // --- link ---
    bool linkIsSerial() const { return m_serial; }
    void setLinkIsSerial(bool serial) { m_serial = serial; }
    bool isPortOpen() const { return m_portOpen; }
    ByteLink& activeLink() const { return m_serial ? m_serialLink : m_tcpLink; }
    // "Port Open", the LED click: toggles the link.
    void openOrCloseLink();
    // Closes whichever link is open (the properties dialog before it switches).
    void closeLink();
    // The upload engine's routine around a device restart. True when the link is open at the end.
    bool closeAndReopen();
    // Opens the link of the present settings without a message box (a device that is
    // expected to be away for a while). True when the link is open afterwards.
    bool reopenQuietly();
    // The only send path. False (and nothing sent) when the port is closed or a TCP link
    // could not be re-established.
    bool commOut(const QByteArray& text);
    bool commOut(const QString& text) { return commOut(text.toLatin1()); }

    // --- port settings ---
    int comNumber() const { return m_comNumber; }
    // False with the port's message shown when the number is not a port (1..16).
    bool setComNumber(int com);
    QString serialSettings() const { return m_serialSettings; }
    // False with the port's message shown when the text cannot be applied; the old text stays.
    bool setSerialSettings(const QString& settings);
    int handshaking() const { return m_handshaking; } // 0 none, 1 Xon/Xoff, 2 RTS, 3 Xon/RTS
    bool setHandshaking(int code);
    QString address() const { return m_address; }
    void setAddress(const QString& address) { m_address = address; }
    int tcpPort() const { return m_tcpPort; }
    void setTcpPort(int port) { m_tcpPort = port; }
    bool echo() const { return m_echo; }
    void setEcho(bool on);
    QString echoText() const;  // ", Echo On  " / ", Echo Off  "
    QString portLabel() const; // "Com1: "
    // The platform device the COM number means (section "Ports" of the profile may map it).
    QString serialDevice() const;

    QString moduleDescription() const { return m_moduleDescription; }
    void setModuleDescription(const QString& text) { m_moduleDescription = text; }
    int topMarginTwips() const { return m_topMargin; }
    // Above 800 twips the panel display lines are shown and received data is read for panel frames.
    void setTopMarginTwips(int twips);

    int sendPacing() const { return m_pacing; }
    void setSendPacing(int ms);
    bool loopSend() const { return m_loopSend; }
    void setLoopSend(bool on);

    // --- shared state of the command sequences ---
    const QString& replyText() const { return m_replyText; }
    void setReplyText(const QString& text) { m_replyText = text; }
    void clearReplyText() { m_replyText.clear(); }
    bool replyCapture() const { return m_replyCapture; }
    void setReplyCapture(bool on) { m_replyCapture = on; }
    bool cancelRequested() const { return m_cancelRequested; }
    void setCancelRequested(bool on) { m_cancelRequested = on; }
    // The Cancel button of a sequence window: sets cancelRequested and tells the windows.
    void requestCancel();
    int abortCode() const { return m_abortCode; }
    void setAbortCode(int code) { m_abortCode = code; }
    bool endWaitOnReceive() const { return m_endWaitOnReceive; }
    void setEndWaitOnReceive(bool on) { m_endWaitOnReceive = on; }
    const QByteArray& lastReceived() const { return m_lastReceived; }

    // --- waits (all keep processing events) ---
    // Waits ms. Ends early, returning true, when data arrives on a serial link while
    // end-wait-on-receive is set.
    bool modalWait(int ms);
    // Drains the output, processes events once, then pauses ms, ending on the deadline.
    // False when the port is open but its output did not leave it within the drain limit
    // (a line held by handshaking, a stalled adapter): what was queued is thrown away, so
    // it cannot reach the device later, and there is no pause.
    bool flushAndPause(int ms);
    static constexpr int kDrainLimitMs = 10000;
    // Up to 2 s until replyText is not empty. Returns replyText (possibly empty).
    QString awaitReply();
    // As awaitReply, but returns at once while the abort code is set; on time-out
    // replyText becomes "??" and "Command Timed Out No Response" is shown.
    QString awaitParamReply();

    // --- keyboard ---
    // A key pressed on the terminal screen. False when the key is not the terminal's
    // (the widget may then use it, e.g. to scroll).
    bool handleKey(int key, Qt::KeyboardModifiers modifiers, const QString& text);

    // --- line states ---
    TerminalLineStates lineStates() const { return m_lines; }
    void setDtr(bool on);
    void setRts(bool on);

    // --- connect time ---
    void startConnectTimer();
    void stopConnectTimer();
    bool connectTimerRunning() const;
    QString connectTimeText() const { return m_connectTimeText; }

    // --- status bar ---
    QString statusText() const { return m_statusText; }     // "Status: ..."
    QString settingsText() const { return m_settingsText; } // "Settings: ..."

    // --- busy: a long sequence runs; the window disables commands that would start another ---
    bool isBusy() const { return m_busy > 0; }
    void beginBusy();
    void endBusy();

Q_SIGNALS:
    void captionChanged(const QString& caption);
    void statusTextChanged(const QString& text);
    void settingsTextChanged(const QString& text);
    void connectTimeChanged(const QString& text);
    void linkStateChanged(bool open);
    void lineStatesChanged(const TerminalLineStates& states);
    void echoChanged(bool on);
    void topMarginChanged(int twips);
    void sendPacingChanged(int ms);
    void loopSendChanged(bool on);
    void busyChanged(bool busy);
    // The user pressed Cancel in a sequence window: hide it, stop repeating things.
    void cancelPressed();

private:
    void readProfile();
    bool openSerial(bool reportFailure = true);
    bool connectTcp();
    void markOpen();
    void markClosed();
    void updateSettingsText();
    void setStatus(const QString& text, bool clearLater);
    void refreshLineStates();
    void applyOutputLines();
    void onReceived(const QByteArray& data, bool fromSerial);
    void onLineEvent(LineEvent event);
    void onSerialLost(const QString& text);
    void tickConnectTime();
    void updateCaption();

    Runtime& m_rt;
    Prompter& m_prompter;
    SettingsStore& m_store;
    ByteLink& m_serialLink;
    ByteLink& m_tcpLink;
    int m_instance;
    std::unique_ptr<CommLog> m_log;
    std::unique_ptr<TerminalScreen> m_screen;
    ModuleSelectorHook* m_selector = nullptr;

    bool m_serial = true;
    bool m_portOpen = false;
    bool m_tcpFailed = false;
    int m_comNumber = 1;
    QString m_serialSettings = QStringLiteral("9600,N,8,1");
    int m_handshaking = 0;
    QString m_address = QString::fromLatin1(kDefaultAddress);
    int m_tcpPort = kDefaultTcpPort;
    bool m_echo = false;
    QString m_moduleDescription;
    int m_topMargin = kNormalTopMargin;
    int m_pacing = kDefaultPacing;
    bool m_loopSend = false;

    QString m_replyText;
    bool m_replyCapture = false;
    bool m_cancelRequested = false;
    int m_abortCode = 0;
    bool m_endWaitOnReceive = false;
    QByteArray m_lastReceived;
    // Flags of the modal waits in progress, innermost last; an arrival ends the innermost.
    std::vector<bool*> m_modalWaits;

    TerminalLineStates m_lines;
    // DTR and RTS as the user set them, or as the port had them at its first open; every
    // later open drives them so. Unset until one of those happened.
    std::optional<bool> m_dtrWanted;
    std::optional<bool> m_rtsWanted;
    std::unique_ptr<RuntimeTimer> m_lineStateTimer;
    std::unique_ptr<RuntimeTimer> m_connectTimer;
    std::unique_ptr<RuntimeTimer> m_statusTimer;
    qint64 m_connectStartNs = 0;
    QString m_connectTimeText;
    QString m_statusText = QStringLiteral("Status: ");
    QString m_settingsText = QStringLiteral("Settings: ");
    int m_busy = 0;
    bool m_shutDown = false;
};

// Marks the session busy for the lifetime of a long sequence.
class BusyScope {
public:
    explicit BusyScope(TerminalSession& session) : m_session(session) { m_session.beginBusy(); }
    ~BusyScope() { m_session.endBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    TerminalSession& m_session;
};
