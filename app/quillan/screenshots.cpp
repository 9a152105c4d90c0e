// Renders Quillan's windows to PNG files without a display, so anyone can look at them:
// the terminal receiving text, a manual firmware upload (with its Cancel window halfway), a panel module with its
// display lines, the hex view, the "CommPort Properties" dialog (serial and TCP/IP) and
// the send window.
//
//   quillan_screenshots [output folder]
//
// Nothing here touches a network or a serial device: the links are simulated in virtual
// time, the settings live in memory and the prompts are answered by a script.
#include "AcuModel.h"
#include "AcuUnit.h"
#include "AutoUpload.h"
#include "ModuleUnit.h"
#include "SimUsbAttachment.h"
#include "UploadHistoryWindow.h"
#include "CancelWindow.h"
#include "CommPortDialog.h"
#include "LineStateStrip.h"
#include "ManualUpload.h"
#include "ModuleSelection.h"
#include "Prompter.h"
#include "QuillanFindQvrs.h"
#include "QuillanWindow.h"
#include "SendFile.h"
#include "SettingsStore.h"
#include "SimByteLink.h"
#include "SimPeer.h"
#include "SimRuntime.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"
#include "TerminalView.h"
#include "ModuleTools.h"
#include "ParameterDump.h"
#include "ToolsMenu.h"

#include "Discovery.h"
#include "DiscoveryResponder.h"
#include "FindQvrWindow.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>
#include <optional>

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

bool save(const QPixmap& shot, const QString& folder, const QString& name)
{
    const QString path = QDir(folder).filePath(name);
    const bool ok = shot.save(path);
    QTextStream(stdout) << (ok ? "wrote " : "FAILED ") << path << '\n';
    return ok;
}

// One running terminal on simulated links, set up from a stored profile.
struct Scene {
    SimRuntime runtime;
    MemorySettingsStore store;
    ScriptedPrompter prompter;
    // A simulated unit on the line, when the scene needs more than a scripted one. Peers
    // before links: a link lets go of its peer when it is destroyed.
    std::unique_ptr<AcuModel> acu;
    std::unique_ptr<ModuleUnit> board;
    SimByteLink serial{runtime, ByteLink::Kind::Serial};
    SimByteLink tcp{runtime, ByteLink::Kind::Tcp};
    ScriptedUnit unit;
    std::unique_ptr<TerminalSession> session;
    std::unique_ptr<ModuleSelection> selection;
    std::unique_ptr<QuillanWindow> window;
    std::unique_ptr<SimUsbAttachment> usb;

    explicit Scene(const QString& direct, bool withAcu = false, int baud = 115200,
                   std::optional<BootTarget> boardTarget = std::nullopt)
    {
        store.set(QStringLiteral("QuillanUniv1"), QStringLiteral("Properties"), QStringLiteral("Direct"),
                  direct);
        serial.setBaud(baud);
        serial.setLineStates({true, true, true, false, false});
        if (boardTarget) {
            board = std::make_unique<ModuleUnit>(runtime, *boardTarget);
            serial.attachPeer(board.get());
            usb = std::make_unique<SimUsbAttachment>(*board, serial);
        } else if (withAcu) {
            acu = std::make_unique<AcuModel>(runtime);
            serial.attachPeer(acu.get());
        } else {
            serial.attachPeer(&unit);
        }
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

// A firmware file for the BDE modem: 4 KiB of code with its version text, ending with the
// start address by which the modem's files announce themselves.
QString writeModemFirmware(const QString& folder)
{
    QByteArray code(4096, '\0');
    for (int i = 0; i < code.size(); ++i)
        code[i] = char((i * 37 + 11) & 0xFF);
    code.replace(0x40, 9, QByteArray("VER 3.06", 9));
    const auto record = [](quint16 address, const QByteArray& data, char type = '1') {
        QByteArray bytes;
        bytes.append(char(data.size() + 3)).append(char(address >> 8)).append(char(address & 0xFF)).append(data);
        int sum = 0;
        for (char b : bytes)
            sum += uchar(b);
        bytes.append(char(~sum & 0xFF));
        return "S" + QByteArray(1, type) + bytes.toHex().toUpper() + "\r\n";
    };
    QByteArray file = record(0, "QVR5K BDE 3.06", '0');
    for (int at = 0; at < code.size(); at += 16)
        file += record(quint16(0xC000 + at), code.mid(at, 16));
    file += record(0xF080, {}, '9');
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("QVR5K_BDE_3.06.s19"));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(file);
    return path;
}

// The terminal window with the Cancel window in front of it, where it sits on the screen.
QPixmap withCancelWindow(QuillanWindow& window)
{
    window.terminal()->flush();
    QApplication::processEvents();
    QPixmap shot = window.grab();
    CancelWindow* cancel = window.cancelWindow();
    if (!cancel->isVisible())
        return shot;
    const QPixmap inner = cancel->grab();
    const int title = 24;
    const QPoint at = cancel->pos() - window.pos() + QPoint(0, title);
    QPainter p(&shot);
    const QRect frame(at.x() - 1, at.y() - title, inner.width() + 2, inner.height() + title + 1);
    p.fillRect(frame, QColor(0x3a, 0x4a, 0x5e));
    p.setPen(Qt::white);
    p.drawText(frame.adjusted(8, 0, 0, -(inner.height() + 1)), Qt::AlignVCenter | Qt::AlignLeft,
               cancel->windowTitle());
    p.drawPixmap(at, inner);
    return shot;
}

// A manual upload to the BDE modem behind a simulated ACU: Start, Erase, then Upload with
// the file chooser answered. One picture halfway through, with the Cancel window showing its
// progress, and one of the terminal once the upload and the ACU restart are done.
void manualUpload(const QString& folder)
{
    Scene scene(QStringLiteral("QVR2m1"), true, 9600);
    scene.acu->unit().setBlockagesEnabled(false);
    ManualUpload& upload = scene.window->manualUpload();
    scene.prompter.fileNames << writeModemFirmware(folder + QStringLiteral("/files"));

    bool pictured = false;
    QObject::connect(&upload.transfer(), &S19Transfer::progress, scene.window.get(),
                     [&](qint64 sent, qint64 total, qint64) {
                         if (pictured || sent * 5 < total * 3)
                             return;
                         pictured = true;
                         save(withCancelWindow(*scene.window), folder,
                              QStringLiteral("quillan-upload-progress.png"));
                     });
    scene.window->actions().startButton->trigger();
    scene.window->actions().eraseButton->trigger();
    scene.window->actions().uploadButton->trigger();
    scene.runtime.advance(3000);
    save(*scene.window, folder, QStringLiteral("quillan-upload.png"));
}

// An S-record file of size bytes at base with its version text, ending with start.
QString writeFirmware(const QString& folder, const QString& name, quint16 base, int size, const QByteArray& version,
                      quint16 start)
{
    QByteArray code(size, '\0');
    for (int i = 0; i < code.size(); ++i)
        code[i] = char((i * 53 + 7) & 0xFF);
    code.replace(0x20, version.size() + 1, version + " ");
    const auto record = [](quint16 address, const QByteArray& data, char type = '1') {
        QByteArray bytes;
        bytes.append(char(data.size() + 3)).append(char(address >> 8)).append(char(address & 0xFF)).append(data);
        int sum = 0;
        for (char b : bytes)
            sum += uchar(b);
        bytes.append(char(~sum & 0xFF));
        return "S" + QByteArray(1, type) + bytes.toHex().toUpper() + "\r\n";
    };
    QByteArray file = record(0, name.toLatin1().left(20), '0');
    for (int at = 0; at < code.size(); at += 16)
        file += record(quint16(base + at), code.mid(at, 16));
    file += record(start, {}, '9');
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(file);
    return path;
}

// The Auto Upload of an ACU: one picture with the transfer under way and its Cancel window,
// one of the verdict. The job goes into the upload history the last picture shows.
void autoUpload(const QString& folder)
{
    Scene scene(QStringLiteral("QVR2a"), true, 9600);
    scene.acu->unit().setBlockagesEnabled(false);
    scene.acu->unit().setAcuVersion("QVR-5030 ACU VER 7.12 SIM");
    scene.prompter.fileNames << writeFirmware(folder + QStringLiteral("/files"), QStringLiteral("QVR5K_ACU_7.14.s19"),
                                              0x4000, 2048, "VER 7.14", 0xF003);
    bool pictured = false;
    QObject::connect(&scene.window->manualUpload().transfer(), &S19Transfer::progress, scene.window.get(),
                     [&](qint64 sent, qint64 total, qint64) {
                         if (pictured || sent * 5 < total * 3)
                             return;
                         pictured = true;
                         save(withCancelWindow(*scene.window), folder,
                              QStringLiteral("quillan-autoupload-progress.png"));
                     });
    scene.window->actions().autoUploadButton->trigger();
    scene.runtime.advance(3000);
    save(*scene.window, folder, QStringLiteral("quillan-autoupload.png"));
}

// The KVMP auto update: the terminal once the three files are chosen (the KVMP and NMEA
// files and the SLCD image), as the programming begins; then the whole job's end.
void kvmpAutoUpdate(const QString& folder)
{
    Scene scene(QStringLiteral("SLCD"), false, 9600, BootTarget::Kvmp);
    scene.board->setStatusStream(false);
    const QString files = folder + QStringLiteral("/files");
    QByteArray image(3000, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((i * 29 + 3) & 0xFF);
    image[0] = char(0xEB);
    image[1] = char(0xFE);
    const QString slcd = QDir(files).filePath(QStringLiteral("771206_SLCD_1.07.bin"));
    QFile f(slcd);
    if (f.open(QIODevice::WriteOnly))
        f.write(image);
    f.close();
    scene.prompter.fileNames
        << writeFirmware(files, QStringLiteral("771204_KVMP_2.20.s19"), 0x2000, 1024, "VER 2.20", 0xE003) << slcd
        << writeFirmware(files, QStringLiteral("771205_NMEA_1.10.s19"), 0x2000, 512, "VER 1.10", 0xF806);
    bool pictured = false;
    QObject::connect(&scene.window->autoUpload(), &AutoUpload::stateChanged, scene.window.get(),
                     [&](AutoUpload::State s) {
                         if (pictured || s != AutoUpload::State::BootloaderStart)
                             return;
                         pictured = true;
                         save(*scene.window, folder, QStringLiteral("quillan-kvmp-selection.png"));
                     });
    scene.window->actions().autoUploadButton->trigger();
    scene.runtime.advance(3000);
    save(*scene.window, folder, QStringLiteral("quillan-kvmp-update.png"));

    UploadHistoryWindow* history = scene.window->showUploadHistory();
    history->resize(1500, 300);
    save(*history, folder, QStringLiteral("quillan-upload-history.png"));
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

    // The discovery window over a unit on this machine that answers twice.
    DiscoveryResponder responder(0, 2);
    scene.store.set(QStringLiteral("QuillanUniv1"), QStringLiteral("FindQvrs"), QStringLiteral("PortNumber"),
                    QString::number(responder.port()));
    scene.store.set(QStringLiteral("QuillanUniv1"), QStringLiteral("FindQvrs"), QStringLiteral("IPAddress"),
                    QStringLiteral("127.0.0.1"));
    auto* find = new QuillanFindQvrs(*scene.window, *scene.session, QStringLiteral("127.0.0.1"));
    find->open();
    find->discovery().findAll();
    QDeadlineTimer deadline(2000);
    while (find->discovery().found().size() < 2 && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    QApplication::processEvents();
    save(*find->window(), folder, QStringLiteral("quillan-find-qvrs.png"));
}

// A whole parameter dump against the simulated ACU at 9600 baud: the Cancel window with the
// query count halfway, and the terminal once the file is written.
void parameterDump(const QString& folder)
{
    Scene scene(QStringLiteral("QVR2a"), true, 9600);
    scene.acu->unit().setBlockagesEnabled(false);
    QTemporaryDir files;
    scene.prompter.fileNames << files.filePath(QStringLiteral("param_All.txt"));
    bool pictured = false;
    QObject::connect(&scene.window->toolsMenu().dump(), &ParameterDump::progressChanged, scene.window.get(),
                     [&](const QString&, int done, int) {
                         if (pictured || done < 40)
                             return;
                         pictured = true;
                         save(withCancelWindow(*scene.window), folder, QStringLiteral("quillan-dump-progress.png"));
                     });
    scene.window->actions().dumpAll->trigger();
    scene.runtime.advance(500);
    save(*scene.window, folder, QStringLiteral("quillan-dump.png"));
}

// The Tools menu open under the menu bar, with the ACU Tools beside it.
void toolsMenu(const QString& folder)
{
    Scene scene(QStringLiteral("QVR2a"));
    QAction* expert = scene.window->findChild<QAction*>(QStringLiteral("mnuExpert"));
    if (expert)
        expert->trigger();
    auto* menu = qobject_cast<QMenu*>(scene.window->actions().sendGps->parent());
    QMenuBar* bar = scene.window->menuBar();
    QAction* title = menu ? menu->menuAction() : nullptr;
    if (!menu || !title)
        return;
    QApplication::processEvents();
    scene.window->terminal()->flush();
    QPixmap shot = scene.window->grab();
    const QPoint at = bar->mapTo(scene.window.get(), bar->actionGeometry(title).bottomLeft());
    menu->popup(scene.window->mapToGlobal(at));
    QApplication::processEvents();
    QMenu* sub = menu->actions().isEmpty() ? nullptr : menu->actions().first()->menu();
    QPainter p(&shot);
    p.drawPixmap(at, menu->grab());
    if (sub) {
        const QRect row = menu->actionGeometry(menu->actions().first());
        sub->popup(menu->mapToGlobal(row.topRight()));
        QApplication::processEvents();
        p.drawPixmap(at + row.topRight() + QPoint(-2, 0), sub->grab());
        sub->hide();
    }
    p.end();
    menu->hide();
    save(shot, folder, QStringLiteral("quillan-tools-menu.png"));
}

// The question before the factory defaults, as the Qt prompter shows it.
void factoryDefaults(const QString& folder)
{
    Scene scene(QStringLiteral("QVR2a"));
    QMessageBox box(scene.window.get());
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle(QString::fromLatin1(ModuleTools::kFactoryTitle));
    box.setText(QString::fromLatin1(ModuleTools::kFactoryQuestion));
    box.setTextFormat(Qt::PlainText);
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
    box.show();
    QApplication::processEvents();
    // The box with a title bar drawn on, as the window manager would frame it.
    const QPixmap inner = box.grab();
    const int title = 24;
    QPixmap shot(inner.width() + 2, inner.height() + title + 1);
    QPainter p(&shot);
    p.fillRect(shot.rect(), QColor(0x3a, 0x4a, 0x5e));
    p.setPen(Qt::white);
    p.drawText(QRect(8, 0, shot.width() - 8, title), Qt::AlignVCenter | Qt::AlignLeft, box.windowTitle());
    p.drawPixmap(1, title, inner);
    p.end();
    save(shot, folder, QStringLiteral("quillan-factory-defaults.png"));
}

} // namespace

int main(int argc, char** argv)
{
    // A private settings folder, in case anything reaches for one.
    QTemporaryDir configDir;
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    qputenv("QVR_LOOPBACK_ONLY", "1");
    QTemporaryDir dataDir;
    qputenv("XDG_DATA_HOME", dataDir.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(QUILLAN_VERSION));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QString folder = QApplication::arguments().value(1, QStringLiteral(QUILLAN_SCREENSHOT_DIR));
    QDir().mkpath(folder);

    dataTerminal(folder);
    manualUpload(folder);
    hexView(folder);
    panelModule(folder);
    dialogs(folder);
    parameterDump(folder);
    toolsMenu(folder);
    factoryDefaults(folder);
    autoUpload(folder);
    kvmpAutoUpdate(folder);
    return 0;
}
