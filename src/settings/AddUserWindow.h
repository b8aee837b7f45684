#pragma once

#include "app/Services.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class AddUserWindow;
}

namespace tillora {

// Adds cashiers; it stays open, ready for the next one.
class AddUserWindow : public QDialog {
    Q_OBJECT
public:
    explicit AddUserWindow(Services services, QWidget* parent = nullptr);
    ~AddUserWindow() override;

    // Called after each user added, to refill the user list.
    void setOnAdded(std::function<void()> callback) { m_onAdded = std::move(callback); }
    Ui::AddUserWindow& ui() { return *m_ui; }

    void addUser();

private:
    std::unique_ptr<Ui::AddUserWindow> m_ui;
    Services m_services;
    std::function<void()> m_onAdded;
};

} // namespace tillora
