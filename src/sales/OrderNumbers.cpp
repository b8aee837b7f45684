#include "sales/OrderNumbers.h"

#include "common/DateTexts.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "store/Database.h"

namespace tillora {

OrderNumbers::OrderNumbers(Database& db, Prompter& prompter, const Clock& clock)
    : m_db(db)
    , m_prompter(prompter)
    , m_clock(clock)
{
}

void OrderNumbers::reportQueryFailure()
{
    m_prompter.info(QStringLiteral("查询失败！"));
}

void OrderNumbers::readMode(int& mode)
{
    // Only a row whose mode reads as a non-zero number counts.
    const auto rows = m_db.query(
        QStringLiteral("SELECT 全局单号格式 FROM 配置文件 WHERE CAST(全局单号格式 AS INTEGER) <> 0"));
    if (!rows) {
        reportQueryFailure();
        return;
    }
    mode = rows->empty() ? 0 : wholeFromText(rows->front().text(QStringLiteral("全局单号格式")));
}

QString OrderNumbers::customPrefix()
{
    const auto rows = m_db.query(QStringLiteral("SELECT 单号格式 FROM 配置文件 WHERE ID=1"));
    if (!rows) {
        reportQueryFailure();
        return QString();
    }
    return rows->empty() ? QString() : rows->front().text(QStringLiteral("单号格式"));
}

QString OrderNumbers::newestRecordId()
{
    const auto rows = m_db.query(QStringLiteral("SELECT ID FROM [销售记录] ORDER BY ID DESC LIMIT 1"));
    if (!rows) {
        reportQueryFailure();
        return QString();
    }
    return rows->empty() ? QString() : rows->front().text(1);
}

QString OrderNumbers::newestOrderNumber()
{
    const QString id = newestRecordId();
    if (id.isEmpty())
        return QString();
    const auto rows = m_db.query(QStringLiteral("SELECT * FROM 销售记录 WHERE ID=?"), { id.toLongLong() });
    if (!rows) {
        reportQueryFailure();
        return QString();
    }
    return rows->empty() ? QString() : rows->front().text(2);
}

QString OrderNumbers::prefixFor(int mode)
{
    return mode == 1 ? customPrefix() : DateStamp(m_clock.now());
}

QString OrderNumbers::startNumber(int mode)
{
    const QString prefix = prefixFor(mode);
    const QString last = newestOrderNumber();
    return prefix + (last.isEmpty() ? QStringLiteral("0000000") : gbkRight(last, kSequenceBytes));
}

QString OrderNumbers::advance(const QString& current, int mode)
{
    if (mode != 1 && mode != 2)
        return current;
    QString sequence = numberText(numberFromText(gbkRight(current, kSequenceBytes)) + 1);
    while (gbkLength(sequence) < kSequenceBytes)
        sequence.prepend(QLatin1Char('0'));
    return prefixFor(mode) + sequence;
}

} // namespace tillora
