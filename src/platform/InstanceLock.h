#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace tillora {

// One running copy per data directory, through a lock file in that directory.
// A restarted copy waits a few seconds for the old copy to let go of the lock.
class InstanceLock {
public:
    explicit InstanceLock(const QString& dataDir);
    ~InstanceLock();

    // True when this process now holds the lock; waits up to waitMs for another holder.
    bool tryLock(int waitMs = 5000);
    bool isLocked() const;
    void unlock();

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace tillora
