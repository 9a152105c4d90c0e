// Renders what a technician meets first, without a display: the device list of a first
// start and the user guides as F1 (Korvex) and Help -> Instructions (Quillan) open them.
//
//   first_run_screenshots <output folder>
#include "AppIcons.h"
#include "FirstStartDialog.h"
#include "HelpPages.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTextBrowser>
#include <QTextStream>

namespace {

bool save(QWidget& w, const QString& folder, const QString& name)
{
    w.show();
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name);
    const bool ok = w.grab().save(path);
    QTextStream(stdout) << (ok ? "wrote " : "FAILED ") << path << '\n';
    return ok;
}

// A guide page as a browser shows it, from the folder the programs search.
bool helpPage(const QString& request, const QString& folder, const QString& name)
{
    const std::optional<QString> page =
        helppages::locate(request, helppages::searchFolders(QCoreApplication::applicationDirPath()));
    if (!page) {
        QTextStream(stderr) << "no guide page for " << request << '\n';
        return false;
    }
    QTextBrowser browser;
    browser.setWindowTitle(request);
    browser.resize(900, 760);
    browser.setSearchPaths({QFileInfo(*page).absolutePath()});
    QFile css(QFileInfo(*page).absolutePath() + QStringLiteral("/guide.css"));
    if (css.open(QIODevice::ReadOnly))
        browser.document()->setDefaultStyleSheet(QString::fromUtf8(css.readAll()));
    browser.setSource(QUrl::fromLocalFile(*page));
    return save(browser, folder, name);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(folder);
    bool ok = true;

    // The devices of a typical service laptop with an adapter plugged in.
    FirstStartDialog first(QStringLiteral("Korvex"),
                           {{QStringLiteral("/dev/ttyS0"), QString()},
                            {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART (FTDI)")},
                            {QStringLiteral("/dev/ttyACM0"), QStringLiteral("USB PCU (Vantrel)")}});
    first.setWindowIcon(appicons::icon(appicons::Program::Korvex));
    ok &= save(first, folder, QStringLiteral("first-start-devices.png"));
    FirstStartDialog none(QStringLiteral("Quillan"), {});
    ok &= save(none, folder, QStringLiteral("first-start-no-devices.png"));

    ok &= helpPage(QStringLiteral("index.html"), folder, QStringLiteral("help-korvex.png"));
    ok &= helpPage(QStringLiteral("\\Program Files\\Quillan\\ACU-PCU_Update.pdf"), folder,
                   QStringLiteral("help-quillan.png"));
    return ok ? 0 : 1;
}
