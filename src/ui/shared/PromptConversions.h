#pragma once

#include <QColor>
#include <QString>
#include <QUrl>

// The conversions between the program's legacy forms and Qt's, kept apart from the
// dialogs so they can be checked without showing anything.
namespace promptconv {

// "Text (*.txt)|*.txt|All Files (*.*)|*.*" -> "Text (*.txt);;All Files (*)".
// The pattern half of each pair is what filters; "*.*" means every file.
QString qtFilter(const QString& legacyFilter);

// Message texts break their lines with CR; a label wants LF.
QString displayText(const QString& text);

// 24-bit colour values hold red in the low byte, then green, then blue.
QColor colorFromBgr(quint32 bgr);
quint32 bgrFromColor(const QColor& color);

} // namespace promptconv
