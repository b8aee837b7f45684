// Test helper: holds the Tillora instance lock of a directory from a separate process.
//
//   tillora_lock_holder DIR hold [RELEASE_MS]
//       takes the lock, prints "locked" (or "busy" and exits 1); then reads commands
//       from stdin: "unlock" releases the lock and prints "unlocked". With RELEASE_MS the
//       lock is released by itself after that many milliseconds. Ends at end of input.
//   tillora_lock_holder DIR probe
//       tries the lock once, prints "locked" or "busy", releases it and exits 0 or 1.
#include "platform/InstanceLock.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void say(const char* word)
{
    std::printf("%s\n", word);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    tillora::InstanceLock lock(QString::fromLocal8Bit(argv[1]));
    if (!lock.tryLock(0)) {
        say("busy");
        return 1;
    }
    say("locked");
    if (std::strcmp(argv[2], "probe") == 0)
        return 0;

    const int releaseMs = argc > 3 ? std::atoi(argv[3]) : -1;
    if (releaseMs >= 0) {
        QThread::msleep(ulong(releaseMs));
        lock.unlock();
        say("unlocked");
    }
    char line[64];
    while (std::fgets(line, sizeof line, stdin)) {
        if (std::strncmp(line, "unlock", 6) == 0) {
            lock.unlock();
            say("unlocked");
        }
    }
    return 0;
}
