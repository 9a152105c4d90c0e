#pragma once

#include "SerialPorts.h"

#include <QDialog>

class QListWidget;
class SettingsStore;

// The first start on a laptop: no link has ever been set up, and the built-in default
// (COM1, /dev/ttyS0) is rarely the unit. Instead of timing out in silence the program
// lists the serial devices the system has, with what the system says about them, and
// lets the technician pick one or go to the full port settings.
class FirstStartDialog : public QDialog {
    Q_OBJECT
public:
    FirstStartDialog(const QString& program, const QList<SerialPortEntry>& ports, QWidget* parent = nullptr);

    // The device picked (empty when none was, or "Port Settings..." was chosen).
    QString chosenDevice() const { return m_device; }
    bool wantsSettings() const { return m_settings; }

    // True when the settings hold no trace of a link for this program: no serial choice,
    // no COM mapping and no address in the given application and section.
    static bool isFirstStart(const SettingsStore& store, const QString& app, const QString& section,
                             const QStringList& linkKeys);

private:
    QListWidget* m_list = nullptr;
    QString m_device;
    bool m_settings = false;
};
