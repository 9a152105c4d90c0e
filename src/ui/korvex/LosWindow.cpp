#include "LosWindow.h"

#include "KorvexTools.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include <cmath>

namespace {
const QString kAngleTip = QStringLiteral("DD:MM:SS or DD:MM.mmmm or DD.dddddd");
constexpr double kDegree = M_PI / 180.0;
} // namespace

LosGeometryView::LosGeometryView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("losGeometry"));
    setMinimumSize(200, 260);
}

void LosGeometryView::show(const los::Result& result, bool calculated)
{
    m_result = result;
    m_calculated = calculated;
    update();
}

void LosGeometryView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette().color(QPalette::WindowText);
    const QColor faint = palette().color(QPalette::Mid);
    const QColor beam(255, 196, 64);
    p.fillRect(rect(), palette().color(QPalette::Base));

    // Azimuth rose: north up, the bearing to the target as a ray from the antenna.
    const int side = qMin(width() - 20, int(height() * 0.55));
    const QPointF c(width() / 2.0, 14 + side / 2.0);
    const double r = side / 2.0 - 12;
    p.setPen(QPen(faint, 1));
    p.drawEllipse(c, r, r);
    for (int deg = 0; deg < 360; deg += 30) {
        const double a = deg * kDegree;
        const QPointF dir(std::sin(a), -std::cos(a));
        p.drawLine(c + dir * (r - (deg % 90 ? 4 : 9)), c + dir * r);
    }
    p.setPen(ink);
    const char* const kCardinal[] = {"N", "E", "S", "W"};
    for (int i = 0; i < 4; ++i) {
        const double a = i * 90 * kDegree;
        const QPointF at = c + QPointF(std::sin(a), -std::cos(a)) * (r + 7);
        p.drawText(QRectF(at.x() - 8, at.y() - 8, 16, 16), Qt::AlignCenter,
                   QString::fromLatin1(kCardinal[i]));
    }
    p.setBrush(ink);
    p.drawEllipse(c, 3, 3);
    if (m_calculated && !m_result.coincident) {
        const double a = m_result.azimuth * kDegree;
        const QPointF tip = c + QPointF(std::sin(a), -std::cos(a)) * (r - 4);
        p.setPen(QPen(beam, 2.5));
        p.drawLine(c, tip);
        p.setBrush(beam);
        p.drawEllipse(tip, 4, 4);
    }
    p.setPen(ink);
    if (m_calculated)
        p.drawText(QRectF(0, c.y() + r + 18, width(), 18), Qt::AlignCenter,
                   m_result.coincident
                       ? m_result.status
                       : QStringLiteral("Az %1   %2 nm").arg(m_result.azimuthText, m_result.rangeText));

    // Elevation arc: the horizon and the look angle above or below it.
    const double top = c.y() + r + 46;
    const double arcR = qMin(height() - top - 22, width() / 2.0 - 20);
    if (arcR > 20) {
        const QPointF o(width() / 2.0 - arcR / 2, top + arcR);
        p.setPen(QPen(faint, 1));
        p.setBrush(Qt::NoBrush);
        p.drawLine(o, o + QPointF(arcR + 20, 0));
        p.drawArc(QRectF(o.x() - arcR, o.y() - arcR, 2 * arcR, 2 * arcR), 0, 90 * 16);
        if (m_calculated) {
            const double e = qBound(-90.0, m_result.elevation, 90.0) * kDegree;
            p.setPen(QPen(beam, 2.5));
            p.drawLine(o, o + QPointF(std::cos(e), -std::sin(e)) * arcR);
        }
        p.setPen(ink);
        const QString status = m_calculated ? m_result.status : QStringLiteral("-");
        p.drawText(QRectF(0, o.y() + 4, width(), 18), Qt::AlignCenter,
                   m_calculated ? QStringLiteral("El %1   %2").arg(m_result.elevationText, status) : status);
    }
}

LosWindow::LosWindow(KorvexTools& tools, Prompter& prompter, QWidget* parent)
    : ToolWindow(QStringLiteral("frmLOS"), QStringLiteral("Line of Sight Pointing"),
                 QStringLiteral("html\\los_pointing.html"), prompter, parent),
      m_tools(tools), m_manual(new QCheckBox(QStringLiteral("Manual Antenna Position Entry"), this)),
      m_calculate(new QPushButton(QStringLiteral("Calculate"), this)),
      m_target(new QPushButton(QStringLiteral("Target Antenna"), this)), m_geometry(new LosGeometryView(this))
{
    using I = los::Inputs;
    auto input = [this](const char* name, QString I::*field, int hemisphere, const QString& tip = QString()) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setToolTip(tip);
        e->setMaximumWidth(hemisphere ? 32 : 110);
        m_boxes.append({e, field, hemisphere});
        connect(e, &QLineEdit::textEdited, this,
                [this, field](const QString& t) { m_tools.losInputs.*field = t; });
        if (hemisphere)
            e->installEventFilter(this);
        return e;
    };
    auto output = [this](const char* name, const QString& tip) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setToolTip(tip);
        e->setReadOnly(true);
        e->setMaximumWidth(110);
        return e;
    };
    auto* target = new QGroupBox(QStringLiteral("Target"), this);
    auto* antenna = new QGroupBox(QStringLiteral("Antenna"), this);
    auto* tg = new QGridLayout(target);
    auto* ag = new QGridLayout(antenna);
    auto place = [this](QGridLayout* g, int row, const QString& label, QWidget* a, QWidget* b = nullptr) {
        g->addWidget(new QLabel(label, this), row, 0);
        g->addWidget(a, row, 1);
        if (b)
            g->addWidget(b, row, 2);
    };
    place(tg, 0, QStringLiteral("Latitude"), input("Text1", &I::targetLatitude, 0, kAngleTip),
          input("Text2", &I::targetLatHemisphere, 1));
    place(tg, 1, QStringLiteral("Longitude"), input("Text3", &I::targetLongitude, 0, kAngleTip),
          input("Text4", &I::targetLonHemisphere, 2));
    place(tg, 2, QStringLiteral("Altitude (ft)"), input("Text5", &I::targetAltitude, 0));
    place(ag, 0, QStringLiteral("Latitude"), input("Text10", &I::antennaLatitude, 0, kAngleTip),
          input("Text9", &I::antennaLatHemisphere, 1));
    place(ag, 1, QStringLiteral("Longitude"), input("Text12", &I::antennaLongitude, 0, kAngleTip),
          input("Text11", &I::antennaLonHemisphere, 2));
    place(ag, 2, QStringLiteral("Altitude (ft)"), input("Text13", &I::antennaAltitude, 0));
    ag->addWidget(m_manual, 3, 0, 1, 3);

    m_azimuth = output("Text6", QStringLiteral("WGS84 Local Flat Earth Model"));
    m_elevation = output("Text7", QStringLiteral("Horizontal Projection"));
    m_range = output("Text8", QStringLiteral("WGS84 Local Flat Earth Model"));
    m_status = output("Text14", QStringLiteral("Based on \"Viewable\" range and \"Actual\" range"));
    m_viewable = output("Text15", QStringLiteral("Based on Altitude of \"Target\" and \"Antenna\""));
    auto* results = new QGroupBox(QStringLiteral("Results"), this);
    auto* rg = new QGridLayout(results);
    place(rg, 0, QStringLiteral("Azimuth (deg)"), m_azimuth);
    place(rg, 1, QStringLiteral("Elevation (deg)"), m_elevation);
    place(rg, 2, QStringLiteral("Range (nm)"), m_range);
    place(rg, 3, QStringLiteral("Status"), m_status);
    place(rg, 4, QStringLiteral("Viewable Range (nm)"), m_viewable);

    m_manual->setObjectName(QStringLiteral("Check1"));
    m_manual->setToolTip(QStringLiteral("Allows accurate position entry"));
    m_calculate->setObjectName(QStringLiteral("Command1"));
    m_calculate->setToolTip(QStringLiteral("Calculate Az, El, Range and Viewable Status"));
    m_target->setObjectName(QStringLiteral("Command2"));
    m_target->setToolTip(QStringLiteral("Calculate and send Target commands to QVR"));
    auto* exit = new QPushButton(QStringLiteral("Exit"), this);
    exit->setObjectName(QStringLiteral("Command3"));
    exit->setToolTip(QStringLiteral("Close Dialog but keep entered values active"));

    auto* left = new QVBoxLayout;
    left->addWidget(target);
    left->addWidget(antenna);
    left->addWidget(results);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_calculate);
    buttons->addWidget(m_target);
    buttons->addWidget(exit);
    left->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(m_geometry, 1);

    connect(m_manual, &QCheckBox::toggled, this, [this](bool on) {
        m_tools.losManualEntry = on;
        showInputs();
    });
    connect(m_calculate, &QPushButton::clicked, this, [this] {
        m_tools.losCalculate();
        showResult();
    });
    connect(m_target, &QPushButton::clicked, this, [this] {
        m_tools.losTargetAntenna();
        showResult();
    });
    connect(exit, &QPushButton::clicked, this, [this] {
        m_calculate->setFocus();
        hide();
    });
    refreshAntenna();
    showInputs();
}

void LosWindow::showInputs()
{
    // The four antenna position boxes take typing only while entered by hand.
    static const QStringList kAntennaPosition{QStringLiteral("Text9"), QStringLiteral("Text10"),
                                              QStringLiteral("Text11"), QStringLiteral("Text12")};
    for (const Box& b : m_boxes) {
        setBoxText(b.edit, m_tools.losInputs.*(b.field));
        if (kAntennaPosition.contains(b.edit->objectName()))
            b.edit->setEnabled(m_tools.losManualEntry);
    }
}

void LosWindow::showResult()
{
    m_calculated = true;
    const los::Result& r = m_tools.losResult;
    m_azimuth->setText(r.azimuthText);
    m_elevation->setText(r.elevationText);
    m_range->setText(r.rangeText);
    m_status->setText(r.status);
    m_viewable->setText(r.viewableRangeText);
    m_geometry->show(r, true);
}

void LosWindow::refreshAntenna()
{
    if (m_tools.losRefreshAntenna())
        showInputs();
}

bool LosWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        refreshAntenna();
    return ToolWindow::event(event);
}

bool LosWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        for (const Box& b : m_boxes) {
            if (b.edit != watched || !b.hemisphere)
                continue;
            const QString text = static_cast<QKeyEvent*>(event)->text();
            const QString letter =
                text.isEmpty() ? QString() : los::hemisphereKey(text[0], b.hemisphere == 1);
            if (letter.isEmpty())
                return false;
            b.edit->setText(letter);
            m_tools.losInputs.*(b.field) = letter;
            return true;
        }
    }
    return ToolWindow::eventFilter(watched, event);
}
