#include "SalesBench.h"

#include "BenchApp.h"
#include "Stats.h"
#include "app/SalesWindow.h"
#include "sales/SaleEntryPanel.h"
#include "store/Database.h"
#include "ui_SalesWindow.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>
#include <functional>

namespace bench {

namespace {

constexpr int kProducts = 100000;

double timeMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// Names like "qzkf-商品123": a random four-letter code, a dash and a name.
bool fillProducts(tillora::Database& db)
{
    QRandomGenerator random(42);
    tillora::Transaction transaction(db);
    for (int i = 0; i < kProducts; ++i) {
        QString code;
        for (int c = 0; c < 4; ++c)
            code += QChar(u'a' + random.bounded(26));
        if (!db.exec(QStringLiteral("INSERT INTO 商品名称 (名称, 单价) VALUES (?, ?)"),
                { code + QStringLiteral("-商品%1").arg(i), QStringLiteral("%1.50").arg(i % 100) }))
            return false;
    }
    return transaction.commit();
}

void benchCompletion(BenchApp& bench, tillora::Database& bare)
{
    tillora::SalesWindow& window = *bench.app->salesWindow();
    QLineEdit* box = window.ui().编辑框_名称;
    const QString lookup = QStringLiteral(
        "SELECT * FROM 商品名称 WHERE ID = (SELECT max(ID) FROM 商品名称 WHERE 名称 LIKE ?)");
    // A one-letter prefix, and the four-letter code of a product in the middle of the table.
    const QString code
        = bare.query(QStringLiteral("SELECT 名称 FROM 商品名称 WHERE ID = ?"), { 27 + kProducts / 2 })
              ->front()
              .text(1)
              .left(4);
    for (const QString& prefix : QStringList { QStringLiteral("q"), code }) {
        std::vector<double> completion, alone, whole;
        for (int i = 0; i < 300; ++i) {
            box->setText(prefix);
            completion.push_back(timeMs([&] { window.entry().nameKeyReleased(Qt::Key_F); }));
            alone.push_back(timeMs([&] { bare.query(lookup, { prefix + QLatin1Char('%') }); }));
            whole.push_back(timeMs([&] {
                bare.query(QStringLiteral("SELECT * FROM 商品名称 WHERE 名称 LIKE ?"),
                    { prefix + QLatin1Char('%') });
            }));
        }
        const auto rows = bare.query(
            QStringLiteral("SELECT count(*) FROM 商品名称 WHERE 名称 LIKE ?"), { prefix + QLatin1Char('%') });
        std::printf("  prefix \"%s\" (%lld matching products), shows \"%s\"\n", qPrintable(prefix),
            static_cast<long long>(rows->front().integer(1)), qPrintable(box->text()));
        const Summary ours = summarize(completion), same = summarize(alone);
        printRow("name completion per key release", ours);
        printRow("the same lookup statement alone (wrapper)", same);
        printRow("all rows of the prefix query (wrapper)", summarize(whole));
        std::printf("  ratio to the statement alone (median): %.2f (target <= 1.3, inside 16 ms)\n",
            ours.median / same.median);
    }
    const auto plan = bare.query(QStringLiteral("EXPLAIN QUERY PLAN ") + lookup, { QStringLiteral("q%") });
    for (const tillora::Row& row : *plan)
        std::printf("  plan: %s\n", qPrintable(row.text(QStringLiteral("detail"))));
}

void addLines(tillora::SalesWindow& window, int count)
{
    Ui::SalesWindow& ui = window.ui();
    for (int i = 0; i < count; ++i) {
        ui.编辑框_名称->setText(QStringLiteral("mkf-麦克风"));
        ui.编辑框_数量->setText(QStringLiteral("2"));
        ui.编辑框_单价->setText(QStringLiteral("10"));
        window.AddSaleLine();
    }
}

bool bareSale(tillora::Database& db)
{
    tillora::Transaction transaction(db);
    db.exec(QStringLiteral("INSERT INTO [销售记录] (销售票号, 销售时间, 数量, 金额, 收银员, 备注) VALUES (?, "
                           "?, ?, ?, ?, ?)"),
        { QStringLiteral("0000000000009"), QStringLiteral("2026-12-11 10:00:00"), QStringLiteral("20"),
            QStringLiteral("200.00"), QStringLiteral("admin"), QStringLiteral("remark ") });
    const qint64 id = db.lastInsertId();
    for (int i = 0; i < 10; ++i) {
        db.exec(QStringLiteral("INSERT INTO [销售详情] (关联, 名称, 数量, 单价, 金额, 折后, 备注) VALUES (?, "
                               "?, ?, ?, ?, ?, ?)"),
            { id, QStringLiteral("麦克风"), QStringLiteral("2"), QStringLiteral("10.00"),
                QStringLiteral("20.00"), QStringLiteral("20.00"), QStringLiteral(" remark") });
    }
    return transaction.commit();
}

void benchSaving(BenchApp& bench, tillora::Database& bare)
{
    tillora::SalesWindow& window = *bench.app->salesWindow();
    std::vector<double> saving, alone;
    for (int i = 0; i < 100; ++i) {
        addLines(window, 10);
        saving.push_back(timeMs([&] { window.SaveSale(); }));
        alone.push_back(timeMs([&] { bareSale(bare); }));
    }
    const Summary ours = summarize(saving), same = summarize(alone);
    std::printf("  saving a sale of 10 lines (durable commit)\n");
    printRow("SaveSale: number, record and lines in one transaction", ours);
    printRow("the same inserts in one bare transaction (wrapper)", same);
    std::printf("  ratio (median): %.2f (target <= 1.3)\n", ours.median / same.median);
}

} // namespace

void runSales()
{
    std::printf("Sales entry (%d products)\n", kProducts);
    BenchApp bench;
    tillora::Database bare;
    if (!bare.open(bench.databasePath(), QString::fromLatin1(tillora::kDatabasePassword))
        || !fillProducts(bare) || !bench.start()) {
        std::printf("  cannot prepare the database\n");
        return;
    }
    benchCompletion(bench, bare);
    benchSaving(bench, bare);
    if (bench.prompter.messages > 0)
        std::printf("  (the program showed %d messages)\n", bench.prompter.messages);
}

} // namespace bench
