#pragma once

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

// Points the INI settings of this process at a fresh folder for the life of the object,
// then back at the test process's own folder (XDG_CONFIG_HOME, set by the test main).
class SettingsFolder {
public:
    SettingsFolder() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path()); }
    ~SettingsFolder()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           qEnvironmentVariable("XDG_CONFIG_HOME"));
    }
    SettingsFolder(const SettingsFolder&) = delete;
    SettingsFolder& operator=(const SettingsFolder&) = delete;

    QString path() const { return m_dir.path(); }
    // Where an application's INI file goes.
    QString iniPath(const QString& app) const { return m_dir.path() + "/Vantrel/" + app + ".ini"; }
    // A folder where the application's file should be: no write can succeed, even as root.
    bool blockFile(const QString& app) const { return QDir().mkpath(iniPath(app)); }

private:
    QTemporaryDir m_dir;
};
