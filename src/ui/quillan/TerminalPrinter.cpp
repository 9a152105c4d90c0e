#include "TerminalPrinter.h"

#include "TerminalView.h"

#include <QDateTime>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextLayout>

namespace terminalprint {

namespace {

// Breaks one text line into the pieces that fit the page width.
QStringList wrapLine(const QString& line, const QFont& font, qreal width, QPaintDevice* device)
{
    if (line.isEmpty())
        return {QString()};
    QStringList out;
    QTextLayout layout(line, font, device);
    QTextOption opt;
    opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(opt);
    layout.beginLayout();
    for (QTextLine tl = layout.createLine(); tl.isValid(); tl = layout.createLine()) {
        tl.setLineWidth(width);
        out << line.mid(tl.textStart(), tl.textLength());
    }
    layout.endLayout();
    return out;
}

} // namespace

bool printWithDialog(QWidget* parent, const QString& title, const QString& text)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printText(printer, title, text);
    return true;
}

int printText(QPrinter& printer, const QString& title, const QString& text)
{
    QPainter p;
    if (!p.begin(&printer))
        return 0;

    QFont body = TerminalView::terminalFont();
    body.setPointSize(9);
    QFont head = body;
    head.setBold(true);

    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRectF area(0, 0, page.width(), page.height());
    p.setFont(body);
    const QFontMetricsF fm(body, &printer);
    const qreal lineHeight = fm.lineSpacing();
    const qreal headHeight = lineHeight * 2;
    const int linesPerPage = qMax(1, int((area.height() - headHeight) / lineHeight));

    QStringList lines;
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& l : plain.split(QLatin1Char('\n')))
        lines += wrapLine(l, body, area.width(), &printer);
    while (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();

    const int pages = qMax(1, int((lines.size() + linesPerPage - 1) / linesPerPage));
    // Printers that cannot make copies themselves get each copy sent again.
    const int copies = printer.supportsMultipleCopies() ? 1 : qMax(1, printer.copyCount());
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    bool first = true;
    for (int copy = 0; copy < copies; ++copy) {
        for (int pg = 0; pg < pages; ++pg) {
            if (!first)
                printer.newPage();
            first = false;
            p.setFont(head);
            p.drawText(QRectF(0, 0, area.width(), lineHeight), Qt::AlignLeft,
                       QStringLiteral("%1    %2").arg(title, stamp));
            p.drawText(QRectF(0, 0, area.width(), lineHeight), Qt::AlignRight,
                       QStringLiteral("%1 / %2").arg(pg + 1).arg(pages));
            p.setFont(body);
            qreal y = headHeight;
            for (int i = pg * linesPerPage; i < qMin(int(lines.size()), (pg + 1) * linesPerPage); ++i) {
                p.drawText(QPointF(0, y + fm.ascent()), lines.at(i));
                y += lineHeight;
            }
        }
    }
    p.end();
    return pages * copies;
}

} // namespace terminalprint
