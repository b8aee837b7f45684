#include "sales/SaleStore.h"

#include "common/DateTexts.h"
#include "store/Database.h"

namespace tillora {

qint64 storeSale(Database& db, const SaleRecord& sale)
{
    Transaction transaction(db);
    if (!transaction.isActive())
        return 0;
    const QString blank = QStringLiteral(" ");
    if (!db.exec(QStringLiteral("INSERT INTO [销售记录] (销售票号, 销售时间, 数量, 金额, 收银员, 备注) "
                                "VALUES (?, ?, ?, ?, ?, ?)"),
            { sale.orderNumber, StoredDateTime(sale.time), sale.totalQuantity, sale.totalAmount, sale.cashier,
                sale.remark + blank }))
        return 0;
    // The lines belong to the record just inserted, named by its own ID.
    const qint64 recordId = db.lastInsertId();
    for (const SaleLine& line : sale.lines) {
        if (!db.exec(QStringLiteral("INSERT INTO [销售详情] (关联, 名称, 数量, 单价, 金额, 折后, 备注) "
                                    "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                { recordId, line[SaleLine::Name], line[SaleLine::Quantity], line[SaleLine::UnitPrice],
                    line[SaleLine::Amount], line[SaleLine::Discounted], blank + sale.remark }))
            return 0;
    }
    return transaction.commit() ? recordId : 0;
}

} // namespace tillora
