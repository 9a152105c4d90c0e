#include "LedWidget.h"
#include "PromptConversions.h"
#include "QtPrompter.h"
#include "VfdDisplay.h"

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

TEST(PromptConversions, LegacyFiltersBecomeQtFilters)
{
    EXPECT_EQ(promptconv::qtFilter("Text (*.txt)|*.txt|All Files (*.*)|*.*"), "Text (*.txt);;All Files (*)");
    EXPECT_EQ(promptconv::qtFilter("S-Records (*.s19)|*.s19;*.S19"), "S-Records (*.s19 *.S19)");
    // What filters is the pattern half, whatever the description claims.
    EXPECT_EQ(promptconv::qtFilter("Logs|*.LOG"), "Logs (*.LOG)");
    EXPECT_EQ(promptconv::qtFilter(""), "");
}

TEST(PromptConversions, TextsColoursAndHelpAddresses)
{
    EXPECT_EQ(promptconv::displayText("Error,\rNo link\rClick LED."), "Error,\nNo link\nClick LED.");
    EXPECT_EQ(promptconv::displayText("a\r\nb"), "a\nb");

    EXPECT_EQ(promptconv::colorFromBgr(65535), QColor(255, 255, 0));
    EXPECT_EQ(promptconv::colorFromBgr(8388608), QColor(0, 0, 128));
    EXPECT_EQ(promptconv::colorFromBgr(255), QColor(255, 0, 0));
    for (quint32 v : {0u, 5197646u, 2039583u, 16776960u, 16777215u})
        EXPECT_EQ(promptconv::bgrFromColor(promptconv::colorFromBgr(v)), v);

    const QUrl windowsPath =
        promptconv::helpUrl("file:///C:\\Program Files\\Korvex\\html\\comm_port.html", "/x");
    EXPECT_EQ(windowsPath.scheme(), "file");
    EXPECT_TRUE(windowsPath.path().endsWith("/Korvex/html/comm_port.html"))
        << windowsPath.toString().toStdString();
    EXPECT_EQ(promptconv::helpUrl("html\\capture.html", "/opt/korvex"),
              QUrl::fromLocalFile("/opt/korvex/html/capture.html"));
    EXPECT_EQ(promptconv::helpUrl("index.html", "/opt/korvex"),
              QUrl::fromLocalFile("/opt/korvex/index.html"));
    EXPECT_EQ(promptconv::helpUrl("http://example.com/a b", "/x").host(), "example.com");
}

namespace {
QColor centreOf(LedWidget& led)
{
    led.resize(led.sizeHint());
    const QImage image = led.grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}
} // namespace

TEST(InstrumentWidgets, ALampIsHollowWhenDarkAndFilledWhenLit)
{
    LedWidget led;
    led.setAutoFillBackground(true);
    QPalette pal = led.palette();
    pal.setColor(QPalette::Window, QColor(40, 40, 40));
    led.setPalette(pal);

    EXPECT_FALSE(led.isLit());
    EXPECT_EQ(centreOf(led), QColor(40, 40, 40)); // the background shows through

    led.setColor(QColor(0, 255, 0));
    const QColor green = centreOf(led);
    EXPECT_GT(green.green(), 150);
    EXPECT_LT(green.red(), green.green() / 2);

    led.setColor(QColor(0, 255, 255));
    const QColor cyan = centreOf(led);
    EXPECT_GT(cyan.blue(), 150);
    EXPECT_GT(cyan.green(), 150);

    led.setDark();
    EXPECT_EQ(centreOf(led), QColor(40, 40, 40));
}

TEST(InstrumentWidgets, TheDisplayKeepsFourLinesAndWidensForLongOnes)
{
    VfdDisplay display;
    display.setLines({"ANTENNA ", "AZ  123.4", "EL   45.0", "REL  10.0", "spare"});
    EXPECT_EQ(display.lines().size(), 4);
    EXPECT_EQ(display.line(1), "AZ  123.4");
    const int width = display.sizeHint().width();
    display.setLine(3, QString(30, QLatin1Char('X')));
    EXPECT_GT(display.sizeHint().width(), width);
    display.setLine(7, "ignored");
    EXPECT_EQ(display.lines().size(), 4);
    EXPECT_TRUE(QFontInfo(VfdDisplay::displayFont(19)).fixedPitch());
}

namespace {
// Runs check on the message box once it is up, then closes it with the given button
// (or Escape when none).
void whenBoxIsUp(const std::function<void(QMessageBox&)>& check, QMessageBox::StandardButton press)
{
    QTimer::singleShot(0, [check, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        check(*box);
        if (press == QMessageBox::NoButton)
            box->reject();
        else
            box->button(press)->click();
    });
}
} // namespace

TEST(QtPrompterTest, MessageBoxesKeepTextIconButtonsAndDefault)
{
    QtPrompter prompter;
    prompter.setDefaultTitle("multQVRRemote");
    whenBoxIsUp(
        [](QMessageBox& box) {
            EXPECT_EQ(box.text(), "Error,\nOperation not allowed\nClick LED.");
            EXPECT_EQ(box.windowTitle(), "multQVRRemote");
            EXPECT_EQ(box.icon(), QMessageBox::Warning);
            EXPECT_EQ(box.standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
            EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Cancel));
        },
        QMessageBox::Ok);
    EXPECT_EQ(prompter.message({"Error,\rOperation not allowed\rClick LED.", "", Prompter::Icon::Exclamation,
                                Prompter::Buttons::OkCancel, Prompter::Answer::Cancel}),
              Prompter::Answer::Ok);

    whenBoxIsUp(
        [](QMessageBox& box) {
            EXPECT_EQ(box.windowTitle(), "Click Cancel to quit, OK to ignore.");
            EXPECT_EQ(box.icon(), QMessageBox::Information);
            EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Yes));
        },
        QMessageBox::NoButton);
    // Closing without a button is the way out the buttons offer.
    EXPECT_EQ(prompter.ask("Sure?", Prompter::Buttons::YesNo, "Click Cancel to quit, OK to ignore.",
                           Prompter::Icon::Information),
              Prompter::Answer::No);
}
