#pragma once

#include <QByteArray>
#include <QString>
#include <QtCore/qnamespace.h>

// What a key pressed on the terminal screen does.
class KeyInput {
public:
    enum class Action {
        Send,      // bytes go out with one CommOut
        Swallow,   // consumed, nothing sent, screen untouched
        LocalEdit, // port closed: the key only edits the screen (text)
        Ignore,    // not the terminal's key (e.g. navigation with a modifier)
    };
    struct Result {
        Action action = Action::Ignore;
        QByteArray bytes;
        // A character key: the text the screen shows for it when echo is on, or when editing locally.
        QString text;
        bool characterKey = false;
    };

    static Result translate(int key, Qt::KeyboardModifiers modifiers, const QString& text, bool portOpen);
};
