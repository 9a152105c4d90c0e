#pragma once

#include "DeviceLink.h"
#include "KorvexSettings.h"
#include "PanelState.h"
#include "PollCycle.h"
#include "QueryRing.h"
#include "ReceiverMode.h"
#include "ReplyParser.h"

#include <QObject>
#include <QStringList>

class ByteLink;
class Prompter;
class Runtime;
class SettingsStore;

// Korvex's running session: the device link and the view options the menus choose, and
// the panel's display lines. The windows observe it and call its operations.
class KorvexSession : public QObject {
    Q_OBJECT
public:
    static constexpr int kDisplayLines = 4;
    // The most received lines decoded in one pass of the event loop, and the longest time.
    static constexpr int kLinesPerSlice = 32;
    static constexpr qint64 kSliceNs = 5000000;
    static const QString kCheckCommPort; // "Check Comm Port"

    KorvexSession(SettingsStore& store, Prompter& prompter, Runtime& runtime, ByteLink& serial, ByteLink& tcp,
                  QObject* parent = nullptr);
    ~KorvexSession() override;

    // Start-up: restore profiles, antenna and view options, then open the selected link.
    void start();
    // Exit: store "Query" and "Mode".
    void shutdown();

    DeviceLink& link() { return m_link; }
    const DeviceLink& link() const { return m_link; }
    KorvexSettings& settings() { return m_settings; }
    // The panel's poll and receive machinery.
    PanelState& panelState() { return m_panel; }
    const PanelState& panelState() const { return m_panel; }
    QueryRing& queryRing() { return m_ring; }
    PollCycle& pollCycle() { return m_poll; }
    ReplyParser& parser() { return m_parser; }
    // The front panel's side of the parser (null: none).
    void setPanelView(PanelView* view) { m_parser.setView(view); }
    // Status panel 3: "Query: " + the sequence being polled.
    const QString& queryText() const { return m_queryText; }
    Runtime& runtime() { return m_rt; }
    Prompter& prompter() { return m_prompter; }

    ReceiverMode receiverMode() const { return m_receiverMode; }
    int timeoutMs() const { return m_timeoutMs; }
    int pacingMs() const { return m_pacingMs; }
    bool showQuery() const { return m_showQuery; }
    void setReceiverMode(ReceiverMode mode);
    // 1000, 2000 or 3000; anything else is ignored.
    void setTimeoutMs(int ms);
    // 50, 100, 200 or 500; anything else is ignored.
    void setPacingMs(int ms);
    void setShowQuery(bool show);

    const QStringList& displayLines() const { return m_lines; }
    void setDisplayLine(int line, const QString& text);
    void clearDisplay();
    // 0 = no screen; the front panel's screens set their codes.
    int screenCode() const { return m_screenCode; }
    void setScreenCode(int code);

Q_SIGNALS:
    void displayChanged();
    void optionsChanged();
    void queryTextChanged(const QString& text);

private:
    void onLinkClosed();
    void onReceived(const QByteArray& data);
    void processReceivedLines();
    void setQueryText(const QString& text);

    SettingsStore& m_store;
    Prompter& m_prompter;
    Runtime& m_rt;
    KorvexSettings m_settings;
    DeviceLink m_link;
    PanelState m_panel;
    QueryRing m_ring;
    ReplyParser m_parser;
    PollCycle m_poll;
    QString m_queryText;
    ReceiverMode m_receiverMode = ReceiverMode::Dvb;
    int m_timeoutMs = 3000;
    int m_pacingMs = 200;
    bool m_showQuery = false;
    QStringList m_lines;
    int m_screenCode = 0;
    bool m_slicePosted = false; // a pass that takes the next slice of lines is queued
};
