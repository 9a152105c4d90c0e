// Korvex, the remote front panel of the antenna control unit.
#include "InstrumentTheme.h"
#include "KorvexSession.h"
#include "MainWindow.h"
#include "QtPrompter.h"
#include "QtRuntime.h"
#include "SerialByteLink.h"
#include "SettingsStore.h"
#include "TcpByteLink.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(IniSettingsStore::kOrganization));
    QApplication::setApplicationName(KorvexSettings::kApp);
    QApplication::setApplicationDisplayName(MainWindow::kTitle);
    QApplication::setApplicationVersion(QStringLiteral(KORVEX_VERSION));
    instrumenttheme::apply(app);

    QtRuntime runtime;
    IniSettingsStore store;
    SerialByteLink serial(runtime);
    TcpByteLink tcp(runtime);
    QtPrompter prompter;
    // Message boxes without a title of their own carry the program's title.
    prompter.setDefaultTitle(KorvexSettings::kApp);

    KorvexSession session(store, prompter, runtime, serial, tcp);
    MainWindow window(session);
    prompter.setParentWidget(&window);
    window.fitToScreen();
    window.show();

    QObject::connect(&app, &QCoreApplication::aboutToQuit, &session, [&session] { session.shutdown(); });
    // Opening the link may wait for a TCP connection; the window is up and painted first.
    QTimer::singleShot(0, &session, [&session] { session.start(); });
    return app.exec();
}
