#include "store/Database.h"
#include "support/DataDir.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <gtest/gtest.h>

using namespace tillora;
using tillora::test::DataDir;

// A till can lose power at any moment: a process saving sales is killed at
// random moments, and afterwards every stored sale is whole.
TEST(SaleCrash, KilledWhileSavingLeavesOnlyWholeSales)
{
    DataDir dir;
    constexpr int kKills = 20;
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess saver;
        saver.start(QStringLiteral(SALE_SAVER), { dir.databasePath() });
        ASSERT_TRUE(saver.waitForReadyRead(10000)) << "the saver did not start";
        QThread::msleep(20 + QRandomGenerator::global()->bounded(180));
        ASSERT_EQ(saver.state(), QProcess::Running) << "the saver stopped on its own: " << saver.exitCode();
        saver.kill();
        ASSERT_TRUE(saver.waitForFinished(5000));
    }

    Database db;
    dir.openSecondConnection(db);
    EXPECT_EQ(db.query(QStringLiteral("PRAGMA integrity_check"))->front().text(1), QStringLiteral("ok"));
    EXPECT_TRUE(db.query(QStringLiteral("PRAGMA foreign_key_check"))->empty());
    const auto orphans = db.query(
        QStringLiteral("SELECT count(*) FROM 销售详情 WHERE 关联 NOT IN (SELECT ID FROM 销售记录)"));
    EXPECT_EQ(orphans->front().integer(1), 0);
    const auto incomplete = db.query(QStringLiteral(
        "SELECT r.ID, r.数量, (SELECT count(*) FROM 销售详情 d WHERE d.关联 = r.ID) AS lines FROM 销售记录 r "
        "WHERE r.ID > 401 AND CAST(r.数量 AS INTEGER) <> (SELECT count(*) FROM 销售详情 d WHERE d.关联 = r.ID)"));
    EXPECT_TRUE(incomplete->empty()) << "record " << incomplete->front().integer(1) << " has "
                                     << incomplete->front().integer(3) << " of " << incomplete->front().integer(2);
    const qint64 saved = db.query(QStringLiteral("SELECT count(*) FROM 销售记录"))->front().integer(1);
    EXPECT_GT(saved, kKills) << "the savers stored hardly anything";
    std::printf("%lld sales stored across %d kills\n", static_cast<long long>(saved), kKills);
}
