#include "InstanceLock.h"

#include <QDir>
#include <QStandardPaths>

InstanceLock::InstanceLock(const QString& directory)
{
    QString dir = directory;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    m_path = QDir(dir).filePath(profileName(1) + QStringLiteral(".lock"));
}

InstanceLock::~InstanceLock() = default;

int InstanceLock::acquire()
{
    if (m_instance != 0)
        return m_instance;
    m_lock = std::make_unique<QLockFile>(m_path);
    // Held for the whole run, so age alone must never make it stale. A lock left behind
    // by a crashed first instance is still taken over: its process is gone.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        m_instance = 1;
    } else {
        m_lock.reset();
        m_instance = 2;
    }
    return m_instance;
}

QString InstanceLock::profileName(int instance)
{
    return instance == 2 ? QStringLiteral("QuillanUniv2") : QStringLiteral("QuillanUniv1");
}

QString InstanceLock::captionText(int instance)
{
    return instance == 2 ? QStringLiteral("Vantrel Program Terminal 2")
                         : QStringLiteral("Vantrel Program Terminal");
}
