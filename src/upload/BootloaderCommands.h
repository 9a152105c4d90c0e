#pragma once

#include "SequenceSteps.h"

class ModuleSelection;
class TerminalSession;

// How each module family is put into its bootloader and erased. Every sequence runs to its
// end inside the user action that started it; the window stays responsive in its waits.
// The manual commands report failures as terminal lines only; the automatic KVMP start
// sets cancelRequested so that the caller skips erase and transfer.
class BootloaderCommands {
public:
    BootloaderCommands(TerminalSession& session, ModuleSelection& selection);

    // The Start button and "Start Progamming Sequence": the checked family's entry sequence.
    void startBootloader();
    // The automatic bootloader start of the KVMP, NMEA and VT PCU families. False (and
    // cancelRequested set) when it failed; true when it succeeded or nothing applies.
    bool kvmpBootloaderStart();
    // "Remote Upload / Lock Ports": resets the ACU and puts it into its remote upload mode.
    void remoteUploadMode();
    // Restarts the ACU and its CommIF after a transfer; a TCP/IP link is reconnected.
    void RebootACU();
    // The Erase button and the "Erase" item.
    void eraseModule();
    // "Bulk Erase".
    void bulkErase();

private:
    // Manual starts of the families that need more than a command or two.
    void startKvmp();
    void startNmea();
    void startVtPcu();
    void startDvb();
    void startModem();
    void startMotorDriver();
    void startAcuPcu();

    // The automatic starts; false after an abort.
    bool autoStartKvmp();
    bool autoStartNmea();
    bool autoStartVtPcu();
    // Shows the reason, sets cancelRequested and reports failure.
    bool abortStart(const QString& text);

    // Opens the port again after the KVMP dropped off USB. No message box: the device is
    // expected to be away for a while, and the sequence reports the outcome itself.
    bool reopenPort();
    // Sends the empty lines that make a starting NMEA bootloader print its "ERASE" prompt.
    // True as soon as the prompt is in the reply.
    bool nmeaPromptSeen(int attempts);
    // The "^B" attempts that start the VT PCU bootloader. True when it answered.
    bool vtPcuBootAttempts();
    void eraseVtPcu();

    SequenceSteps m_steps;
};
