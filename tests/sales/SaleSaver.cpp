// Saves sales into the database given as the first argument, over and over,
// until it is killed. Each sale has 1 to 10 lines of quantity 1, so a record's
// total quantity tells how many lines it must have.
#include "sales/SaleStore.h"
#include "store/Database.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <cstdio>

using namespace tillora;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    Database db;
    if (!db.open(QString::fromLocal8Bit(argv[1]), QString::fromLatin1(kDatabasePassword)))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    for (int n = 0;; ++n) {
        Sale sale;
        const int lines = 1 + int(QRandomGenerator::global()->bounded(10));
        for (int i = 0; i < lines; ++i)
            sale.add({ QStringLiteral("p-商品%1").arg(i), QStringLiteral("1"), QStringLiteral("2.5"), false, {} });
        const SaleRecord record { QStringLiteral("%1").arg(n, 13, 10, QLatin1Char('0')),
                                  QDateTime::currentDateTime(),
                                  sale.totalQuantity(),
                                  sale.totalAmount(),
                                  QStringLiteral("admin"),
                                  QStringLiteral("备注\r\n第二行"),
                                  sale.lines() };
        if (storeSale(db, record) == 0)
            return 3;
    }
}
