#pragma once

#include "BootloaderCommands.h"
#include "S19Transfer.h"
#include "UploadFileChooser.h"
#include "UploadFiles.h"

#include <QObject>

class ModuleSelection;
class TerminalSession;

// The manual upload commands of the window (Start, Erase, Upload and their menu items,
// Bulk Erase, Remote Upload). Each marks the session busy while it runs, so the window
// disables the commands that would start another sequence.
class ManualUpload : public QObject {
    Q_OBJECT
public:
    ManualUpload(TerminalSession& session, ModuleSelection& selection, QObject* parent = nullptr);
    ~ManualUpload() override;

    BootloaderCommands& bootloader() { return m_bootloader; }
    UploadFileChooser& chooser() { return m_chooser; }
    S19Transfer& transfer() { return m_transfer; }
    UploadFiles& files() { return m_files; }

    void start();
    void erase();
    void bulkErase();
    void remoteUploadMode();
    // The Upload button: choose and check the file, send it, then restart the module.
    void uploadButton();
    // "Upload S19 File" and "&Upload S19 File...": choose and check the file, send it.
    void uploadS19Item();

private:
    // False (with the mismatch line on the terminal) when the file was not accepted.
    bool chooseAndSend();

    TerminalSession& m_session;
    ModuleSelection& m_selection;
    UploadFiles m_files;
    BootloaderCommands m_bootloader;
    UploadFileChooser m_chooser;
    S19Transfer m_transfer;
};
