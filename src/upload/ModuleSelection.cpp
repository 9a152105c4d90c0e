#include "ModuleSelection.h"

#include "SerialSettings.h"
#include "SettingsStore.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

namespace {
// The selections that upload through the Auto Upload sequence; their manual buttons are hidden.
constexpr Module kAutoUploadModules[] = {Module::QVRa,    Module::QVRp,   Module::QVR2a,  Module::QVR2p,
                                         Module::QVR2mdb, Module::USBpcu, Module::USBmdb, Module::SLCD,
                                         Module::NMEA,    Module::KVMP,   Module::VTPCU,  Module::SPG2pcu};
} // namespace

ModuleSelection::ModuleSelection(TerminalSession& session, QObject* parent)
    : QObject(parent), m_session(session)
{
    m_session.setModuleSelector(this);
    m_state.manualButtonsEnabled = m_session.isPortOpen();
    m_state.topMarginTwips = m_session.topMarginTwips();
    connect(&m_session, &TerminalSession::linkStateChanged, this, [this](bool open) {
        m_state.manualButtonsEnabled = open;
        applyUploadButtons();
    });
}

ModuleSelection::~ModuleSelection()
{
    if (m_session.moduleSelector() == this)
        m_session.setModuleSelector(nullptr);
}

std::optional<Module> ModuleSelection::checkedModule() const
{
    for (const ModuleRow& r : ModuleTable::rows())
        if (isChecked(r.module))
            return r.module;
    return std::nullopt;
}

void ModuleSelection::setChecked(Module module, bool on)
{
    m_checked.set(size_t(module), on);
    Q_EMIT stateChanged();
}

QString ModuleSelection::moduleDescription() const
{
    return m_session.moduleDescription();
}

bool ModuleSelection::tcpAllowed() const
{
    for (const ModuleRow& r : ModuleTable::rows())
        if (ModuleTable::allowsTcp(r.module) && isChecked(r.module))
            return true;
    return false;
}

void ModuleSelection::setTopMargin(int twips)
{
    m_state.topMarginTwips = twips;
    m_session.setTopMarginTwips(twips);
}

void ModuleSelection::resetModuleMenus()
{
    m_session.screen().clear();
    m_checked.reset();
    m_session.screen().setHexView(false);
    m_state.acuResetEnabled = false;
    m_state.acuDumpEnabled = true;
    m_state.pcuDumpEnabled = true;
    m_state.startItemEnabled = true;
    m_state.eraseItemEnabled = true;
    m_state.uploadS19ItemEnabled = true;
    m_state.phonePowerVisible = false;
    setTopMargin(TerminalSession::kNormalTopMargin);
    m_state.manualButtonsVisible = true;
    m_state.autoUploadEnabled = false;
    m_kvmpAutoUpdate = false;
    changed();
}

void ModuleSelection::applyUploadButtons()
{
    bool autoModule = false;
    for (Module m : kAutoUploadModules)
        autoModule = autoModule || isChecked(m);
    m_state.manualButtonsVisible = !autoModule;
    m_state.autoUploadEnabled = autoModule && m_session.isPortOpen();
    changed();
}

void ModuleSelection::select(Module module)
{
    run(module, true);
}

void ModuleSelection::restoreModule(const QString& identifier)
{
    run(ModuleTable::byIdentifier(identifier).value_or(Module::Data), false);
}

void ModuleSelection::changed()
{
    if (!m_inSelection)
        Q_EMIT stateChanged();
}

void ModuleSelection::run(Module module, bool userSelection)
{
    const ModuleRow& row = ModuleTable::row(module);
    // One notice for the whole selection, so the window does not show the steps between.
    m_inSelection = true;
    resetModuleMenus();
    m_checked.set(size_t(module));
    if (ModuleTable::runsApplyUploadButtons(module))
        applyUploadButtons();

    if (row.extras & ExtraAcuReset)
        m_state.acuResetEnabled = true;
    if (row.extras & ExtraNoDumps)
        m_state.acuDumpEnabled = m_state.pcuDumpEnabled = false;
    if (row.extras & ExtraNoManualItems)
        m_state.startItemEnabled = m_state.eraseItemEnabled = m_state.uploadS19ItemEnabled = false;
    if (row.extras & ExtraPhonePower)
        m_state.phonePowerVisible = true;
    if (row.extras & ExtraPanelLines)
        setTopMargin(TerminalSession::kPanelTopMargin);
    m_session.setModuleDescription(QString::fromLatin1(row.description));
    m_session.screen().setDataMode(module == Module::Data);

    if (userSelection) {
        // The new speed with the parity, data and stop bits the port already has.
        SerialSettings settings;
        SerialSettings::parse(m_session.serialSettings(), &settings);
        settings.baud = row.speed;
        m_session.setSerialSettings(settings.toString());
        const QString app = m_session.profileName();
        const QString section = QString::fromLatin1(TerminalSession::kSection);
        m_session.store().set(app, section, QStringLiteral("Direct"), QString::fromLatin1(row.identifier));
        m_session.store().set(app, section, QStringLiteral("Settings"), m_session.serialSettings());
        m_session.store().sync();
        if (m_session.isPortOpen()) {
            m_session.openOrCloseLink();
            m_session.openOrCloseLink();
        }
    }
    m_inSelection = false;
    Q_EMIT stateChanged();
}
