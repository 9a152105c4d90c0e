#include "LineStateStrip.h"

#include "LampLabel.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

namespace {
const QColor kConnected(40, 200, 60);
const QColor kNotConnected(200, 45, 35);
} // namespace

LineStateStrip::LineStateStrip(QWidget* parent) : QWidget(parent), m_led(new LampLabel(QString(), this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 6, 2);
    row->setSpacing(10);

    m_led->setObjectName(QStringLiteral("LinkLed"));
    m_led->setToolTip(tr("Port Open"));
    m_led->setCursor(Qt::PointingHandCursor);
    m_led->led()->setDiameter(22);
    m_led->setFixedSize(30, 30);
    connect(m_led, &LampLabel::clicked, this, &LineStateStrip::ledClicked);
    row->addWidget(m_led);
    row->addSpacing(6);

    addBox(QStringLiteral("CTS"), false);
    addBox(QStringLiteral("DSR"), false);
    addBox(QStringLiteral("DCD"), false);
    QCheckBox* dtr = addBox(QStringLiteral("DTR"), true);
    QCheckBox* rts = addBox(QStringLiteral("RTS"), true);
    connect(dtr, &QCheckBox::clicked, this, &LineStateStrip::dtrClicked);
    connect(rts, &QCheckBox::clicked, this, &LineStateStrip::rtsClicked);
    for (QCheckBox* b : std::as_const(m_boxes))
        row->addWidget(b);

    m_phonePower = new QLabel(tr("DTR = Phone Power"), this);
    m_phonePower->setObjectName(QStringLiteral("PhonePower"));
    m_phonePower->hide();
    row->addWidget(m_phonePower);
    row->addStretch(1);

    setLinkOpen(false);
}

QCheckBox* LineStateStrip::addBox(const QString& name, bool userSettable)
{
    auto* b = new QCheckBox(name, this);
    b->setObjectName(name);
    // The keyboard stays with the terminal: a key typed after clicking a box is still
    // a key for the unit.
    b->setFocusPolicy(Qt::NoFocus);
    // The inputs only show the lines; a click must not change them.
    if (!userSettable)
        b->installEventFilter(this);
    m_boxes << b;
    return b;
}

bool LineStateStrip::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

QCheckBox* LineStateStrip::box(const QString& name) const
{
    for (QCheckBox* b : m_boxes) {
        if (b->objectName() == name)
            return b;
    }
    return nullptr;
}

void LineStateStrip::setLinkOpen(bool open)
{
    m_led->led()->setColor(open ? kConnected : kNotConnected);
    m_led->setAccessibleName(open ? tr("Connected") : tr("Not connected"));
}

void LineStateStrip::setInputs(bool cts, bool dsr, bool dcd)
{
    box(QStringLiteral("CTS"))->setChecked(cts);
    box(QStringLiteral("DSR"))->setChecked(dsr);
    box(QStringLiteral("DCD"))->setChecked(dcd);
}

void LineStateStrip::setOutputs(bool dtr, bool rts)
{
    box(QStringLiteral("DTR"))->setChecked(dtr);
    box(QStringLiteral("RTS"))->setChecked(rts);
}

void LineStateStrip::setPhonePowerVisible(bool visible)
{
    m_phonePower->setVisible(visible);
}

void LineStateStrip::setLedLocked(bool locked)
{
    m_led->setToolTip(locked ? tr("The port stays open while a sequence runs; Cancel stops the sequence")
                             : tr("Port Open"));
    m_led->setCursor(locked ? Qt::ForbiddenCursor : Qt::PointingHandCursor);
}
