#include "ManualUpload.h"

#include "ModuleSelection.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

ManualUpload::ManualUpload(TerminalSession& session, ModuleSelection& selection, QObject* parent)
    : QObject(parent), m_session(session), m_selection(selection), m_bootloader(session, selection),
      m_chooser(session, selection, m_files), m_transfer(session, selection, this)
{
}

ManualUpload::~ManualUpload() = default;

void ManualUpload::start()
{
    BusyScope busy(m_session);
    m_bootloader.startBootloader();
}

void ManualUpload::erase()
{
    BusyScope busy(m_session);
    m_bootloader.eraseModule();
}

void ManualUpload::bulkErase()
{
    BusyScope busy(m_session);
    m_bootloader.bulkErase();
}

void ManualUpload::remoteUploadMode()
{
    BusyScope busy(m_session);
    m_bootloader.remoteUploadMode();
}

void ManualUpload::uploadButton()
{
    BusyScope busy(m_session);
    if (!chooseAndSend() || m_session.cancelRequested())
        return;
    if (m_selection.isChecked(Module::SPCU) || m_selection.isChecked(Module::SPdvb) ||
        m_selection.isChecked(Module::Spanel)) {
        m_session.screen().showLine(QStringLiteral("Rebooting PCU"));
        m_session.commOut(QByteArray("^0090") + TerminalSession::kLineTerminator);
        return;
    }
    m_bootloader.RebootACU();
}

void ManualUpload::uploadS19Item()
{
    BusyScope busy(m_session);
    chooseAndSend();
}

bool ManualUpload::chooseAndSend()
{
    if (!m_chooser.selectAndVerifyS19()) {
        // A file the chooser turned down with a box of its own (damaged, unreadable, cut
        // short) does not also get the line that blames the module selection.
        if (!m_chooser.refusalExplained())
            m_session.screen().showText(QStringLiteral("\r\n") +
                                        QString::fromLatin1(UploadFileChooser::kMismatchText) +
                                        QStringLiteral("\r\n"));
        return false;
    }
    // A file changed on disc since it was checked is refused again; nothing was sent, so
    // nothing is restarted either. A transfer that lost its port set cancelRequested.
    return m_transfer.sendS19File(m_files.uploadFile) != S19Transfer::Outcome::Refused;
}
