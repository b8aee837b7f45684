#pragma once

#include "app/Services.h"

#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class LoginWindow;
}

namespace tillora {

// The login form. It is created hidden; shown only for a manual login.
class LoginWindow : public QWidget {
    Q_OBJECT
public:
    explicit LoginWindow(Services services, QWidget* parent = nullptr);
    ~LoginWindow() override;

    // Called after a successful login, to open the sales window.
    void setOnLoggedIn(std::function<void()> callback) { m_onLoggedIn = std::move(callback); }
    // Called by 退出 after the database is closed, to end the program.
    void setOnQuit(std::function<void()> callback) { m_onQuit = std::move(callback); }

    // Shows the window with the user box preset to the remembered user.
    void showForLogin();

    void login();
    void refillUserList();
    void switchAutomaticLoginOn();
    void quit();

    Ui::LoginWindow& ui() { return *m_ui; }

private:
    void presetUserBox();
    void rememberUser(const QString& name);
    void reportWriteFailure();

    std::unique_ptr<Ui::LoginWindow> m_ui;
    Services m_services;
    std::function<void()> m_onLoggedIn;
    std::function<void()> m_onQuit;
};

} // namespace tillora
