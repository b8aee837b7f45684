#include "records/RecordsWindow.h"

#include "support/SalesFixture.h"
#include "ui_RecordsWindow.h"

#include <QDir>
#include <QMenu>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tillora;
using namespace tillora::test;

namespace {

struct Sale {
    const char* number;
    const char* time;
    const char* quantity;
    const char* amount;
};

class Records : public ::testing::Test, protected OpenSales {
protected:
    // Stores sales with their lines (one line per sale) before the program starts.
    void store(const std::vector<Sale>& sales)
    {
        Database db;
        h.dir.openSecondConnection(db);
        for (const Sale& s : sales) {
            ASSERT_TRUE(
                db.exec(QStringLiteral("INSERT INTO 销售记录 (销售票号, 销售时间, 数量, 金额, 收银员, 备注) "
                                       "VALUES (?, ?, ?, ?, 'admin', '备注')"),
                    { QString::fromUtf8(s.number), QString::fromUtf8(s.time), QString::fromUtf8(s.quantity),
                        QString::fromUtf8(s.amount) }));
            ASSERT_TRUE(db.exec(
                QStringLiteral("INSERT INTO 销售详情 (关联, 名称) VALUES (?, 'x')"), { db.lastInsertId() }));
        }
    }
    void openRecords(const QString& user = QStringLiteral("admin"))
    {
        open(user);
        records = std::make_unique<RecordsWindow>(
            Services { h.app->database(), h.prompter, h.clock, h.shell, h.app->session() }, &window());
    }
    Ui::RecordsWindow& r() { return records->ui(); }
    QStringList column(int c)
    {
        QStringList out;
        for (int i = 0; i < r().超级列表框1->topLevelItemCount(); ++i)
            out << r().超级列表框1->topLevelItem(i)->text(c);
        return out;
    }
    QStringList totals() { return { r().标签_销售数量->text(), r().标签_总金额->text() }; }
    qint64 count(const char* table)
    {
        return h.app->database()
            .query(QStringLiteral("SELECT count(*) FROM %1").arg(QString::fromUtf8(table)))
            ->front()
            .integer(1);
    }
    void choose(int row) { r().超级列表框1->setCurrentItem(r().超级列表框1->topLevelItem(row)); }
    std::unique_ptr<RecordsWindow> records;
};

} // namespace

TEST_F(Records, ADayWithoutSales)
{
    openRecords();
    EXPECT_EQ(r().超级列表框1->topLevelItemCount(), 0);
    EXPECT_EQ(totals(), (QStringList { QStringLiteral("0"), QStringLiteral("0.00") }));
    EXPECT_FALSE(r().按钮_查看详情->isEnabled());
    EXPECT_TRUE(r().按钮_导出表->isEnabled());
    EXPECT_TRUE(h.prompter.calls.empty());
}

TEST_F(Records, TheDayIsListedFromMidnightToNowNewestFirst)
{
    // The clock stands at 2017-06-07 09:05:03.
    store({ { "A1", "2017-06-07 00:00:00", "1.5", "12.5" }, { "A2", "2017-06-07 09:05:03", "1", "3" },
        { "A3", "2017-06-06 23:59:59", "9", "9" }, { "A4", "2017-06-07 09:05:04", "9", "9" },
        { "A5", "2017-06-07 08:30:00", "2", "131072.01" } });
    openRecords();
    EXPECT_EQ(column(1), (QStringList { QStringLiteral("A2"), QStringLiteral("A5"), QStringLiteral("A1") }));
    EXPECT_EQ(column(0), (QStringList { QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3") }));
    EXPECT_EQ(column(2),
        (QStringList { QStringLiteral("2017年6月7日9时5分3秒"), QStringLiteral("2017年6月7日8时30分"),
            QStringLiteral("2017年6月7日") }));
    // Exact sums: 1.5 + 1 + 2 and 12.5 + 3 + 131072.01.
    EXPECT_EQ(totals(), (QStringList { QStringLiteral("4.5"), QStringLiteral("131087.51") }));
}

TEST_F(Records, TimeTexts)
{
    const std::vector<std::pair<const char*, const char*>> cases = {
        { "2016-08-18 20:55:36", "2016年8月18日20时55分36秒" },
        { "2017-06-07 09:30:00", "2017年6月7日9时30分" },
        { "2017-06-07 09:00:00", "2017年6月7日9时" },
        { "2017-06-07 00:00:00", "2017年6月7日" },
        { "2017-06-07 00:00:05", "2017年6月7日0时0分5秒" },
        { "not a time", "not a time" },
    };
    for (const auto& [stored, shown] : cases)
        EXPECT_EQ(RecordsWindow::recordTimeText(QString::fromUtf8(stored)), QString::fromUtf8(shown));
}

TEST_F(Records, OneLargeAmountTotalsExactly)
{
    store({ { "B1", "2017-06-07 08:00:00", "1", "131072.01" } });
    openRecords();
    EXPECT_EQ(totals(), (QStringList { QStringLiteral("1"), QStringLiteral("131072.01") }));
}

TEST_F(Records, SearchByOrderNumberAcrossDays)
{
    store({ { "1706070000001", "2017-06-07 08:00:00", "1", "1" },
        { "1601010000011", "2016-01-01 08:00:00", "2", "2" },
        { "1706070000200", "2017-06-07 08:10:00", "4", "4" } });
    openRecords();
    r().编辑框_查单号->setText(QStringLiteral("0001"));
    r().按钮_搜索->click();
    EXPECT_EQ(column(1),
        (QStringList { QStringLiteral("1608180000001"), QStringLiteral("1706070000001"),
            QStringLiteral("1601010000011") }));
    EXPECT_EQ(totals(), (QStringList { QStringLiteral("4"), QStringLiteral("13.00") }));
    r().编辑框_查单号->clear();
    r().按钮_搜索->click();
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("内容不能为空！") });
}

TEST_F(Records, DeletingTakesTheLinesRenumbersAndUpdatesTheTotals)
{
    store({ { "C1", "2017-06-07 08:00:00", "1", "1" }, { "C2", "2017-06-07 08:01:00", "2", "2" },
        { "C3", "2017-06-07 08:02:00", "4", "4" } });
    openRecords();
    r().超级列表框1->setCurrentItem(nullptr);
    records->deleteRecord();
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("请选择要删除的行！") });
    EXPECT_EQ(h.prompter.calls[0].title, QStringLiteral("提示："));

    const qint64 lines = count("销售详情");
    choose(1); // C2
    EXPECT_TRUE(r().按钮_查看详情->isEnabled());
    records->deleteRecord();
    EXPECT_EQ(column(1), (QStringList { QStringLiteral("C3"), QStringLiteral("C1") }));
    EXPECT_EQ(column(0), (QStringList { QStringLiteral("1"), QStringLiteral("2") }));
    EXPECT_EQ(totals(), (QStringList { QStringLiteral("5"), QStringLiteral("5.00") }));
    EXPECT_EQ(count("销售详情"), lines - 1);
    EXPECT_EQ(
        h.app->database().query(QStringLiteral("SELECT * FROM 销售记录 WHERE 销售票号='C2'"))->size(), 0u);
}

TEST_F(Records, OrdinaryUsersCannotDeleteExportOrReset)
{
    addUser(QStringLiteral("小王"), QStringLiteral("普通用户"));
    store({ { "D1", "2017-06-07 08:00:00", "1", "1" } });
    openRecords(QStringLiteral("小王"));
    EXPECT_FALSE(r().按钮_导出表->isEnabled());
    EXPECT_FALSE(r().按钮_管理数据->isEnabled());
    choose(0);
    records->deleteRecord();
    ASSERT_EQ(h.prompter.calls.size(), 1u);
    EXPECT_EQ(h.prompter.calls[0].text, QStringLiteral("只有管理员才有删除权限！"));
    EXPECT_EQ(h.prompter.calls[0].title, QStringLiteral("提示"));
    EXPECT_EQ(h.prompter.calls[0].owner, records.get());
    EXPECT_EQ(r().超级列表框1->topLevelItemCount(), 1);
}

TEST_F(Records, ARefillKeepsTheChosenRecordForTheDetails)
{
    store({ { "E1", "2017-06-07 08:00:00", "1", "1" } });
    openRecords();
    choose(0);
    const auto chosen = records->selectedRecordId();
    ASSERT_TRUE(chosen.has_value());
    r().编辑框_查单号->setText(QStringLiteral("999"));
    r().按钮_搜索->click();
    EXPECT_EQ(r().超级列表框1->topLevelItemCount(), 0);
    EXPECT_EQ(records->selectedRecordId(), chosen);
    EXPECT_TRUE(r().按钮_查看详情->isEnabled());
}

TEST_F(Records, FailedQueryShowsAnEmptyList)
{
    openRecords();
    ASSERT_TRUE(h.app->database().exec(QStringLiteral("ALTER TABLE 销售记录 RENAME TO gone")));
    r().编辑框_查单号->setText(QStringLiteral("1"));
    r().按钮_搜索->click();
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("查询失败！") });
    EXPECT_EQ(totals(), (QStringList { QStringLiteral("0"), QStringLiteral("0.00") }));
}

TEST_F(Records, DetailsAndQueryOpenModalAndTheMenuOffersBoth)
{
    store({ { "F1", "2017-06-07 08:00:00", "1", "1" } });
    openRecords();
    EXPECT_EQ(records->contextMenu().actions().size(), 2);
    EXPECT_EQ(records->contextMenu().actions().at(0)->text(), QStringLiteral("查看详情"));
    EXPECT_EQ(records->contextMenu().actions().at(1)->text(), QStringLiteral("删除记录"));
    for (QPushButton* button : { r().按钮_查看详情, r().按钮_查询 }) {
        choose(0);
        QString opened;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            opened = dialog ? QString::fromUtf8(dialog->metaObject()->className()) : QString();
            if (dialog)
                dialog->close();
        });
        button->click();
        EXPECT_FALSE(opened.isEmpty()) << button->objectName().toStdString();
        EXPECT_NE(opened, QStringLiteral("tillora::RecordsWindow"));
    }
    const QString folder = QStringLiteral(SCREENSHOT_DIR);
    QDir().mkpath(folder);
    EXPECT_TRUE(records->grab().save(folder + QStringLiteral("/RecordsWindow.png")));
}

TEST_F(Records, TheSalesMenuOpensTheWindowModal)
{
    open();
    bool modal = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        modal = dialog && dialog->inherits("tillora::RecordsWindow");
        if (dialog)
            dialog->close();
    });
    ui().菜单_统计销售->trigger();
    EXPECT_TRUE(modal);
}
