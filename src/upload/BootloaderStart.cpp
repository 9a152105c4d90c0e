// The manual Start of every family, the ACU's remote upload mode and the ACU restart.
#include "BootloaderCommands.h"

#include "TerminalSession.h"

namespace {
constexpr char kPassThroughEnd[] = "#!   ";
constexpr char kDvbEnd[] = "w!   ";
// "#", the byte 11 and two blanks: the pass-through piece that starts a module's loader.
const QByteArray kStartPiece = QByteArray("#") + char(11) + "  ";
} // namespace

BootloaderCommands::BootloaderCommands(TerminalSession& session, ModuleSelection& selection)
    : m_steps(session, selection)
{
}

void BootloaderCommands::startBootloader()
{
    SequenceSteps::Sequence sequence(m_steps);
    auto& s = m_steps;
    if (s.anyChecked({Module::KT4000, Module::SPCU, Module::Data})) {
        s.send(QByteArray("^0080") + char(0xA6));
    } else if (s.anyChecked({Module::Spanel, Module::Dpanel})) {
        s.sendBare(QByteArray("\x05\x07\x08"));
    } else if (s.checked(Module::KVMP)) {
        startKvmp();
    } else if (s.checked(Module::NMEA)) {
        startNmea();
    } else if (s.checked(Module::VTPCU)) {
        startVtPcu();
    } else if (s.anyChecked({Module::USBpcu, Module::SPG2pcu})) {
        s.send("^0080");
    } else if (s.checked(Module::USBmdb)) {
        s.send("]0080");
    } else if (s.anyChecked({Module::QVRa, Module::QVR2a})) {
        s.send("[L");
        s.pause(10);
        s.send("\\0080");
    } else if (s.anyChecked({Module::QVRd, Module::QVR2d, Module::SPdvb})) {
        startDvb();
    } else if (s.anyChecked({Module::QVR2m1, Module::QVR2m2})) {
        startModem();
    } else if (s.checked(Module::QVR2mdb)) {
        startMotorDriver();
    } else {
        startAcuPcu();
    }
}

void BootloaderCommands::startKvmp()
{
    auto& s = m_steps;
    if (!s.send("^BL"))
        return;
    s.session().closeLink();
    s.show(QStringLiteral("Sending '^BL' Command to enter Bootloader mode"));
    s.wait(1500);
    s.show(QStringLiteral("Closing USB Port"));
    s.show(QStringLiteral("Waiting for Bootloader to open USB port"));
    s.wait(3500);
    const bool open = reopenPort();
    s.captureOn();
    s.clearReply();
    if (open) {
        s.show(QStringLiteral("Port open, checking for Bootloader response"));
        s.send("verB");
    }
    s.wait(1000);
    if (s.replyContains(QStringLiteral("Ver")))
        s.show(QStringLiteral("PT:  Bootloader start is sucessful!"));
    else
        s.show(QStringLiteral("PT:  Bootloader start not sucessful, check Comm port and try again"));
    s.captureOff();
}

void BootloaderCommands::startNmea()
{
    auto& s = m_steps;
    s.captureOn();
    s.send("^NM");
    s.show(QStringLiteral("Sending '^NM' Command to enter NMEA pass through mode"));
    s.wait(500);
    s.clearReply();
    s.send("bootloader");
    s.show(QStringLiteral("PT:  Sending command to start bootloader"));
    s.wait(1000);
    if (!nmeaPromptSeen(5))
        s.show(QStringLiteral("PT:  Bootloader start failed, cycle power to KVMP and try again"));
    s.captureOff();
}

void BootloaderCommands::startVtPcu()
{
    auto& s = m_steps;
    s.show(QStringLiteral("PT:  Checking for KVMP Active"));
    s.captureOn();
    s.clearReply();
    if (!s.session().awaitReply().isEmpty()) {
        s.show(
            QStringLiteral("PT:  KVMP Active, Manually turn off KVMP communications and select Start again"));
        s.captureOff();
        return;
    }
    s.show(QStringLiteral("PT:  KVMP inactive, Checking for Bootloader mode"));
    s.clearReply();
    s.sendBare("$");
    s.wait(100);
    if (s.replyContains(QStringLiteral("ERASE")))
        s.show(QStringLiteral("PT:  Bootloarder already active, proceed to Erase sequence"));
    else if (!vtPcuBootAttempts())
        s.show(QStringLiteral("PT:  Bootloader start failed, check Com Ports and try again"));
    s.captureOff();
}

void BootloaderCommands::startDvb()
{
    auto& s = m_steps;
    if (s.checked(Module::SPdvb)) {
        s.show(QStringLiteral("Set PCU to program mode"));
        s.show(QStringLiteral("Start DVB Bootloader"));
        s.sendBare(QByteArray(1, SequenceSteps::kEsc) + 'D');
    } else {
        remoteUploadMode();
    }
    s.send(kDvbEnd);
    s.pause(50);
    s.send("wP   ");
    s.pause(300);
    s.send(kDvbEnd);
    s.pause(50);
    s.send(kDvbEnd);
}

void BootloaderCommands::startModem()
{
    auto& s = m_steps;
    remoteUploadMode();
    s.send(s.checked(Module::QVR2m1) ? "?<" : "?>");
    s.pause(10);
    s.send("#0080");
    s.pause(10);
    s.send(QByteArray("#0") + char(11) + "  ");
    s.pause(200);
    s.send(kPassThroughEnd);
}

void BootloaderCommands::startMotorDriver()
{
    auto& s = m_steps;
    remoteUploadMode();
    s.send("^0086");
    s.pause(200);
    s.send("?]");
    s.pause(10);
    s.send("#0080");
    s.pause(10);
    s.send(kStartPiece);
    s.pause(600);
    s.send(kPassThroughEnd);
}

void BootloaderCommands::startAcuPcu()
{
    auto& s = m_steps;
    remoteUploadMode();
    s.send("^0086");
    s.pause(200);
    s.send("?^");
    s.pause(10);
    s.send("#0080");
    s.pause(10);
    s.send(kStartPiece);
    s.pause(500);
    s.send(kPassThroughEnd);
}

void BootloaderCommands::remoteUploadMode()
{
    SequenceSteps::Sequence sequence(m_steps);
    auto& s = m_steps;
    s.show(QStringLiteral("Resetting ACU to be sure its in the correct state, Please Wait:"));
    s.send(QByteArray(1, SequenceSteps::kEsc) + "\\0090");
    for (int i = 0; i < 4; ++i) {
        s.wait(2000);
        s.show(QStringLiteral("."));
    }
    s.sendBare(QByteArray(1, SequenceSteps::kEsc) + 'D');
    s.pause(10);
    // The QVR-30 ACU keeps its upload mode in another parameter than the later ACUs.
    if (s.anyChecked({Module::QVRp, Module::QVRd})) {
        s.show(QStringLiteral("Setting ACU 'Remote Upload Mode' "));
        s.send("mE163");
    } else {
        s.send("[L");
        s.pause(10);
        s.show(QStringLiteral("Setting ACU 'Remote Upload Mode' "));
        s.send("mE159");
    }
    s.pause(600);
}

void BootloaderCommands::RebootACU()
{
    SequenceSteps::Sequence sequence(m_steps);
    auto& s = m_steps;
    s.wait(500);
    s.show(QStringLiteral("PT:  Re-booting ACU"));
    s.send("\\0090");
    s.wait(500);
    s.show(QStringLiteral("PT:  Re-booting CommIF"));
    s.send("[Z");
    TerminalSession& session = s.session();
    if (session.linkIsSerial() || s.halted())
        return;
    // The CommIF restart ends the TCP connection; dial again once it is back.
    session.closeLink();
    s.wait(5000);
    session.openOrCloseLink();
}

bool BootloaderCommands::reopenPort()
{
    return m_steps.session().reopenQuietly();
}

bool BootloaderCommands::nmeaPromptSeen(int attempts)
{
    auto& s = m_steps;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        if (s.replyContains(QStringLiteral("ERASE"))) {
            s.show(QStringLiteral("PT:  Bootloader start is sucessful!"));
            return true;
        }
        s.show(QStringLiteral("PT:  Bootloader start not sucessful, trying again"));
        s.clearReply();
        s.send("");
        s.wait(500);
    }
    return false;
}

bool BootloaderCommands::vtPcuBootAttempts()
{
    auto& s = m_steps;
    for (int attempt = 1; attempt <= 5; ++attempt) {
        s.show(QStringLiteral("PT:  Bootloader start attempt ") + QString::number(attempt));
        s.clearReply();
        s.sendBare("\r");
        s.sendCr("^B");
        s.wait(100);
        if (s.replyContains(QStringLiteral("BootLoader")))
            return true;
    }
    return false;
}
