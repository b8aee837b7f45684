#include "InstanceLock.h"

#include <QDir>

namespace tillora {

InstanceLock::InstanceLock(const QString& dataDir)
    : m_lock(std::make_unique<QLockFile>(QDir(dataDir).filePath(QStringLiteral(".tillora.lock"))))
{
    // QLockFile's own stale detection stays on: a lock file whose process is gone
    // (killed, crashed, power cut) is taken over instead of blocking every later start.
    // A live holder keeps its lock however old the file is, through the file lock
    // QLockFile also holds on it.
}

InstanceLock::~InstanceLock() = default; // QLockFile's destructor releases a held lock

bool InstanceLock::tryLock(int waitMs)
{
    if (m_lock->isLocked())
        return true;
    return m_lock->tryLock(waitMs < 0 ? 0 : waitMs);
}

bool InstanceLock::isLocked() const
{
    return m_lock->isLocked();
}

void InstanceLock::unlock()
{
    if (m_lock->isLocked())
        m_lock->unlock();
}

} // namespace tillora
