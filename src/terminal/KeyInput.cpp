#include "KeyInput.h"

namespace {
QByteArray escapeSequence(const char* tail)
{
    return QByteArray("\x1b[") + tail;
}
} // namespace

KeyInput::Result KeyInput::translate(int key, Qt::KeyboardModifiers modifiers, const QString& text,
                                     bool portOpen)
{
    Result r;
    const bool plain = !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    const bool isEnter = key == Qt::Key_Return || key == Qt::Key_Enter;

    if (portOpen && plain) {
        r.action = Action::Send;
        switch (key) {
        case Qt::Key_Left:
            r.bytes = escapeSequence("D");
            return r;
        case Qt::Key_Up:
            r.bytes = escapeSequence("A");
            return r;
        case Qt::Key_Right:
            r.bytes = escapeSequence("C");
            return r;
        case Qt::Key_Down:
            r.bytes = escapeSequence("B");
            return r;
        case Qt::Key_Delete:
            r.bytes = escapeSequence("3~");
            return r;
        case Qt::Key_Select:
        case Qt::Key_Print:
        case Qt::Key_Execute:
        case Qt::Key_Insert:
            r.action = Action::Swallow;
            return r;
        default:
            break;
        }
    }

    QString chars = isEnter ? QStringLiteral("\r") : text;
    // Delete's text is DEL on some platforms; with the port open it was handled above.
    if (key == Qt::Key_Delete)
        chars.clear();
    if (chars.isEmpty()) {
        r.action = Action::Ignore;
        return r;
    }
    r.characterKey = true;
    r.text = chars;
    if (!portOpen) {
        r.action = Action::LocalEdit;
        return r;
    }
    r.action = Action::Send;
    r.bytes = isEnter ? QByteArray("\r\n") : chars.toLatin1();
    return r;
}
