#include "app/LoginWindow.h"

#include "common/Digest.h"
#include "platform/Prompter.h"
#include "store/Config.h"
#include "store/Database.h"
#include "store/Session.h"
#include "ui_LoginWindow.h"

#include <QPainter>

namespace tillora {

namespace {

// The banner across the top of the login form, drawn in code.
QPixmap banner(QSize size)
{
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    QLinearGradient gradient(0, 0, size.width(), 0);
    gradient.setColorAt(0, QColor(0x1f, 0x5f, 0x8b));
    gradient.setColorAt(1, QColor(0x3a, 0x8f, 0xc8));
    p.fillRect(pixmap.rect(), gradient);
    QFont font = p.font();
    font.setPixelSize(size.height() / 3);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(pixmap.rect().adjusted(20, 8, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
        QStringLiteral("Tillora 收银"));
    return pixmap;
}

} // namespace

LoginWindow::LoginWindow(Services services, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::LoginWindow>())
    , m_services(services)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    m_ui->图片框1->setPixmap(banner(m_ui->图片框1->size()));
    connect(m_ui->按钮_登录, &QPushButton::clicked, this, &LoginWindow::login);
    connect(m_ui->按钮_退出, &QPushButton::clicked, this, &LoginWindow::quit);
    connect(m_ui->选择框1, &QCheckBox::clicked, this, &LoginWindow::switchAutomaticLoginOn);
    connect(m_ui->组合框_用户名, &DropDownComboBox::aboutToShowPopup, this, &LoginWindow::refillUserList);
    connect(m_ui->编辑框_密码, &QLineEdit::returnPressed, this, &LoginWindow::login);
}

LoginWindow::~LoginWindow() = default;

void LoginWindow::showForLogin()
{
    presetUserBox();
    show();
}

// The remembered user, or "admin"; afterwards a name can only be chosen from the list.
void LoginWindow::presetUserBox()
{
    Config config(m_services.db, m_services.prompter);
    QString name = config.readText(QStringLiteral("用户登录"));
    if (name.isEmpty())
        name = QStringLiteral("admin");
    QComboBox* box = m_ui->组合框_用户名;
    box->clear();
    box->setEditable(false);
    // A drop-down list shows only its items: the preset name stands as the one
    // item until the list is filled on its first opening.
    box->addItem(name);
    box->setCurrentIndex(0);
}

void LoginWindow::refillUserList()
{
    QComboBox* box = m_ui->组合框_用户名;
    const QString shown = box->currentText();
    box->clear();
    const auto rows = m_services.db.query(QStringLiteral("SELECT * FROM 用户登录"));
    if (!rows) {
        m_services.prompter.info(QStringLiteral("查询失败！"));
        return;
    }
    for (const Row& row : *rows)
        box->addItem(row.text(QStringLiteral("用户名")));
    box->setCurrentIndex(std::max(0, box->findText(shown)));
}

void LoginWindow::login()
{
    Prompter& prompter = m_services.prompter;
    const QString name = m_ui->组合框_用户名->currentText();
    if (name.isEmpty()) {
        prompter.message(
            QStringLiteral("用户名不能为空！"), QStringLiteral("提示"), Prompter::Icon::None, this);
        return;
    }
    m_services.session.currentUser = name;
    const auto rows = m_services.db.query(QStringLiteral("SELECT * FROM 用户登录 WHERE 用户名=?"), { name });
    if (!rows) {
        prompter.message(
            QStringLiteral("查询失败！"), Prompter::defaultTitle(), Prompter::Icon::Information, this);
        return;
    }
    // A name without a row reads as an empty digest and so as a wrong password.
    const QString stored = rows->empty() ? QString() : rows->front().text(QStringLiteral("密码"));
    if (stored != PasswordDigest(m_ui->编辑框_密码->text())) {
        prompter.message(
            QStringLiteral("请输入正确的密码！"), QStringLiteral("提示："), Prompter::Icon::None, this);
        return;
    }
    m_services.session.currentRole = rows->front().text(QStringLiteral("权限"));
    if (m_ui->选择框1->isChecked())
        rememberUser(name);
    if (m_onLoggedIn)
        m_onLoggedIn();
}

void LoginWindow::reportWriteFailure()
{
    m_services.prompter.info(QStringLiteral("数据执行失败！！"), this);
}

// Ticking or clearing the box switches the automatic login on; only the
// settings window switches it off again.
void LoginWindow::switchAutomaticLoginOn()
{
    if (!Config(m_services.db, m_services.prompter)
             .writeText(QStringLiteral("直接登录"), QStringLiteral("1")))
        reportWriteFailure();
}

void LoginWindow::rememberUser(const QString& name)
{
    if (!Config(m_services.db, m_services.prompter).writeText(QStringLiteral("用户登录"), name))
        reportWriteFailure();
}

void LoginWindow::quit()
{
    m_services.db.close();
    if (m_onQuit)
        m_onQuit();
}

} // namespace tillora
