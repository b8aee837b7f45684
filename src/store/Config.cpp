#include "store/Config.h"

#include "common/Numbers.h"
#include "platform/Prompter.h"
#include "store/Database.h"

#include <QSet>
#include <cmath>
#include <limits>

namespace tillora {

namespace {

const QSet<QString>& columns()
{
    static const QSet<QString> names = {
        QStringLiteral("店名"),
        QStringLiteral("全局单号格式"),
        QStringLiteral("单号格式"),
        QStringLiteral("备注"),
        QStringLiteral("客户"),
        QStringLiteral("电话"),
        QStringLiteral("折扣"),
        QStringLiteral("付款方式的选中"),
        QStringLiteral("保存销售记录"),
        QStringLiteral("显示打印完毕"),
        QStringLiteral("提示再次打印"),
        QStringLiteral("打印单价"),
        QStringLiteral("纸张边距"),
        QStringLiteral("打印偏差"),
        QStringLiteral("用户登录"),
        QStringLiteral("直接登录"),
        QStringLiteral("logo高度"),
        QStringLiteral("logo宽度"),
        QStringLiteral("logo偏差"),
        QStringLiteral("是否打印logo"),
        QStringLiteral("logo"),
    };
    return names;
}

} // namespace

Config::Config(Database& db, Prompter& prompter)
    : m_db(db)
    , m_prompter(prompter)
{
}

bool Config::isColumn(const QString& column)
{
    return columns().contains(column);
}

// One column of the first row; std::nullopt when the query fails. Only the
// column asked for is read: the row also holds the logo picture.
std::optional<QString> Config::readColumn(const QString& column, const QString& where)
{
    if (!isColumn(column))
        return QString();
    const auto rows
        = m_db.query(QStringLiteral("SELECT [%1] FROM 配置文件 WHERE %2 LIMIT 1").arg(column, where));
    if (!rows)
        return std::nullopt;
    return rows->empty() ? QString() : rows->front().text(1);
}

QString Config::readText(const QString& column)
{
    const std::optional<QString> text = readColumn(column, QStringLiteral("1"));
    if (!text)
        m_prompter.info(QStringLiteral("查询失败！"));
    return text.value_or(QString());
}

bool Config::readYesNo(const QString& column)
{
    return readText(column) == yes();
}

int distanceFromText(const QString& text)
{
    const double value = std::trunc(numberFromText(text));
    if (!(value > std::numeric_limits<int>::min()))
        return value < 0 ? std::numeric_limits<int>::min() : 0;
    return value < std::numeric_limits<int>::max() ? int(value) : std::numeric_limits<int>::max();
}

int Config::readDistance(const QString& column)
{
    return distanceFromText(readDistanceText(column));
}

QString Config::readDistanceText(const QString& column)
{
    const std::optional<QString> text = readColumn(column, QStringLiteral("1"));
    if (!text)
        m_prompter.info(QStringLiteral("查询失败！"));
    return text.value_or(no());
}

bool Config::readPrintLogo()
{
    const std::optional<QString> text = readColumn(QStringLiteral("是否打印logo"), QStringLiteral("[ID]=1"));
    if (!text) {
        m_prompter.message(
            QStringLiteral("logo数据打开失败！"), Prompter::defaultTitle(), Prompter::Icon::Error, nullptr);
        return false;
    }
    return *text == yes();
}

bool Config::writeText(const QString& column, const QString& value)
{
    if (!isColumn(column))
        return false;
    return m_db.exec(QStringLiteral("UPDATE 配置文件 SET [%1] = ? WHERE ID = 1").arg(column), { value });
}

} // namespace tillora
