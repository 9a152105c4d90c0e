#include "FrontPanel.h"

#include "EntryBox.h"
#include "LampLabel.h"
#include "PanelKey.h"
#include "PanelTexts.h"
#include "StatusLeds.h"
#include "VfdDisplay.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

struct LampLegend {
    QString caption;
    const char* toolTip;
};

// Captions begin with blanks: the lamp sits in that space, as on the unit. The logic
// renames the condition lamp as the unit's state changes.
const LampLegend kLamps[FrontPanel::kLampCount] = {
    {StatusLeds::kTrackingCaption, ""},
    {StatusLeds::kSearchingCaption, ""},
    {StatusLeds::kTargetCaption, ""},
    {StatusLeds::kInitializingCaption, paneltext::kConditionToolTip},
    {StatusLeds::kErrorCaption, paneltext::kErrorToolTip},
    {StatusLeds::kNutaraCaption, paneltext::kNutaraToolTip},
    {StatusLeds::kSatRefCaption, paneltext::kSatRefToolTip},
    {QString::fromLatin1(paneltext::kPortStatusCaption), paneltext::kPortStatusToolTip},
};

} // namespace

FrontPanel::FrontPanel(QWidget* parent) : BezelFrame(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(22, 14, 22, 14);
    row->setSpacing(12);
    row->addWidget(buildAntennaColumn(), 0, Qt::AlignVCenter);
    row->addWidget(buildDisplayColumn(), 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(buildKeyCluster(), 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(buildLampBlock(), 0, Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QWidget* FrontPanel::buildAntennaColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    m_antennaGroup = new QButtonGroup(this);
    m_antennaGroup->setExclusive(true);
    for (int i = 0; i < 4; ++i) {
        auto* key = new PanelKey(QStringLiteral("Antenna %1").arg(i + 1), column);
        key->setObjectName(QStringLiteral("optAntenna%1").arg(i));
        key->setCheckable(true);
        key->setMinimumKeySize({100, 34});
        m_antennaGroup->addButton(key, i);
        layout->addWidget(key);
        m_antennaKeys[i] = key;
    }
    connect(m_antennaGroup, &QButtonGroup::idClicked, this, &FrontPanel::antennaClicked);
    return column;
}

QWidget* FrontPanel::buildDisplayColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    m_display = new VfdDisplay(column);
    m_display->setPixelSize(22);
    m_display->setObjectName(QStringLiteral("display"));
    layout->addWidget(m_display);

    m_entry = new EntryBox(column);
    m_entry->setObjectName(QStringLiteral("txtEntry"));
    m_entry->setToolTip(QString::fromLatin1(paneltext::kEntryToolTip));
    // Typing "into the display" goes to the entry box, as on the unit.
    m_display->setFocusProxy(m_entry);
    m_display->setFocusPolicy(Qt::ClickFocus);
    m_entry->setFont(VfdDisplay::displayFont(16));
    m_entry->setStyleSheet(QStringLiteral(
        "QLineEdit { background: #060c0b; color: #70ffd6; border: 1px solid #000; border-radius: 3px;"
        " padding: 2px 8px; selection-background-color: #1f6f5c; }"
        "QLineEdit:disabled { color: #2f6b5c; }"));
    layout->addWidget(m_entry);
    return column;
}

QWidget* FrontPanel::buildKeyCluster()
{
    auto* cluster = new QWidget(this);
    auto* grid = new QGridLayout(cluster);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(8);

    const char* const names[4] = {"cmdShip", "cmdSat", "cmdAntenna", "cmdMode"};
    auto* screenRow = new QHBoxLayout;
    screenRow->setSpacing(6);
    for (int i = 0; i < 4; ++i) {
        auto* key = new PanelKey(QString::fromLatin1(paneltext::kScreenKeyCaptions[i]), cluster);
        key->setObjectName(QString::fromLatin1(names[i]));
        key->setToolTip(QString::fromLatin1(paneltext::kScreenKeyToolTips[i]));
        // The right button asks the logic for a shortcut menu (MODE and SAT have one).
        key->setContextMenuPolicy(Qt::CustomContextMenu);
        key->setMinimumKeySize({72, 34});
        screenRow->addWidget(key);
        m_screenKeys[i] = key;
    }
    grid->addLayout(screenRow, 0, 0, 1, 2);

    // The arrow keys sit as a cross, close together, as the thumb finds them.
    auto* cross = new QGridLayout;
    cross->setSpacing(2);
    const struct {
        Qt::ArrowType arrow;
        const char* toolTip;
        int row, col;
    } arrows[4] = {
        {Qt::UpArrow, paneltext::kElevationArrowToolTip, 0, 1},
        {Qt::DownArrow, paneltext::kElevationArrowToolTip, 2, 1},
        {Qt::LeftArrow, paneltext::kAzimuthArrowToolTip, 1, 0},
        {Qt::RightArrow, paneltext::kAzimuthArrowToolTip, 1, 2},
    };
    for (int i = 0; i < 4; ++i) {
        auto* key = new PanelKey(QString(), cluster);
        key->setObjectName(QStringLiteral("cmdArrow%1").arg(i));
        key->setArrow(arrows[i].arrow);
        key->setToolTip(QString::fromLatin1(arrows[i].toolTip));
        key->setMinimumKeySize({46, 30});
        cross->addWidget(key, arrows[i].row, arrows[i].col);
        m_arrowKeys[i] = key;
    }
    grid->addLayout(cross, 1, 0, Qt::AlignLeft | Qt::AlignTop);

    m_trackingKey = new PanelKey(QString::fromLatin1(paneltext::kTrackingKeyCaption), cluster);
    m_trackingKey->setObjectName(QStringLiteral("cmdTracking"));
    m_trackingKey->setToolTip(QString::fromLatin1(paneltext::kTrackingKeyToolTip));
    m_trackingKey->setMinimumKeySize({96, 34});
    grid->addWidget(m_trackingKey, 1, 1, Qt::AlignRight | Qt::AlignVCenter);
    return cluster;
}

QWidget* FrontPanel::buildLampBlock()
{
    auto* block = new QWidget(this);
    auto* grid = new QGridLayout(block);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    QFont f = font();
    f.setPixelSize(13);
    for (int i = 0; i < kLampCount; ++i) {
        auto* lamp = new LampLabel(kLamps[i].caption, block);
        lamp->setObjectName(QStringLiteral("lblStatus%1").arg(i));
        lamp->setFont(f);
        lamp->setToolTip(QString::fromLatin1(kLamps[i].toolTip));
        lamp->setMinimumWidth(112);
        grid->addWidget(lamp, i % 4, i / 4);
        connect(lamp, &LampLabel::clicked, this, [this, i] { Q_EMIT lampClicked(i); });
        m_lamps[i] = lamp;
    }
    return block;
}

void FrontPanel::showSelectedAntenna(int antenna)
{
    if (antenna < 1 || antenna > 4)
        return;
    m_antennaKeys[antenna - 1]->setChecked(true);
}
