#include "AppIcons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace appicons {
namespace {

const QColor kBezelTop(58, 64, 70);
const QColor kBezelBottom(24, 27, 30);
const QColor kGlass(8, 14, 10);
const QColor kLit(110, 240, 150);

// The rounded dark bezel both icons sit on (a 64-unit square).
void bezel(QPainter& p)
{
    QLinearGradient shade(0, 0, 0, 64);
    shade.setColorAt(0, kBezelTop);
    shade.setColorAt(1, kBezelBottom);
    p.setPen(QPen(QColor(10, 10, 10), 1.5));
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(3, 3, 58, 58), 11, 11);
}

// A dish on its pedestal above a lit display strip: the remote panel.
void korvex(QPainter& p)
{
    bezel(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kGlass);
    p.drawRoundedRect(QRectF(10, 40, 44, 14), 3, 3);
    p.setBrush(kLit);
    for (int i = 0; i < 5; ++i)
        p.drawRect(QRectF(14 + i * 8, 44, 5, 6));
    // The reflector, tilted up to the satellite, and its feed arm.
    QPainterPath dish;
    dish.moveTo(14, 14);
    dish.quadTo(22, 36, 44, 30);
    dish.lineTo(14, 14);
    p.setBrush(QColor(228, 232, 236));
    p.setPen(QPen(QColor(150, 158, 166), 1.2));
    p.drawPath(dish);
    p.setPen(QPen(QColor(200, 206, 212), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(29, 22), QPointF(40, 11));
    p.setBrush(QColor(255, 196, 60));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(41, 10), 3, 3);
    p.setPen(QPen(QColor(200, 206, 212), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(30, 30), QPointF(30, 37));
}

// A terminal prompt and a downward arrow into a chip: the programming terminal.
void quillan(QPainter& p)
{
    bezel(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kGlass);
    p.drawRoundedRect(QRectF(9, 9, 46, 30), 3, 3);
    p.setPen(QPen(kLit, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF{QPointF(14, 16), QPointF(21, 22), QPointF(14, 28)});
    p.drawLine(QPointF(25, 30), QPointF(36, 30));
    // The chip being programmed, with its pins.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 206, 212));
    for (int i = 0; i < 5; ++i) {
        p.drawRect(QRectF(19 + i * 6, 43, 2.2, 4));
        p.drawRect(QRectF(19 + i * 6, 57, 2.2, 3));
    }
    p.setBrush(QColor(36, 40, 44));
    p.setPen(QPen(QColor(200, 206, 212), 1.2));
    p.drawRoundedRect(QRectF(16, 46, 32, 11), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 196, 60));
    QPainterPath arrow;
    arrow.moveTo(44, 13);
    arrow.lineTo(50, 13);
    arrow.lineTo(50, 24);
    arrow.lineTo(54, 24);
    arrow.lineTo(47, 33);
    arrow.lineTo(40, 24);
    arrow.lineTo(44, 24);
    arrow.closeSubpath();
    p.drawPath(arrow);
}

} // namespace

QImage render(Program program, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    if (program == Program::Korvex)
        korvex(p);
    else
        quillan(p);
    return image;
}

QIcon icon(Program program)
{
    QIcon result;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        result.addPixmap(QPixmap::fromImage(render(program, size)));
    return result;
}

} // namespace appicons
