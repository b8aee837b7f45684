#include "RecordsBench.h"

#include "BenchApp.h"
#include "Stats.h"
#include "common/DateTexts.h"
#include "records/QueryWindow.h"
#include "records/RecordsWindow.h"
#include "store/Database.h"
#include "ui_QueryWindow.h"
#include "ui_RecordsWindow.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <functional>

namespace bench {

namespace {

constexpr int kRecords = 1000000;
constexpr int kLinesPerRecord = 3;
constexpr int kSalesPerDay = 300;
constexpr int kRuns = 20;

double timeMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// 300 sales a day, the last day being today up to now; each with three lines.
bool generate(tillora::Database& db, const QDateTime& now)
{
    const int days = kRecords / kSalesPerDay;
    const QDate firstDay = now.date().addDays(-(days - 1));
    const QStringList cashiers = { QStringLiteral("admin"), QStringLiteral("小王"), QStringLiteral("小李") };
    tillora::Transaction transaction(db);
    qint64 sequence = 0;
    for (int day = 0; day < days; ++day) {
        const QDate date = firstDay.addDays(day);
        // Today's sales lie between midnight and now, the other days' all day long.
        const int span = date == now.date() ? std::max(1, now.time().msecsSinceStartOfDay() / 1000) : 86400;
        for (int i = 0; i < kSalesPerDay; ++i) {
            ++sequence;
            const QDateTime time(date, QTime(0, 0).addSecs(qint64(i) * span / kSalesPerDay));
            const QString number = tillora::DateStamp(time, time)
                + QStringLiteral("%1").arg(sequence % 10000000, 7, 10, QLatin1Char('0'));
            const int quantity = 1 + int(sequence % 5);
            if (!db.exec(QStringLiteral("INSERT INTO 销售记录 (销售票号, 销售时间, 数量, 金额, 收银员, 备注) "
                                        "VALUES (?, ?, ?, ?, ?, ?)"),
                    { number, tillora::StoredDateTime(time), QString::number(quantity),
                        QStringLiteral("%1.50").arg(quantity * 10), cashiers[int(sequence % 3)],
                        QStringLiteral("1.所购商品7日内凭购物小票调换\r\n2.所调换商品不能影响二次销售 ") }))
                return false;
            const qint64 id = db.lastInsertId();
            for (int line = 0; line < kLinesPerRecord; ++line) {
                if (!db.exec(QStringLiteral("INSERT INTO 销售详情 (关联, 名称, 数量, 单价, 金额, 折后, 备注) "
                                            "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                        { id, QStringLiteral("麦克风"), QStringLiteral("1"), QStringLiteral("10.00"),
                            QStringLiteral("10.00"), QStringLiteral("10.00"), QStringLiteral(" 备注") }))
                    return false;
            }
        }
    }
    return transaction.commit();
}

void compare(const char* what, const std::vector<double>& ours, const char* bareWhat,
    const std::vector<double>& bare, double target)
{
    const Summary a = summarize(ours), b = summarize(bare);
    printRow(what, a);
    printRow(bareWhat, b);
    std::printf("  ratio (median): %.2f; target under %.0f ms\n", a.median / b.median, target);
}

} // namespace

void runRecords()
{
    std::printf("Sales records (%d records, %d lines)\n", kRecords, kRecords * kLinesPerRecord);
    BenchApp bench;
    const QDateTime now = bench.clock.now();
    {
        tillora::Database db;
        QElapsedTimer timer;
        timer.start();
        if (!db.open(bench.databasePath(), QString::fromLatin1(tillora::kDatabasePassword))
            || !generate(db, now)) {
            std::printf("  cannot generate the records\n");
            return;
        }
        std::printf("  generated in %.1f s\n", double(timer.elapsed()) / 1000);
    }
    if (!bench.start()) {
        std::printf("  the program did not start\n");
        return;
    }
    tillora::Database& db = bench.app->database();
    const tillora::Services services { db, bench.prompter, bench.clock, bench.shell, bench.app->session() };

    // The day list: opening the window fills it.
    std::vector<double> open, openBare;
    int listed = 0;
    for (int i = 0; i < kRuns; ++i) {
        open.push_back(timeMs([&] {
            tillora::RecordsWindow window(services);
            listed = window.ui().超级列表框1->topLevelItemCount();
        }));
        openBare.push_back(timeMs([&] {
            db.query(
                QStringLiteral(
                    "SELECT * FROM [销售记录] WHERE [销售时间] BETWEEN ? AND ? ORDER BY [销售时间] DESC"),
                { tillora::StoredDateTime(QDateTime(now.date(), QTime(0, 0))),
                    tillora::StoredDateTime(now) });
        }));
    }
    std::printf("  day list: %d sales listed\n", listed);
    compare(
        "opening RecordsWindow to a filled list", open, "the day's statement alone (wrapper)", openBare, 50);

    // The search by order number.
    tillora::RecordsWindow records(services);
    std::vector<double> search, searchBare, scan;
    for (int i = 0; i < 5; ++i) {
        records.ui().编辑框_查单号->setText(QStringLiteral("0001"));
        search.push_back(timeMs([&] { records.searchByOrderNumber(); }));
        searchBare.push_back(timeMs([&] {
            db.query(
                QStringLiteral(
                    "SELECT * FROM 销售记录 WHERE ID IN (SELECT ID FROM 销售记录 WHERE 销售票号 LIKE ?)"),
                { QStringLiteral("%0001%") });
        }));
        scan.push_back(timeMs([&] {
            db.query(
                QStringLiteral("SELECT * FROM 销售记录 WHERE 销售票号 LIKE ?"), { QStringLiteral("%0001%") });
        }));
    }
    std::printf("  search \"0001\": %d records found\n", records.ui().超级列表框1->topLevelItemCount());
    compare("search by order number, list filled", search, "the search statement alone (wrapper)", searchBare,
        150);
    printRow("a plain scan of the table (wrapper)", summarize(scan));

    // A fuzzy query over one month.
    tillora::QueryWindow query(services, records);
    Ui::QueryWindow& q = query.ui();
    q.日期框1->setDate(now.date().addMonths(-1));
    q.编辑框_数量1->setText(QStringLiteral("3"));
    std::vector<double> fuzzy;
    for (int i = 0; i < 5; ++i)
        fuzzy.push_back(timeMs([&] { q.按钮1->click(); }));
    std::printf("  fuzzy query over a month (quantity 3): %d records listed\n",
        records.ui().超级列表框1->topLevelItemCount());
    printRow("fuzzy query, list filled", summarize(fuzzy));
    // Exporting a full sheet of the records list.
    records.FillRecordList(QStringLiteral("SELECT * FROM 销售记录 LIMIT 65535"));
    bench.prompter.savePath = bench.dir.filePath(QStringLiteral("export.xls"));
    std::vector<double> exporting;
    for (int i = 0; i < 5; ++i)
        exporting.push_back(timeMs([&] { records.exportList(); }));
    std::printf("  export of %d rows x 7 columns: %.1f MB workbook\n",
        records.ui().超级列表框1->topLevelItemCount(),
        double(QFileInfo(bench.prompter.savePath).size()) / 1e6);
    printRow("exporting the records list to .xls", summarize(exporting));
    std::printf("  target under 1000 ms\n");

    const auto plan
        = db.query(QStringLiteral("EXPLAIN QUERY PLAN SELECT * FROM 销售记录 WHERE ID IN (SELECT ID FROM "
                                  "销售记录 WHERE 销售票号 LIKE ?)"),
            { QStringLiteral("%0001%") });
    for (const tillora::Row& row : *plan)
        std::printf("  search plan: %s\n", qPrintable(row.text(QStringLiteral("detail"))));
}

} // namespace bench
