#pragma once

#include "app/Services.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class EditUserWindow;
}

namespace tillora {

// Changes one user's password and role; the change applies at the next login.
class EditUserWindow : public QDialog {
    Q_OBJECT
public:
    EditUserWindow(Services services, qint64 userId, const QString& name, const QString& role,
        QWidget* parent = nullptr);
    ~EditUserWindow() override;

    // Called after a successful change, to refill the user list.
    void setOnChanged(std::function<void()> callback) { m_onChanged = std::move(callback); }
    Ui::EditUserWindow& ui() { return *m_ui; }

    void modifyUser();

private:
    std::unique_ptr<Ui::EditUserWindow> m_ui;
    Services m_services;
    qint64 m_userId;
    std::function<void()> m_onChanged;
};

} // namespace tillora
