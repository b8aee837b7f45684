#include "store/Schema.h"

#include "common/Digest.h"
#include "store/Database.h"
#include "store/TemplateLogo.h"

namespace tillora::Schema {

namespace {

// Text sizes are checked by the database so that an over-long text is refused
// when it is written, not cut. Long Integer columns hold whole numbers only.
const char* const kTables = R"sql(
CREATE TABLE 用户登录 (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    用户名 TEXT CHECK(length(用户名) <= 50),
    权限 TEXT CHECK(length(权限) <= 50),
    密码 TEXT CHECK(length(密码) <= 50)
);
CREATE TABLE 配置文件 (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    店名 TEXT CHECK(length(店名) <= 50),
    全局单号格式 TEXT CHECK(length(全局单号格式) <= 50),
    单号格式 TEXT CHECK(length(单号格式) <= 50),
    备注 TEXT,
    客户 TEXT CHECK(length(客户) <= 50),
    电话 TEXT CHECK(length(电话) <= 50),
    折扣 TEXT CHECK(length(折扣) <= 50),
    付款方式的选中 TEXT CHECK(length(付款方式的选中) <= 50),
    保存销售记录 TEXT CHECK(length(保存销售记录) <= 50),
    显示打印完毕 TEXT CHECK(length(显示打印完毕) <= 50),
    提示再次打印 TEXT CHECK(length(提示再次打印) <= 50),
    打印单价 TEXT CHECK(length(打印单价) <= 50),
    纸张边距 TEXT CHECK(length(纸张边距) <= 50),
    打印偏差 TEXT CHECK(length(打印偏差) <= 50),
    用户登录 TEXT CHECK(length(用户登录) <= 50),
    直接登录 TEXT CHECK(length(直接登录) <= 50),
    logo高度 INTEGER CHECK(logo高度 IS NULL OR typeof(logo高度) = 'integer'),
    logo宽度 INTEGER CHECK(logo宽度 IS NULL OR typeof(logo宽度) = 'integer'),
    logo偏差 INTEGER CHECK(logo偏差 IS NULL OR typeof(logo偏差) = 'integer'),
    是否打印logo TEXT CHECK(length(是否打印logo) <= 50),
    logo BLOB
);
CREATE TABLE 商品名称 (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    名称 TEXT CHECK(length(名称) <= 50),
    单价 TEXT CHECK(length(单价) <= 50)
);
CREATE TABLE 客户资料 (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    姓名 TEXT CHECK(length(姓名) <= 50),
    电话 TEXT CHECK(length(电话) <= 100)
);
CREATE TABLE 付款方式 (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    方式 TEXT CHECK(length(方式) <= 50)
);
CREATE TABLE 销售记录 (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    销售票号 TEXT CHECK(length(销售票号) <= 50),
    销售时间 TEXT,
    数量 TEXT CHECK(length(数量) <= 50),
    金额 TEXT CHECK(length(金额) <= 50),
    收银员 TEXT CHECK(length(收银员) <= 50),
    备注 TEXT
);
CREATE TABLE 销售详情 (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    关联 INTEGER CHECK(关联 IS NULL OR typeof(关联) = 'integer')
        REFERENCES 销售记录(ID) ON UPDATE CASCADE ON DELETE CASCADE,
    名称 TEXT CHECK(length(名称) <= 50),
    数量 TEXT CHECK(length(数量) <= 50),
    单价 TEXT CHECK(length(单价) <= 50),
    金额 TEXT CHECK(length(金额) <= 50),
    折后 TEXT CHECK(length(折后) <= 50),
    备注 TEXT
);
)sql";

// The indexes of the hot paths: name completion, day lists and queries by time,
// the lines of a record, the search by order number.
const char* const kIndexes = R"sql(
CREATE INDEX IF NOT EXISTS 商品名称_名称 ON 商品名称(名称 COLLATE NOCASE);
CREATE INDEX IF NOT EXISTS 销售记录_销售时间 ON 销售记录(销售时间);
CREATE INDEX IF NOT EXISTS 销售详情_关联 ON 销售详情(关联);
CREATE INDEX IF NOT EXISTS 销售记录_销售票号 ON 销售记录(销售票号);
)sql";

const QString kCrLf = QStringLiteral("\r\n");

bool insertAll(Database& db, const QString& sql, const std::vector<QVariantList>& rows)
{
    for (const QVariantList& row : rows) {
        if (!db.exec(sql, row))
            return false;
    }
    return true;
}

} // namespace

bool create(Database& db)
{
    return db.execScript(QString::fromUtf8(kTables)) && upgrade(db);
}

bool upgrade(Database& db)
{
    return db.execScript(QString::fromUtf8(kIndexes));
}

QString defaultRemark()
{
    return QStringLiteral("1.所购商品7日内凭购物小票调换") + kCrLf
        + QStringLiteral("2.所调换商品不能影响二次销售") + kCrLf
        + QStringLiteral("3.如有疑问请与本店收银台联系");
}

bool insertDefaultRows(Database& db)
{
    const bool users
        = insertAll(db, QStringLiteral("INSERT INTO 用户登录 (ID, 用户名, 权限, 密码) VALUES (?, ?, ?, ?)"),
            { { 11, QStringLiteral("admin"), QStringLiteral("管理员"), PasswordDigest(QString()) } });
    const bool config = db.exec(
        QStringLiteral(
            "INSERT INTO 配置文件 (ID, 店名, 全局单号格式, 单号格式, 备注, 客户, 电话, 折扣, 付款方式的选中, "
            "保存销售记录, 显示打印完毕, 提示再次打印, 打印单价, 纸张边距, 打印偏差, 用户登录, 直接登录, "
            "logo高度, logo宽度, logo偏差, 是否打印logo, logo) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        { 1, QStringLiteral("Corvane"), QStringLiteral("1"), QStringLiteral("000000"), defaultRemark(),
            QStringLiteral("假"), QStringLiteral("假"), QStringLiteral("假"), QStringLiteral("真"),
            QStringLiteral("真"), QStringLiteral("假"), QStringLiteral("假"), QStringLiteral("真"),
            QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("admin"), QStringLiteral("0"), 200, 200,
            120, QStringLiteral("假"), templateLogoJpeg() });
    const bool products
        = insertAll(db, QStringLiteral("INSERT INTO 商品名称 (ID, 名称, 单价) VALUES (?, ?, ?)"),
            { { 25, QStringLiteral("mkf-麦克风"), QStringLiteral("10.00") },
                { 26, QStringLiteral("dyx-电源线"), QStringLiteral("6.00") } });
    const bool customers
        = insertAll(db, QStringLiteral("INSERT INTO 客户资料 (ID, 姓名, 电话) VALUES (?, ?, ?)"),
            { { 1, QStringLiteral("张三"), QStringLiteral("13800000001") },
                { 2, QStringLiteral("李四"), QStringLiteral("13900000002") },
                { 4, QStringLiteral("369"), QStringLiteral("456") } });
    const bool payments = insertAll(db, QStringLiteral("INSERT INTO 付款方式 (ID, 方式) VALUES (?, ?)"),
        { { 1, QStringLiteral("现金") }, { 3, QStringLiteral("微信") }, { 9, QStringLiteral("QQ红包") },
            { 10, QStringLiteral("支付宝") }, { 12, QStringLiteral("银行卡") },
            { 13, QStringLiteral("财付通") } });
    const bool record = db.exec(QStringLiteral("INSERT INTO 销售记录 (ID, 销售票号, 销售时间, 数量, 金额, "
                                               "收银员, 备注) VALUES (?, ?, ?, ?, ?, ?, ?)"),
        { 401, QStringLiteral("1608180000001"), QStringLiteral("2016-08-18 20:55:36"), QStringLiteral("1"),
            QStringLiteral("10.00"), QStringLiteral("admin"),
            QStringLiteral("1.所购商品7日内凭购物小票调换") + kCrLf
                + QStringLiteral("2.所调换商品不能影响二次销售 ") });
    const bool line = db.exec(QStringLiteral("INSERT INTO 销售详情 (ID, 关联, 名称, 数量, 单价, 金额, 折后, "
                                             "备注) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
        { 480, 401, QStringLiteral("麦克风"), QStringLiteral("1"), QStringLiteral("10.00"),
            QStringLiteral("10.00"), QStringLiteral("10.00"),
            QStringLiteral(" 1.所购商品7日内凭购物小票调换") + kCrLf
                + QStringLiteral("2.所调换商品不能影响二次销售") });
    return users && config && products && customers && payments && record && line;
}

} // namespace tillora::Schema
