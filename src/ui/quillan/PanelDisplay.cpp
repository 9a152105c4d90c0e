#include "PanelDisplay.h"

#include "VfdDisplay.h"

#include <QGridLayout>
#include <QLabel>

namespace {

// Lit characters on near-black glass, as the panel itself shows them.
const QString kGlassStyle =
    QStringLiteral("background-color: #060c0b; color: #70ffd6; border: 1px solid #000;"
                   " border-radius: 3px; padding: 1px 6px;");
const QString kLegendStyle = QStringLiteral("color: #ffc850; font-weight: bold;");

QLabel* glassLabel(const QString& name, int columns, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setFont(VfdDisplay::displayFont(14));
    l->setStyleSheet(kGlassStyle);
    const QFontMetrics fm(l->font());
    l->setMinimumWidth(fm.horizontalAdvance(QString(columns, QLatin1Char('M'))) + 16);
    return l;
}

} // namespace

PanelDisplay::PanelDisplay(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("PanelDisplay"));
    setFrameShape(QFrame::StyledPanel);
    setStyleSheet(QStringLiteral("#PanelDisplay { background-color: #26292d; border-radius: 4px; }"
                                 " QLabel#Caption { color: #c8ccd2; }"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);

    m_lines[0] = glassLabel(QStringLiteral("PanelLine1"), 20, this);
    m_lines[1] = glassLabel(QStringLiteral("PanelLine2"), 20, this);
    m_lines[2] = glassLabel(QStringLiteral("BargraphSegments"), 2, this);
    m_lines[3] = glassLabel(QStringLiteral("PanelBrightness"), 4, this);
    grid->addWidget(m_lines[0], 0, 0);
    grid->addWidget(m_lines[1], 1, 0);

    auto caption = [this](const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QStringLiteral("Caption"));
        return l;
    };
    grid->addWidget(caption(QStringLiteral("Bargraph Segments")), 0, 1, Qt::AlignRight);
    grid->addWidget(m_lines[2], 0, 2);
    grid->addWidget(caption(QStringLiteral("Panel Brightnes")), 1, 1, Qt::AlignRight);
    grid->addWidget(m_lines[3], 1, 2);

    m_unwrap = new QLabel(this);
    m_unwrap->setObjectName(QStringLiteral("UnwrapLegend"));
    m_tracking = new QLabel(this);
    m_tracking->setObjectName(QStringLiteral("TrackingLegend"));
    for (QLabel* l : {m_unwrap, m_tracking}) {
        l->setStyleSheet(kLegendStyle);
        l->setFont(VfdDisplay::displayFont(13));
        l->setMinimumWidth(QFontMetrics(l->font()).horizontalAdvance(QStringLiteral("TRACKING")) + 4);
    }
    grid->addWidget(m_unwrap, 0, 3);
    grid->addWidget(m_tracking, 1, 3);
    // The glass keeps the panel's proportions; spare width stays to the right.
    grid->setColumnStretch(4, 1);
}

void PanelDisplay::setLine(int number, const QString& text)
{
    if (number >= 1 && number <= 4)
        m_lines[number - 1]->setText(text);
}

QString PanelDisplay::line(int number) const
{
    return number >= 1 && number <= 4 ? m_lines[number - 1]->text() : QString();
}

void PanelDisplay::setLegends(bool unwrap, bool tracking)
{
    m_unwrap->setText(unwrap ? QStringLiteral("UNWRAP") : QString());
    m_tracking->setText(tracking ? QStringLiteral("TRACKING") : QString());
}

QString PanelDisplay::unwrapLegend() const
{
    return m_unwrap->text();
}

QString PanelDisplay::trackingLegend() const
{
    return m_tracking->text();
}
