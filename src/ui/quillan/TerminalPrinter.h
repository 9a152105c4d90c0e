#pragma once

#include <QString>

class QPrinter;
class QWidget;

// Prints the terminal text page by page with a painter, so the printer gets text, not
// one big screen bitmap.
namespace terminalprint {

// Shows the print dialog; Cancel prints nothing. Returns whether something was printed.
bool printWithDialog(QWidget* parent, const QString& title, const QString& text);

// Lays the text out on the printer's pages; returns the number of pages printed.
int printText(QPrinter& printer, const QString& title, const QString& text);

} // namespace terminalprint
