#pragma once

#include "BezelFrame.h"

#include <array>

class EntryBox;
class LampLabel;
class PanelKey;
class QButtonGroup;
class VfdDisplay;

// The ACU's front panel as the technician knows it: the antenna selectors at the left
// hand, the four-line display with the entry box under it, the screen keys over the
// arrow cluster and the Tracking key, and the status lamps. It only shows and reports
// clicks; the main window connects it to the logic.
class FrontPanel : public BezelFrame {
    Q_OBJECT
public:
    enum ScreenKey { Ship, Sat, Antenna, Mode };
    enum Arrow { Up, Down, Left, Right };
    static constexpr int kLampCount = 8;
    static constexpr int kLinkLamp = 7;
    static constexpr int kPortStatusLamp = 7;

    explicit FrontPanel(QWidget* parent = nullptr);

    PanelKey* antennaKey(int index) const { return m_antennaKeys.at(index); }
    VfdDisplay* display() const { return m_display; }
    EntryBox* entryBox() const { return m_entry; }
    PanelKey* screenKey(ScreenKey key) const { return m_screenKeys.at(key); }
    PanelKey* arrowKey(Arrow arrow) const { return m_arrowKeys.at(arrow); }
    PanelKey* trackingKey() const { return m_trackingKey; }
    LampLabel* lamp(int index) const { return m_lamps.at(index); }

    // Shows which antenna is selected (1..4) without reporting a click.
    void showSelectedAntenna(int antenna);

Q_SIGNALS:
    // A selector key clicked by the user, index 0..3.
    void antennaClicked(int index);
    void lampClicked(int index);

private:
    QWidget* buildAntennaColumn();
    QWidget* buildDisplayColumn();
    QWidget* buildKeyCluster();
    QWidget* buildLampBlock();

    std::array<PanelKey*, 4> m_antennaKeys{};
    QButtonGroup* m_antennaGroup = nullptr;
    VfdDisplay* m_display = nullptr;
    EntryBox* m_entry = nullptr;
    std::array<PanelKey*, 4> m_screenKeys{};
    std::array<PanelKey*, 4> m_arrowKeys{};
    PanelKey* m_trackingKey = nullptr;
    std::array<LampLabel*, kLampCount> m_lamps{};
};
