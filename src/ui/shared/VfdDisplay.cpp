#include "VfdDisplay.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

namespace {
constexpr int kLineCount = 4;
constexpr int kMarginX = 14;
constexpr int kMarginY = 10;
const QColor kGlass(6, 12, 11);
const QColor kLit(112, 255, 214);
const QColor kCell(18, 38, 34);
} // namespace

VfdDisplay::VfdDisplay(QWidget* parent) : QFrame(parent), m_font(displayFont(19))
{
    for (int i = 0; i < kLineCount; ++i)
        m_lines << QString();
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QFont VfdDisplay::displayFont(int pixelSize)
{
    QFont f(QStringLiteral("DejaVu Sans Mono"));
    f.setStyleHint(QFont::Monospace);
    if (!QFontInfo(f).fixedPitch())
        f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPixelSize(pixelSize);
    return f;
}

void VfdDisplay::setLines(const QStringList& lines)
{
    QStringList shown = lines.mid(0, kLineCount);
    while (shown.size() < kLineCount)
        shown << QString();
    if (shown == m_lines)
        return;
    const int before = shownColumns();
    m_lines = shown;
    if (shownColumns() != before)
        updateGeometry();
    update();
}

void VfdDisplay::setLine(int index, const QString& text)
{
    if (index < 0 || index >= kLineCount)
        return;
    QStringList lines = m_lines;
    lines[index] = text;
    setLines(lines);
}

void VfdDisplay::setColumns(int columns)
{
    m_columns = qMax(1, columns);
    updateGeometry();
    update();
}

void VfdDisplay::setPixelSize(int pixels)
{
    m_font = displayFont(pixels);
    updateGeometry();
    update();
}

int VfdDisplay::shownColumns() const
{
    int n = m_columns;
    for (const QString& l : m_lines)
        n = qMax(n, int(l.size()));
    return n;
}

QSize VfdDisplay::cellSize() const
{
    const QFontMetrics fm(m_font);
    return {fm.horizontalAdvance(QLatin1Char('M')), fm.height() + 4};
}

QSize VfdDisplay::sizeHint() const
{
    const QSize cell = cellSize();
    return {shownColumns() * cell.width() + 2 * kMarginX, kLineCount * cell.height() + 2 * kMarginY};
}

void VfdDisplay::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF glass = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);

    // The glass sits in a recess of the bezel: dark edge, faint reflection at the top.
    p.fillRect(rect(), QColor(10, 10, 12));
    QLinearGradient shade(glass.topLeft(), glass.bottomLeft());
    shade.setColorAt(0.0, kGlass.lighter(180));
    shade.setColorAt(0.08, kGlass);
    shade.setColorAt(1.0, kGlass.darker(130));
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.setBrush(shade);
    p.drawRoundedRect(glass, 4, 4);

    const QSize cell = cellSize();
    const QFontMetrics fm(m_font);
    const int columns = shownColumns();
    const int x0 = (width() - columns * cell.width()) / 2;
    const int y0 = (height() - kLineCount * cell.height()) / 2;

    p.setPen(Qt::NoPen);
    p.setBrush(kCell);
    for (int row = 0; row < kLineCount; ++row) {
        for (int col = 0; col < columns; ++col)
            p.drawRect(QRectF(x0 + col * cell.width() + 1, y0 + row * cell.height() + 2, cell.width() - 2,
                              cell.height() - 4));
    }

    p.setFont(m_font);
    QColor halo = kLit;
    halo.setAlpha(60);
    for (int row = 0; row < kLineCount; ++row) {
        const QString text = m_lines.value(row);
        const int baseline = y0 + row * cell.height() + 2 + fm.ascent();
        // Each character goes in its own cell, so a proportional fallback font still
        // keeps the columns straight.
        for (int col = 0; col < text.size(); ++col) {
            const QChar ch = text.at(col);
            if (ch.isSpace())
                continue;
            const int x = x0 + col * cell.width();
            p.setPen(halo);
            p.drawText(QPointF(x - 0.7, baseline), QString(ch));
            p.drawText(QPointF(x + 0.7, baseline), QString(ch));
            p.setPen(kLit);
            p.drawText(QPointF(x, baseline), QString(ch));
        }
    }
}
