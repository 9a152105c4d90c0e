#include "HelpPages.h"
#include "LedWidget.h"
#include "PromptConversions.h"
#include "QtPrompter.h"
#include "VfdDisplay.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
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

TEST(PromptConversions, TextsAndColours)
{
    EXPECT_EQ(promptconv::displayText("Error,\rNo link\rClick LED."), "Error,\nNo link\nClick LED.");
    EXPECT_EQ(promptconv::displayText("a\r\nb"), "a\nb");

    EXPECT_EQ(promptconv::colorFromBgr(65535), QColor(255, 255, 0));
    EXPECT_EQ(promptconv::colorFromBgr(8388608), QColor(0, 0, 128));
    EXPECT_EQ(promptconv::colorFromBgr(255), QColor(255, 0, 0));
    for (quint32 v : {0u, 5197646u, 2039583u, 16776960u, 16777215u})
        EXPECT_EQ(promptconv::bgrFromColor(promptconv::colorFromBgr(v)), v);

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

// The programs ask for help pages by their old names and folders; the installed guide answers
// by file name, a unit's web page goes to the browser as it is, and a missing page says so
// instead of opening nothing.
TEST(HelpPages, RequestsFindTheGuideOrSayItIsMissing)
{
    QTemporaryDir guide;
    for (const char* name : {"index.html", "capture.html", "quillan.html"}) {
        QFile f(guide.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QStringList folders{"/nonexistent/guide", guide.path()};
    EXPECT_EQ(helppages::locate("file:///C:\\Program Files\\Korvex\\html\\INDEX.html", folders),
              guide.filePath("index.html"));
    EXPECT_EQ(helppages::locate("html\\capture.html", folders), guide.filePath("capture.html"));
    EXPECT_EQ(helppages::locate("\\Program Files\\Quillan\\ACU-PCU_Update.pdf", folders),
              guide.filePath("quillan.html"));
    EXPECT_EQ(helppages::locate("html\\find_qvr.html", folders), std::nullopt);

    QtPrompter prompter;
    QList<QUrl> opened;
    prompter.setUrlOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    prompter.setGuideFolders(folders);
    prompter.openUrl("http://127.0.0.1/");
    prompter.openUrl("html\\capture.html");
    EXPECT_EQ(opened, (QList<QUrl>{QUrl("http://127.0.0.1/"), QUrl::fromLocalFile(guide.filePath("capture.html"))}));

    // A missing page: the box names it and where it was looked for; nothing is opened.
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    prompter.openUrl("html\\find_qvr.html");
    EXPECT_TRUE(shown.contains("find_qvr.html") && shown.contains(guide.path())) << shown.toStdString();
    EXPECT_EQ(opened.size(), 2);
}
