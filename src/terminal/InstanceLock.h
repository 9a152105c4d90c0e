#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// Tells the first running Quillan from a second one: the first holds a lock file named
// after its profile. A later instance finds it held and runs as instance 2.
class InstanceLock {
public:
    // directory: where the lock lives; empty means the user's runtime (or temp) folder.
    explicit InstanceLock(const QString& directory = QString());
    ~InstanceLock();

    // 1 when this process got the first instance's lock, else 2.
    int acquire();
    int instanceNumber() const { return m_instance; }
    QString lockPath() const { return m_path; }

    static QString profileName(int instance); // "QuillanUniv1" / "QuillanUniv2"
    static QString captionText(int instance); // "Vantrel Program Terminal" [" 2"]

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    int m_instance = 0;
};
