#include "store/Config.h"

#include "store/Database.h"
#include "support/DataDir.h"
#include "support/RecordingPrompter.h"

#include <gtest/gtest.h>

using namespace tillora;
using tillora::test::DataDir;
using tillora::test::RecordingPrompter;

namespace {

class ConfigRecord : public ::testing::Test {
protected:
    void SetUp() override { dir.openSecondConnection(db); }
    void breakTable() { ASSERT_TRUE(db.exec(QStringLiteral("ALTER TABLE 配置文件 RENAME TO gone"))); }
    DataDir dir;
    Database db;
    RecordingPrompter prompter;
    Config config { db, prompter };
};

} // namespace

TEST_F(ConfigRecord, ReadsTextsAndYesNo)
{
    EXPECT_EQ(config.readText(QStringLiteral("店名")), QStringLiteral("Corvane"));
    EXPECT_TRUE(config.readYesNo(QStringLiteral("打印单价")));
    EXPECT_FALSE(config.readYesNo(QStringLiteral("显示打印完毕")));
    EXPECT_FALSE(config.readPrintLogo());
    // Anything but exactly "真" counts as no.
    for (const QString& text :
        { QStringLiteral("真 "), QStringLiteral("1"), QStringLiteral("true"), QString() }) {
        ASSERT_TRUE(config.writeText(QStringLiteral("打印单价"), text));
        EXPECT_FALSE(config.readYesNo(QStringLiteral("打印单价"))) << text.toStdString();
    }
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(ConfigRecord, DistancesAreStoredAsTypedAndUsedAsWholeNumbers)
{
    const std::vector<std::pair<QString, int>> cases = {
        { QStringLiteral("2.9"), 2 },
        { QStringLiteral("-1.5"), -1 },
        { QStringLiteral("abc"), 0 },
        { QString(), 0 },
        { QStringLiteral("30"), 30 },
        { QStringLiteral("１２"), 12 },
        { QStringLiteral("1e99"), std::numeric_limits<int>::max() },
    };
    for (const auto& [typed, used] : cases) {
        ASSERT_TRUE(config.writeText(QStringLiteral("纸张边距"), typed));
        EXPECT_EQ(config.readText(QStringLiteral("纸张边距")), typed);
        EXPECT_EQ(config.readDistance(QStringLiteral("纸张边距")), used) << typed.toStdString();
    }
}

TEST_F(ConfigRecord, WritesQuotesAndRefusesUnknownColumns)
{
    const QString name = QStringLiteral("O'Brien's \"小店\"");
    ASSERT_TRUE(config.writeText(QStringLiteral("店名"), name));
    EXPECT_EQ(config.readText(QStringLiteral("店名")), name);
    EXPECT_TRUE(config.writeYesNo(QStringLiteral("客户"), true));
    EXPECT_EQ(config.readText(QStringLiteral("客户")), QStringLiteral("真"));
    EXPECT_FALSE(config.writeText(QStringLiteral("店名] = 'x' --"), QStringLiteral("y")));
    EXPECT_FALSE(config.writeText(QStringLiteral("店名"), QString(51, QLatin1Char('x'))));
    EXPECT_EQ(config.readText(QStringLiteral("店名")), name);
}

TEST_F(ConfigRecord, FailedReadsReportAndYieldEmptyValues)
{
    breakTable();
    EXPECT_EQ(config.readText(QStringLiteral("店名")), QString());
    EXPECT_FALSE(config.readYesNo(QStringLiteral("打印单价")));
    EXPECT_EQ(config.readDistance(QStringLiteral("纸张边距")), 0);
    EXPECT_FALSE(config.readPrintLogo());
    EXPECT_FALSE(config.writeText(QStringLiteral("店名"), QStringLiteral("x")));
    ASSERT_EQ(prompter.calls.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(prompter.calls[i].text, QStringLiteral("查询失败！"));
        EXPECT_EQ(prompter.calls[i].title, QStringLiteral("信息："));
        EXPECT_EQ(prompter.calls[i].icon, Prompter::Icon::None);
    }
    EXPECT_EQ(prompter.calls[3].text, QStringLiteral("logo数据打开失败！"));
    EXPECT_EQ(prompter.calls[3].icon, Prompter::Icon::Error);
}
