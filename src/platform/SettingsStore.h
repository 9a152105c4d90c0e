#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class Prompter;

// The per-user store of text values, addressed by application name, section and key.
// Every read carries a default, returned when the key is missing.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual QString get(const QString& app, const QString& section, const QString& key,
                        const QString& defaultValue) const = 0;
    virtual void set(const QString& app, const QString& section, const QString& key,
                     const QString& value) = 0;
    virtual bool contains(const QString& app, const QString& section, const QString& key) const = 0;
    // Writes pending changes through to the medium.
    virtual void sync() {}

    // Typed reads. A stored value that does not convert gives the default, so a
    // hand-edited or damaged file never stops the program.
    int getInt16(const QString& app, const QString& section, const QString& key, int defaultValue) const;
    bool getBool(const QString& app, const QString& section, const QString& key, bool defaultValue) const;

    static QString boolText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

    // A write that did not reach the medium: the file and why.
    struct SaveFailure {
        QString path;
        QString cause;
    };
    // Called for the first write that fails, once for the life of the store (a program
    // run): one message says where and why, instead of one per key or none at all.
    void onSaveFailure(std::function<void(const SaveFailure&)> handler)
    {
        m_onSaveFailure = std::move(handler);
    }
    // The usual handler: a message box through the prompter (saveFailureText).
    void reportSaveFailuresTo(Prompter& prompter);
    // "Error," CR "Settings could not be saved to <path>" CR "<cause>."
    static QString saveFailureText(const SaveFailure& failure);
    // Where an application's settings live, for messages.
    virtual QString location(const QString& app) const { return app; }

protected:
    void reportSaveFailure(const SaveFailure& failure);

private:
    std::function<void(const SaveFailure&)> m_onSaveFailure;
    bool m_saveFailureReported = false;
};

// QSettings in INI format: $XDG_CONFIG_HOME/Vantrel/<app>.ini, one INI group per section.
class IniSettingsStore : public SettingsStore {
public:
    static constexpr const char* kOrganization = "Vantrel";

    QString get(const QString& app, const QString& section, const QString& key,
                const QString& defaultValue) const override;
    void set(const QString& app, const QString& section, const QString& key, const QString& value) override;
    bool contains(const QString& app, const QString& section, const QString& key) const override;
    QString location(const QString& app) const override { return fileName(app); }
    // The file that holds an application's settings.
    static QString fileName(const QString& app);
    // Why the file at path could not be written, in words for the user.
    static QString writeFailureCause(const QString& path);
};

// In memory, for tests. Records every write in order.
class MemorySettingsStore : public SettingsStore {
public:
    struct Write {
        QString app, section, key, value;
    };

    QString get(const QString& app, const QString& section, const QString& key,
                const QString& defaultValue) const override;
    void set(const QString& app, const QString& section, const QString& key, const QString& value) override;
    bool contains(const QString& app, const QString& section, const QString& key) const override;

    const std::vector<Write>& writes() const { return m_writes; }
    void clearWrites() { m_writes.clear(); }

private:
    static QString path(const QString& app, const QString& section, const QString& key)
    {
        return app + QChar(0x1f) + section + QChar(0x1f) + key;
    }
    QHash<QString, QString> m_values;
    std::vector<Write> m_writes;
};

// A store in front of another that holds some keys for this run only: a pinned key reads
// its pinned value and a write to it stays in memory, while every other key goes through
// to the store behind. A link chosen on the command line is pinned this way, so the run
// uses it without touching the stored profiles.
class OverlaySettingsStore : public SettingsStore {
public:
    explicit OverlaySettingsStore(SettingsStore& base);

    void pin(const QString& app, const QString& section, const QString& key, const QString& value);
    bool isPinned(const QString& app, const QString& section, const QString& key) const;

    QString get(const QString& app, const QString& section, const QString& key,
                const QString& defaultValue) const override;
    void set(const QString& app, const QString& section, const QString& key, const QString& value) override;
    bool contains(const QString& app, const QString& section, const QString& key) const override;
    void sync() override { m_base.sync(); }
    QString location(const QString& app) const override { return m_base.location(app); }

private:
    static QString path(const QString& app, const QString& section, const QString& key)
    {
        return app + QChar(0x1f) + section + QChar(0x1f) + key;
    }
    SettingsStore& m_base;
    QHash<QString, QString> m_pinned;
};
