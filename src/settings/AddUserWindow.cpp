#include "settings/AddUserWindow.h"

#include "common/Digest.h"
#include "platform/Prompter.h"
#include "store/Database.h"
#include "ui_AddUserWindow.h"

namespace tillora {

AddUserWindow::AddUserWindow(Services services, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::AddUserWindow>())
    , m_services(services)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    setModal(false);
    m_ui->组合框_qx->setEditText(QStringLiteral("管理员"));
    connect(m_ui->按钮1, &QPushButton::clicked, this, &AddUserWindow::addUser);
    connect(m_ui->按钮2, &QPushButton::clicked, this, &QDialog::close);
}

AddUserWindow::~AddUserWindow() = default;

void AddUserWindow::addUser()
{
    const QString name = m_ui->编辑框_yhm->text();
    const QString password = m_ui->编辑框_mm->text();
    const QString confirmation = m_ui->编辑框8->text();
    const QString role = m_ui->组合框_qx->currentText();
    const char* refusal = name.isEmpty() ? "用户不能为空！"
        : password.isEmpty()             ? "密码不能为空！"
        : confirmation.isEmpty()         ? "请输入确认密码！"
        : role.isEmpty()                 ? "请选择权限！"
        : password != confirmation       ? "密码输入不一致，请重新输入！！"
                                         : nullptr;
    if (refusal) {
        m_services.prompter.info(QString::fromUtf8(refusal), this);
        return;
    }
    // Any role text is stored; only "管理员" has administrator rights.
    if (!m_services.db.exec(QStringLiteral("INSERT INTO [用户登录] (用户名, 权限, 密码) VALUES (?, ?, ?)"),
            { name, role, PasswordDigest(password) })) {
        m_services.prompter.info(QStringLiteral("添加失败！"), this);
        return;
    }
    if (m_onAdded)
        m_onAdded();
}

} // namespace tillora
