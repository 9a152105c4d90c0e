// The front panel's widgets against the panel logic and a simulated ACU, in virtual
// time: what the keys, menus and entry box send, and what the display and lamps show.
#include "KorvexWindowRig.h"

#include "AcuModel.h"
#include "EntryBox.h"
#include "FrontPanelController.h"
#include "LampLabel.h"
#include "PanelMenus.h"
#include "VfdDisplay.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QTest>

namespace {

class FrontPanelTest : public KorvexWindowRig {
protected:
    FrontPanelTest() { serial.attachPeer(&acu); }

    // Started, and long enough for the unit to initialise and answer a few cycles.
    void startLive(int ms = 8000)
    {
        start();
        runtime.advance(ms);
    }

    PanelKey* key(FrontPanel::ScreenKey k) { return panel().screenKey(k); }
    QString line(int i) { return panel().display()->line(i); }
    int code() const { return front.screenCode(); }

    QMenu* rightClick(FrontPanel::ScreenKey k)
    {
        PanelKey* target = key(k);
        const QPoint pos = target->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, target->mapToGlobal(pos));
        QApplication::sendEvent(target, &event);
        return window->frontPanelController()->openPopup();
    }

    static QAction* item(QMenu* menu, const QString& text)
    {
        for (QAction* a : menu->actions())
            if (a->text() == text)
                return a;
        ADD_FAILURE() << "no item " << text.toStdString();
        return nullptr;
    }
    static QStringList captions(QMenu* menu)
    {
        QStringList out;
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && !a->text().isEmpty())
                out << a->text();
        return out;
    }

    void type(const QString& text, Qt::Key finish = Qt::Key_Return)
    {
        EntryBox* entry = panel().entryBox();
        QTest::keyClicks(entry, text);
        QTest::keyClick(entry, finish);
    }

    // The commands the unit has framed since the mark.
    QList<QByteArray> heardSince(qsizetype mark) const { return heard.mid(mark); }

    AcuModel acu{runtime};
    QList<QByteArray> heard;
    QMetaObject::Connection listen =
        QObject::connect(&acu, &AcuModel::commandReceived, [this](const QByteArray& c) { heard << c; });
};

QColor lampColour(FrontPanel& panel, int lamp)
{
    return panel.lamp(lamp)->led()->color();
}

} // namespace

TEST_F(FrontPanelTest, ScreenKeysShowTheirPagesAndTheArrowsStepTheModePages)
{
    startLive();
    EXPECT_EQ(key(FrontPanel::Ship)->text(), "SHIP");
    EXPECT_EQ(key(FrontPanel::Sat)->toolTip(), "Select SATELLITE Display");
    EXPECT_EQ(key(FrontPanel::Mode)->toolTip(), "Right Click for ShortCut Menu");
    EXPECT_EQ(panel().arrowKey(FrontPanel::Left)->toolTip(), "Azimuth Motion");
    EXPECT_EQ(panel().entryBox()->toolTip(), "Enter value to set or Space to toggle");

    // Opening the link showed the ANTENNA screen; the unit's replies fill it.
    EXPECT_EQ(code(), 64);
    EXPECT_TRUE(line(0).startsWith("AZ  ")) << line(0).toStdString();
    EXPECT_TRUE(line(3).startsWith("AGC ")) << line(3).toStdString();

    QTest::mouseClick(key(FrontPanel::Ship), Qt::LeftButton);
    EXPECT_EQ(code(), 16);
    EXPECT_EQ(panel().display()->lines(), QStringList({"SHIP ", " ", " ", " "}));
    runtime.advance(5000);
    EXPECT_TRUE(line(0).startsWith("LAT ")) << line(0).toStdString();
    EXPECT_TRUE(line(1).startsWith("LON ")) << line(1).toStdString();
    QTest::mouseClick(key(FrontPanel::Ship), Qt::LeftButton);
    EXPECT_EQ(code(), 17);

    QTest::mouseClick(key(FrontPanel::Mode), Qt::LeftButton);
    QTest::mouseClick(key(FrontPanel::Mode), Qt::LeftButton);
    EXPECT_EQ(line(0), "Version Info ACU");
    PanelKey* down = panel().arrowKey(FrontPanel::Down);
    QTest::mousePress(down, Qt::LeftButton);
    EXPECT_TRUE(front.arrowHeld());
    EXPECT_EQ(line(0), "Version Info PCU");
    QTest::mouseRelease(down, Qt::LeftButton);
    EXPECT_FALSE(front.arrowHeld());
    QTest::mouseClick(panel().arrowKey(FrontPanel::Up), Qt::LeftButton);
    EXPECT_EQ(code(), 129);
    runtime.advance(3000);
    EXPECT_EQ(line(2), QString::fromLatin1(acu.unit().acuVersion()));

    // The Tracking key turns the unit's tracking off while it tracks, and on again.
    ASSERT_TRUE(acu.unit().trackingEnabled());
    QTest::mouseClick(panel().trackingKey(), Qt::LeftButton);
    runtime.advance(2000);
    EXPECT_FALSE(acu.unit().trackingEnabled());
    QTest::mouseClick(panel().trackingKey(), Qt::LeftButton);
    runtime.advance(2000);
    EXPECT_TRUE(acu.unit().trackingEnabled());
}

TEST_F(FrontPanelTest, RightClickOpensTheShortcutMenusAndAnItemShowsItsPage)
{
    startLive(1000);
    EXPECT_EQ(rightClick(FrontPanel::Ship), nullptr);

    QPointer<QMenu> mode = rightClick(FrontPanel::Mode);
    ASSERT_NE(mode, nullptr);
    EXPECT_TRUE(mode->isVisible());
    EXPECT_EQ(code(), 128);
    EXPECT_EQ(mode->title(), "Mode Display");
    const QStringList items = captions(mode);
    ASSERT_EQ(items.size(), 22);
    EXPECT_EQ(items.first(), "ACU Version");
    EXPECT_EQ(items.last(), "Az/El Limits");
    EXPECT_FALSE(item(mode, "DVB Version")->isEnabled());
    item(mode, "Az Trim")->trigger();
    EXPECT_EQ(code(), 134);
    EXPECT_EQ(line(0), "SETUP");

    QMenu* sat = rightClick(FrontPanel::Sat);
    ASSERT_NE(sat, nullptr);
    EXPECT_TRUE(!mode || !mode->isVisible()) << "a new pop-up closes the one before";
    EXPECT_EQ(code(), 32);
    EXPECT_EQ(captions(sat), QStringList({"Satellite", "Threshold", "Freq / MHz", "Baud / KHz", "Tone",
                                          "Volt", "FEC", "Skew", "NID"}));
    item(sat, "FEC")->trigger();
    EXPECT_EQ(code(), 39);
}

TEST_F(FrontPanelTest, EnterSendsThePagesCommandAndSpaceTogglesOnlyOnTogglePages)
{
    startLive();
    QTest::mouseClick(key(FrontPanel::Antenna), Qt::LeftButton);
    ASSERT_EQ(code(), 65);
    runtime.advance(1000);

    qsizetype mark = heard.size();
    type("1800");
    EXPECT_TRUE(panel().entryBox()->text().isEmpty());
    runtime.advance(1000);
    EXPECT_TRUE(heardSince(mark).contains("A1800")) << heardSince(mark).join(' ').toStdString();
    EXPECT_TRUE(serial.sentBytes().contains("A1800\r\n"));

    // Nothing to set on the base page: the text stays, marked, and nothing goes out.
    QTest::mouseClick(key(FrontPanel::Antenna), Qt::LeftButton);
    QTest::mouseClick(key(FrontPanel::Sat), Qt::LeftButton);
    ASSERT_EQ(code(), 32);
    type("77");
    EXPECT_EQ(panel().entryBox()->text(), "77");
    EXPECT_EQ(panel().entryBox()->selectedText(), "77");
    EXPECT_TRUE(session.pollCycle().longCommand().isEmpty());
    panel().entryBox()->clear();

    // On the tone page Space is the toggle and never reaches the box.
    front.chooseShortcut(37);
    ASSERT_TRUE(front.isTogglePage());
    mark = heard.size();
    QTest::keyClick(panel().entryBox(), Qt::Key_Space);
    EXPECT_TRUE(panel().entryBox()->text().isEmpty());
    runtime.advance(2000);
    const QList<QByteArray> toggled = heardSince(mark);
    EXPECT_TRUE(toggled.contains("c0033") || toggled.contains("c0032")) << toggled.join(' ').toStdString();

    // Elsewhere it is a blank like any other.
    front.chooseShortcut(40);
    QTest::keyClick(panel().entryBox(), Qt::Key_Space);
    EXPECT_EQ(panel().entryBox()->text(), " ");
}

TEST_F(FrontPanelTest, LampsFollowTheStatusBytesAndGoDarkWithTheLink)
{
    start();
    // Before the start timer has run the lamps are all dark.
    for (int i = 0; i < StatusLeds::kCount; ++i)
        EXPECT_FALSE(panel().lamp(i)->led()->isLit()) << i;
    runtime.advance(2000);
    EXPECT_EQ(panel().lamp(StatusLeds::Condition)->text(), "       Initializing");
    EXPECT_EQ(lampColour(panel(), StatusLeds::Condition), QColor(255, 255, 0));

    // Every lamp is the logic's LED, in the logic's colour, while the unit finds its satellite.
    bool trackedGreen = false;
    for (int second = 0; second < 60; ++second) {
        runtime.advance(1000);
        for (int i = 0; i < StatusLeds::kCount; ++i) {
            const StatusLed& led = front.leds()[i];
            const QColor shown = lampColour(panel(), i);
            ASSERT_EQ(shown.isValid(), led.lit) << "lamp " << i << " at " << second;
            if (led.lit) {
                const QColor wanted(int(led.colour & 0xFF), int((led.colour >> 8) & 0xFF),
                                    int((led.colour >> 16) & 0xFF));
                ASSERT_EQ(shown, wanted) << "lamp " << i << " at " << second;
            }
            ASSERT_EQ(panel().lamp(i)->text(), led.caption);
        }
        trackedGreen |= lampColour(panel(), StatusLeds::Tracking) == QColor(0, 255, 0);
    }
    EXPECT_TRUE(trackedGreen);

    acu.unit().resetAcuErrors();
    runtime.advance(2000);
    EXPECT_FALSE(panel().lamp(StatusLeds::Error)->led()->isLit());
    acu.unit().raiseAcuError(2); // "Comm Error"
    runtime.advance(3000);
    EXPECT_EQ(lampColour(panel(), StatusLeds::Error), QColor(255, 0, 0));

    window->portOpenAction()->trigger();
    for (int i = 0; i < StatusLeds::kCount; ++i)
        EXPECT_FALSE(panel().lamp(i)->led()->isLit()) << i;
}

TEST_F(FrontPanelTest, StatusBitWindowsShowTheFlagsAndResetTheErrors)
{
    startLive(30000);
    acu.unit().raiseAcuError(2);
    runtime.advance(3000);

    window->bitWindowAction(statusbits::Window::Acu)->trigger();
    QPointer<QMenu> acuBits = window->frontPanelController()->openPopup();
    ASSERT_NE(acuBits, nullptr);
    EXPECT_EQ(acuBits->title(), "Display ACU");
    QAction* tracking = item(acuBits, "Tracking");
    EXPECT_EQ(tracking->isChecked(), acu.unit().trackingEnabled());
    // A tick says what the unit reported; a click does not change it.
    tracking->trigger();
    EXPECT_EQ(tracking->isChecked(), acu.unit().trackingEnabled());

    // The Error label opens the error window; its default item resets the errors.
    QTest::mouseClick(panel().lamp(StatusLeds::Error), Qt::LeftButton);
    QMenu* errors = window->frontPanelController()->openPopup();
    ASSERT_NE(errors, nullptr);
    EXPECT_TRUE(!acuBits || !acuBits->isVisible());
    EXPECT_EQ(errors->title(), "Display Error");
    EXPECT_TRUE(item(errors, "Comm Error")->isChecked());
    EXPECT_FALSE(item(errors, "Gyro Read")->isChecked());
    ASSERT_NE(errors->defaultAction(), nullptr);
    EXPECT_EQ(errors->defaultAction()->text(), "Reset Error Bits");
    const qsizetype wireMark = serial.sentBytes().size();
    errors->defaultAction()->trigger();
    runtime.advance(3000);
    EXPECT_TRUE(serial.sentBytes().mid(wireMark).contains("&    \r\n?   S\r\n"));
    EXPECT_FALSE(panel().lamp(StatusLeds::Error)->led()->isLit());
}

TEST_F(FrontPanelTest, ABitMenuItemFlipsItsBitInTheUnitsSystemType)
{
    startLive(2000);
    QMenu* shortcuts = rightClick(FrontPanel::Mode);
    ASSERT_NE(shortcuts, nullptr);
    item(shortcuts, "System Type")->trigger();
    runtime.advance(4000);
    const int value = acu.unit().parameter('N');
    ParameterBitMenu* menu = window->systemTypeMenu();
    EXPECT_EQ(menu->title(), "System Type    " + QString::asprintf("%03d", value));
    QAction* extModem = item(menu, "2,    Ext Modem Lock");
    ASSERT_NE(extModem, nullptr);
    EXPECT_EQ(extModem->isChecked(), (value & 2) != 0);
    EXPECT_EQ(item(menu, "128, Modem Lock In = Hi")->isChecked(), (value & 128) != 0);

    const qsizetype mark = heard.size();
    extModem->trigger();
    const int flipped = value ^ 2;
    EXPECT_EQ(extModem->isChecked(), (flipped & 2) != 0);
    runtime.advance(2000);
    EXPECT_TRUE(heardSince(mark).contains("mN" + QByteArray::number(flipped).rightJustified(3, '0')));
    EXPECT_EQ(acu.unit().parameter('N'), flipped);
    EXPECT_EQ(menu->title(), "System Type    " + QString::asprintf("%03d", flipped));
    EXPECT_EQ(line(2), "System Type    " + QString::asprintf("%03d", flipped));
}
