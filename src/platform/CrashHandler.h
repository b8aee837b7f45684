#pragma once

#include <QStringList>

namespace tillora {

// On a fatal signal (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, an uncaught C++
// exception), the handler starts a separate process that shows the crash message,
// waits for it, and then lets this process die of the original signal.
// The handler only uses async-signal-safe calls (fork, execv, waitpid, signal, raise);
// the message box is shown by the child, never from inside the signal handler.
namespace CrashHandler {

// messageCommand: the program and its arguments started on a crash, e.g. this
// program's own executable with "--show-crash-message". Copied at install time.
void install(const QStringList& messageCommand);

// The text shown by the crash message.
QString messageText();

} // namespace CrashHandler
} // namespace tillora
