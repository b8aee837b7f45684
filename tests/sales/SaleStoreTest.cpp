#include "sales/SaleStore.h"

#include "store/Database.h"
#include "support/DataDir.h"

#include <gtest/gtest.h>

using namespace tillora;
using tillora::test::DataDir;

namespace {

class StoringSales : public ::testing::Test {
protected:
    void SetUp() override { dir.openSecondConnection(db); }
    SaleRecord twoLines()
    {
        Sale sale;
        sale.add({ QStringLiteral("mkf-麦克风"), QStringLiteral("2"), QStringLiteral("10"), false, {} });
        sale.add({ QStringLiteral("it's \"x\""), QStringLiteral("3"), QStringLiteral("10"), true,
            QStringLiteral("9.5") });
        return { QStringLiteral("0000000000002"), QDateTime(QDate(2017, 6, 7), QTime(0, 0, 0)),
            sale.totalQuantity(), sale.totalAmount(), QStringLiteral("admin"),
            QStringLiteral("第一行 \r\n 第二行"), sale.lines() };
    }
    qint64 count(const char* table)
    {
        return db.query(QStringLiteral("SELECT count(*) FROM %1").arg(QString::fromUtf8(table)))
            ->front()
            .integer(1);
    }
    DataDir dir;
    Database db;
};

} // namespace

TEST_F(StoringSales, RecordAndLinesWithTheirRemarks)
{
    const SaleRecord sale = twoLines();
    const qint64 id = storeSale(db, sale);
    ASSERT_EQ(id, 402);
    const Row record = db.query(QStringLiteral("SELECT * FROM 销售记录 WHERE ID=?"), { id })->front();
    EXPECT_EQ(record.text(QStringLiteral("销售票号")), QStringLiteral("0000000000002"));
    EXPECT_EQ(record.text(QStringLiteral("销售时间")), QStringLiteral("2017-06-07 00:00:00"));
    EXPECT_EQ(record.text(QStringLiteral("数量")), QStringLiteral("5"));
    EXPECT_EQ(record.text(QStringLiteral("金额")), QStringLiteral("50.00"));
    EXPECT_EQ(record.text(QStringLiteral("收银员")), QStringLiteral("admin"));
    EXPECT_EQ(record.text(QStringLiteral("备注")), QStringLiteral("第一行 \r\n 第二行 "));

    const Rows lines = *db.query(QStringLiteral("SELECT * FROM 销售详情 WHERE 关联=? ORDER BY ID"), { id });
    ASSERT_EQ(lines.size(), 2u);
    const std::vector<std::vector<QString>> expected = {
        { QStringLiteral("麦克风"), QStringLiteral("2"), QStringLiteral("10.00"), QStringLiteral("20.00"),
            QStringLiteral("20.00") },
        { QStringLiteral("it's \"x\""), QStringLiteral("3"), QStringLiteral("10.00"), QStringLiteral("30.00"),
            QStringLiteral("28.50") },
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(lines[i].text(3 + c), expected[i][size_t(c)]) << i << "/" << c;
        EXPECT_EQ(lines[i].text(QStringLiteral("备注")), QStringLiteral(" 第一行 \r\n 第二行"));
    }
}

TEST_F(StoringSales, AFailingLineStoresNothingOfTheSale)
{
    SaleRecord sale = twoLines();
    sale.lines[1][SaleLine::Name] = QString(51, QLatin1Char('n'));
    EXPECT_EQ(storeSale(db, sale), 0);
    EXPECT_EQ(count("销售记录"), 1);
    EXPECT_EQ(count("销售详情"), 1);
    // The connection is usable again; the rolled-back sale took no ID.
    EXPECT_EQ(storeSale(db, twoLines()), 402);
}

TEST_F(StoringSales, AFailingRecordStoresNothing)
{
    SaleRecord sale = twoLines();
    sale.cashier = QString(51, QLatin1Char('c'));
    EXPECT_EQ(storeSale(db, sale), 0);
    EXPECT_EQ(count("销售记录"), 1);
    EXPECT_EQ(count("销售详情"), 1);
}
