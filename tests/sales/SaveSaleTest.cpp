#include "support/SalesFixture.h"

#include <gtest/gtest.h>

using namespace tillora;
using namespace tillora::test;

namespace {

class Saving : public ::testing::Test, protected OpenSales {
protected:
    void add(const QString& name, const QString& quantity, const QString& price)
    {
        ui().编辑框_名称->setText(name);
        ui().编辑框_数量->setText(quantity);
        ui().编辑框_单价->setText(price);
        window().AddSaleLine();
    }
    Rows rows(const QString& sql)
    {
        Database db;
        h.dir.openSecondConnection(db);
        return db.query(sql).value_or(Rows {});
    }
};

} // namespace

TEST_F(Saving, TwoLinesAreStoredWithTheAdvancedNumber)
{
    const QString remark = QStringLiteral("第一行 \r\n第二行");
    h.configure(QStringLiteral("备注"), remark);
    open();
    ui().选择框_折扣->click();
    ui().组合框_折扣->setEditText(QStringLiteral("9.5"));
    add(QStringLiteral("mkf-麦克风"), QStringLiteral("3"), QStringLiteral("10"));
    ui().选择框_折扣->click();
    add(QStringLiteral("it's-\"电源线\""), QStringLiteral("2"), QStringLiteral("6"));
    // The time shown is not what is stored: the clock of the moment of saving is.
    ui().选择框_修改时间->click();
    ui().编辑框_时间->setText(QStringLiteral("1999-01-01  00:00:00"));
    h.clock.time = QDateTime(QDate(2017, 6, 7), QTime(0, 0, 0));
    ui().按钮_仅保存小票->click();

    EXPECT_TRUE(h.prompter.calls.empty());
    EXPECT_EQ(ui().编辑框_单号->text(), QStringLiteral("0000000000002"));
    EXPECT_EQ(ui().超级列表框1->topLevelItemCount(), 0);
    EXPECT_EQ(ui().标签_总量->text(), QString());
    EXPECT_EQ(ui().标签_总金额->text(), QString());
    EXPECT_EQ(ui().标签_打折后->text(), QString());
    // The cash received and the change stay for the next sale.
    EXPECT_EQ(ui().编辑框_实收->text(), QStringLiteral("42.00"));

    const Rows records = rows(QStringLiteral("SELECT * FROM 销售记录 WHERE ID > 401"));
    ASSERT_EQ(records.size(), 1u);
    const Row& record = records.front();
    EXPECT_EQ(record.text(QStringLiteral("销售票号")), QStringLiteral("0000000000002"));
    EXPECT_EQ(record.text(QStringLiteral("销售时间")), QStringLiteral("2017-06-07 00:00:00"));
    EXPECT_EQ(record.text(QStringLiteral("数量")), QStringLiteral("5"));
    EXPECT_EQ(record.text(QStringLiteral("金额")), QStringLiteral("42.00"));
    EXPECT_EQ(record.text(QStringLiteral("收银员")), QStringLiteral("admin"));
    EXPECT_EQ(record.text(QStringLiteral("备注")), remark + QLatin1Char(' '));

    const Rows lines = rows(QStringLiteral("SELECT * FROM 销售详情 WHERE 关联 = %1 ORDER BY ID")
                                .arg(record.integer(QStringLiteral("ID"))));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text(QStringLiteral("名称")), QStringLiteral("麦克风"));
    EXPECT_EQ(lines[0].text(QStringLiteral("金额")), QStringLiteral("30.00"));
    EXPECT_EQ(lines[0].text(QStringLiteral("折后")), QStringLiteral("28.50"));
    EXPECT_EQ(lines[1].text(QStringLiteral("名称")), QStringLiteral("\"电源线\""));
    for (const Row& line : lines)
        EXPECT_EQ(line.text(QStringLiteral("备注")), QLatin1Char(' ') + remark);
}

TEST_F(Saving, WithSavingOffTheNumberAdvancesAndNothingIsStored)
{
    h.configure(QStringLiteral("保存销售记录"), QStringLiteral("假"));
    open();
    add(QStringLiteral("a"), QStringLiteral("1"), QStringLiteral("1"));
    window().SaveSale();
    EXPECT_TRUE(h.prompter.calls.empty());
    EXPECT_EQ(ui().编辑框_单号->text(), QStringLiteral("0000000000002"));
    EXPECT_EQ(ui().超级列表框1->topLevelItemCount(), 0);
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM 销售记录")).size(), 1u);
}

TEST_F(Saving, AnEmptyListIsRefusedAndTheNumberStays)
{
    open();
    window().SaveSale();
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("没有可以保存的数据！") });
    EXPECT_EQ(ui().编辑框_单号->text(), QStringLiteral("0000000000001"));
}

TEST_F(Saving, AFailedSaveKeepsTheSaleToBeSavedAgain)
{
    open();
    add(QStringLiteral("a"), QStringLiteral("1"), QStringLiteral("1"));
    add(QStringLiteral("b"), QStringLiteral("1"), QStringLiteral("1"));
    // A cashier name the database refuses makes the whole sale fail.
    ui().编辑框_收银员->setText(QString(51, QLatin1Char('c')));
    window().SaveSale();
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("添加失败！") });
    EXPECT_EQ(ui().超级列表框1->topLevelItemCount(), 2);
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM 销售记录")).size(), 1u);
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM 销售详情")).size(), 1u);

    ui().编辑框_收银员->setText(QStringLiteral("admin"));
    window().SaveSale();
    EXPECT_EQ(ui().超级列表框1->topLevelItemCount(), 0);
    const Rows records = rows(QStringLiteral("SELECT * FROM 销售记录 WHERE ID > 401"));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records.front().text(QStringLiteral("销售票号")), QStringLiteral("0000000000003"));
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM 销售详情")).size(), 3u);
}

TEST_F(Saving, OrdinaryUsersCannotUseSaveOnly)
{
    addUser(QStringLiteral("小王"), QStringLiteral("普通用户"));
    open(QStringLiteral("小王"));
    EXPECT_FALSE(ui().按钮_仅保存小票->isEnabled());
}
