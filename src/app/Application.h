#pragma once

#include "app/Startup.h"
#include "store/Database.h"
#include "store/Session.h"

#include <memory>

namespace tillora {

class Clock;
class InstanceLock;
class LoginWindow;
class Printers;
class Prompter;
class SalesWindow;
class Shell;

// Owns the database connection, the session and the two start windows, and
// runs the program from its start to the end of the sales window.
class Application {
public:
    Application(Prompter& prompter, const Clock& clock, Shell& shell, Printers& printers,
        StartOptions options, PageFetcher fetch);
    ~Application();

    // Runs the start sequence. Returns the exit status when the program ends
    // here, or -1 when the windows are up and the event loop is to run.
    int start();

    Database& database() { return m_db; }
    Session& session() { return m_session; }
    LoginWindow* loginWindow() { return m_login.get(); }
    SalesWindow* salesWindow() { return m_sales.get(); }
    // True once the program has asked to end (the sales window closed, or 退出).
    bool hasEnded() const { return m_ended; }
    // True once the program has asked to be started anew (after a data reset).
    bool hasRestarted() const { return m_restarted; }

private:
    void openSalesWindow();
    void end();
    void restart();

    Prompter& m_prompter;
    const Clock& m_clock;
    Shell& m_shell;
    Printers& m_printers;
    StartOptions m_options;
    PageFetcher m_fetch;
    Database m_db;
    Session m_session;
    std::unique_ptr<InstanceLock> m_lock;
    std::unique_ptr<LoginWindow> m_login;
    std::unique_ptr<SalesWindow> m_sales;
    bool m_ended = false;
    bool m_restarted = false;
};

} // namespace tillora
