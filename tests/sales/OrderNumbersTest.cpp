#include "sales/OrderNumbers.h"

#include "store/Database.h"
#include "support/DataDir.h"
#include "support/RecordingPrompter.h"
#include "support/Seams.h"

#include <gtest/gtest.h>

using namespace tillora;
using namespace tillora::test;

namespace {

class OrderNumbering : public ::testing::Test {
protected:
    void SetUp() override { dir.openSecondConnection(db); }
    void setConfig(const QString& mode, const QString& prefix)
    {
        ASSERT_TRUE(
            db.exec(QStringLiteral("UPDATE 配置文件 SET 全局单号格式=?, 单号格式=?"), { mode, prefix }));
    }
    void keepOnlySale(const QString& number)
    {
        ASSERT_TRUE(db.exec(QStringLiteral("DELETE FROM 销售记录")));
        if (!number.isEmpty()) {
            ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO 销售记录 (销售票号) VALUES (?)"), { number }));
        }
    }
    int readMode()
    {
        int mode = -7;
        numbers.readMode(mode);
        return mode;
    }
    DataDir dir;
    Database db;
    RecordingPrompter prompter;
    FixedClock clock { QDateTime(QDate(2016, 8, 19), QTime(10, 0)) };
    OrderNumbers numbers { db, prompter, clock };
};

} // namespace

TEST_F(OrderNumbering, ModeIsTheStoredDigitOrZero)
{
    const std::vector<std::pair<QString, int>> cases = {
        { QStringLiteral("1"), 1 },
        { QStringLiteral("2"), 2 },
        { QStringLiteral("3"), 3 },
        { QStringLiteral("0"), 0 },
        { QStringLiteral("abc"), 0 },
        { QString(), 0 },
    };
    for (const auto& [stored, mode] : cases) {
        setConfig(stored, QStringLiteral("000000"));
        EXPECT_EQ(readMode(), mode) << stored.toStdString();
    }
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(OrderNumbering, FailedModeQueryKeepsTheModeAndReports)
{
    ASSERT_TRUE(db.exec(QStringLiteral("ALTER TABLE 配置文件 RENAME TO gone")));
    EXPECT_EQ(readMode(), -7);
    EXPECT_EQ(prompter.texts(), std::vector<QString> { QStringLiteral("查询失败！") });
    // Without a prefix the number still goes on.
    EXPECT_EQ(numbers.advance(QStringLiteral("A80000099"), 1), QStringLiteral("0000100"));
}

TEST_F(OrderNumbering, StartNumberRunsOnFromTheNewestStoredSale)
{
    struct Case {
        int mode;
        QString prefix;
        QString newest; // empty: no sales at all
        QString expected;
    };
    const std::vector<Case> cases = {
        { 1, QStringLiteral("000000"), QStringLiteral("1608180000001"), QStringLiteral("0000000000001") },
        { 2, QStringLiteral("000000"), QString(), QStringLiteral("1608190000000") },
        { 1, QStringLiteral("NO"), QStringLiteral("NO0000041"), QStringLiteral("NO0000041") },
        // A change of mode keeps the digits and changes the prefix.
        { 2, QStringLiteral("NO"), QStringLiteral("NO0000041"), QStringLiteral("1608190000041") },
        { 0, QStringLiteral("NO"), QStringLiteral("NO0000041"), QStringLiteral("1608190000041") },
        // A number shorter than seven bytes is taken whole.
        { 1, QStringLiteral("P"), QStringLiteral("42"), QStringLiteral("P42") },
        // Bytes, not characters: the last seven bytes of a Chinese number.
        { 1, QStringLiteral("号"), QStringLiteral("号码0000009"), QStringLiteral("号0000009") },
    };
    for (const Case& c : cases) {
        setConfig(QString::number(c.mode), c.prefix);
        keepOnlySale(c.newest);
        EXPECT_EQ(numbers.startNumber(c.mode), c.expected) << c.newest.toStdString();
    }
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(OrderNumbering, StartWithTheTemplateDatabase)
{
    EXPECT_EQ(numbers.newestRecordId(), QStringLiteral("401"));
    EXPECT_EQ(numbers.newestOrderNumber(), QStringLiteral("1608180000001"));
    int mode = 0;
    numbers.readMode(mode);
    EXPECT_EQ(numbers.startNumber(mode), QStringLiteral("0000000000001"));
}

TEST_F(OrderNumbering, AdvanceAddsOneToTheLastSevenBytes)
{
    struct Case {
        int mode;
        QString prefix;
        QString current;
        QString expected;
    };
    const std::vector<Case> cases = {
        // The sequence runs on across days: it does not restart with the date.
        { 2, QStringLiteral("x"), QStringLiteral("1608180000001"), QStringLiteral("1608190000002") },
        { 1, QStringLiteral("A8"), QStringLiteral("A80000099"), QStringLiteral("A80000100") },
        { 1, QStringLiteral("NO"), QStringLiteral("NO0000041"), QStringLiteral("NO0000042") },
        { 1, QStringLiteral("P"), QStringLiteral("P9999999"), QStringLiteral("P10000000") },
        { 1, QStringLiteral("P"), QStringLiteral("P10000000"), QStringLiteral("P0000001") },
        // Not digits: read as their leading number or 0, so the sequence restarts.
        { 1, QStringLiteral("P"), QStringLiteral("Pabcdefgh"), QStringLiteral("P0000001") },
        { 1, QStringLiteral("P"), QString(), QStringLiteral("P0000001") },
        // A number typed by hand advances from its last seven bytes.
        { 1, QStringLiteral("P"), QStringLiteral("手打0000500"), QStringLiteral("P0000501") },
        // Other modes leave the number as it is.
        { 3, QStringLiteral("P"), QStringLiteral("P0000005"), QStringLiteral("P0000005") },
        { 0, QStringLiteral("P"), QStringLiteral("P0000005"), QStringLiteral("P0000005") },
    };
    for (const Case& c : cases) {
        setConfig(QString::number(c.mode), c.prefix);
        EXPECT_EQ(numbers.advance(c.current, c.mode), c.expected) << c.current.toStdString();
    }
}
