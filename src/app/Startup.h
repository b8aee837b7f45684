#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

namespace tillora {

class Database;
class InstanceLock;
class Prompter;
class Shell;
struct Session;

struct StartOptions {
    QString dataDir;
    QUrl updateUrl; // empty: no update check
    QStringList restartArguments; // given to the program when it restarts itself
    int lockWaitMs = 3000; // how long a restarted copy waits for the old one to end
    bool exitWhenShown = false; // start-up benchmark: end once the first window is painted
};

using PageFetcher = std::function<std::optional<QByteArray>(const QUrl&)>;

// The start sequence before any window shows: the update notice, one running
// copy per data directory, the database file, its connection, and the choice
// between the automatic and the manual login.
class Startup {
public:
    enum class Outcome { ShowLogin, AutoLogin, Exit };

    Startup(Database& db, Prompter& prompter, Shell& shell, Session& session, InstanceLock& lock,
        StartOptions options, PageFetcher fetch);

    Outcome run();
    // The process's exit status when run() gave Exit.
    int exitCode() const { return m_exitCode; }

    static QString databasePath(const QString& dataDir);
    static QString ownVersion() { return QStringLiteral("3.2"); }

private:
    void showUpdateNotice();
    bool provideDatabaseFile(const QString& path);
    Outcome chooseLogin();
    Outcome exitWith(int code);

    Database& m_db;
    Prompter& m_prompter;
    Shell& m_shell;
    Session& m_session;
    InstanceLock& m_lock;
    StartOptions m_options;
    PageFetcher m_fetch;
    int m_exitCode = 0;
};

} // namespace tillora
