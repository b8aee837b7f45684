#include "customers/CustomerWindow.h"

#include "store/Session.h"
#include "support/ControlTable.h"
#include "support/DataDir.h"
#include "support/RecordingPrompter.h"
#include "support/Seams.h"
#include "support/WindowHarness.h"
#include "ui_CustomerWindow.h"

#include <QDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace tillora;
using namespace tillora::test;

namespace {

// A customer as the list and the table show it.
using Customer = QStringList; // name, number

const QList<Customer> kTemplateCustomers = {
    { QStringLiteral("张三"), QStringLiteral("13800000001") },
    { QStringLiteral("李四"), QStringLiteral("13900000002") },
    { QStringLiteral("369"), QStringLiteral("456") },
};
const std::vector<qint64> kTemplateIds = { 1, 2, 4 };

const QString kRenameTable = QStringLiteral("ALTER TABLE 客户资料 RENAME TO 客户资料_旧");

// A fresh data directory and the window over its database, on recording seams.
struct CustomerHarness : WindowHarness {
    void open() { window = std::make_unique<CustomerWindow>(services()); }
    Ui::CustomerWindow& ui() { return window->ui(); }
    QTreeWidget* list() { return ui().超级列表框1; }
    void choose(int row) { list()->setCurrentItem(list()->topLevelItem(row)); }
    void fillForm(const QString& name, const QString& number)
    {
        ui().编辑框_客户->setText(name);
        ui().编辑框_电话->setText(number);
    }
    Customer form() { return { ui().编辑框_客户->text(), ui().编辑框_电话->text() }; }
    void search(bool byPart, const QString& name, const QString& number)
    {
        ui().选择框1->setChecked(byPart);
        ui().编辑框3->setText(name);
        ui().编辑框4->setText(number);
        ui().按钮__查询->click();
    }

    void insert(const Customer& customer)
    {
        execute(
            QStringLiteral("INSERT INTO 客户资料 (姓名, 电话) VALUES (?, ?)"), { customer[0], customer[1] });
    }
    // The stored customers in ID order, read through a second connection.
    QList<Customer> stored()
    {
        Database other;
        dir.openSecondConnection(other);
        QList<Customer> out;
        if (const auto rows = other.query(QStringLiteral("SELECT 姓名, 电话 FROM 客户资料 ORDER BY ID")))
            for (const Row& row : *rows)
                out << Customer { row.text(1), row.text(2) };
        return out;
    }
    // The listed customers, after checking that cell 0 counts the rows from 1.
    QList<Customer> listed()
    {
        QList<Customer> out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list()->topLevelItem(i);
            EXPECT_EQ(item->text(0), QString::number(i + 1));
            out << Customer { item->text(1), item->text(2) };
        }
        return out;
    }

    std::unique_ptr<CustomerWindow> window;
};

class Customers : public ::testing::Test, protected CustomerHarness {
protected:
    void SetUp() override { open(); }
};

} // namespace

TEST_F(Customers, OpensWithTheStoredCustomersNumberedAndTagged)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tillora"));
    EXPECT_EQ(window->minimumSize(), QSize(440, 411));
    EXPECT_EQ(window->maximumSize(), QSize(440, 411));
    const QStringList titles = { QStringLiteral("序号"), QStringLiteral("客户"), QStringLiteral("电话") };
    const std::vector<int> widths = { 50, 100, 100 };
    for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(list()->headerItem()->text(column), titles[column]);
        EXPECT_EQ(list()->columnWidth(column), widths[column]);
    }
    EXPECT_EQ(listed(), kTemplateCustomers);
    for (int i = 0; i < list()->topLevelItemCount(); ++i)
        EXPECT_EQ(list()->topLevelItem(i)->data(0, Qt::UserRole).toLongLong(), kTemplateIds[i]);
    EXPECT_EQ(list()->currentItem(), nullptr);
    EXPECT_EQ(form(), Customer({ QString(), QString() }));
    EXPECT_TRUE(ui().选择框1->isChecked());
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(Customers, ControlsStandWhereTheFormPutsThem)
{
    const std::vector<ControlSpec> controls = {
        { "超级列表框1", QRect(8, 8, 256, 312), nullptr },
        { "标签_客户", QRect(280, 16, 48, 24), "客户：" },
        { "编辑框_客户", QRect(272, 40, 152, 48), nullptr },
        { "标签_电话", QRect(280, 96, 40, 24), "电话：" },
        { "编辑框_电话", QRect(269, 144, 160, 32), nullptr },
        { "按钮_添加", QRect(280, 208, 136, 24), "添加" },
        { "按钮_修改", QRect(280, 240, 136, 24), "修改" },
        { "按钮_删除", QRect(280, 272, 136, 24), "删除" },
        { "标签1_客户", QRect(8, 344, 40, 24), "客户：" },
        { "编辑框3", QRect(48, 344, 96, 24), nullptr },
        { "标签1_电话", QRect(152, 344, 32, 24), "电话：" },
        { "编辑框4", QRect(192, 344, 128, 24), nullptr },
        { "按钮__查询", QRect(328, 344, 48, 24), "查询" },
        { "选择框1", QRect(384, 344, 48, 24), "模糊查找" },
    };
    ASSERT_NO_FATAL_FAILURE(expectControls(*window, controls));
}

TEST_F(Customers, ChoosingARowFillsTheForm)
{
    choose(2);
    EXPECT_EQ(form(), kTemplateCustomers[2]);
    choose(0);
    EXPECT_EQ(form(), kTemplateCustomers[0]);
}

// A successful add empties the form and lists every customer again, whatever
// search was shown before; the search boxes keep their texts.
TEST(CustomerWindow, AddStoresTheTextsAsTypedAndListsEveryone)
{
    const std::vector<Customer> customers = {
        { QStringLiteral("王五"), QStringLiteral("13700000003") },
        { QString(), QString() }, // both boxes empty
        { QStringLiteral("O'Neil \"老王\""), QStringLiteral("010-'8' \"9\"") },
        { QString(50, QChar(u'王')), QString(100, QChar(u'8')) }, // the longest texts the columns take
    };
    for (const Customer& customer : customers) {
        SCOPED_TRACE(customer.join(QLatin1Char('|')).toStdString());
        CustomerHarness h;
        h.open();
        h.search(true, QStringLiteral("李"), QString());
        ASSERT_EQ(h.list()->topLevelItemCount(), 1);
        h.fillForm(customer[0], customer[1]);
        h.ui().按钮_添加->click();
        EXPECT_TRUE(h.prompter.calls.empty());
        EXPECT_EQ(h.stored(), kTemplateCustomers + QList<Customer> { customer });
        EXPECT_EQ(h.listed(), kTemplateCustomers + QList<Customer> { customer });
        EXPECT_EQ(h.form(), Customer({ QString(), QString() }));
        EXPECT_EQ(h.ui().编辑框3->text(), QStringLiteral("李"));
    }
}

TEST(CustomerWindow, ModifyChangesTheChosenCustomer)
{
    const std::vector<Customer> changes = {
        { QStringLiteral("李四四"), QStringLiteral("13900000009") },
        { QString(), QString() },
        { QStringLiteral("李'四\""), QStringLiteral("'139'") },
    };
    for (const Customer& change : changes) {
        SCOPED_TRACE(change.join(QLatin1Char('|')).toStdString());
        CustomerHarness h;
        h.open();
        h.choose(1);
        h.fillForm(change[0], change[1]);
        h.ui().按钮_修改->click();
        EXPECT_TRUE(h.prompter.calls.empty());
        QList<Customer> expected = kTemplateCustomers;
        expected[1] = change;
        EXPECT_EQ(h.stored(), expected);
        EXPECT_EQ(h.listed(), expected);
        EXPECT_EQ(h.list()->topLevelItem(1)->data(0, Qt::UserRole).toLongLong(), 2);
        EXPECT_EQ(h.form(), Customer({ QString(), QString() }));
    }
}

TEST_F(Customers, DeleteRemovesTheChosenCustomerWithoutAsking)
{
    search(false, QStringLiteral("369"), QString());
    choose(0);
    ui().按钮_删除->click();
    EXPECT_TRUE(prompter.calls.empty());
    const QList<Customer> expected = kTemplateCustomers.mid(0, 2);
    EXPECT_EQ(stored(), expected);
    EXPECT_EQ(listed(), expected) << "every customer is listed again";
    EXPECT_EQ(form(), Customer({ QString(), QString() }));
}

// 修改 and 删除 act only on a row made current in this window since the list
// was last filled; otherwise they ask for a row and change nothing.
TEST(CustomerWindow, ModifyAndDeleteWithoutAChosenRowAskForOne)
{
    struct Button {
        QPushButton* Ui::CustomerWindow::*button;
        QString message;
    };
    const std::vector<Button> buttons = {
        { &Ui::CustomerWindow::按钮_修改, QStringLiteral("请选择要修改的行！") },
        { &Ui::CustomerWindow::按钮_删除, QStringLiteral("请选择要删除的行！") },
    };
    const Customer added = { QStringLiteral("王五"), QStringLiteral("137") };
    struct Situation {
        const char* what;
        std::function<void(CustomerHarness&)> before;
        QList<Customer> stored; // what the table holds before the button is pressed
        QList<Customer> listed;
    };
    const std::vector<Situation> situations = {
        { "nothing chosen yet", [](CustomerHarness&) {}, kTemplateCustomers, kTemplateCustomers },
        { "window shown and active",
            [](CustomerHarness& h) {
                h.window->show();
                h.window->activateWindow();
                ASSERT_TRUE(QTest::qWaitForWindowActive(h.window.get()));
            },
            kTemplateCustomers, kTemplateCustomers },
        // 张三 was row 0; after the search row 0 is 李四.
        { "list narrowed by a search after choosing",
            [](CustomerHarness& h) {
                h.choose(0);
                h.search(true, QStringLiteral("李"), QString());
            },
            kTemplateCustomers, { kTemplateCustomers[1] } },
        { "list refilled by an add after choosing",
            [&added](CustomerHarness& h) {
                h.choose(0);
                h.fillForm(added[0], added[1]);
                h.ui().按钮_添加->click();
            },
            kTemplateCustomers + QList<Customer> { added }, kTemplateCustomers + QList<Customer> { added } },
    };
    for (const Button& b : buttons) {
        for (const Situation& s : situations) {
            SCOPED_TRACE(b.message.toStdString() + " / " + s.what);
            CustomerHarness h;
            h.open();
            s.before(h);
            h.fillForm(QStringLiteral("改名"), QStringLiteral("000"));
            h.prompter.clear();
            (h.ui().*b.button)->click();
            expectOneMessage(h.prompter, b.message, QStringLiteral("提示："));
            EXPECT_EQ(h.stored(), s.stored);
            EXPECT_EQ(h.listed(), s.listed);
        }
    }
}

// A failed statement is reported; the form and the list stay as they were.
TEST(CustomerWindow, FailedChangesReportAndKeepTheFormAndList)
{
    struct Case {
        const char* what;
        QPushButton* Ui::CustomerWindow::*button;
        Customer form;
        QString breakTable;
        QString message;
    };
    const QString longName(51, QChar(u'王'));
    const QString longNumber(101, QChar(u'8'));
    const QString number = QStringLiteral("139");
    const std::vector<Case> cases = {
        { "add, name too long", &Ui::CustomerWindow::按钮_添加, { longName, number }, QString(),
            QStringLiteral("添加失败！") },
        { "add, number too long", &Ui::CustomerWindow::按钮_添加, { QStringLiteral("王五"), longNumber },
            QString(), QStringLiteral("添加失败！") },
        { "add, table gone", &Ui::CustomerWindow::按钮_添加, { QStringLiteral("王五"), number }, kRenameTable,
            QStringLiteral("添加失败！") },
        { "modify, name too long", &Ui::CustomerWindow::按钮_修改, { longName, number }, QString(),
            QStringLiteral("数据添加失败") },
        { "modify, number too long", &Ui::CustomerWindow::按钮_修改, { QStringLiteral("李四"), longNumber },
            QString(), QStringLiteral("数据添加失败") },
        { "modify, table gone", &Ui::CustomerWindow::按钮_修改, { QStringLiteral("李四"), number },
            kRenameTable, QStringLiteral("数据添加失败") },
        { "delete, table gone", &Ui::CustomerWindow::按钮_删除, kTemplateCustomers[1], kRenameTable,
            QStringLiteral("数据删除失败") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CustomerHarness h;
        h.open();
        h.choose(1);
        h.fillForm(c.form[0], c.form[1]);
        if (!c.breakTable.isEmpty())
            h.execute(c.breakTable);
        (h.ui().*c.button)->click();
        expectOneMessage(h.prompter, c.message, QStringLiteral("信息："));
        EXPECT_EQ(h.form(), c.form);
        EXPECT_EQ(h.listed(), kTemplateCustomers) << "the list is not refilled";
        if (c.breakTable.isEmpty()) {
            EXPECT_EQ(h.stored(), kTemplateCustomers);
        }
    }
}

TEST(CustomerWindow, SearchByNameOrNumberExactlyOrByPart)
{
    const Customer quoted = { QStringLiteral("O'Neil \"老王\""), QStringLiteral("010-'8'") };
    struct Case {
        bool byPart;
        QString name;
        QString number;
        QList<Customer> found;
    };
    const QList<Customer> everyone = kTemplateCustomers + QList<Customer> { quoted };
    const std::vector<Case> cases = {
        { true, QStringLiteral("3"), QString(), { kTemplateCustomers[2] } },
        { false, QStringLiteral("3"), QString(), {} },
        { false, QStringLiteral("369"), QString(), { kTemplateCustomers[2] } },
        { true, QString(), QStringLiteral("45"), { kTemplateCustomers[2] } },
        { false, QString(), QStringLiteral("45"), {} },
        { false, QString(), QStringLiteral("456"), { kTemplateCustomers[2] } },
        { true, QString(), QStringLiteral("0000000"), { kTemplateCustomers[0], kTemplateCustomers[1] } },
        // The name takes precedence over the number.
        { true, QStringLiteral("李"), QStringLiteral("456"), { kTemplateCustomers[1] } },
        { false, QStringLiteral("张三"), QStringLiteral("456"), { kTemplateCustomers[0] } },
        { false, QStringLiteral("张"), QStringLiteral("456"), {} },
        // Quotes are searched for as typed.
        { true, QStringLiteral("'Neil \""), QString(), { quoted } },
        { false, quoted[0], QString(), { quoted } },
        { false, QString(), quoted[1], { quoted } },
        // Both empty right after opening: everyone again.
        { true, QString(), QString(), everyone },
        { false, QString(), QString(), everyone },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            (c.byPart ? "by part: " : "exactly: ") + c.name.toStdString() + " / " + c.number.toStdString());
        CustomerHarness h;
        h.insert(quoted);
        h.open();
        h.search(c.byPart, c.name, c.number);
        EXPECT_TRUE(h.prompter.calls.empty());
        EXPECT_EQ(h.listed(), c.found);
        EXPECT_EQ(h.ui().编辑框3->text(), c.name);
        EXPECT_EQ(h.ui().编辑框4->text(), c.number);
    }
}

// With both search boxes empty the search runs the statement that last filled
// the list again, reading the table anew.
TEST_F(Customers, EmptySearchRepeatsTheLastFill)
{
    search(true, QStringLiteral("李"), QString());
    ASSERT_EQ(listed(), QList<Customer> { kTemplateCustomers[1] });

    const Customer other = { QStringLiteral("李五"), QStringLiteral("135") };
    insert(other);
    search(false, QString(), QString());
    EXPECT_EQ(listed(), (QList<Customer> { kTemplateCustomers[1], other }));

    choose(0);
    fillForm(QStringLiteral("李六"), QStringLiteral("136"));
    ui().按钮_修改->click();
    search(true, QString(), QString());
    EXPECT_EQ(listed(),
        (QList<Customer> { kTemplateCustomers[0], { QStringLiteral("李六"), QStringLiteral("136") },
            kTemplateCustomers[2], other }));
    EXPECT_TRUE(prompter.calls.empty());
}

TEST(CustomerWindow, UnreadableTableLeavesTheListEmpty)
{
    CustomerHarness h;
    h.execute(kRenameTable);
    h.open();
    expectOneMessage(h.prompter, QStringLiteral("查询失败！"), QStringLiteral("信息："));
    EXPECT_EQ(h.list()->topLevelItemCount(), 0);
}

TEST_F(Customers, Screenshot)
{
    const QString folder = QStringLiteral(SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(folder));
    choose(1);
    ui().编辑框3->setText(QStringLiteral("李"));
    ui().编辑框4->setText(QStringLiteral("139"));
    EXPECT_TRUE(window->grab().save(folder + QStringLiteral("/CustomerWindow.png")));
}
