#pragma once

#include "FrontPanelLogic.h"
#include "PanelRig.h"

// The session of PanelRig with the front panel joined to it: opening the link shows the
// ANTENNA screen, whose key starts polling 600 ms later (first command at 800 ms).
class FrontPanelRig : public PanelRig {
protected:
    using Screen = FrontPanelLogic::Screen;
    using Arrow = FrontPanelLogic::Arrow;

    FrontPanelRig()
    {
        QObject::connect(&front, &FrontPanelLogic::screenChanged, [this](int code) { shownCodes << code; });
    }

    // Presses the key of the page's screen until the page shows.
    void goTo(int code)
    {
        const std::optional<Screen> screen = screens::screenOf(code);
        ASSERT_TRUE(screen);
        // MODE pages only go forward (the last one stays): start that screen afresh.
        if (*screen == Screen::Mode && front.screenCode() > code)
            front.pressScreenKey(Screen::Ship);
        for (int i = 0; i < 40 && front.screenCode() != code; ++i)
            front.pressScreenKey(*screen);
        ASSERT_EQ(front.screenCode(), code);
    }

    // What went to the unit after the given virtual time.
    std::vector<Sent> sentAfter(qint64 ms) const
    {
        std::vector<Sent> out;
        for (const Sent& s : sent())
            if (s.ms > ms)
                out.push_back(s);
        return out;
    }

    QStringList lines() const { return front.displayLines(); }
    QByteArray sequence() { return poll().pollSequence().text(); }

    FrontPanelLogic front{session};
    QList<int> shownCodes;
};
