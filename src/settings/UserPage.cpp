#include "settings/UserPage.h"

#include "app/ReportList.h"
#include "platform/Prompter.h"
#include "settings/AddUserWindow.h"
#include "settings/EditUserWindow.h"
#include "store/Database.h"
#include "store/Session.h"
#include "ui_SettingsWindow.h"

#include <QSignalBlocker>

namespace tillora {

UserPage::UserPage(Ui::SettingsWindow& ui, Services services, QWidget* owner)
    : QObject(owner)
    , m_ui(ui)
    , m_services(services)
    , m_owner(owner)
{
    ReportList::setColumns(m_ui.超级列表框2, { 50, 80, 80 });
    connect(m_ui.超级列表框2, &QTreeWidget::currentItemChanged, this, &UserPage::rowChosen);
    connect(m_ui.按钮_添加1, &QPushButton::clicked, this, &UserPage::openAddUser);
    connect(m_ui.按钮_修改1, &QPushButton::clicked, this, &UserPage::openEditUser);
    connect(m_ui.按钮_删除1, &QPushButton::clicked, this, &UserPage::deleteUser);
}

void UserPage::enter()
{
    FillUserList();
}

void UserPage::FillUserList()
{
    QTreeWidget* list = m_ui.超级列表框2;
    const QSignalBlocker quiet(list);
    m_selected.reset();
    list->clear();
    const auto rows = m_services.db.query(QStringLiteral("SELECT * FROM 用户登录"));
    if (!rows) {
        m_services.prompter.info(QStringLiteral("查询失败！"), m_owner);
        return;
    }
    ReportList::fill(list, *rows, { QStringLiteral("用户名"), QStringLiteral("权限") });
    list->setCurrentItem(nullptr);
}

void UserPage::rowChosen(QTreeWidgetItem* item)
{
    if (item)
        m_selected = ChosenUser { ReportList::tag(item), item->text(1), item->text(2) };
}

void UserPage::openAddUser()
{
    auto* window = new AddUserWindow(m_services, m_owner);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setOnAdded([this] { FillUserList(); });
    window->show();
}

void UserPage::openEditUser()
{
    if (!m_selected) {
        m_services.prompter.message(
            QStringLiteral("请选择要修改的行！"), QStringLiteral("提示："), Prompter::Icon::None, m_owner);
        return;
    }
    EditUserWindow window(m_services, m_selected->id, m_selected->name, m_selected->role, m_owner);
    window.setOnChanged([this] { FillUserList(); });
    window.exec();
}

void UserPage::deleteUser()
{
    Prompter& prompter = m_services.prompter;
    if (!m_selected) {
        prompter.message(
            QStringLiteral("请选择要删除的行！"), QStringLiteral("提示："), Prompter::Icon::None, m_owner);
        return;
    }
    const QString& currentUser = m_services.session.currentUser;
    if (m_selected->name == currentUser) {
        prompter.message(QStringLiteral("当前用户(") + currentUser + QStringLiteral(")正在使用，无法删除！"),
            QStringLiteral("提示"), Prompter::Icon::None, m_owner);
        return;
    }
    if (!prompter.askYesNo(QStringLiteral("真的要删除用户 ") + m_selected->name + QStringLiteral(" 吗？"),
            QStringLiteral("注意"), Prompter::Icon::None, m_owner))
        return;
    if (m_services.db.exec(QStringLiteral("DELETE FROM 用户登录 WHERE ID=?"), { m_selected->id }))
        FillUserList();
    else
        prompter.info(QStringLiteral("数据删除失败"), m_owner);
}

} // namespace tillora
