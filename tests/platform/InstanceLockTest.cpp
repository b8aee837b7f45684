#include "platform/InstanceLock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using tillora::InstanceLock;

namespace {

// Reads the helper's output until it has printed `word` on a line of its own.
bool waitForWord(QProcess& process, const QByteArray& word, int timeoutMs = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        while (process.canReadLine()) {
            if (process.readLine().trimmed() == word)
                return true;
        }
        if (process.state() == QProcess::NotRunning)
            return false;
        process.waitForReadyRead(100);
    }
    return false;
}

// Starts the helper holding the lock of dir; returns once it holds it.
void startHolder(QProcess& holder, const QString& dir, const QStringList& extra = {})
{
    holder.start(QStringLiteral(LOCK_HOLDER_PATH), QStringList { dir, QStringLiteral("hold") } + extra);
    ASSERT_TRUE(holder.waitForStarted(10000));
    ASSERT_TRUE(waitForWord(holder, "locked")) << holder.readAllStandardError().constData();
}

// Whether a separate process can take the lock of dir right now.
bool otherProcessCanLock(const QString& dir)
{
    QProcess probe;
    probe.start(QStringLiteral(LOCK_HOLDER_PATH), { dir, QStringLiteral("probe") });
    probe.waitForFinished(10000);
    return probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
}

enum class HolderEnd {
    StillHolds, // the other copy keeps running with the lock
    Unlocks, // it releases the lock and keeps running
    Exits, // it ends normally
    Killed, // it is killed with SIGKILL; its lock file stays behind
    UnlocksAfterSecond // it releases the lock by itself about a second later
};

struct HolderCase {
    const char* name;
    HolderEnd end;
    int waitMs;
    bool expectLocked;
    qint64 minElapsedMs;
    qint64 maxElapsedMs;
};

void PrintTo(const HolderCase& c, std::ostream* os)
{
    *os << c.name;
}

class InstanceLockAgainstOtherProcess : public ::testing::TestWithParam<HolderCase> { };

TEST_P(InstanceLockAgainstOtherProcess, TakesTheLockOnlyOnceTheOtherCopyLetsGo)
{
    const HolderCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    QProcess holder;
    startHolder(holder, dir.path(),
        c.end == HolderEnd::UnlocksAfterSecond ? QStringList { QStringLiteral("1000") } : QStringList {});
    if (::testing::Test::HasFatalFailure())
        return;
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral(".tillora.lock"))));

    switch (c.end) {
    case HolderEnd::StillHolds:
    case HolderEnd::UnlocksAfterSecond:
        break;
    case HolderEnd::Unlocks:
        holder.write("unlock\n");
        ASSERT_TRUE(waitForWord(holder, "unlocked"));
        break;
    case HolderEnd::Exits:
        holder.closeWriteChannel();
        ASSERT_TRUE(holder.waitForFinished(10000));
        ASSERT_EQ(holder.exitStatus(), QProcess::NormalExit);
        break;
    case HolderEnd::Killed:
        holder.kill();
        ASSERT_TRUE(holder.waitForFinished(10000)); // reaped, so its process id is gone
        ASSERT_EQ(holder.exitStatus(), QProcess::CrashExit);
        ASSERT_TRUE(QFile::exists(dir.filePath(QStringLiteral(".tillora.lock"))));
        break;
    }

    InstanceLock lock(dir.path());
    QElapsedTimer timer;
    timer.start();
    const bool locked = lock.tryLock(c.waitMs);
    const qint64 elapsed = timer.elapsed();

    EXPECT_EQ(locked, c.expectLocked);
    EXPECT_EQ(lock.isLocked(), c.expectLocked);
    EXPECT_GE(elapsed, c.minElapsedMs);
    EXPECT_LE(elapsed, c.maxElapsedMs);

    if (holder.state() != QProcess::NotRunning) {
        holder.closeWriteChannel();
        holder.waitForFinished(10000);
    }
}

INSTANTIATE_TEST_SUITE_P(Holders, InstanceLockAgainstOtherProcess,
    ::testing::Values(HolderCase { "Held", HolderEnd::StillHolds, 300, false, 250, 3000 },
        HolderCase { "Unlocked", HolderEnd::Unlocks, 0, true, 0, 1000 },
        HolderCase { "Exited", HolderEnd::Exits, 0, true, 0, 1000 },
        // A stale lock is taken over at once, not after the wait.
        HolderCase { "KilledWithSigkill", HolderEnd::Killed, 3000, true, 0, 1500 },
        HolderCase { "ReleasesWhileWaiting", HolderEnd::UnlocksAfterSecond, 5000, true, 500, 4500 }),
    [](const ::testing::TestParamInfo<HolderCase>& info) { return std::string(info.param.name); });

TEST(InstanceLock, KeepsOtherProcessesOutUntilReleased)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        InstanceLock lock(dir.path());
        ASSERT_TRUE(lock.tryLock(0));
        EXPECT_TRUE(lock.tryLock(0)); // asking again while holding it is no failure
        EXPECT_FALSE(otherProcessCanLock(dir.path()));

        lock.unlock();
        EXPECT_FALSE(lock.isLocked());
        EXPECT_TRUE(otherProcessCanLock(dir.path()));

        ASSERT_TRUE(lock.tryLock(0));
        EXPECT_FALSE(otherProcessCanLock(dir.path()));
    }
    // Going out of scope releases it.
    EXPECT_TRUE(otherProcessCanLock(dir.path()));
}

} // namespace
