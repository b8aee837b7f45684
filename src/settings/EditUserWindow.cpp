#include "settings/EditUserWindow.h"

#include "common/Digest.h"
#include "platform/Prompter.h"
#include "store/Database.h"
#include "ui_EditUserWindow.h"

namespace tillora {

EditUserWindow::EditUserWindow(
    Services services, qint64 userId, const QString& name, const QString& role, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::EditUserWindow>())
    , m_services(services)
    , m_userId(userId)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    // The name cannot be changed here: it shows on a button-face background.
    QPalette palette = m_ui->编辑框_yhm->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_ui->编辑框_yhm->setPalette(palette);
    m_ui->编辑框_yhm->setText(name);
    m_ui->组合框_qx->setEditText(role);
    connect(m_ui->按钮1, &QPushButton::clicked, this, &EditUserWindow::modifyUser);
    connect(m_ui->按钮2, &QPushButton::clicked, this, &QDialog::close);
}

EditUserWindow::~EditUserWindow() = default;

// An empty password box keeps the user's password: changing a role must not
// open the account to anyone with the empty password.
void EditUserWindow::modifyUser()
{
    const QString password = m_ui->编辑框_mm->text();
    const bool stored = password.isEmpty()
        ? m_services.db.exec(QStringLiteral("UPDATE 用户登录 SET 用户名=?, 权限=? WHERE ID=?"),
            { m_ui->编辑框_yhm->text(), m_ui->组合框_qx->currentText(), m_userId })
        : m_services.db.exec(QStringLiteral("UPDATE 用户登录 SET 用户名=?, 密码=?, 权限=? WHERE ID=?"),
            { m_ui->编辑框_yhm->text(), PasswordDigest(password), m_ui->组合框_qx->currentText(), m_userId });
    if (!stored) {
        m_services.prompter.info(QStringLiteral("数据修改失败！"), this);
        return;
    }
    m_services.prompter.info(QStringLiteral("修改成功！下次登录生效！"), this);
    if (m_onChanged)
        m_onChanged();
}

} // namespace tillora
