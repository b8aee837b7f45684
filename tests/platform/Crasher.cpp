// Test helper: installs the crash handler and then fails in the way it is asked to.
//
//   tillora_crasher MODE COMMAND MARKER
//
// COMMAND "message": the crash command is a shell that waits a little and then writes
// its last argument to MARKER, so the test sees both that it ran and that the crashing
// process waited for it. "missing": a program that does not exist. "none": no command.
#include "platform/CrashHandler.h"

#include <QString>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

volatile int zero = 0;
volatile bool stopRecursion = false;

int recurse(int depth)
{
    volatile char frame[1024];
    frame[0] = char(depth);
    if (stopRecursion)
        return frame[0];
    return recurse(depth + 1) + frame[0];
}

void nullWrite()
{
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

void busError()
{
    // Touching a mapped page past the end of an empty file.
    char path[] = "/tmp/tillora-crasher-XXXXXX";
    const int fd = mkstemp(path);
    unlink(path);
    auto* page = static_cast<volatile char*>(mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    if (page != MAP_FAILED)
        page[0] = 1;
    raise(SIGBUS);
}

void illegalInstruction()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_trap(); // ud2
#endif
    raise(SIGILL);
}

void divideByZero()
{
#if defined(__x86_64__) || defined(__i386__)
    volatile int result = 1 / zero;
    (void)result;
#endif
    raise(SIGFPE);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    // No core files from the deliberate crashes.
    prctl(PR_SET_DUMPABLE, 0);
    const rlimit noCore { 0, 0 };
    setrlimit(RLIMIT_CORE, &noCore);

    const QString command = QString::fromLocal8Bit(argv[2]);
    const QString marker = QString::fromLocal8Bit(argv[3]);
    QStringList messageCommand;
    if (command == QLatin1String("message")) {
        messageCommand = { QStringLiteral("/bin/sh"), QStringLiteral("-c"),
            QStringLiteral("sleep 0.3; printf '%s' \"$1\" > \"$0\""), marker,
            QStringLiteral("程序 crash message") };
    } else if (command == QLatin1String("missing")) {
        messageCommand = { QStringLiteral("/nonexistent/tillora-crash-message"), marker };
    }
    tillora::CrashHandler::install(messageCommand);

    const char* mode = argv[1];
    if (std::strcmp(mode, "segv") == 0)
        nullWrite();
    else if (std::strcmp(mode, "segv-thread") == 0)
        std::thread(nullWrite).join();
    else if (std::strcmp(mode, "stack-overflow") == 0)
        return recurse(0);
    else if (std::strcmp(mode, "abort") == 0)
        std::abort();
    else if (std::strcmp(mode, "throw") == 0)
        throw std::runtime_error("not caught anywhere");
    else if (std::strcmp(mode, "throw-thread") == 0)
        std::thread([] { throw std::runtime_error("not caught anywhere"); }).join();
    else if (std::strcmp(mode, "fpe") == 0)
        divideByZero();
    else if (std::strcmp(mode, "bus") == 0)
        busError();
    else if (std::strcmp(mode, "ill") == 0)
        illegalInstruction();
    return 0;
}
