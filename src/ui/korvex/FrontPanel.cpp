#include "FrontPanel.h"

#include "LampLabel.h"
#include "PanelKey.h"
#include "VfdDisplay.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

struct LampLegend {
    const char* caption;
    const char* toolTip;
};

// Captions begin with blanks: the lamp sits in that space, as on the unit.
const LampLegend kLamps[FrontPanel::kLampCount] = {
    {"       Tracking", ""},
    {"       Searching", ""},
    {"       Target", ""},
    {"       Initializing", "Shows Initalizing, Blocked, Sbability Limit  and Unwrap  Status"},
    {"       Error", "Click to display decoded Error bits"},
    {"        Nutara", "Click to Toggle Nutara On/Off"},
    {"       Sat Ref", "Shows PCU Satellite Reference Status (Off, Enabled, Active)"},
    {"       Port Status", "Click to Open/Close Port"},
};

} // namespace

FrontPanel::FrontPanel(QWidget* parent) : BezelFrame(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(22, 14, 22, 14);
    row->setSpacing(18);
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
    m_display->setObjectName(QStringLiteral("display"));
    layout->addWidget(m_display);

    m_entry = new QLineEdit(column);
    m_entry->setObjectName(QStringLiteral("txtEntry"));
    m_entry->setToolTip(QStringLiteral("Enter value to set or Space to toggle"));
    m_entry->setFont(VfdDisplay::displayFont(15));
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

    const struct {
        const char* caption;
        const char* name;
        const char* toolTip;
    } screens[4] = {
        {"SHIP", "cmdShip", "Select SHIP Display"},
        {"SAT", "cmdSat", "Select SATELLITE Display"},
        {"ANTENNA", "cmdAntenna", "Select ANTENNA Display"},
        {"MODE", "cmdMode", "Right Click for ShortCut Menu"},
    };
    auto* screenRow = new QHBoxLayout;
    screenRow->setSpacing(6);
    for (int i = 0; i < 4; ++i) {
        auto* key = new PanelKey(QString::fromLatin1(screens[i].caption), cluster);
        key->setObjectName(QString::fromLatin1(screens[i].name));
        key->setToolTip(QString::fromLatin1(screens[i].toolTip));
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
        {Qt::UpArrow, "Elevation Motion / Mode Menu Navigation", 0, 1},
        {Qt::DownArrow, "Elevation Motion / Mode Menu Navigation", 2, 1},
        {Qt::LeftArrow, "Azimuth Motion", 1, 0},
        {Qt::RightArrow, "Azimuth Motion", 1, 2},
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

    m_trackingKey = new PanelKey(QStringLiteral("Tracking"), cluster);
    m_trackingKey->setObjectName(QStringLiteral("cmdTracking"));
    m_trackingKey->setToolTip(QStringLiteral("Click to toggle Tracking state"));
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
        auto* lamp = new LampLabel(QString::fromLatin1(kLamps[i].caption), block);
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
