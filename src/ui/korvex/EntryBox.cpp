#include "EntryBox.h"

#include <QKeyEvent>

EntryBox::EntryBox(QWidget* parent) : QLineEdit(parent) {}

void EntryBox::keyPressEvent(QKeyEvent* event)
{
    Q_EMIT keyTyped();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT entered(text());
        event->accept();
        return;
    case Qt::Key_Space:
        if (event->modifiers() == Qt::NoModifier && m_space && m_space()) {
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}
