#include "app/SalesWindow.h"

#include "store/Config.h"
#include "store/Schema.h"
#include "support/SalesFixture.h"
#include "ui_SalesWindow.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tillora;
using namespace tillora::test;

namespace {

class Sales : public ::testing::Test, protected OpenSales { };

} // namespace

TEST_F(Sales, OpeningLoadsTheShopAndTheLists)
{
    open();
    EXPECT_EQ(ui().编辑框_店名->text(), QStringLiteral("Corvane"));
    EXPECT_EQ(ui().编辑框_备注->text(), Schema::defaultRemark());
    EXPECT_EQ(ui().编辑框_收银员->text(), QStringLiteral("admin"));
    EXPECT_EQ(ui().编辑框_付款方式->text(), QStringLiteral("现金"));
    EXPECT_EQ(items(ui().组合框_付款方式),
        (QStringList { QStringLiteral("现金"), QStringLiteral("微信"), QStringLiteral("QQ红包"),
            QStringLiteral("支付宝"), QStringLiteral("银行卡"), QStringLiteral("财付通") }));
    EXPECT_EQ(items(ui().组合框_收银员), QStringList { QStringLiteral("admin") });
    EXPECT_EQ(ui().组合框_收银员->itemData(0).toLongLong(), 11);
    EXPECT_EQ(ui().编辑框_单号->text(), QStringLiteral("0000000000001"));
    EXPECT_TRUE(ui().选择框_付款方式->isChecked());
    EXPECT_TRUE(ui().组合框_付款方式->isEnabled());
    EXPECT_FALSE(ui().选择框_折扣->isChecked());
    EXPECT_FALSE(ui().组合框_折扣->isEnabled());
    EXPECT_FALSE(ui().选择框_电话->isChecked());
    EXPECT_FALSE(ui().组合框_电话->isEnabled());
    EXPECT_FALSE(ui().按钮_删除->isEnabled());
    EXPECT_FALSE(ui().按钮_修改->isEnabled());
    EXPECT_TRUE(ui().编辑框_时间->text().isEmpty()) << "empty until the first tick";
    EXPECT_TRUE(h.prompter.calls.empty());

    const Session& session = h.app->session();
    EXPECT_EQ(session.orderNumberMode, 1);
    EXPECT_TRUE(session.saveSalesRecords);
    EXPECT_TRUE(session.printOptions.printUnitPrice);
    EXPECT_FALSE(session.printOptions.printLogo);
    EXPECT_FALSE(session.printOptions.showPrintedNotice);
    EXPECT_FALSE(session.printOptions.askReprint);
}

TEST_F(Sales, StoredSettingsAreLoadedIntoTheSession)
{
    h.configure(QStringLiteral("纸张边距"), QStringLiteral("2.9"));
    h.configure(QStringLiteral("打印偏差"), QStringLiteral("-1.5"));
    h.configure(QStringLiteral("是否打印logo"), QStringLiteral("真"));
    h.configure(QStringLiteral("保存销售记录"), QStringLiteral("假"));
    h.configure(QStringLiteral("全局单号格式"), QStringLiteral("2"));
    h.configure(QStringLiteral("折扣"), QStringLiteral("真"));
    h.configure(QStringLiteral("付款方式的选中"), QStringLiteral("假"));
    open();
    const Session& session = h.app->session();
    EXPECT_EQ(session.printOptions.paperMargin, 2);
    EXPECT_EQ(session.printOptions.printOffset, -1);
    EXPECT_TRUE(session.printOptions.printLogo);
    EXPECT_FALSE(session.saveSalesRecords);
    EXPECT_EQ(session.orderNumberMode, 2);
    EXPECT_EQ(ui().编辑框_单号->text(), QStringLiteral("1706070000001"));
    EXPECT_TRUE(ui().选择框_折扣->isChecked());
    EXPECT_TRUE(ui().组合框_折扣->isEnabled());
    EXPECT_FALSE(ui().选择框_付款方式->isChecked());
    EXPECT_FALSE(ui().编辑框_付款方式->isEnabled());
    EXPECT_FALSE(ui().组合框_付款方式->isEnabled());
}

TEST_F(Sales, RoleDecidesTheCashierControls)
{
    struct Case {
        QString user;
        QString role; // empty: the user has no row
        bool enabled;
    };
    const std::vector<Case> cases = {
        { QStringLiteral("admin"), QStringLiteral("管理员"), true },
        { QStringLiteral("小王"), QStringLiteral("普通用户"), false },
        { QStringLiteral("odd"), QStringLiteral("管理员 "), false },
        { QStringLiteral("ghost"), QString(), false },
    };
    for (const Case& c : cases) {
        OpenSales fixture;
        if (!c.role.isEmpty() && c.user != QStringLiteral("admin"))
            fixture.addUser(c.user, c.role);
        fixture.open(c.user);
        Ui::SalesWindow& ui = fixture.ui();
        EXPECT_EQ(fixture.window().windowTitle(),
            QStringLiteral("Tillorav3.2          收银员：") + c.user + QLatin1Char('(') + c.role
                + QLatin1Char(')'));
        EXPECT_EQ(ui.编辑框_收银员->isEnabled(), c.enabled) << c.user.toStdString();
        EXPECT_EQ(ui.组合框_收银员->isEnabled(), c.enabled);
        EXPECT_EQ(ui.按钮_仅保存小票->isEnabled(), c.enabled);
    }
}

TEST_F(Sales, StoredTelephoneAndCustomerChoicesFillTheirLists)
{
    h.configure(QStringLiteral("电话"), QStringLiteral("真"));
    h.configure(QStringLiteral("客户"), QStringLiteral("真"));
    open();
    EXPECT_TRUE(ui().选择框_电话->isChecked());
    EXPECT_TRUE(ui().组合框_电话->isEnabled());
    EXPECT_EQ(items(ui().组合框_电话),
        (QStringList {
            QStringLiteral("13800000001"), QStringLiteral("13900000002"), QStringLiteral("456") }));
    EXPECT_EQ(items(ui().组合框_客户),
        (QStringList { QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("369") }));
    EXPECT_TRUE(ui().选择框_客户->isChecked());
    // The click action of the customer box enables its edit box again.
    EXPECT_TRUE(ui().编辑框_客户->isEnabled());
    Database db;
    h.dir.openSecondConnection(db);
    EXPECT_EQ(Config(db, h.prompter).readText(QStringLiteral("电话")), QStringLiteral("真"));
}

TEST_F(Sales, EnterAndF5ReachTheirActionsWhateverHasTheFocus)
{
    // No print server: F5 then warns at once and saves the sale.
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    open();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    const std::vector<QWidget*> targets = { ui().编辑框_名称, ui().编辑框_数量, ui().编辑框_单价,
        ui().超级列表框1, ui().组合框_实收, ui().编辑框_单号, ui().按钮_打印预览 };
    for (QWidget* target : targets) {
        for (const auto& [key, modifier] : { std::pair { Qt::Key_Return, Qt::NoModifier },
                 std::pair { Qt::Key_Enter, Qt::KeypadModifier } }) {
            const size_t before = window().sale().lines().size();
            ui().编辑框_名称->setText(QStringLiteral("mkf-麦克风"));
            ui().编辑框_数量->setText(QStringLiteral("1"));
            target->setFocus();
            QTest::keyClick(target, key, modifier);
            EXPECT_EQ(window().sale().lines().size(), before + 1) << target->objectName().toStdString();
        }
        h.prompter.clear();
        QTest::keyClick(target, Qt::Key_F5);
        EXPECT_TRUE(window().sale().isEmpty()) << target->objectName().toStdString();
        ASSERT_EQ(h.prompter.calls.size(), 1u);
        EXPECT_EQ(h.prompter.calls[0].icon, Prompter::Icon::Warning);
    }

    // The key never reaches the focused control.
    ui().编辑框_数量->setFocus();
    QSignalSpy returned(ui().编辑框_数量, &QLineEdit::returnPressed);
    QTest::keyClick(ui().编辑框_数量, Qt::Key_Return);
    EXPECT_EQ(returned.count(), 0);
    // With a modifier the keys are the control's own.
    const size_t before = window().sale().lines().size();
    ui().编辑框_名称->setText(QStringLiteral("x"));
    QTest::keyClick(ui().编辑框_数量, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(window().sale().lines().size(), before);
}

TEST_F(Sales, EnterAndF5OnAnEmptySaleSayWhatIsMissing)
{
    open();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QTest::keyClick(ui().编辑框_名称, Qt::Key_Return);
    QTest::keyClick(ui().编辑框_名称, Qt::Key_F5);
    EXPECT_EQ(h.prompter.texts(),
        (std::vector<QString> {
            QStringLiteral("商品名称不能为空！"), QStringLiteral("没有可以打印的数据！") }));
}

TEST_F(Sales, ShortcutsRestWhileAnotherWindowIsActive)
{
    open();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QTest::keyClick(&other, Qt::Key_Return);
    QTest::keyClick(ui().编辑框_名称, Qt::Key_Return);
    EXPECT_TRUE(h.prompter.calls.empty());
}

TEST_F(Sales, ClockShowsTheTimeWithTwoDigitFields)
{
    open();
    h.clock.time = QDateTime(QDate(2017, 6, 7), QTime(9, 5, 3));
    QTest::qWait(1100);
    EXPECT_EQ(ui().编辑框_时间->text(), QStringLiteral("2017-06-07  09:05:03"));
    EXPECT_TRUE(ui().编辑框_时间->isReadOnly());

    // Ticking 修改时间 stops the clock and lets the time be typed.
    ui().选择框_修改时间->click();
    EXPECT_FALSE(ui().编辑框_时间->isReadOnly());
    ui().编辑框_时间->setText(QStringLiteral("typed"));
    QTest::qWait(1100);
    EXPECT_EQ(ui().编辑框_时间->text(), QStringLiteral("typed"));
    ui().选择框_修改时间->click();
    EXPECT_TRUE(ui().编辑框_时间->isReadOnly());
    h.clock.time = QDateTime(QDate(2016, 8, 18), QTime(20, 55, 36));
    QTest::qWait(1100);
    EXPECT_EQ(ui().编辑框_时间->text(), QStringLiteral("2016-08-18  20:55:36"));
}

TEST_F(Sales, MenusStartProgramsAndShowTheAboutBox)
{
    open();
    ui().菜单_联系作者->trigger();
    ASSERT_EQ(h.shell.calls.size(), 1u);
    EXPECT_EQ(h.shell.calls[0].what, QStringLiteral("open"));
    ui().菜单_关于->trigger();
    ASSERT_EQ(h.prompter.calls.size(), 1u);
    EXPECT_EQ(h.prompter.calls[0].title, QStringLiteral("关于"));
    EXPECT_EQ(h.prompter.calls[0].icon, Prompter::Icon::Information);
    EXPECT_EQ(h.prompter.calls[0].owner, &window());
    // Without a calculator installed nothing happens and nothing is reported.
    ui().菜单_计算器->trigger();
    ui().菜单_记事本->trigger();
    EXPECT_EQ(h.prompter.calls.size(), 1u);
}

TEST_F(Sales, ClosingTheWindowClosesTheDatabaseAndEndsTheProgram)
{
    open();
    window().close();
    EXPECT_TRUE(h.app->hasEnded());
    EXPECT_FALSE(h.app->database().isOpen());
}

TEST_F(Sales, ThePaymentMethodsWindowRefillsTheDropDownWhenItCloses)
{
    open();
    bool opened = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        opened = dialog && dialog->windowTitle() == QStringLiteral("Tillora");
        h.app->database().exec(QStringLiteral("INSERT INTO 付款方式 (方式) VALUES ('会员卡')"));
        if (dialog)
            dialog->close();
    });
    ui().按钮_付款方式->click();
    EXPECT_TRUE(opened);
    EXPECT_EQ(items(ui().组合框_付款方式).last(), QStringLiteral("会员卡"));
    EXPECT_EQ(ui().编辑框_付款方式->text(), QStringLiteral("现金"));
}

TEST_F(Sales, TheCustomerWindowOpensModal)
{
    open();
    bool modal = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        modal = dialog && dialog->inherits("tillora::CustomerWindow");
        if (dialog)
            dialog->close();
    });
    ui().按钮_设置客户->click();
    EXPECT_TRUE(modal);
}

TEST_F(Sales, CustomerChoicesAreInsideTheWindow)
{
    open();
    const QRect area = ui().centralwidget->rect();
    for (QWidget* control : std::initializer_list<QWidget*> {
             ui().选择框_电话, ui().组合框_电话, ui().选择框_客户, ui().组合框_客户, ui().按钮_设置客户 }) {
        EXPECT_TRUE(area.contains(control->geometry())) << control->objectName().toStdString();
        for (QWidget* other : ui().centralwidget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const bool pair = other->objectName().mid(3) == control->objectName().mid(3);
            if (other != control && !pair && other->isVisibleTo(&window())) {
                EXPECT_FALSE(other->geometry().intersects(control->geometry()))
                    << control->objectName().toStdString() << " overlaps "
                    << other->objectName().toStdString();
            }
        }
    }
}
