#pragma once

#include "ModuleSelectorHook.h"
#include "ModuleTable.h"

#include <QObject>

#include <bitset>
#include <optional>

class TerminalSession;

// The target module: the check marks of the module menu items are the state. Selecting a
// row resets the menus, checks the row, sets the upload buttons, the row's extras, the
// module description and (for a user's selection) the line speed, which it stores.
class ModuleSelection : public QObject, public ModuleSelectorHook {
    Q_OBJECT
public:
    // What the window shows for the selection and the port state.
    struct MenuState {
        bool manualButtonsVisible = true;  // Start, Erase and Upload buttons
        bool manualButtonsEnabled = false; // ... enabled exactly while the port is open
        bool autoUploadEnabled = false;
        bool acuResetEnabled = false;     // "ACU Reset"
        bool acuDumpEnabled = true;       // ACU parameter dump item
        bool pcuDumpEnabled = true;       // PCU parameter dump item
        bool startItemEnabled = true;     // "Start Progamming Sequence"
        bool eraseItemEnabled = true;     // "Erase"
        bool uploadS19ItemEnabled = true; // "Upload S19 File"
        bool phonePowerVisible = false;
        int topMarginTwips = 800;
        bool operator==(const MenuState&) const = default;
    };

    // Registers itself with the session as its module selector.
    explicit ModuleSelection(TerminalSession& session, QObject* parent = nullptr);
    ~ModuleSelection() override;

    // A menu click (the window is shown): also sets the speed, stores it and reopens an open port.
    void select(Module module);
    // ModuleSelectorHook: the start-up restore.
    void restoreModule(const QString& identifier) override;
    bool tcpAllowed() const override;

    bool isChecked(Module module) const { return m_checked.test(size_t(module)); }
    // The first checked item in menu order.
    std::optional<Module> checkedModule() const;
    // For the KVMP auto-update job, which steers the shared procedures by the check marks.
    void setChecked(Module module, bool on);

    void resetModuleMenus();
    void applyUploadButtons();

    QString moduleDescription() const;
    const MenuState& state() const { return m_state; }
    bool kvmpAutoUpdate() const { return m_kvmpAutoUpdate; }
    void setKvmpAutoUpdate(bool on) { m_kvmpAutoUpdate = on; }

Q_SIGNALS:
    void stateChanged();

private:
    void run(Module module, bool userSelection);
    void setTopMargin(int twips);
    void changed();

    TerminalSession& m_session;
    std::bitset<kModuleCount> m_checked;
    MenuState m_state;
    bool m_kvmpAutoUpdate = false;
    bool m_inSelection = false;
};
