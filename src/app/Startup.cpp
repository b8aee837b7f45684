#include "app/Startup.h"

#include "platform/InstanceLock.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"
#include "platform/UpdateCheck.h"
#include "store/Config.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/Session.h"
#include "store/TemplateDatabase.h"

#include <QDir>
#include <QFileInfo>

namespace tillora {

Startup::Startup(Database& db, Prompter& prompter, Shell& shell, Session& session, InstanceLock& lock,
    StartOptions options, PageFetcher fetch)
    : m_db(db)
    , m_prompter(prompter)
    , m_shell(shell)
    , m_session(session)
    , m_lock(lock)
    , m_options(std::move(options))
    , m_fetch(std::move(fetch))
{
}

QString Startup::databasePath(const QString& dataDir)
{
    return QDir(dataDir).filePath(QStringLiteral("HH.mdb"));
}

Startup::Outcome Startup::exitWith(int code)
{
    m_exitCode = code;
    return Outcome::Exit;
}

Startup::Outcome Startup::run()
{
    showUpdateNotice();
    if (!m_lock.tryLock(m_options.lockWaitMs)) {
        m_prompter.info(QStringLiteral("程序已经运行!"));
        return exitWith(1);
    }
    const QString path = databasePath(m_options.dataDir);
    if (!provideDatabaseFile(path))
        return exitWith(0);
    if (!m_db.open(path, QString::fromLatin1(kDatabasePassword))) {
        m_prompter.message(
            QStringLiteral("连接数据库失败！！"), Prompter::defaultTitle(), Prompter::Icon::Error, nullptr);
        return exitWith(2);
    }
    Schema::upgrade(m_db);
    return chooseLogin();
}

void Startup::showUpdateNotice()
{
    // Without an address there is nothing to ask, and no notice.
    if (m_options.updateUrl.isEmpty() || !m_fetch)
        return;
    if (UpdateCheck::noticeDue(m_fetch(m_options.updateUrl), ownVersion()))
        m_prompter.info(QStringLiteral("当前版本已过旧，,请及时更新!"));
}

// False when the program is to restart instead of going on.
bool Startup::provideDatabaseFile(const QString& path)
{
    if (QFileInfo::exists(path))
        return true;
    if (!m_prompter.askYesNo(QStringLiteral("连接数据库失败！是否置入新的数据库"), Prompter::defaultTitle(),
            Prompter::Icon::None, nullptr)) {
        // The restarted copy waits for this copy's lock, which goes with the exit.
        m_lock.unlock();
        m_shell.restartSelf(m_options.restartArguments);
        return false;
    }
    m_prompter.info(
        writeTemplateDatabase(path) ? QStringLiteral("初始化成功！") : QStringLiteral("初始化失败！"));
    return true;
}

Startup::Outcome Startup::chooseLogin()
{
    Config config(m_db, m_prompter);
    if (config.readText(QStringLiteral("直接登录")) == QLatin1String("0"))
        return Outcome::ShowLogin;
    m_session.currentUser = config.readText(QStringLiteral("用户登录"));
    return m_session.currentUser.isEmpty() ? Outcome::ShowLogin : Outcome::AutoLogin;
}

} // namespace tillora
