#pragma once

#include "sales/Sale.h"

#include <QDateTime>
#include <QString>
#include <vector>

namespace tillora {

class Database;

// What a saved sale stores: one 销售记录 row and one 销售详情 row per line.
struct SaleRecord {
    QString orderNumber;
    QDateTime time;
    QString totalQuantity;
    QString totalAmount;
    QString cashier;
    QString remark;
    std::vector<SaleLine> lines;
};

// Stores the record and all its lines in one transaction: either the whole sale
// is stored or nothing of it. Returns the new record's ID, or 0 on failure.
// The record's remark is stored with a blank after it, each line's with a blank before.
qint64 storeSale(Database& db, const SaleRecord& sale);

} // namespace tillora
