// The automatic bootloader start of the boards on and behind a KVMP. Unlike the manual
// Start, a failure here aborts the upload that asked for it.
#include "BootloaderCommands.h"

#include "TerminalSession.h"

bool BootloaderCommands::kvmpBootloaderStart()
{
    SequenceSteps::Sequence sequence(m_steps);
    auto& s = m_steps;
    bool ok = true;
    s.captureOn();
    if (s.checked(Module::KVMP))
        ok = autoStartKvmp();
    else if (s.checked(Module::NMEA))
        ok = autoStartNmea();
    else if (s.checked(Module::VTPCU))
        ok = autoStartVtPcu();
    s.captureOff();
    return ok && !s.halted();
}

bool BootloaderCommands::abortStart(const QString& text)
{
    m_steps.show(text);
    m_steps.setCancelRequested(true);
    return false;
}

bool BootloaderCommands::autoStartKvmp()
{
    auto& s = m_steps;
    s.show(QStringLiteral("PT:  Checking Communication with KVMP: "));
    s.send("");
    s.wait(500);
    s.clearReply();
    s.send("verA");
    s.wait(1500);

    if (!s.replyContains(QStringLiteral("KVMP Ver"))) {
        // Perhaps the board is in its bootloader already.
        s.show(QStringLiteral("PT:  No response from KVMP, checking Bootloader"));
        s.clearReply();
        s.send("");
        s.wait(500);
        s.send("verB");
        s.wait(1500);
        if (!s.replyContains(QStringLiteral("Ver")))
            return abortStart(QStringLiteral("PT:  Unexpected response, check port settings and try again"));
        s.show(QStringLiteral("PT:  Bootloader start is sucessful!"));
        return true;
    }

    s.show(QStringLiteral("PT:  KVMP responding correctly, starting bootloader"));
    s.wait(1000);
    TerminalSession& session = s.session();
    for (int attempt = 1; attempt <= 3; ++attempt) {
        // A refused send lost the port under the sequence; restarting the board now would hide that.
        if (s.halted())
            return false;
        s.show(QStringLiteral("PT:  Bootloader start attempt ") + QString::number(attempt) +
               QStringLiteral(", Sending '^BL' Command"));
        // After a failed re-open the port is closed: the board is away or already in its
        // bootloader, and a send would only raise the closed-port box once per attempt.
        if (session.isPortOpen())
            s.send("^BL");
        s.wait(500);
        session.closeLink();
        s.wait(2500);
        s.show(QStringLiteral("PT:  Closing USB Port"));
        s.show(QStringLiteral("PT:  Waiting for Bootloader to open USB port"));
        s.wait(3000);
        const bool open = reopenPort();
        s.clearReply();
        if (open) {
            s.show(QStringLiteral("PT:  Port open, checking for Bootloader response: "));
            s.send("verB");
        }
        s.wait(1500);
        if (open && s.replyContains(QStringLiteral("Ver"))) {
            s.show(QStringLiteral("PT:  Bootloader start is sucessful!"));
            return true;
        }
        s.show(QStringLiteral("PT:  Bootloader start not sucessful, trying again"));
    }
    return abortStart(QStringLiteral("PT:  Bootloader start failed, cycle power to KVMP and try again"));
}

bool BootloaderCommands::autoStartNmea()
{
    auto& s = m_steps;
    s.show(QStringLiteral("PT:  Checking Communication with KVMP: "));
    s.send("");
    s.wait(250);
    s.clearReply();
    s.send("verA");
    s.wait(1000);
    if (!s.replyContains(QStringLiteral("KVMP Ver")))
        return abortStart(QStringLiteral("PT:  Unexpected response, check port settings and try again"));

    s.show(QStringLiteral("PT:  KVMP responding correctly, starting bootloader"));
    s.wait(1000);
    s.send("^NM");
    s.show(QStringLiteral("PT:  Sending '^NM' Command to enter NMEA pass through mode"));
    s.clearReply();
    s.send("bootloader");
    s.show(QStringLiteral("PT:  Sending command to start bootloader: "));
    s.wait(1000);
    if (nmeaPromptSeen(10))
        return true;
    return abortStart(QStringLiteral("PT:  Bootloader start failed, cycle power to KVMP and try again"));
}

bool BootloaderCommands::autoStartVtPcu()
{
    auto& s = m_steps;
    s.show(QStringLiteral("PT:  Checking for KVMP Active"));
    s.clearReply();
    if (!s.session().awaitReply().isEmpty()) {
        // A running KVMP streams its data; each "$" toggles it until it falls silent.
        s.show(QStringLiteral("PT:  KVMP Active, Send '$' until no more responses"));
        bool silent = false;
        for (int attempt = 1; attempt <= 25 && !silent; ++attempt) {
            s.show(QStringLiteral("PT:  KVMP Stop attempt  ") + QString::number(attempt));
            s.clearReply();
            s.sendBare("$");
            s.wait(100);
            silent = s.replyLength() < 25;
        }
        if (!silent)
            return abortStart(QStringLiteral("PT:  KVMP stop failed, check Com Ports and try again"));
    } else {
        s.show(QStringLiteral("PT:  KVMP inactive, Skip '$' command"));
    }

    s.clearReply();
    s.sendBare("$");
    s.wait(100);
    if (s.replyContains(QStringLiteral("ERASE"))) {
        s.show(QStringLiteral("PT:  Bootloarder already active, skip '^B' command"));
        return true;
    }
    if (vtPcuBootAttempts())
        return true;
    return abortStart(QStringLiteral("PT:  Bootloader start failed, check Com Ports and try again"));
}
