#include "app/Application.h"

#include "app/LoginWindow.h"
#include "app/SalesWindow.h"
#include "platform/InstanceLock.h"
#include "platform/Shell.h"

#include <QCoreApplication>

namespace tillora {

Application::Application(Prompter& prompter, const Clock& clock, Shell& shell, Printers& printers,
    StartOptions options, PageFetcher fetch)
    : m_prompter(prompter)
    , m_clock(clock)
    , m_shell(shell)
    , m_printers(printers)
    , m_options(std::move(options))
    , m_fetch(std::move(fetch))
    , m_lock(std::make_unique<InstanceLock>(m_options.dataDir))
{
}

Application::~Application()
{
    // The windows go before the connection they use.
    m_sales.reset();
    m_login.reset();
    m_db.close();
}

int Application::start()
{
    Startup startup(m_db, m_prompter, m_shell, m_session, *m_lock, m_options, m_fetch);
    const Startup::Outcome outcome = startup.run();
    if (outcome == Startup::Outcome::Exit)
        return startup.exitCode();
    // The login form is made only when it is shown: an automatic login goes
    // straight to the sales window.
    if (outcome == Startup::Outcome::AutoLogin) {
        openSalesWindow();
        return -1;
    }
    m_login = std::make_unique<LoginWindow>(Services { m_db, m_prompter, m_clock, m_shell, m_session });
    m_login->setOnLoggedIn([this] { openSalesWindow(); });
    m_login->setOnQuit([this] { end(); });
    m_login->showForLogin();
    return -1;
}

void Application::openSalesWindow()
{
    m_sales = std::make_unique<SalesWindow>(
        Services { m_db, m_prompter, m_clock, m_shell, m_session }, m_printers);
    m_sales->setOnClosed([this] { end(); });
    m_sales->setOnRestart([this] { restart(); });
    if (m_login)
        m_login->hide();
    m_sales->show();
}

// The new copy waits for this copy's lock: it is let go first.
void Application::restart()
{
    m_restarted = true;
    m_lock->unlock();
    m_shell.restartSelf(m_options.restartArguments);
    end();
}

void Application::end()
{
    m_ended = true;
    m_db.close();
    QCoreApplication::exit(0);
}

} // namespace tillora
