#pragma once

#include "app/Services.h"

#include <QObject>
#include <QString>
#include <optional>

namespace Ui {
class SettingsWindow;
}

class QTreeWidgetItem;

namespace tillora {

// The page "设置用户（收银员）" of the settings window: the cashiers and their roles.
class UserPage : public QObject {
public:
    UserPage(Ui::SettingsWindow& ui, Services services, QWidget* owner);

    // The page became current: no row is chosen and the list is read again.
    void enter();
    void FillUserList();
    // AddUserWindow, modeless: several users can be added in a row.
    void openAddUser();
    void openEditUser();
    void deleteUser();

private:
    struct ChosenUser {
        qint64 id;
        QString name;
        QString role;
    };
    void rowChosen(QTreeWidgetItem* item);

    Ui::SettingsWindow& m_ui;
    Services m_services;
    QWidget* m_owner;
    std::optional<ChosenUser> m_selected;
};

} // namespace tillora
