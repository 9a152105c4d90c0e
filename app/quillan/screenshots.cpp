// Renders Quillan's windows to PNG files without a display, so anyone can look at them:
// the terminal receiving text, an upload's progress lines, a panel module with its
// display lines, the hex view, the "CommPort Properties" dialog (serial and TCP/IP) and
// the send window.
//
//   quillan_screenshots [output folder]
//
// Nothing here touches a network or a serial device: the links are simulated in virtual
// time, the settings live in memory and the prompts are answered by a script.
#include "CancelWindow.h"
#include "CommPortDialog.h"
#include "LineStateStrip.h"
#include "ModuleSelection.h"
#include "Prompter.h"
#include "QuillanWindow.h"
#include "SendFile.h"
#include "SettingsStore.h"
#include "SimByteLink.h"
#include "SimPeer.h"
#include "SimRuntime.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"
#include "TerminalView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>

namespace {

// A unit that says what it is told to and ignores what it hears.
class ScriptedUnit : public SimPeer {
public:
    void peerReceived(const QByteArray&) override {}
    void say(const QByteArray& bytes) { sendToHost(bytes); }
};

bool save(QWidget& w, const QString& folder, const QString& name)
{
    QApplication::processEvents();
    if (auto* window = qobject_cast<QuillanWindow*>(&w))
        window->terminal()->flush();
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name);
    const bool ok = w.grab().save(path);
    QTextStream(stdout) << (ok ? "wrote " : "FAILED ") << path << '\n';
    return ok;
}

// One running terminal on simulated links, set up from a stored profile.
struct Scene {
    SimRuntime runtime;
    MemorySettingsStore store;
    ScriptedPrompter prompter;
    SimByteLink serial{runtime, ByteLink::Kind::Serial};
    SimByteLink tcp{runtime, ByteLink::Kind::Tcp};
    ScriptedUnit unit;
    std::unique_ptr<TerminalSession> session;
    std::unique_ptr<ModuleSelection> selection;
    std::unique_ptr<QuillanWindow> window;

    explicit Scene(const QString& direct)
    {
        store.set(QStringLiteral("QuillanUniv1"), QStringLiteral("Properties"), QStringLiteral("Direct"),
                  direct);
        serial.setBaud(115200);
        serial.setLineStates({true, true, true, false, false});
        serial.attachPeer(&unit);
        session = std::make_unique<TerminalSession>(runtime, prompter, store, serial, tcp, 1);
        selection = std::make_unique<ModuleSelection>(*session);
        window = std::make_unique<QuillanWindow>(*session, *selection);
        window->resize(900, 560);
        window->show();
        session->start();
    }

    void receive(const QByteArray& bytes, int settleMs = 200)
    {
        unit.say(bytes);
        runtime.advance(settleMs);
    }
};

void dataTerminal(const QString& folder)
{
    Scene scene(QStringLiteral("DATA"));
    scene.session->setDtr(true);
    scene.session->setRts(true);
    scene.receive("\r\nQVR-5030 Antenna Control Unit\r\nVER 7.14   Vantrel Marine Systems\r\n>");
    scene.receive("S\r\nS 00 00 00 00 00 04\r\n>P\r\nP 0453 1802 -0012\r\n>H\r\nH 2714\r\n>");
    scene.receive("L\r\nL 3746N 12222W\r\n>V\r\nQVR-5030 ACU Ver 7.14 29/03/18\r\n>");
    for (int i = 0; i < 6; ++i)
        scene.receive(QStringLiteral("A\r\nA %1 AGC %2\r\n>").arg(1020 + i * 7).arg(612 - i * 3).toLatin1());
    scene.runtime.advance(754000);
    save(*scene.window, folder, QStringLiteral("quillan-main.png"));
}

void uploadProgress(const QString& folder)
{
    Scene scene(QStringLiteral("QVR2a"));
    TerminalScreen& screen = scene.session->screen();
    screen.showLine(QStringLiteral("PT:  Module =   QVR 5K Translation ACU"));
    screen.showLine(QStringLiteral("PT:  File = /home/tech/firmware/QVR5030_7.15.s19"));
    screen.showLine(QStringLiteral("PT:  File verification complete! Checking for File version number"));
    screen.showLine(QStringLiteral("PT:  File version number: 7.15"));
    screen.showLine(QStringLiteral("PT:  Checking communication with ACU, send 'S'"));
    scene.receive("S 00 00 00 00 00 04\r\n>");
    screen.showLine(QString());
    screen.showLine(QStringLiteral("PT:  Normal ACU response, Checking module Version number"));
    scene.receive("QVR-5030 ACU Ver 7.14 29/03/18\r\n>");
    screen.showLine(QString());
    screen.showLine(
        QStringLiteral("PT:  File and Module major version numbers verified, starting ACU bootloader"));
    screen.showLine(QStringLiteral("PT:  Send '\\0080' Start ACU Bootloader command"));
    scene.receive("BOOT V2.1\r\n");
    screen.showLine(QStringLiteral("PT:  Bootloader mode is active"));
    screen.showLine(QStringLiteral("PT:  Module Erase Try 1"));
    scene.receive("+\r\n");
    screen.showLine(QStringLiteral("PT:  Sucessful Erase"));
    screen.showLine(QStringLiteral("PT:  Begin Module Upload"));
    scene.receive("****************************************\r\n");
    screen.showLine(QStringLiteral("PT:  WARNING Upload Cancled"));
    screen.showLine(QStringLiteral("PT:  ACU will be inoperative"));
    screen.showLine(QStringLiteral("PT:  Please run the Auto Upload function again"));
    scene.runtime.advance(95000);
    save(*scene.window, folder, QStringLiteral("quillan-upload.png"));
}

void hexView(const QString& folder)
{
    Scene scene(QStringLiteral("DATA"));
    scene.receive("V\r\nQVR-5030 ACU Ver 7.14\r\n>");
    if (QAction* hex = scene.window->findChild<QAction*>(QStringLiteral("mnuHex")))
        hex->trigger();
    scene.receive("S\r\nS 00 00 00 00 00 04\r\n>\x1b[D");
    scene.runtime.advance(5000);
    save(*scene.window, folder, QStringLiteral("quillan-hex.png"));
}

void panelModule(const QString& folder)
{
    Scene scene(QStringLiteral("SPCU"));
    scene.receive("\x01 SHORVEL PCU  V2.14\r\n\x02 AZ 181.2  EL 45.3\r\n\x03"
                  "0A\x04"
                  "0128\x06\x0c");
    scene.receive("PCU ready\r\n>");
    scene.runtime.advance(61000);
    save(*scene.window, folder, QStringLiteral("quillan-panel.png"));
}

void dialogs(const QString& folder)
{
    Scene scene(QStringLiteral("QVR2a"));
    scene.store.set(QStringLiteral("QuillanUniv1"), QStringLiteral("Ports"), QStringLiteral("COM1"),
                    QStringLiteral("/dev/ttyUSB0"));
    CommPortDialog dialog(*scene.session, scene.window.get());
    dialog.show();
    save(dialog, folder, QStringLiteral("quillan-commport.png"));
    // A module on the ACU's command port may be reached over TCP/IP.
    if (auto* tcp = dialog.findChild<QRadioButton*>(QStringLiteral("TCPIP")))
        tcp->click();
    save(dialog, folder, QStringLiteral("quillan-commport-tcp.png"));

    CancelWindow* cancel = scene.window->cancelWindow();
    cancel->present(QString::fromLatin1(SendFile::kWindowCaption),
                    SendFile::windowText(200, false, QStringLiteral("/home/tech/params/param_All.txt")));
    cancel->setProgress(57, 112, 14250);
    save(*cancel, folder, QStringLiteral("quillan-sendtext.png"));
}

} // namespace

int main(int argc, char** argv)
{
    // A private settings folder, in case anything reaches for one.
    QTemporaryDir configDir;
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(QUILLAN_VERSION));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QString folder = QApplication::arguments().value(1, QStringLiteral(QUILLAN_SCREENSHOT_DIR));
    QDir().mkpath(folder);

    dataTerminal(folder);
    uploadProgress(folder);
    hexView(folder);
    panelModule(folder);
    dialogs(folder);
    return 0;
}
