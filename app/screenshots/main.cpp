// Renders Korvex's windows to PNG files without a display, so anyone can look at them:
// the main window on a live (simulated) link and with the link closed, and the
// "CommPort Properties" dialog on a serial and a TCP/IP tab.
//
//   korvex_screenshots <output folder> [settle ms]
//
// Nothing here touches a network or a serial device: both links are simulated, the
// settings live in memory and the prompts are answered by a script.
#include "InstrumentTheme.h"
#include "KorvexSession.h"
#include "MainWindow.h"
#include "Prompter.h"
#include "PropertiesDialog.h"
#include "QtRuntime.h"
#include "SettingsStore.h"
#include "SimByteLink.h"

#ifdef QVR_HAVE_SIM
#include "AcuModel.h"
#endif

#include <QApplication>
#include <QDir>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>

namespace {

bool save(QWidget& w, const QString& folder, const QString& name)
{
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name);
    const bool ok = w.grab().save(path);
    QTextStream(stdout) << (ok ? "wrote " : "FAILED ") << path << '\n';
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    // A private settings folder, in case any dialog reaches for one.
    QTemporaryDir configDir;
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(KORVEX_VERSION));
    instrumenttheme::apply(app);
    const QStringList args = QApplication::arguments();
    const QString folder = args.value(1, QStringLiteral("screenshots"));
    const int settleMs = args.value(2, QStringLiteral("2500")).toInt();
    QDir().mkpath(folder);

    QtRuntime runtime;
    MemorySettingsStore store;
    ScriptedPrompter prompter;
    SimByteLink serial(runtime, ByteLink::Kind::Serial);
    SimByteLink tcp(runtime, ByteLink::Kind::Tcp);
    serial.setBaud(9600);
#ifdef QVR_HAVE_SIM
    AcuModel acu(runtime);
    serial.attachPeer(&acu);
#endif

    KorvexSession session(store, prompter, runtime, serial, tcp);
    MainWindow window(session);
    window.resize(1040, 690);
    window.show();
    session.start();
    // Lets the poll cycle run for a moment, so the panel shows the unit's replies.
    runtime.wait(settleMs);
    if (QWidget* focused = QApplication::focusWidget())
        focused->clearFocus();

    bool ok = save(window, folder, QStringLiteral("korvex-main.png"));

    {
        PropertiesDialog dialog(session, &window);
        dialog.show();
        dialog.editor().selectTab(0);
        ok &= save(dialog, folder, QStringLiteral("korvex-properties.png"));
        dialog.editor().selectTab(1);
        ok &= save(dialog, folder, QStringLiteral("korvex-properties-tcp.png"));
        dialog.hide();
    }

    session.link().togglePort();
    ok &= save(window, folder, QStringLiteral("korvex-main-closed.png"));

    for (const QString& text : prompter.texts())
        QTextStream(stdout) << "message: " << QString(text).replace(QLatin1Char('\r'), QLatin1Char('|'))
                            << '\n';
    return ok ? 0 : 1;
}
