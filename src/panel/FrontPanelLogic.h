#pragma once

#include "ReplyParser.h"
#include "ScreenPages.h"
#include "StatusBits.h"
#include "StatusLeds.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <optional>
#include <span>

class KorvexSession;

// The ACU's front panel as logic: the screen keys and their pages, the arrow and
// Tracking keys, the status labels and LEDs, the entry box and the shortcut and bit
// menus. It writes the display lines and the screen code into the session, gives the
// poll cycle each page's sequence and puts the commands the keys make into the poll
// cycle's long command. The window draws what this says and calls its operations.
class FrontPanelLogic : public QObject, public PanelView {
    Q_OBJECT
public:
    using Screen = screens::Screen;
    enum class Arrow { Up, Down, Left, Right };
    enum class Label { Tracking, Error, PortStatus, Nutara };

    // An arrow held on the ANTENNA page jogs the antenna through the pattern-scan tool.
    enum class JogDirection { ElevationUp, ElevationDown, AzimuthDown, AzimuthUp };
    struct Jog {
        JogDirection direction;
        double step = 0.1;
        double second = 0.3;
        int rate = 600;
    };

    // What other parts do for the panel. Each is empty until its part exists.
    struct Hooks {
        // The first screen after none: clear the graph and the spectrum sweep state.
        std::function<void()> clearGraph;
        // The link opened: the graph goes back to its first mode.
        std::function<void()> resetGraphSelection;
        // An arrow key stops a running pattern scan.
        std::function<void()> stopPatternScan;
        // An arrow pressed on the ANTENNA page. The tool keeps moving while arrowHeld().
        std::function<void(const Jog&)> jog;
    };

    struct ShortcutMenu {
        QString title; // "Mode Display" or "Sat Display"
        std::span<const statusbits::ShortcutItem> items;
    };

    static constexpr int kSettleModePage = 3;
    static constexpr int kSettleSatellitePage = 1;
    static constexpr int kSettleBitWrite = 8;
    // The start timer's pause after a screen change.
    static constexpr int kScreenChangeMs = 600;
    static const QByteArray kNutaraToggle;   // "^0067" CR LF
    static const QByteArray kResetErrorBits; // "&    " CR LF "?   S" CR LF

    // Joins the session: becomes its panel view and follows its link and start timer.
    explicit FrontPanelLogic(KorvexSession& session, QObject* parent = nullptr);
    ~FrontPanelLogic() override;

    Hooks& hooks() { return m_hooks; }

    int screenCode() const;
    const QStringList& displayLines() const;

    // Screen keys. A key shows its screen, or, pressed again, the screen's next page.
    void pressScreenKey(Screen screen);
    // Right click: MODE and SAT show their screen (if it is not shown) and give the
    // shortcut menu to open; the other keys have none.
    std::optional<ShortcutMenu> rightClickScreenKey(Screen screen);
    // A shortcut menu item: the page (0 = an item without a page; nothing happens).
    void chooseShortcut(int page);
    // Shows the screen as a key does when another screen is shown.
    void showScreen(Screen screen);

    void pressArrow(Arrow arrow);
    void releaseArrow();
    bool arrowHeld() const { return m_arrowHeld; }

    // The panel's commands go out only while the link is open: the operations that send
    // return false (and send nothing later) while it is closed.

    // The Tracking key: "D" while tracking, else "C".
    bool pressTracking();
    // A click on a status label; false until the start timer has run once.
    bool clickStatusLabel(Label label);

    // Entry box: any key freezes the value line being edited; Enter sends the page's set
    // command (false when the page has none or the entry does not fit it); Space sends the
    // toggle command on the toggle pages and returns whether it did (the key is consumed).
    void entryKey();
    bool entryEnter(const QString& text);
    bool entrySpace();
    bool isTogglePage() const;

    // Status LEDs 0..6 with their captions; false until the start timer showed them.
    const std::array<StatusLed, StatusLeds::kCount>& leds() const { return m_leds.leds(); }
    bool ledsShown() const { return m_ledsShown; }

    // The status-bit windows, ticked from the flags as they are now.
    statusbits::BitWindow bitWindow(statusbits::Window kind) const;
    // The error window's default item.
    bool resetErrorBits();

    // The System Type and Polang Type bit menus. Choosing an item flips its bit and
    // writes the parameter; false when the stored value cannot be written.
    const statusbits::BitMenu& systemTypeMenu() const { return m_systemType; }
    const statusbits::BitMenu& polangTypeMenu() const { return m_polangType; }
    bool flipSystemTypeBit(int bit);
    bool flipPolangTypeBit(int bit);

    // PanelView: the parser's calls.
    void refreshPage() override;
    void statusDecoded() override;
    void pcuStatusDecoded() override;
    void setCheckSys(int value) override;
    void setCheckPol(int value) override;

Q_SIGNALS:
    void displayChanged();
    void screenChanged(int code);
    // Any LED's state or colour, or a caption.
    void ledsChanged();
    // A status label's caption (the condition LED names what it shows).
    void labelsChanged();
    // Ticks or caption of the System Type or Polang Type menu.
    void bitMenusChanged();
    // The Error label asks for the error window.
    void bitWindowRequested(statusbits::Window kind);
    void arrowHeldChanged(bool held);

private:
    void stepPage(Screen screen);
    void goToPage(int code);
    void setLines(const QStringList& lines);
    void showLeds(const std::array<StatusLed, StatusLeds::kCount>& before);
    bool flipBit(quint8 letter, int bit);
    bool queueCommand(const QByteArray& command);
    void onLinkOpened();
    void onDisplayChanged();
    bool mhz70() const;

    KorvexSession& m_session;
    QPointer<QObject> m_sessionAlive; // the session may go first
    Hooks m_hooks;
    StatusLeds m_leds;
    bool m_ledsShown = false;
    statusbits::BitMenu m_systemType;
    statusbits::BitMenu m_polangType;
    bool m_arrowHeld = false;
    int m_shownCode = 0;
};
