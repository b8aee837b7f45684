#include "store/Database.h"

#include "store/TemplateDatabase.h"
#include "support/DataDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tillora;
using tillora::test::DataDir;

namespace {

const QString kPassword = QString::fromLatin1(kDatabasePassword);

class NewDatabase : public ::testing::Test {
protected:
    void SetUp() override { dir.openSecondConnection(db); }
    Rows rows(const QString& sql, const QVariantList& params = {})
    {
        auto result = db.query(sql, params);
        EXPECT_TRUE(result.has_value()) << db.lastError().toStdString();
        return result.value_or(Rows {});
    }
    DataDir dir;
    Database db;
};

} // namespace

TEST(DatabaseFile, IsEncryptedAndOpensOnlyWithItsPassword)
{
    DataDir dir;
    QFile file(dir.databasePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_NE(file.read(16), QByteArray("SQLite format 3\0", 16));
    file.close();

    for (const QString& wrong : { QString(), QStringLiteral("47395261"), QStringLiteral("4739526") }) {
        Database db;
        EXPECT_FALSE(db.open(dir.databasePath(), wrong)) << wrong.toStdString();
        EXPECT_FALSE(db.isOpen());
    }
    Database db;
    EXPECT_TRUE(db.open(dir.databasePath(), kPassword));
}

TEST(DatabaseFile, DamagedOrMissingFileFailsAtOpen)
{
    DataDir dir(DataDir::Content::Empty);
    Database db;
    EXPECT_FALSE(db.open(dir.databasePath(), kPassword)) << "a missing file is not created";
    EXPECT_FALSE(QFileInfo::exists(dir.databasePath()));

    QFile file(dir.databasePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'x'));
    file.close();
    EXPECT_FALSE(db.open(dir.databasePath(), kPassword));
}

TEST(DatabaseFile, TemplateReplacesAFileOnlyWhenComplete)
{
    DataDir dir(DataDir::Content::Empty);
    const QString path = dir.databasePath();
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();

    ASSERT_TRUE(writeTemplateDatabase(path));
    Database db;
    EXPECT_TRUE(db.open(path, kPassword));
    db.close();
    // No temporary file is left beside it.
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("HH.mdb") });
}

TEST(DatabaseFile, FailedTemplateWriteLeavesNothing)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    DataDir dir(DataDir::Content::Empty);
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0500), 0);
    EXPECT_FALSE(writeTemplateDatabase(dir.databasePath()));
    chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(DatabaseFile, TemplateIntoMissingFolderFailsCleanly)
{
    DataDir dir(DataDir::Content::Empty);
    EXPECT_FALSE(writeTemplateDatabase(dir.path() + QStringLiteral("/no/such/folder/HH.mdb")));
}

struct DefaultRow {
    const char* table;
    qint64 id;
    const char* column;
    QString value;
};

TEST_F(NewDatabase, HoldsExactlyTheDefaultRows)
{
    const QString crlf = QStringLiteral("\r\n");
    const std::vector<DefaultRow> expected = {
        { "用户登录", 11, "用户名", QStringLiteral("admin") },
        { "用户登录", 11, "权限", QStringLiteral("管理员") },
        { "用户登录", 11, "密码", QStringLiteral("d41d8cd98f00b204e9800998ecf8427e") },
        { "商品名称", 25, "名称", QStringLiteral("mkf-麦克风") },
        { "商品名称", 25, "单价", QStringLiteral("10.00") },
        { "商品名称", 26, "名称", QStringLiteral("dyx-电源线") },
        { "商品名称", 26, "单价", QStringLiteral("6.00") },
        { "客户资料", 1, "姓名", QStringLiteral("张三") },
        { "客户资料", 2, "姓名", QStringLiteral("李四") },
        { "客户资料", 4, "姓名", QStringLiteral("369") },
        { "客户资料", 4, "电话", QStringLiteral("456") },
        { "付款方式", 1, "方式", QStringLiteral("现金") },
        { "付款方式", 3, "方式", QStringLiteral("微信") },
        { "付款方式", 9, "方式", QStringLiteral("QQ红包") },
        { "付款方式", 10, "方式", QStringLiteral("支付宝") },
        { "付款方式", 12, "方式", QStringLiteral("银行卡") },
        { "付款方式", 13, "方式", QStringLiteral("财付通") },
        { "销售记录", 401, "销售票号", QStringLiteral("1608180000001") },
        { "销售记录", 401, "销售时间", QStringLiteral("2016-08-18 20:55:36") },
        { "销售记录", 401, "数量", QStringLiteral("1") },
        { "销售记录", 401, "金额", QStringLiteral("10.00") },
        { "销售记录", 401, "收银员", QStringLiteral("admin") },
        { "销售记录", 401, "备注",
            QStringLiteral("1.所购商品7日内凭购物小票调换") + crlf
                + QStringLiteral("2.所调换商品不能影响二次销售 ") },
        { "销售详情", 480, "关联", QStringLiteral("401") },
        { "销售详情", 480, "名称", QStringLiteral("麦克风") },
        { "销售详情", 480, "数量", QStringLiteral("1") },
        { "销售详情", 480, "单价", QStringLiteral("10.00") },
        { "销售详情", 480, "金额", QStringLiteral("10.00") },
        { "销售详情", 480, "折后", QStringLiteral("10.00") },
        { "销售详情", 480, "备注",
            QStringLiteral(" 1.所购商品7日内凭购物小票调换") + crlf
                + QStringLiteral("2.所调换商品不能影响二次销售") },
    };
    for (const DefaultRow& row : expected) {
        const Rows found = rows(
            QStringLiteral("SELECT * FROM %1 WHERE ID=?").arg(QString::fromUtf8(row.table)), { row.id });
        ASSERT_EQ(found.size(), 1u) << row.table << " " << row.id;
        EXPECT_EQ(found.front().text(QString::fromUtf8(row.column)), row.value)
            << row.table << "." << row.column;
    }
    const std::vector<std::pair<const char*, std::vector<qint64>>> ids = {
        { "用户登录", { 11 } },
        { "配置文件", { 1 } },
        { "商品名称", { 25, 26 } },
        { "客户资料", { 1, 2, 4 } },
        { "付款方式", { 1, 3, 9, 10, 12, 13 } },
        { "销售记录", { 401 } },
        { "销售详情", { 480 } },
    };
    for (const auto& [table, wanted] : ids) {
        std::vector<qint64> got;
        for (const Row& row :
            rows(QStringLiteral("SELECT ID FROM %1 ORDER BY ID").arg(QString::fromUtf8(table))))
            got.push_back(row.integer(1));
        EXPECT_EQ(got, wanted) << table;
    }
}

TEST_F(NewDatabase, ConfigurationRowHasItsDefaults)
{
    const Rows config = rows(QStringLiteral("SELECT * FROM 配置文件"));
    ASSERT_EQ(config.size(), 1u);
    const Row& row = config.front();
    const std::vector<std::pair<const char*, QString>> expected = {
        { "店名", QStringLiteral("Corvane") },
        { "全局单号格式", QStringLiteral("1") },
        { "单号格式", QStringLiteral("000000") },
        { "客户", QStringLiteral("假") },
        { "电话", QStringLiteral("假") },
        { "折扣", QStringLiteral("假") },
        { "付款方式的选中", QStringLiteral("真") },
        { "保存销售记录", QStringLiteral("真") },
        { "显示打印完毕", QStringLiteral("假") },
        { "提示再次打印", QStringLiteral("假") },
        { "打印单价", QStringLiteral("真") },
        { "纸张边距", QStringLiteral("0") },
        { "打印偏差", QStringLiteral("0") },
        { "用户登录", QStringLiteral("admin") },
        { "直接登录", QStringLiteral("0") },
        { "logo高度", QStringLiteral("200") },
        { "logo宽度", QStringLiteral("200") },
        { "logo偏差", QStringLiteral("120") },
        { "是否打印logo", QStringLiteral("假") },
    };
    for (const auto& [column, value] : expected)
        EXPECT_EQ(row.text(QString::fromUtf8(column)), value) << column;
    const QStringList remark = row.text(QStringLiteral("备注")).split(QStringLiteral("\r\n"));
    ASSERT_EQ(remark.size(), 3);
    EXPECT_EQ(remark[0], QStringLiteral("1.所购商品7日内凭购物小票调换"));
    EXPECT_EQ(remark[1], QStringLiteral("2.所调换商品不能影响二次销售"));

    QImage logo;
    ASSERT_TRUE(logo.loadFromData(row.bytes(QStringLiteral("logo")), "JPEG"));
    EXPECT_EQ(logo.size(), QSize(430, 430));
}

TEST_F(NewDatabase, NewRowsTakeTheHighestIdPlusOneAndIdsAreNotReused)
{
    const std::vector<std::pair<QString, qint64>> cases = {
        { QStringLiteral("INSERT INTO 用户登录 (用户名) VALUES ('x')"), 12 },
        { QStringLiteral("INSERT INTO 配置文件 (店名) VALUES ('x')"), 2 },
        { QStringLiteral("INSERT INTO 商品名称 (名称) VALUES ('x')"), 27 },
        { QStringLiteral("INSERT INTO 客户资料 (姓名) VALUES ('x')"), 5 },
        { QStringLiteral("INSERT INTO 付款方式 (方式) VALUES ('x')"), 14 },
        { QStringLiteral("INSERT INTO 销售记录 (销售票号) VALUES ('x')"), 402 },
        { QStringLiteral("INSERT INTO 销售详情 (关联) VALUES (401)"), 481 },
    };
    for (const auto& [sql, id] : cases) {
        ASSERT_TRUE(db.exec(sql)) << sql.toStdString() << db.lastError().toStdString();
        EXPECT_EQ(db.lastInsertId(), id) << sql.toStdString();
    }
    ASSERT_TRUE(db.exec(QStringLiteral("DELETE FROM 付款方式 WHERE ID=14")));
    ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO 付款方式 (方式) VALUES ('y')")));
    EXPECT_EQ(db.lastInsertId(), 15);
}

TEST_F(NewDatabase, DeletingARecordDeletesItsLines)
{
    ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO 销售详情 (关联, 名称) VALUES (401, 'second')")));
    ASSERT_TRUE(db.exec(QStringLiteral("DELETE FROM 销售记录 WHERE ID=401")));
    EXPECT_TRUE(rows(QStringLiteral("SELECT * FROM 销售详情")).empty());
}

TEST_F(NewDatabase, LinesMustBelongToARecord)
{
    EXPECT_FALSE(db.exec(QStringLiteral("INSERT INTO 销售详情 (关联) VALUES (999)")));
    EXPECT_FALSE(
        db.exec(QStringLiteral("INSERT INTO 销售详情 (关联) VALUES (?)"), { QStringLiteral("abc") }));
}

TEST_F(NewDatabase, TextSizesAndWholeNumbersAreEnforced)
{
    struct Case {
        const char* sql;
        QVariant value;
        bool stored;
    };
    const std::vector<Case> cases = {
        { "INSERT INTO 商品名称 (名称) VALUES (?)", QString(50, QChar(0x9EA6)), true },
        { "INSERT INTO 商品名称 (名称) VALUES (?)", QString(51, QLatin1Char('a')), false },
        { "INSERT INTO 客户资料 (电话) VALUES (?)", QString(100, QLatin1Char('1')), true },
        { "INSERT INTO 客户资料 (电话) VALUES (?)", QString(101, QLatin1Char('1')), false },
        { "UPDATE 配置文件 SET 店名=? WHERE ID=1", QString(51, QChar(0x5E97)), false },
        { "UPDATE 配置文件 SET 备注=? WHERE ID=1", QString(5000, QLatin1Char('m')), true },
        { "UPDATE 配置文件 SET logo宽度=? WHERE ID=1", 300, true },
        { "UPDATE 配置文件 SET logo宽度=? WHERE ID=1", 2.5, false },
        { "UPDATE 配置文件 SET logo宽度=? WHERE ID=1", QStringLiteral("abc"), false },
        { "UPDATE 配置文件 SET logo宽度=? WHERE ID=1", QStringLiteral("2.5"), false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(db.exec(QString::fromUtf8(c.sql), { c.value }), c.stored)
            << c.sql << " " << c.value.toString().size();
    EXPECT_EQ(rows(QStringLiteral("SELECT logo宽度 FROM 配置文件")).front().integer(1), 300);
}

TEST_F(NewDatabase, AnyTextIsStoredAndReadBackAsTyped)
{
    const QStringList texts = { QStringLiteral("it's"), QStringLiteral("\"quoted\""),
        QStringLiteral("a'; DROP TABLE 商品名称; --"), QStringLiteral("%_*?"), QStringLiteral("  blanks  "),
        QStringLiteral("行1\r\n行2") };
    for (const QString& text : texts) {
        ASSERT_TRUE(
            db.exec(QStringLiteral("INSERT INTO 商品名称 (名称, 单价) VALUES (?, ?)"), { text, text }));
        const Rows found = rows(QStringLiteral("SELECT * FROM 商品名称 WHERE 名称=?"), { text });
        ASSERT_EQ(found.size(), 1u) << text.toStdString();
        EXPECT_EQ(found.front().text(QStringLiteral("单价")), text);
    }
}

TEST_F(NewDatabase, NullReadsAsEmptyAndMissingColumnsToo)
{
    ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO 商品名称 (名称) VALUES (NULL)")));
    const Rows found = rows(QStringLiteral("SELECT * FROM 商品名称 WHERE ID=?"), { db.lastInsertId() });
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.front().text(QStringLiteral("名称")), QString());
    EXPECT_TRUE(found.front().text(QStringLiteral("名称")).isEmpty());
    EXPECT_EQ(found.front().text(QStringLiteral("代码")), QString());
    EXPECT_EQ(found.front().integer(QStringLiteral("代码")), 0);
    EXPECT_EQ(found.front().text(9), QString());
}

TEST_F(NewDatabase, TransactionIsAllOrNothing)
{
    {
        Transaction transaction(db);
        ASSERT_TRUE(transaction.isActive());
        ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO 销售记录 (销售票号) VALUES ('t')")));
        // Leaving without commit rolls back.
    }
    EXPECT_TRUE(rows(QStringLiteral("SELECT * FROM 销售记录 WHERE 销售票号='t'")).empty());
    {
        Transaction transaction(db);
        ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO 销售记录 (销售票号) VALUES ('t')")));
        ASSERT_TRUE(transaction.commit());
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM 销售记录 WHERE 销售票号='t'")).size(), 1u);
}

TEST_F(NewDatabase, FailuresAreReportedNotThrown)
{
    EXPECT_FALSE(db.query(QStringLiteral("SELECT * FROM no_such_table")).has_value());
    EXPECT_FALSE(db.lastError().isEmpty());
    EXPECT_FALSE(db.exec(QStringLiteral("SELECT ?"), {}));
    db.close();
    EXPECT_FALSE(db.query(QStringLiteral("SELECT 1")).has_value());
    EXPECT_FALSE(db.exec(QStringLiteral("SELECT 1")));
}
