#include "GraphArea.h"

#include "PlotFrame.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
QPushButton* makeButton(const QString& caption, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setMinimumHeight(28);
    return b;
}
} // namespace

GraphArea::GraphArea(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 8, 8, 8);
    row->setSpacing(10);

    auto* plotColumn = new QVBoxLayout;
    plotColumn->setSpacing(4);
    m_plot = new PlotFrame(this);
    m_plot->setObjectName(QStringLiteral("Picture1"));
    plotColumn->addWidget(m_plot, 1);
    auto* captionStrip = m_captionStrip = new QWidget(this);
    captionStrip->setObjectName(QStringLiteral("graphCaptions"));
    captionStrip->setMinimumHeight(28);
    m_captions = new QHBoxLayout(captionStrip);
    m_captions->setContentsMargins(0, 0, 0, 0);
    m_captions->setSpacing(12);
    plotColumn->addWidget(captionStrip);
    row->addLayout(plotColumn, 1);

    auto* controls = new QVBoxLayout;
    controls->setSpacing(6);
    m_modeList = new QComboBox(this);
    m_modeList->setObjectName(QStringLiteral("Combo1_4"));
    m_modeList->addItems({QStringLiteral("ADMC   (Position)"), QStringLiteral("DispIVC (LoopError)"),
                          QStringLiteral("Disp V   (Ref)"), QStringLiteral("Disp W  (Rate)"),
                          QStringLiteral("Disp TC (Drive)"), QStringLiteral("Spectrum"),
                          QStringLiteral("Nutara XY")});
    m_modeList->setMinimumWidth(150);
    controls->addWidget(m_modeList);
    controls->addSpacing(8);
    m_redraw = makeButton(QStringLiteral("Redraw"), QStringLiteral("cmdRedraw"), this);
    m_clear = makeButton(QStringLiteral("Clear"), QStringLiteral("cmdClear"), this);
    m_centerAll = makeButton(QStringLiteral("Center All"), QStringLiteral("cmdOffset"), this);
    m_centerAll->setToolTip(QStringLiteral("Right click to undo last Center All operation"));
    m_capture = makeButton(QStringLiteral("Capture"), QStringLiteral("cmdCapture"), this);
    for (QPushButton* b : {m_redraw, m_clear, m_centerAll, m_capture})
        controls->addWidget(b);
    controls->addStretch(1);
    m_expand = makeButton(QString(), QStringLiteral("cmdGRAPH"), this);
    m_expand->setIcon(style()->standardIcon(QStyle::SP_TitleBarShadeButton));
    m_expand->setToolTip(QStringLiteral("Collapse Graph"));
    controls->addWidget(m_expand);
    row->addLayout(controls);

    // The graph engine brings these to life; until then they are shown but not offered.
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_modeList, m_redraw, m_clear, m_centerAll, m_capture, m_expand})
        w->setEnabled(false);
}

void GraphArea::setGraphShown(bool shown)
{
    for (QWidget* w : std::initializer_list<QWidget*>{m_plot, m_captionStrip, m_modeList, m_redraw, m_clear,
                                                      m_centerAll, m_capture})
        w->setVisible(shown);
    setSizePolicy(QSizePolicy::Preferred, shown ? QSizePolicy::Preferred : QSizePolicy::Fixed);
}
