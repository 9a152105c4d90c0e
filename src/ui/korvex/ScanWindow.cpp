#include "ScanWindow.h"

#include "PatternScan.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ScanWindow::ScanWindow(PatternScan& scan, Prompter& prompter, QWidget* parent)
    : ToolWindow(QStringLiteral("frmScan"), QStringLiteral("Pattern Scan"),
                 QStringLiteral("html\\pattern_scan.html"), prompter, parent),
      m_scan(scan)
{
    auto box = [this](const char* name, const QString& tip = QString()) {
        auto* b = new QLineEdit(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setMaximumWidth(90);
        return b;
    };
    m_rateBox = box("txtScan");
    m_interval = box("txtRate", QStringLiteral("Update Rate"));
    m_autoStop = box("Text2");
    m_n8 = box("txtN8");
    m_az = box("Text3");
    m_el = box("Text4");
    m_az->setReadOnly(true);
    m_el->setReadOnly(true);
    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("Combo1"));
    m_mode->addItems({QStringLiteral("A, E, I"), QStringLiteral("i, j, k"), QStringLiteral("ads, eds")});

    static const char* const kArrows[] = {"\u25B2", "\u25B6", "\u25BC", "\u25C0"};
    static const char* const kTips[] = {"Elevation Up", "Azimuth Up", "Elevation Down", "Azimuth Down"};
    for (int d = 0; d < 4; ++d) {
        m_dir[d] = new QPushButton(QString::fromUtf8(kArrows[d]), this);
        m_dir[d]->setObjectName(QStringLiteral("cmdDIR%1").arg(d));
        m_dir[d]->setToolTip(QString::fromLatin1(kTips[d]));
        m_dir[d]->setFixedSize(40, 32);
        connect(m_dir[d], &QPushButton::clicked, this, [this, d] { m_scan.start(d); });
    }
    m_stopReset = new QPushButton(this);
    m_stopReset->setObjectName(QStringLiteral("cmdStopRst"));
    auto* exit = new QPushButton(QStringLiteral("Exit"), this);
    exit->setObjectName(QStringLiteral("cmdExit"));
    exit->setToolTip(QStringLiteral("Close Dialog but keep entered values active"));

    auto* grid = new QGridLayout(this);
    int row = 0;
    auto addRow = [&](const QString& label, QWidget* w, const QString& unit = QString()) {
        grid->addWidget(new QLabel(label, this), row, 0);
        grid->addWidget(w, row, 1);
        if (!unit.isEmpty())
            grid->addWidget(new QLabel(unit, this), row, 2);
        ++row;
    };
    addRow(QStringLiteral("Scan Rate"), m_rateBox, QStringLiteral("/Sec"));
    addRow(QStringLiteral("Rate mS"), m_interval);
    addRow(QStringLiteral("Auto Stop Degrees"), m_autoStop);
    addRow(QStringLiteral("N8"), m_n8);
    addRow(QStringLiteral("Scan Mode"), m_mode);
    addRow(QStringLiteral("Azimuth"), m_az);
    addRow(QStringLiteral("Elevation"), m_el);
    auto* pad = new QGridLayout;
    pad->addWidget(m_dir[0], 0, 1);
    pad->addWidget(m_dir[3], 1, 0);
    pad->addWidget(m_dir[1], 1, 2);
    pad->addWidget(m_dir[2], 2, 1);
    grid->addLayout(pad, 0, 3, 4, 1);
    grid->addWidget(m_stopReset, 4, 3);
    grid->addWidget(exit, 6, 3);
    grid->setColumnStretch(2, 1);

    connect(m_rateBox, &QLineEdit::textEdited, this, [this](const QString& t) { m_scan.scanRateText = t; });
    connect(m_interval, &QLineEdit::textEdited, this, [this](const QString& t) { m_scan.rateText = t; });
    connect(m_autoStop, &QLineEdit::textEdited, this, [this](const QString& t) { m_scan.autoStopText = t; });
    connect(m_n8, &QLineEdit::textEdited, this, [this](const QString& t) { m_scan.n8Text = t; });
    connect(m_mode, &QComboBox::activated, this, [this](int index) { m_scan.commandSet = index; });
    connect(m_stopReset, &QPushButton::clicked, this, [this] { m_scan.stopReset(); });
    connect(exit, &QPushButton::clicked, this, [this] {
        m_scan.exit();
        hide();
    });
    connect(&m_scan, &PatternScan::changed, this, &ScanWindow::refresh);
    refresh();
}

void ScanWindow::showEvent(QShowEvent* event)
{
    // The window loads once; afterwards it keeps its values while hidden.
    if (!m_loaded) {
        m_loaded = true;
        m_scan.open();
    }
    ToolWindow::showEvent(event);
}

void ScanWindow::refresh()
{
    setWindowTitle(m_scan.caption());
    setBoxText(m_rateBox, m_scan.scanRateText);
    setBoxText(m_interval, m_scan.rateText);
    setBoxText(m_autoStop, m_scan.autoStopText);
    setBoxText(m_n8, m_scan.n8Text);
    setBoxText(m_az, m_scan.azimuthText());
    setBoxText(m_el, m_scan.elevationText());
    m_mode->setCurrentIndex(m_scan.commandSet);
    m_stopReset->setText(m_scan.stopResetCaption());
    m_stopReset->setToolTip(m_scan.stopResetToolTip());
}
