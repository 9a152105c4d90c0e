#pragma once

#include "ConnectionProfile.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class ByteLink;
class KorvexSettings;
class Prompter;
class Runtime;
enum class LineEvent;

// The link LED (the panel's eighth round indicator): hollow while closed, filled green
// after a good reply, yellow after a sync error, cyan after a reply timeout.
enum class LedState { Off, Green, Yellow, Cyan };

// Korvex's one link to the selected antenna: opens and closes it (serial port or TCP
// client), switches antennas, sends command text, passes received text on unchanged and
// keeps the link indicators in step. Nothing here frames or interprets the text.
class DeviceLink : public QObject {
    Q_OBJECT
public:
    static constexpr int kConnectWaitMs = 3000;  // TCP connect on open and on resend
    static constexpr int kReconnectStepMs = 200; // the resend's wait steps
    static constexpr int kTcpReceiveIndex = 31;  // ring receive index after a TCP open

    DeviceLink(Runtime& runtime, Prompter& prompter, KorvexSettings& settings, ByteLink& serial,
               ByteLink& tcp, QObject* parent = nullptr);
    ~DeviceLink() override;

    // Start-up: the four profiles and the stored antenna, selected without the switch prompt.
    void load();
    // "Port Open": closes the link if it is open, else opens the selected antenna's link.
    void togglePort();
    // Sends on the selected antenna's link. False when nothing was sent (the user was told).
    bool commOut(const QByteArray& text);
    // A click on antenna selector button 0..3.
    void selectAntenna(int index);
    // Waits ms with events processed, while the UI shows its small wait window.
    void wait(int ms);

    const ConnectionProfiles& profiles() const { return m_profiles; }
    // Antenna 1..4. The Properties dialog edits the profile in place.
    ConnectionProfile& profile(int antenna);
    const ConnectionProfile& profile(int antenna) const;
    void setProfileCaption(int antenna, const QString& caption);
    void setProfileEnabled(int antenna, bool enabled);

    int selectedAntenna() const { return m_selected; }
    bool portOpen() const { return m_portOpen; }
    bool switchGuard() const { return m_switchGuard; }
    // A port toggle (its connection wait) is under way.
    bool busy() const { return m_busy; }

    // Status panel 1 (settings) and panel 2 (link status).
    QString settingsText() const { return m_settingsText; }
    QString statusText() const { return m_statusText; }
    void setStatusText(const QString& text);

    LedState linkLed() const { return m_led; }
    void setLinkLed(LedState state);

Q_SIGNALS:
    void settingsTextChanged(const QString& text);
    void statusTextChanged(const QString& text);
    void linkLedChanged(LedState state);
    // The check mark of "Port &Open".
    void portOpenChanged(bool open);
    // The selector button to show checked (also after a cancelled switch).
    void selectedAntennaChanged(int antenna);
    // Caption or enabled state of a selector button.
    void profileChanged(int antenna);
    // Reply matching starts over: send index 0, this receive index, markers none. At
    // every open and at every silent TCP reconnect.
    void matchingReset(int receiveIndex);
    // The panel resets its indicators and graph selection and shows the ANTENNA screen.
    void linkOpened();
    // The panel clears its display to "Check Comm Port", drops the screen, stops queries,
    // the start timer and the reply watchdog.
    void linkClosed();
    // Every received chunk, unchanged.
    void received(const QByteArray& data);
    void waitStarted(int ms);
    void waitFinished();

private:
    ByteLink& linkFor(const ConnectionProfile& p) const;
    void toggleTcp(const ConnectionProfile& p);
    void toggleSerial(const ConnectionProfile& p);
    bool connectTcp(const ConnectionProfile& p);
    bool reconnectTcp(const ConnectionProfile& p);
    void reselectCurrent();
    void setPortOpen(bool open);
    // The effects of a link that is now closed, whatever closed it.
    void enterClosed();
    void closeOnFailure(ByteLink& link);
    void onLineEvent(LineEvent event);
    void onPeerClosed(ByteLink* link);
    void setSettingsText(const QString& text);

    Runtime& m_rt;
    Prompter& m_prompter;
    KorvexSettings& m_settings;
    ByteLink& m_serial;
    ByteLink& m_tcp;
    ConnectionProfiles m_profiles;
    int m_selected = 1;
    bool m_portOpen = false;
    bool m_switchGuard = false;
    bool m_shownOpen = false;      // what portOpenChanged last said
    bool m_busy = false;           // a toggle is pumping events
    bool m_reconnecting = false;   // a send is waiting for its reconnect
    bool m_lineEventBoxUp = false; // a line event's box waits for its answer
    QString m_settingsText;
    QString m_statusText;
    LedState m_led = LedState::Off;
};
