#include "CrashHandler.h"

#include <QByteArray>
#include <QFile>
#include <QStandardPaths>
#include <QtGlobal>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tillora::CrashHandler {

namespace {

// The message command, prepared at install time so that the signal handler only reads
// memory that is already there: no allocation, no Qt, no locks.
constexpr std::size_t maxArguments = 64;
constexpr std::size_t maxCommandBytes = 16 * 1024;
char commandBytes[maxCommandBytes];
char* commandArgv[maxArguments + 1];

constexpr int fatalSignals[] = { SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT };

volatile sig_atomic_t handling = 0;

// The handler runs on its own stack, so that a stack overflow still reaches it.
constexpr std::size_t alternateStackBytes = 64 * 1024;
char alternateStack[alternateStackBytes];

pid_t forkFromSignalHandler()
{
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // glibc's fork() runs the atfork handlers and takes the allocator's locks, which can
    // hang when the crash happened inside malloc; _Fork() is the async-signal-safe one.
    return _Fork();
#else
    return fork();
#endif
}

void dieOf(int sig)
{
    // End with the original signal, so that the exit status (and a core file, where
    // enabled) tell what happened.
    signal(sig, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    raise(sig);
    _exit(128 + sig); // not reached
}

void onFatalSignal(int sig)
{
    if (handling) {
        // A second fault, in this handler or in another thread: no second message.
        dieOf(sig);
    }
    handling = 1;

    if (commandArgv[0]) {
        const pid_t child = forkFromSignalHandler();
        if (child == 0) {
            // The crashing signal is blocked in the handler and the mask survives exec.
            sigset_t none;
            sigemptyset(&none);
            pthread_sigmask(SIG_SETMASK, &none, nullptr);
            execv(commandArgv[0], commandArgv);
            _exit(127);
        }
        if (child > 0) {
            int status = 0;
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) { }
        }
    }
    dieOf(sig);
}

[[noreturn]] void onTerminate()
{
    // An uncaught C++ exception: abort, which reaches the SIGABRT handler.
    std::abort();
}

// Copies the command into the static buffers; false when it cannot be used. An empty
// command is valid: the handler then only lets the process die of its signal.
bool prepareCommand(const QStringList& messageCommand)
{
    commandArgv[0] = nullptr;
    if (messageCommand.isEmpty())
        return true;
    if (std::size_t(messageCommand.size()) > maxArguments)
        return false;

    QList<QByteArray> parts;
    for (const QString& argument : messageCommand)
        parts.append(QFile::encodeName(argument));
    // execv does not search PATH, so a bare program name is resolved now.
    if (!parts.front().contains('/')) {
        const QString found = QStandardPaths::findExecutable(messageCommand.front());
        if (found.isEmpty())
            return false;
        parts.front() = QFile::encodeName(found);
    }

    std::size_t used = 0;
    for (const QByteArray& part : parts) {
        if (part.contains('\0') || used + std::size_t(part.size()) + 1 > maxCommandBytes)
            return false;
        used += std::size_t(part.size()) + 1;
    }
    used = 0;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        std::memcpy(commandBytes + used, parts[i].constData(), std::size_t(parts[i].size()));
        commandBytes[used + std::size_t(parts[i].size())] = '\0';
        commandArgv[i] = commandBytes + used;
        used += std::size_t(parts[i].size()) + 1;
    }
    commandArgv[parts.size()] = nullptr;
    return true;
}

} // namespace

void install(const QStringList& messageCommand)
{
    if (!prepareCommand(messageCommand)) {
        commandArgv[0] = nullptr;
        qWarning("CrashHandler: the crash message command cannot be used: %s",
            qPrintable(messageCommand.join(QLatin1Char(' '))));
    }

    // For the installing thread (the main thread); other threads use their own stack.
    stack_t stack {};
    stack.ss_sp = alternateStack;
    stack.ss_size = alternateStackBytes;
    sigaltstack(&stack, nullptr);

    struct sigaction action { };
    action.sa_handler = onFatalSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_ONSTACK;
    for (const int sig : fatalSignals)
        sigaction(sig, &action, nullptr);

    std::set_terminate(onTerminate);
}

QString messageText()
{
    return QStringLiteral("程序产生异常,已保存用户配置信息,请重新运行软件!");
}

} // namespace tillora::CrashHandler
