#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QProgressBar;

// The small modal window shown while the link waits (a reconnect step, the pause before
// reopening after new settings). It blocks clicks on the main window for the length of
// the wait; timers and received data go on underneath. The logic's wait ends it.
class WaitWindow : public QWidget {
    Q_OBJECT
public:
    explicit WaitWindow(QWidget* owner);

    // Placed 1000 twips below the owner's top edge, at its left edge.
    void begin(int ms);
    void end();

private:
    void tick();

    QWidget* m_owner;
    QProgressBar* m_bar;
    QTimer m_timer;
    QElapsedTimer m_clock;
    int m_ms = 0;
    // Waits nest (a wait inside a wait's event processing); the window stays up until
    // the outermost one ends.
    int m_depth = 0;
};
