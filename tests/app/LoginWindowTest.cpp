#include "app/LoginWindow.h"

#include "app/SalesWindow.h"
#include "common/Digest.h"
#include "store/Config.h"
#include "support/AppHarness.h"
#include "ui_LoginWindow.h"
#include "ui_SalesWindow.h"

#include <gtest/gtest.h>

using namespace tillora;
using namespace tillora::test;

namespace {

class Login : public ::testing::Test {
protected:
    void SetUp() override
    {
        Database db;
        h.dir.openSecondConnection(db);
        ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO 用户登录 (用户名, 权限, 密码) VALUES (?, ?, ?)"),
            { QStringLiteral("小王"), QStringLiteral("普通用户"),
                PasswordDigest(QStringLiteral("it's\"秘密")) }));
        ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO 用户登录 (用户名, 权限, 密码) VALUES (?, ?, ?)"),
            { QStringLiteral("upper"), QStringLiteral("管理员"), PasswordDigest(QString()).toUpper() }));
        ASSERT_EQ(h.start(), -1);
        ASSERT_TRUE(window().isVisible());
    }
    LoginWindow& window() { return *h.app->loginWindow(); }
    Ui::LoginWindow& ui() { return window().ui(); }
    void chooseUser(const QString& name)
    {
        window().refillUserList();
        ui().组合框_用户名->setCurrentIndex(ui().组合框_用户名->findText(name));
    }
    void logIn(const QString& password)
    {
        ui().编辑框_密码->setText(password);
        ui().按钮_登录->click();
    }
    QString configText(const char* column)
    {
        Database db;
        h.dir.openSecondConnection(db);
        return Config(db, h.prompter).readText(QString::fromUtf8(column));
    }
    AppHarness h;
};

} // namespace

TEST_F(Login, AdminWithTheEmptyPasswordOpensTheSalesWindow)
{
    logIn(QString());
    EXPECT_TRUE(h.prompter.calls.empty());
    SalesWindow* sales = h.app->salesWindow();
    ASSERT_NE(sales, nullptr);
    EXPECT_TRUE(sales->isVisible());
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(sales->windowTitle(), QStringLiteral("Tillorav3.2          收银员：admin(管理员)"));
    EXPECT_EQ(sales->ui().编辑框_单号->text(), QStringLiteral("0000000000001"));
    EXPECT_EQ(h.app->session().currentRole, QStringLiteral("管理员"));
}

TEST_F(Login, WrongPasswordsAndUnknownUsersGetTheSameAnswer)
{
    struct Case {
        QString user;
        QString password;
    };
    const std::vector<Case> cases = {
        { QStringLiteral("admin"), QStringLiteral("x") },
        { QStringLiteral("小王"), QStringLiteral("it's") },
        // The stored digest is compared exactly: uppercase digits never match.
        { QStringLiteral("upper"), QString() },
    };
    for (const Case& c : cases) {
        chooseUser(c.user);
        h.prompter.clear();
        logIn(c.password);
        ASSERT_EQ(h.prompter.calls.size(), 1u) << c.user.toStdString();
        EXPECT_EQ(h.prompter.calls[0].text, QStringLiteral("请输入正确的密码！"));
        EXPECT_EQ(h.prompter.calls[0].title, QStringLiteral("提示："));
        EXPECT_EQ(h.prompter.calls[0].owner, &window());
        EXPECT_EQ(h.app->salesWindow(), nullptr);
    }
    // A name without a row, as a stale remembered name would give.
    ui().组合框_用户名->clear();
    ui().组合框_用户名->addItem(QStringLiteral("nobody"));
    h.prompter.clear();
    logIn(QString());
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("请输入正确的密码！") });
    EXPECT_EQ(h.app->salesWindow(), nullptr);
}

TEST_F(Login, EmptyUserNameIsRefused)
{
    ui().组合框_用户名->clear();
    logIn(QString());
    ASSERT_EQ(h.prompter.calls.size(), 1u);
    EXPECT_EQ(h.prompter.calls[0].text, QStringLiteral("用户名不能为空！"));
    EXPECT_EQ(h.prompter.calls[0].title, QStringLiteral("提示"));
}

TEST_F(Login, PasswordsWithQuotesLogIn)
{
    chooseUser(QStringLiteral("小王"));
    logIn(QStringLiteral("it's\"秘密"));
    EXPECT_TRUE(h.prompter.calls.empty());
    ASSERT_NE(h.app->salesWindow(), nullptr);
    EXPECT_EQ(h.app->session().currentRole, QStringLiteral("普通用户"));
}

TEST_F(Login, TheUserListIsRefilledWhenItDropsDown)
{
    ui().组合框_用户名->showPopup();
    QStringList names;
    for (int i = 0; i < ui().组合框_用户名->count(); ++i)
        names << ui().组合框_用户名->itemText(i);
    EXPECT_EQ(
        names, (QStringList { QStringLiteral("admin"), QStringLiteral("小王"), QStringLiteral("upper") }));
    EXPECT_EQ(ui().组合框_用户名->currentText(), QStringLiteral("admin"));
    ui().组合框_用户名->hidePopup();
}

TEST_F(Login, TickingRemembersTheUserForTheAutomaticLogin)
{
    ui().选择框1->click();
    EXPECT_EQ(configText("直接登录"), QStringLiteral("1"));
    chooseUser(QStringLiteral("小王"));
    logIn(QStringLiteral("it's\"秘密"));
    EXPECT_EQ(configText("用户登录"), QStringLiteral("小王"));
}

TEST_F(Login, ClearingTheBoxAgainLeavesAutomaticLoginOnButRemembersNobody)
{
    ui().选择框1->click();
    ui().选择框1->click();
    EXPECT_FALSE(ui().选择框1->isChecked());
    chooseUser(QStringLiteral("小王"));
    logIn(QStringLiteral("it's\"秘密"));
    EXPECT_EQ(configText("直接登录"), QStringLiteral("1"));
    EXPECT_EQ(configText("用户登录"), QStringLiteral("admin"));
}

TEST_F(Login, FailedConfigurationWritesAreReportedAndTheLoginGoesOn)
{
    ASSERT_TRUE(h.app->database().exec(QStringLiteral("ALTER TABLE 配置文件 RENAME TO gone")));
    ui().选择框1->click();
    logIn(QString());
    const std::vector<QString> texts = h.prompter.texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0], QStringLiteral("数据执行失败！！"));
    EXPECT_EQ(texts[1], QStringLiteral("数据执行失败！！"));
    EXPECT_NE(h.app->salesWindow(), nullptr);
}

TEST_F(Login, QuitClosesTheDatabaseAndEndsTheProgram)
{
    ui().按钮_退出->click();
    EXPECT_TRUE(h.app->hasEnded());
    EXPECT_FALSE(h.app->database().isOpen());
}
