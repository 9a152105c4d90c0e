#include "SettingsStore.h"

#include "NumberFormat.h"
#include "Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

int SettingsStore::getInt16(const QString& app, const QString& section, const QString& key,
                            int defaultValue) const
{
    const auto v = numfmt::toInt16(get(app, section, key, QString::number(defaultValue)));
    return v ? *v : defaultValue;
}

bool SettingsStore::getBool(const QString& app, const QString& section, const QString& key,
                            bool defaultValue) const
{
    const auto v = numfmt::toBool(get(app, section, key, boolText(defaultValue)));
    return v ? *v : defaultValue;
}

void SettingsStore::reportSaveFailuresTo(Prompter& prompter)
{
    onSaveFailure([&prompter](const SaveFailure& failure) { prompter.error(saveFailureText(failure)); });
}

QString SettingsStore::saveFailureText(const SaveFailure& failure)
{
    return QStringLiteral("Error,\rSettings could not be saved to ") + failure.path + QLatin1Char('\r') +
           failure.cause + QLatin1Char('.');
}

void SettingsStore::reportSaveFailure(const SaveFailure& failure)
{
    if (m_saveFailureReported)
        return;
    m_saveFailureReported = true;
    if (m_onSaveFailure)
        m_onSaveFailure(failure);
}

namespace {
QString iniKey(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}
} // namespace

QString IniSettingsStore::get(const QString& app, const QString& section, const QString& key,
                              const QString& defaultValue) const
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, kOrganization, app);
    const QVariant v = s.value(iniKey(section, key));
    if (!v.isValid())
        return defaultValue;
    // We write every value quoted, but a hand-edited line such as Settings1=9600,N,8,1 comes
    // back from QSettings as a list, which would otherwise read as an empty text.
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

void IniSettingsStore::set(const QString& app, const QString& section, const QString& key,
                           const QString& value)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, kOrganization, app);
    s.setValue(iniKey(section, key), value);
    // QSettings keeps a failed write to itself; ask, so that settings do not vanish unseen.
    s.sync();
    if (s.status() == QSettings::AccessError)
        reportSaveFailure({s.fileName(), writeFailureCause(s.fileName())});
}

QString IniSettingsStore::writeFailureCause(const QString& path)
{
    const QFileInfo file(path);
    const QString folder = QDir::toNativeSeparators(file.absolutePath());
    if (!QFileInfo(file.absolutePath()).isDir())
        return QStringLiteral("The folder ") + folder + QStringLiteral(" cannot be created");
    if (file.isDir())
        return QStringLiteral("A folder of that name is in the way");
    if (!QFileInfo(file.absolutePath()).isWritable())
        return QStringLiteral("The folder ") + folder + QStringLiteral(" is read-only");
    if (file.exists() && !file.isWritable())
        return QStringLiteral("The file is read-only");
    return QStringLiteral("The disk may be full");
}

bool IniSettingsStore::contains(const QString& app, const QString& section, const QString& key) const
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, kOrganization, app);
    return s.contains(iniKey(section, key));
}

QString IniSettingsStore::fileName(const QString& app)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, kOrganization, app);
    return s.fileName();
}

QString MemorySettingsStore::get(const QString& app, const QString& section, const QString& key,
                                 const QString& defaultValue) const
{
    return m_values.value(path(app, section, key), defaultValue);
}

void MemorySettingsStore::set(const QString& app, const QString& section, const QString& key,
                              const QString& value)
{
    m_values.insert(path(app, section, key), value);
    m_writes.push_back({app, section, key, value});
}

bool MemorySettingsStore::contains(const QString& app, const QString& section, const QString& key) const
{
    return m_values.contains(path(app, section, key));
}

OverlaySettingsStore::OverlaySettingsStore(SettingsStore& base) : m_base(base)
{
    // The store behind reports its failed writes through this one's handler.
    m_base.onSaveFailure([this](const SaveFailure& failure) { reportSaveFailure(failure); });
}

void OverlaySettingsStore::pin(const QString& app, const QString& section, const QString& key,
                               const QString& value)
{
    m_pinned.insert(path(app, section, key), value);
}

bool OverlaySettingsStore::isPinned(const QString& app, const QString& section, const QString& key) const
{
    return m_pinned.contains(path(app, section, key));
}

QString OverlaySettingsStore::get(const QString& app, const QString& section, const QString& key,
                                  const QString& defaultValue) const
{
    const auto it = m_pinned.constFind(path(app, section, key));
    return it != m_pinned.constEnd() ? *it : m_base.get(app, section, key, defaultValue);
}

void OverlaySettingsStore::set(const QString& app, const QString& section, const QString& key,
                               const QString& value)
{
    const auto it = m_pinned.find(path(app, section, key));
    if (it != m_pinned.end())
        *it = value;
    else
        m_base.set(app, section, key, value);
}

bool OverlaySettingsStore::contains(const QString& app, const QString& section, const QString& key) const
{
    return m_pinned.contains(path(app, section, key)) || m_base.contains(app, section, key);
}
