#include "records/QueryWindow.h"

#include "records/RecordsWindow.h"
#include "store/Session.h"
#include "support/ControlTable.h"
#include "support/DataDir.h"
#include "support/RecordingPrompter.h"
#include "support/Seams.h"
#include "support/WindowHarness.h"
#include "ui_QueryWindow.h"

#include <QDir>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace tillora;
using namespace tillora::test;

namespace {

// The window opens on 2017-06-07 at 15:30:00.
const QDateTime kOpened(QDate(2017, 6, 7), QTime(15, 30, 0));

struct Record {
    const char* number; // 销售票号, the name tests use for it
    const char* time;
    const char* quantity;
    const char* amount;
    const char* cashier;
};
const std::vector<Record> kRecords = {
    { "A", "2017-06-07 00:00:00", "1", "12.50", "admin" },
    { "B", "2017-06-07 09:00:00", "10", "112.50", "小王" },
    { "C", "2017-06-07 12:00:00", "21", "30.00", "admin" },
    { "D", "2017-06-07 15:30:00", "3", "7.25", "小王" },
    { "E", "2017-06-07 15:30:01", "1", "12.50", "admin" }, // after the window opened
    { "F", "2017-06-06 23:59:59", "1", "12.50", "admin" },
    { "G", "2017-06-05 10:00:00", "2", "5.00", "admin" },
    { "H", "2017-06-05 16:00:00", "1", "8.00", "小王" },
    { "I", "2017-06-07 10:00:00", "4", "3.00", "O'Neil" },
};

// A data directory holding the records above, the records window over it and
// the query window opened from it, on recording seams.
struct QueryHarness : WindowHarness {
    QueryHarness()
    {
        clock.time = kOpened;
        session.currentRole = Session::administratorRole();
        Database other;
        dir.openSecondConnection(other);
        for (const Record& r : kRecords) {
            const bool ok = other.exec(
                QStringLiteral(
                    "INSERT INTO 销售记录 (销售票号, 销售时间, 数量, 金额, 收银员) VALUES (?, ?, ?, ?, ?)"),
                { QString::fromUtf8(r.number), QString::fromUtf8(r.time), QString::fromUtf8(r.quantity),
                    QString::fromUtf8(r.amount), QString::fromUtf8(r.cashier) });
            EXPECT_TRUE(ok) << other.lastError().toStdString();
        }
    }

    void open()
    {
        records = std::make_unique<RecordsWindow>(services());
        window = std::make_unique<QueryWindow>(services(), *records, records.get());
    }
    Ui::QueryWindow& ui() { return window->ui(); }
    QTreeWidget* recordList() { return records->findChild<QTreeWidget*>(QStringLiteral("超级列表框1")); }
    QString label(const char* name) { return records->findChild<QLabel*>(QString::fromUtf8(name))->text(); }

    // The order numbers listed in the records window, sorted: the query sets no order.
    QStringList listed()
    {
        QStringList numbers;
        for (int i = 0; i < recordList()->topLevelItemCount(); ++i)
            numbers << recordList()->topLevelItem(i)->text(1);
        numbers.sort();
        return numbers;
    }
    void query(bool fuzzy, const QString& quantity, const QString& amount, const QString& cashier)
    {
        (fuzzy ? ui().单选框_模糊 : ui().单选框_精确)->click();
        ui().编辑框_数量1->setText(quantity);
        ui().编辑框_销售金额1->setText(amount);
        ui().组合框_收银员->setEditText(cashier);
        ui().按钮1->click();
    }

    std::unique_ptr<RecordsWindow> records;
    std::unique_ptr<QueryWindow> window; // destroyed before its parent
};

class QueryWindowTest : public ::testing::Test, protected QueryHarness {
protected:
    void SetUp() override { open(); }
};

QStringList names(const char* letters)
{
    QStringList out;
    for (const char* c = letters; *c; ++c)
        out << QString(QLatin1Char(*c));
    return out;
}

} // namespace

TEST_F(QueryWindowTest, OpensWithEveryBoxSwitchedOff)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("查询"));
    EXPECT_EQ(window->minimumSize(), QSize(359, 345));
    EXPECT_EQ(window->maximumSize(), QSize(359, 345));
    for (QCheckBox* box : { ui().选择框_时间, ui().选择框_数量, ui().选择框_金额, ui().选择框_收银员 })
        EXPECT_FALSE(box->isChecked());
    for (QWidget* box : std::initializer_list<QWidget*> {
             ui().日期框1, ui().日期框2, ui().编辑框_数量1, ui().编辑框_销售金额1, ui().组合框_收银员 })
        EXPECT_FALSE(box->isEnabled()) << box->objectName().toStdString();
    EXPECT_EQ(ui().日期框1->dateTime(), kOpened);
    EXPECT_EQ(ui().日期框2->dateTime(), kOpened);
    EXPECT_TRUE(ui().单选框_模糊->isChecked());
    EXPECT_FALSE(ui().单选框_精确->isChecked());
    EXPECT_EQ(ui().标签_说明->text(),
        QStringLiteral("\r\n* 模糊查找   "
                       "\r\n1.不一定准确\r\n2.很方便使用\r\n\r\n*精确查找\r\n1.所有条件勾选\r\n2.准确率高"));
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(QueryWindowTest, ControlsStandWhereTheFormPutsThem)
{
    const std::vector<ControlSpec> controls = {
        { "选择框_时间", QRect(9, 48, 56, 24), "时间：" },
        { "日期框1", QRect(86, 48, 107, 24), nullptr },
        { "标签1", QRect(206, 52, 16, 16), "至" },
        { "日期框2", QRect(233, 48, 107, 24), nullptr },
        { "选择框_数量", QRect(9, 96, 56, 16), "数量" },
        { "编辑框_数量1", QRect(86, 88, 104, 24), nullptr },
        { "选择框_金额", QRect(9, 144, 55, 24), "金额" },
        { "编辑框_销售金额1", QRect(86, 144, 104, 24), nullptr },
        { "选择框_收银员", QRect(9, 208, 56, 16), "收银员" },
        { "组合框_收银员", QRect(89, 208, 104, 24), nullptr },
        { "标签_说明", QRect(216, 88, 128, 128), nullptr },
        { "分组框1", QRect(219, 224, 128, 72), nullptr },
        { "单选框_模糊", QRect(16, 21, 88, 16), "模糊查找" },
        { "单选框_精确", QRect(16, 42, 80, 24), "精确查找" },
        { "按钮1", QRect(25, 256, 79, 40), "查询" },
        { "按钮2", QRect(117, 256, 79, 40), "关闭" },
    };
    ASSERT_NO_FATAL_FAILURE(expectControls(*window, controls));
    EXPECT_EQ(ui().分组框1->title(), QStringLiteral("查询方式"));
    EXPECT_EQ(ui().单选框_模糊->parentWidget(), ui().分组框1);
}

TEST(QueryWindow, CashierListHoldsTheUsersWithTheirIds)
{
    QueryHarness h;
    Database other;
    h.dir.openSecondConnection(other);
    ASSERT_TRUE(
        other.exec(QStringLiteral("INSERT INTO 用户登录 (用户名, 权限) VALUES ('小王', '普通用户')")));
    const qint64 id = other.lastInsertId();
    h.open();
    QComboBox* box = h.ui().组合框_收银员;
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->itemText(0), QStringLiteral("admin"));
    EXPECT_EQ(box->itemData(0).toLongLong(), 11);
    EXPECT_EQ(box->itemText(1), QStringLiteral("小王"));
    EXPECT_EQ(box->itemData(1).toLongLong(), id);
    EXPECT_EQ(box->currentText(), QString()) << "the shown text stays empty";
}

TEST(QueryWindow, UnreadableUserTableLeavesTheCashierListEmpty)
{
    QueryHarness h;
    Database other;
    h.dir.openSecondConnection(other);
    ASSERT_TRUE(other.exec(QStringLiteral("ALTER TABLE 用户登录 RENAME TO 用户登录_旧")));
    h.open();
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("查询失败！") });
    EXPECT_EQ(h.ui().组合框_收银员->count(), 0);
    h.prompter.clear();
    h.query(true, QStringLiteral("3"), QString(), QString());
    EXPECT_EQ(h.listed(), names("D")) << "the window stays usable";
}

TEST_F(QueryWindowTest, CheckBoxesOnlySwitchTheirBoxes)
{
    const QColor buttonFace = window->palette().color(QPalette::Button);
    for (QLineEdit* box : { ui().编辑框_数量1, ui().编辑框_销售金额1 })
        EXPECT_EQ(box->palette().color(QPalette::Base), buttonFace);

    struct Switch {
        QCheckBox* check;
        std::vector<QWidget*> boxes;
    };
    const std::vector<Switch> switches = {
        { ui().选择框_时间, { ui().日期框1, ui().日期框2 } },
        { ui().选择框_数量, { ui().编辑框_数量1 } },
        { ui().选择框_金额, { ui().编辑框_销售金额1 } },
        { ui().选择框_收银员, { ui().组合框_收银员 } },
    };
    for (const Switch& s : switches) {
        SCOPED_TRACE(s.check->text().toStdString());
        for (const bool on : { true, false }) {
            s.check->click();
            for (QWidget* box : s.boxes) {
                EXPECT_EQ(box->isEnabled(), on);
                if (auto* edit = qobject_cast<QLineEdit*>(box)) {
                    EXPECT_EQ(edit->palette().color(QPalette::Base), on ? QColor(Qt::white) : buttonFace);
                }
            }
        }
    }

    // Text typed before the box was switched off still takes part.
    ui().选择框_数量->click();
    ui().编辑框_数量1->setText(QStringLiteral("3"));
    ui().选择框_数量->click();
    ui().按钮1->click();
    EXPECT_EQ(listed(), names("D"));
}

TEST_F(QueryWindowTest, RadioButtonsExcludeEachOther)
{
    ui().单选框_精确->click();
    EXPECT_TRUE(ui().单选框_精确->isChecked());
    EXPECT_FALSE(ui().单选框_模糊->isChecked());
    ui().单选框_模糊->click();
    EXPECT_TRUE(ui().单选框_模糊->isChecked());
    EXPECT_FALSE(ui().单选框_精确->isChecked());
}

TEST_F(QueryWindowTest, PickingADateKeepsTheTimeOfDay)
{
    ui().日期框2->setDate(QDate(2017, 6, 1));
    EXPECT_EQ(ui().日期框2->dateTime(), QDateTime(QDate(2017, 6, 1), QTime(15, 30, 0)));
}

// Every query on the day the window opened: from midnight up to the moment it opened.
TEST(QueryWindow, QueriesTheDayByQuantityAmountAndCashier)
{
    struct Case {
        const char* what;
        bool fuzzy;
        const char* quantity;
        const char* amount;
        const char* cashier;
        const char* expected;
    };
    const std::vector<Case> cases = {
        { "fuzzy, all boxes empty: the whole range", true, "", "", "", "ABCDI" },
        { "fuzzy quantity contains 1", true, "1", "", "", "ABC" },
        { "fuzzy amount as money text", true, "", "12.5", "", "AB" },
        { "fuzzy amount already money text", true, "", "7.25", "", "D" },
        // "3" becomes "3.00": 30.00 is not found.
        { "fuzzy whole amount", true, "", "3", "", "I" },
        { "fuzzy cashier", true, "", "", "小王", "BD" },
        { "fuzzy cashier in part", true, "", "", "小", "BD" },
        // An empty amount box would match every .00 amount and an empty
        // cashier box everything: both are left out.
        { "fuzzy quantity alone", true, "3", "", "", "D" },
        { "fuzzy criteria joined by or", true, "21", "7.25", "O'Neil", "CDI" },
        { "fuzzy nothing matches", true, "99", "", "", "" },
        { "fuzzy quote in the cashier", true, "", "", "O'N", "I" },
        { "fuzzy quote in the quantity", true, "1'", "", "", "" },
        { "exact, all three match", false, "21", "30.00", "admin", "C" },
        { "exact, quote in the cashier", false, "4", "3.00", "O'Neil", "I" },
        { "exact, cashier empty", false, "21", "30.00", "", "" },
        { "exact, quantity empty", false, "", "30.00", "admin", "" },
        { "exact, amount empty", false, "21", "", "admin", "" },
        { "exact, amount not as stored", false, "21", "30", "admin", "" },
        { "exact, cashier in part", false, "21", "30.00", "adm", "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QueryHarness h;
        h.open();
        h.query(c.fuzzy, QString::fromUtf8(c.quantity), QString::fromUtf8(c.amount),
            QString::fromUtf8(c.cashier));
        EXPECT_TRUE(h.prompter.calls.empty());
        EXPECT_EQ(h.listed(), names(c.expected));
    }
}

TEST(QueryWindow, TheRangeRunsFromTheStartDayToTheEndMoment)
{
    struct Case {
        const char* what;
        QDate start, end;
        const char* expected;
    };
    const std::vector<Case> cases = {
        { "three days", QDate(2017, 6, 5), QDate(2017, 6, 7), "ABCDFGHI" },
        // An earlier end day ends at the time of day the window opened.
        { "an earlier day", QDate(2017, 6, 5), QDate(2017, 6, 5), "G" },
        { "the day before", QDate(2017, 6, 6), QDate(2017, 6, 6), "" },
        { "later end day", QDate(2017, 6, 6), QDate(2017, 6, 8), "ABCDEFI" },
        { "start after the end", QDate(2017, 6, 7), QDate(2017, 6, 6), "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QueryHarness h;
        h.open();
        h.ui().选择框_时间->click();
        h.ui().日期框1->setDate(c.start);
        h.ui().日期框2->setDate(c.end);
        h.ui().按钮1->click();
        EXPECT_TRUE(h.prompter.calls.empty());
        EXPECT_EQ(h.listed(), names(c.expected));
    }
}

TEST_F(QueryWindowTest, EachQueryReplacesTheListAndTotalsAndTheWindowStaysOpen)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_EQ(listed(), names("ABCDI")) << "the records window lists the day";

    query(true, QStringLiteral("1"), QString(), QString());
    EXPECT_EQ(listed(), names("ABC"));
    for (int i = 0; i < recordList()->topLevelItemCount(); ++i)
        EXPECT_EQ(recordList()->topLevelItem(i)->text(0), QString::number(i + 1));
    EXPECT_EQ(label("标签_销售数量"), QStringLiteral("32"));
    EXPECT_EQ(label("标签_总金额"), QStringLiteral("155.00"));
    EXPECT_TRUE(window->isVisible());

    query(false, QStringLiteral("99"), QString(), QString());
    EXPECT_EQ(recordList()->topLevelItemCount(), 0);
    EXPECT_EQ(label("标签_销售数量"), QStringLiteral("0"));
    EXPECT_EQ(label("标签_总金额"), QStringLiteral("0.00"));
    EXPECT_TRUE(window->isVisible());

    query(true, QString(), QString(), QStringLiteral("小王"));
    ui().按钮2->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(listed(), names("BD")) << "the records window keeps the last query's rows";
    EXPECT_EQ(label("标签_总金额"), QStringLiteral("119.75"));
}

TEST_F(QueryWindowTest, Screenshot)
{
    const QString folder = QStringLiteral(SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(folder));
    ui().选择框_时间->click();
    ui().选择框_数量->click();
    ui().编辑框_数量1->setText(QStringLiteral("1"));
    EXPECT_TRUE(window->grab().save(folder + QStringLiteral("/QueryWindow.png")));
}
