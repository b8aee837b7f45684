#include "settings/SettingsWindow.h"

#include "common/Digest.h"
#include "settings/AddUserWindow.h"
#include "settings/EditUserWindow.h"
#include "settings/UserPage.h"
#include "store/Config.h"
#include "support/SalesFixture.h"
#include "ui_AddUserWindow.h"
#include "ui_EditUserWindow.h"
#include "ui_SettingsWindow.h"

#include <QDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tillora;
using namespace tillora::test;

namespace {

enum Page { PrintPage = 0, ProductsPage = 1, UsersPage = 2 };

class Settings : public ::testing::Test, protected OpenSales {
protected:
    void openAs(const QString& user = QStringLiteral("admin"))
    {
        open(user);
        settings = window().createSettingsWindow();
    }
    Ui::SettingsWindow& s() { return settings->ui(); }
    QString stored(const char* column)
    {
        Database db;
        h.dir.openSecondConnection(db);
        return Config(db, h.prompter).readText(QString::fromUtf8(column));
    }
    Rows rows(const QString& sql)
    {
        Database db;
        h.dir.openSecondConnection(db);
        return db.query(sql).value_or(Rows {});
    }
    void breakConfiguration()
    {
        ASSERT_TRUE(h.app->database().exec(QStringLiteral("ALTER TABLE 配置文件 RENAME TO gone")));
    }
    void choose(QTreeWidget* list, const QString& text, int column = 1)
    {
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            if (list->topLevelItem(i)->text(column) == text)
                list->setCurrentItem(list->topLevelItem(i));
        }
    }
    QStringList column(QTreeWidget* list, int c)
    {
        QStringList out;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            out << list->topLevelItem(i)->text(c);
        return out;
    }
    std::unique_ptr<SettingsWindow> settings;
};

} // namespace

TEST_F(Settings, OpensWithTheStoredSettings)
{
    h.configure(QStringLiteral("纸张边距"), QStringLiteral("2.9"));
    h.configure(QStringLiteral("显示打印完毕"), QStringLiteral("真"));
    openAs();
    EXPECT_TRUE(s().高级选择夹1->isTabVisible(PrintPage));
    EXPECT_EQ(s().高级选择夹1->currentIndex(), PrintPage);
    EXPECT_EQ(s().编辑框_店名->text(), QStringLiteral("Corvane"));
    EXPECT_EQ(s().编辑框_备注->text(), ui().编辑框_备注->text());
    EXPECT_EQ(s().编辑框_边距->text(), QStringLiteral("2.9"));
    EXPECT_EQ(s().编辑框_偏差->text(), QStringLiteral("0"));
    EXPECT_EQ(s().编辑框3->text(), QStringLiteral("0000000000001"));
    EXPECT_FALSE(s().编辑框3->isEnabled());
    EXPECT_TRUE(s().选择框_显示打印完毕->isChecked());
    EXPECT_FALSE(s().选择框_提示再次打印->isChecked());
    EXPECT_TRUE(s().选择框_打印单价->isChecked());
    EXPECT_TRUE(s().选择框_保存销售记录->isChecked());
    EXPECT_FALSE(s().按钮_字体设置->isVisibleTo(settings.get()));
    EXPECT_EQ(s().超级列表框1->topLevelItemCount(), 0) << "lists wait for their page";
    EXPECT_TRUE(h.prompter.calls.empty());
}

TEST_F(Settings, OrdinaryUsersSeeTheListsOnly)
{
    addUser(QStringLiteral("小王"), QStringLiteral("普通用户"));
    openAs(QStringLiteral("小王"));
    EXPECT_FALSE(s().高级选择夹1->isTabVisible(PrintPage));
    EXPECT_NE(s().高级选择夹1->currentIndex(), PrintPage);
    EXPECT_GT(s().超级列表框1->topLevelItemCount(), 0) << "the page shown has its list";
    for (QPushButton* button :
        { s().按钮_添加, s().按钮_修改, s().按钮_删除, s().按钮_添加1, s().按钮_修改1, s().按钮_删除1 })
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    h.configure(QStringLiteral("直接登录"), QStringLiteral("1"));
    s().按钮_取消直接登录->click();
    ASSERT_EQ(h.prompter.calls.size(), 1u);
    EXPECT_EQ(h.prompter.calls[0].text, QStringLiteral("设置成功！"));
    EXPECT_EQ(h.prompter.calls[0].title, QStringLiteral("提示"));
    EXPECT_EQ(h.prompter.calls[0].owner, settings.get());
    EXPECT_EQ(stored("直接登录"), QStringLiteral("0"));
    EXPECT_EQ(stored("用户登录"), QStringLiteral("小王"));
}

TEST_F(Settings, PrintSwitchesWriteAtOnce)
{
    openAs();
    struct Case {
        QCheckBox* box;
        const char* column;
        std::function<bool()> copy;
    };
    Session& session = h.app->session();
    const std::vector<Case> cases = {
        { s().选择框_显示打印完毕, "显示打印完毕", [&] { return session.printOptions.showPrintedNotice; } },
        { s().选择框_提示再次打印, "提示再次打印", [&] { return session.printOptions.askReprint; } },
        { s().选择框_打印单价, "打印单价", [&] { return session.printOptions.printUnitPrice; } },
        { s().选择框_保存销售记录, "保存销售记录", [&] { return session.saveSalesRecords; } },
    };
    for (const Case& c : cases) {
        for (int click = 0; click < 2; ++click) {
            c.box->click();
            const bool on = c.box->isChecked();
            EXPECT_EQ(stored(c.column), on ? QStringLiteral("真") : QStringLiteral("假")) << c.column;
            EXPECT_EQ(c.copy(), on) << c.column;
        }
    }
    EXPECT_TRUE(h.prompter.calls.empty());
    // A failed write keeps the copy, while the box stays as clicked.
    breakConfiguration();
    for (const Case& c : cases) {
        const bool before = c.copy();
        c.box->click();
        EXPECT_EQ(c.copy(), before) << c.column;
        EXPECT_NE(c.box->isChecked(), before);
    }
    EXPECT_EQ(h.prompter.texts(), std::vector<QString>(4, QStringLiteral("数据添加失败")));
}

TEST_F(Settings, DistancesAreStoredAsTypedAndUsedAsWholeNumbers)
{
    openAs();
    const std::vector<std::pair<QString, int>> cases = {
        { QStringLiteral("2.9"), 2 },
        { QStringLiteral("-1.5"), -1 },
        { QStringLiteral("abc"), 0 },
        { QString(), 0 },
    };
    for (const auto& [typed, used] : cases) {
        h.prompter.clear();
        s().编辑框_边距->setText(typed);
        s().编辑框_偏差->setText(typed);
        s().按钮_保存->click();
        EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("基本信息已经保存！") });
        EXPECT_EQ(stored("纸张边距"), typed);
        EXPECT_EQ(stored("打印偏差"), typed);
        EXPECT_EQ(h.app->session().printOptions.paperMargin, used) << typed.toStdString();
        EXPECT_EQ(h.app->session().printOptions.printOffset, used) << typed.toStdString();
    }
    // The next opening shows the letters again.
    s().编辑框_边距->setText(QStringLiteral("abc"));
    s().按钮_保存->click();
    EXPECT_EQ(window().createSettingsWindow()->ui().编辑框_边距->text(), QStringLiteral("abc"));
}

TEST_F(Settings, SavingUpdatesTheSalesWindowAtOnce)
{
    openAs();
    const QString remark = QStringLiteral("欢迎'再'来\r\n\"第二行\"");
    s().编辑框_店名->setText(QStringLiteral("O'Brien 小店"));
    s().编辑框_备注->setText(remark);
    const QString number = ui().编辑框_单号->text();
    s().按钮_保存->click();
    EXPECT_EQ(ui().编辑框_店名->text(), QStringLiteral("O'Brien 小店"));
    EXPECT_EQ(ui().编辑框_备注->text(), remark);
    EXPECT_EQ(ui().编辑框_单号->text(), number);
    EXPECT_EQ(stored("店名"), QStringLiteral("O'Brien 小店"));
    EXPECT_EQ(stored("备注"), remark);
}

TEST_F(Settings, AnOverlongShopNameStoresNothing)
{
    openAs();
    s().编辑框_店名->setText(QString(51, QChar(0x5E97)));
    s().编辑框_边距->setText(QStringLiteral("7"));
    s().按钮_保存->click();
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("数据添加失败!") });
    EXPECT_EQ(stored("店名"), QStringLiteral("Corvane"));
    EXPECT_EQ(stored("纸张边距"), QStringLiteral("0"));
    EXPECT_EQ(ui().编辑框_店名->text(), QStringLiteral("Corvane"));
}

TEST_F(Settings, FailedReadsAtOpening)
{
    open();
    breakConfiguration();
    settings = window().createSettingsWindow();
    EXPECT_EQ(s().编辑框_边距->text(), QStringLiteral("假"));
    EXPECT_EQ(s().编辑框_偏差->text(), QStringLiteral("假"));
    EXPECT_TRUE(s().编辑框_店名->text().isEmpty());
    for (const QString& text : h.prompter.texts())
        EXPECT_EQ(text, QStringLiteral("查询失败！"));
}

TEST_F(Settings, ProductsAreAddedChangedAndDeleted)
{
    openAs();
    s().高级选择夹1->setCurrentIndex(ProductsPage);
    QTreeWidget* list = s().超级列表框1;
    EXPECT_EQ(column(list, 1), (QStringList { QStringLiteral("mkf-麦克风"), QStringLiteral("dyx-电源线") }));
    EXPECT_EQ(column(list, 0), (QStringList { QStringLiteral("1"), QStringLiteral("2") }));

    s().编辑框_名称->setText(QStringLiteral("it's \"麦\""));
    s().编辑框_单价->setText(QStringLiteral("12.5"));
    s().按钮_添加->click();
    EXPECT_TRUE(h.prompter.calls.empty());
    EXPECT_EQ(column(list, 2).last(), QStringLiteral("12.50"));
    EXPECT_EQ(column(list, 1).last(), QStringLiteral("it's \"麦\""));
    EXPECT_TRUE(s().编辑框_名称->text().isEmpty());
    // The sales window's drop-down follows at once.
    EXPECT_TRUE(items(ui().组合框_名称).contains(QStringLiteral("it's \"麦\"")));

    // Right after a refill no row is chosen.
    s().按钮_修改->click();
    s().按钮_删除->click();
    EXPECT_EQ(h.prompter.texts(), std::vector<QString>(2, QStringLiteral("请选择要修改的行！")));
    EXPECT_EQ(h.prompter.calls[0].title, QStringLiteral("提示："));

    choose(list, QStringLiteral("dyx-电源线"));
    EXPECT_EQ(s().编辑框_单价->text(), QStringLiteral("6.00"));
    s().编辑框_单价->setText(QStringLiteral("7"));
    s().按钮_修改->click();
    EXPECT_EQ(column(list, 2)[1], QStringLiteral("7.00"));
    choose(list, QStringLiteral("mkf-麦克风"));
    s().按钮_删除->click();
    EXPECT_EQ(column(list, 1), (QStringList { QStringLiteral("dyx-电源线"), QStringLiteral("it's \"麦\"") }));
    EXPECT_EQ(items(ui().组合框_名称), column(list, 1));
}

TEST_F(Settings, ProductRefusalsAndFailures)
{
    openAs();
    s().高级选择夹1->setCurrentIndex(ProductsPage);
    const std::vector<std::tuple<const char*, const char*, const char*>> cases = {
        { "", "1", "商品名称不能为空！" },
        { "x", "", "商品价格不能为空！" },
        { "123456789012345678901234567890123456789012345678901", "1", "添加失败！" },
    };
    for (const auto& [name, price, message] : cases) {
        h.prompter.clear();
        s().编辑框_名称->setText(QString::fromUtf8(name));
        s().编辑框_单价->setText(QString::fromUtf8(price));
        s().按钮_添加->click();
        EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QString::fromUtf8(message) });
        EXPECT_EQ(s().超级列表框1->topLevelItemCount(), 2);
    }
}

TEST_F(Settings, UsersAreListedAndTheLoggedInUserCannotBeDeleted)
{
    addUser(QStringLiteral("小王"), QStringLiteral("普通用户"));
    openAs();
    s().高级选择夹1->setCurrentIndex(UsersPage);
    QTreeWidget* list = s().超级列表框2;
    EXPECT_EQ(column(list, 1), (QStringList { QStringLiteral("admin"), QStringLiteral("小王") }));
    EXPECT_EQ(column(list, 2), (QStringList { QStringLiteral("管理员"), QStringLiteral("普通用户") }));

    s().按钮_删除1->click();
    s().按钮_修改1->click();
    EXPECT_EQ(h.prompter.texts(),
        (std::vector<QString> {
            QStringLiteral("请选择要删除的行！"), QStringLiteral("请选择要修改的行！") }));

    h.prompter.clear();
    choose(list, QStringLiteral("admin"));
    s().按钮_删除1->click();
    EXPECT_EQ(
        h.prompter.texts(), std::vector<QString> { QStringLiteral("当前用户(admin)正在使用，无法删除！") });
    EXPECT_EQ(h.prompter.calls[0].title, QStringLiteral("提示"));

    h.prompter.clear();
    choose(list, QStringLiteral("小王"));
    h.prompter.answers = { false };
    s().按钮_删除1->click();
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("真的要删除用户 小王 吗？") });
    EXPECT_EQ(h.prompter.calls[0].title, QStringLiteral("注意"));
    EXPECT_EQ(list->topLevelItemCount(), 2);
    h.prompter.answers = { true };
    s().按钮_删除1->click();
    EXPECT_EQ(column(list, 1), QStringList { QStringLiteral("admin") });
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM 用户登录")).size(), 1u);
}

TEST_F(Settings, AddingUsers)
{
    openAs();
    s().高级选择夹1->setCurrentIndex(UsersPage);
    AddUserWindow add(
        Services { h.app->database(), h.prompter, h.clock, h.shell, h.app->session() }, settings.get());
    add.setOnAdded([this] { settings->users().FillUserList(); });
    EXPECT_EQ(add.ui().组合框_qx->currentText(), QStringLiteral("管理员"));
    struct Case {
        const char* name;
        const char* password;
        const char* confirmation;
        const char* role;
        const char* message; // nullptr: added
    };
    const std::vector<Case> cases = {
        { "", "a", "a", "管理员", "用户不能为空！" },
        { "u", "", "a", "管理员", "密码不能为空！" },
        { "u", "a", "", "管理员", "请输入确认密码！" },
        { "u", "a", "a", "", "请选择权限！" },
        { "u", "a", "b", "管理员", "密码输入不一致，请重新输入！！" },
        { "收银'员\"", "it's", "it's", "店员", nullptr },
        { "收银'员\"", "x", "x", "普通用户", nullptr },
    };
    for (const Case& c : cases) {
        h.prompter.clear();
        add.ui().编辑框_yhm->setText(QString::fromUtf8(c.name));
        add.ui().编辑框_mm->setText(QString::fromUtf8(c.password));
        add.ui().编辑框8->setText(QString::fromUtf8(c.confirmation));
        add.ui().组合框_qx->setEditText(QString::fromUtf8(c.role));
        add.ui().按钮1->click();
        if (c.message)
            EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QString::fromUtf8(c.message) });
        else
            EXPECT_TRUE(h.prompter.calls.empty()) << c.name;
    }
    // Same names are allowed; the list follows each addition.
    EXPECT_EQ(column(s().超级列表框2, 1),
        (QStringList { QStringLiteral("admin"), QStringLiteral("收银'员\""), QStringLiteral("收银'员\"") }));
    const Rows added = rows(QStringLiteral("SELECT * FROM 用户登录 WHERE 权限='店员'"));
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added.front().text(QStringLiteral("密码")), PasswordDigest(QStringLiteral("it's")));
}

TEST_F(Settings, AUserWithATypedRoleIsAnOrdinaryUser)
{
    Database db;
    h.dir.openSecondConnection(db);
    ASSERT_TRUE(
        db.exec(QStringLiteral("INSERT INTO 用户登录 (用户名, 权限, 密码) VALUES ('店员', 'boss', ?)"),
            { PasswordDigest(QString()) }));
    open(QStringLiteral("店员"));
    EXPECT_FALSE(ui().按钮_仅保存小票->isEnabled());
    EXPECT_FALSE(window().createSettingsWindow()->ui().高级选择夹1->isTabVisible(PrintPage));
}

TEST_F(Settings, EditingAUserKeepsThePasswordUnlessOneIsTyped)
{
    Database db;
    h.dir.openSecondConnection(db);
    ASSERT_TRUE(
        db.exec(QStringLiteral("INSERT INTO 用户登录 (用户名, 权限, 密码) VALUES ('小王', '管理员', ?)"),
            { PasswordDigest(QStringLiteral("secret")) }));
    const qint64 id = db.lastInsertId();
    openAs();
    const Services services { h.app->database(), h.prompter, h.clock, h.shell, h.app->session() };
    EditUserWindow edit(services, id, QStringLiteral("小王"), QStringLiteral("管理员"), settings.get());
    EXPECT_TRUE(edit.ui().编辑框_yhm->isReadOnly());
    EXPECT_EQ(edit.ui().组合框_qx->currentText(), QStringLiteral("管理员"));

    edit.ui().组合框_qx->setEditText(QStringLiteral("普通用户"));
    edit.ui().按钮1->click();
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("修改成功！下次登录生效！") });
    Row user = db.query(QStringLiteral("SELECT * FROM 用户登录 WHERE ID=?"), { id })->front();
    EXPECT_EQ(user.text(QStringLiteral("权限")), QStringLiteral("普通用户"));
    EXPECT_EQ(user.text(QStringLiteral("密码")), PasswordDigest(QStringLiteral("secret")));

    edit.ui().编辑框_mm->setText(QStringLiteral("新'密码"));
    edit.ui().按钮1->click();
    user = db.query(QStringLiteral("SELECT * FROM 用户登录 WHERE ID=?"), { id })->front();
    EXPECT_EQ(user.text(QStringLiteral("密码")), PasswordDigest(QStringLiteral("新'密码")));

    edit.show();
    edit.ui().按钮2->click();
    EXPECT_FALSE(edit.isVisible());
}

TEST_F(Settings, PagesAreRendered)
{
    openAs();
    const QString folder = QStringLiteral(SCREENSHOT_DIR);
    QDir().mkpath(folder);
    const char* names[]
        = { "SettingsWindow-print.png", "SettingsWindow-products.png", "SettingsWindow-users.png" };
    for (int page = 0; page < 3; ++page) {
        s().高级选择夹1->setCurrentIndex(page);
        EXPECT_TRUE(settings->grab().save(folder + QLatin1Char('/') + QString::fromUtf8(names[page])));
    }
    AddUserWindow add(Services { h.app->database(), h.prompter, h.clock, h.shell, h.app->session() });
    EXPECT_TRUE(add.grab().save(folder + QStringLiteral("/AddUserWindow.png")));
    EditUserWindow edit(Services { h.app->database(), h.prompter, h.clock, h.shell, h.app->session() }, 11,
        QStringLiteral("admin"), QStringLiteral("管理员"));
    EXPECT_TRUE(edit.grab().save(folder + QStringLiteral("/EditUserWindow.png")));
}

TEST_F(Settings, TheMenuOpensTheWindowModal)
{
    open();
    bool modal = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        modal = dialog && dialog->inherits("tillora::SettingsWindow");
        if (dialog)
            dialog->close();
    });
    ui().菜单_软件设置->trigger();
    EXPECT_TRUE(modal);
}
