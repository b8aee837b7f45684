#include "records/DataReset.h"
#include "records/RecordDetailWindow.h"
#include "records/RecordsWindow.h"
#include "support/SalesFixture.h"
#include "ui_RecordDetailWindow.h"
#include "ui_RecordsWindow.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tillora;
using namespace tillora::test;

namespace {

// The rows of a workbook as xlrd reads them, every cell checked to be text.
std::vector<QStringList> readWorkbook(const QString& path, QString* problem)
{
    QProcess reader;
    reader.start(QStringLiteral("python3"), { QStringLiteral(XLS_READER), QStringLiteral("book"), path });
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        *problem = QString::fromLocal8Bit(reader.readAllStandardError());
        return {};
    }
    const QJsonObject book = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    if (book.value(QStringLiteral("sheets")).toArray() != QJsonArray { QStringLiteral("Sheet1") })
        *problem = QStringLiteral("sheets are not just Sheet1");
    std::vector<QStringList> rows;
    const QJsonObject cells = book.value(QStringLiteral("rows")).toObject();
    for (int r = 0; r < book.value(QStringLiteral("nrows")).toInt(); ++r) {
        QStringList row;
        for (const QJsonValue& cell : cells.value(QString::number(r)).toArray()) {
            if (cell.toArray().at(0).toInt() != 1) // xlrd's text cell type
                *problem = QStringLiteral("a cell that is not text in row %1").arg(r);
            row << cell.toArray().at(1).toString();
        }
        rows.push_back(row);
    }
    return rows;
}

class Exporting : public ::testing::Test, protected OpenSales {
protected:
    void SetUp() override
    {
        Database db;
        h.dir.openSecondConnection(db);
        // Two sales of the fixed clock's day, one with quotes and a two-line remark.
        ASSERT_TRUE(db.exec(
            QStringLiteral("INSERT INTO 销售记录 (销售票号, 销售时间, 数量, 金额, 收银员, 备注) VALUES "
                           "('S1', '2017-06-07 08:00:00', '2', '20.00', 'it''s \"me\"', ?)"),
            { QStringLiteral("第一行\r\n第二行 ") }));
        ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO 销售详情 (关联, 名称, 数量, 单价, 金额, 折后) VALUES "
                                           "(?, '麦克风', '2', '10.00', '20.00', '20.00')"),
            { db.lastInsertId() }));
        open();
    }
    Services services() { return { h.app->database(), h.prompter, h.clock, h.shell, h.app->session() }; }
    QString target(const QString& name) const { return QDir(out.path()).filePath(name); }
    QTemporaryDir out;
};

} // namespace

TEST_F(Exporting, TheRecordsListGoesIntoAWorkbookAsShown)
{
    RecordsWindow records(services(), &window());
    const QString path = target(QStringLiteral("day.xls"));
    h.prompter.files = { path };
    records.ui().按钮_导出表->click();

    ASSERT_EQ(h.prompter.calls.size(), 2u);
    const auto& dialog = h.prompter.calls[0];
    EXPECT_EQ(dialog.kind, RecordingPrompter::Kind::SaveFile);
    EXPECT_EQ(dialog.dialog.proposedName, QStringLiteral("170607查询结果"));
    EXPECT_EQ(dialog.dialog.defaultSuffix, QStringLiteral("xls"));
    EXPECT_EQ(h.prompter.calls[1].text, QStringLiteral("保存成功！\r\n保存在：") + path);
    EXPECT_EQ(h.prompter.calls[1].title, QStringLiteral("提示："));
    EXPECT_EQ(h.prompter.calls[1].icon, Prompter::Icon::Information);

    QString problem;
    const auto rows = readWorkbook(path, &problem);
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0],
        (QStringList { QStringLiteral("序号"), QStringLiteral("销售票号"), QStringLiteral("销售时间"),
            QStringLiteral("数量"), QStringLiteral("金额"), QStringLiteral("收银员"),
            QStringLiteral("备注") }));
    EXPECT_EQ(rows[1],
        (QStringList { QStringLiteral("1"), QStringLiteral("S1"), QStringLiteral("2017年6月7日8时"),
            QStringLiteral("2"), QStringLiteral("20.00"), QStringLiteral("it's \"me\""),
            QStringLiteral("第一行\r\n第二行 ") }));
}

TEST_F(Exporting, EmptyListsAndCancelledDialogsWriteNothing)
{
    RecordsWindow records(services(), &window());
    records.ui().编辑框_查单号->setText(QStringLiteral("999999"));
    records.ui().按钮_搜索->click();
    records.ui().按钮_导出表->click();
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("没有数据可以导出！") });
    EXPECT_EQ(h.prompter.calls[0].title, QStringLiteral("提示："));

    h.prompter.clear();
    records.ui().编辑框_查单号->setText(QStringLiteral("1"));
    records.ui().按钮_搜索->click();
    records.ui().按钮_导出表->click();
    ASSERT_EQ(h.prompter.calls.size(), 2u);
    EXPECT_EQ(h.prompter.calls[1].text, QStringLiteral("保存失败！"));
    EXPECT_TRUE(QDir(out.path()).isEmpty());
}

TEST_F(Exporting, AnUnwritableTargetIsReported)
{
    RecordsWindow records(services(), &window());
    h.prompter.files = { target(QStringLiteral("no/such/folder/x.xls")) };
    records.ui().按钮_导出表->click();
    EXPECT_EQ(h.prompter.calls.back().text, QStringLiteral("保存失败！错误代码：01"));
}

TEST_F(Exporting, TheDetailsExportIncludesLinesAddedInTheWindow)
{
    RecordsWindow records(services(), &window());
    records.ui().超级列表框1->setCurrentItem(records.ui().超级列表框1->topLevelItem(0));
    RecordDetailWindow details(services(), records.selectedRecordId(), &records);
    Ui::RecordDetailWindow& d = details.ui();
    d.编辑框_名称->setText(QStringLiteral("电源线"));
    d.编辑框_数量->setText(QStringLiteral("3"));
    d.编辑框_单价->setText(QStringLiteral("6"));
    d.按钮_添加->click();
    const QString path = target(QStringLiteral("lines.xls"));
    h.prompter.files = { path };
    d.按钮_导出->click();
    QString problem;
    const auto rows = readWorkbook(path, &problem);
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0],
        (QStringList { QStringLiteral("序号"), QStringLiteral("名称"), QStringLiteral("数量"),
            QStringLiteral("单价"), QStringLiteral("金额"), QStringLiteral("折后") }));
    EXPECT_EQ(rows[1][1], QStringLiteral("麦克风"));
    EXPECT_EQ(rows[2],
        (QStringList { QStringLiteral("2"), QStringLiteral("电源线"), QStringLiteral("3"),
            QStringLiteral("6.00"), QStringLiteral("18.00"), QStringLiteral("18.00") }));
}

namespace {

class Resetting : public Exporting {
protected:
    qint64 sales(Database& db)
    {
        return db.query(QStringLiteral("SELECT count(*) FROM 销售记录"))->front().integer(1);
    }
    DataReset reset()
    {
        return DataReset(services(), [this] { ++restarts; });
    }
    int restarts = 0;
};

} // namespace

TEST_F(Resetting, AnsweredNoOrCancelledChangesNothing)
{
    h.prompter.answers = { false };
    reset().run(&window());
    EXPECT_EQ(h.prompter.calls.size(), 1u);
    EXPECT_EQ(h.prompter.calls[0].text, QStringLiteral("确定初始化吗,并备份数据吗 ？"));
    EXPECT_EQ(h.prompter.calls[0].title, QStringLiteral("提示"));

    h.prompter.clear();
    h.prompter.answers = { true };
    reset().run(&window());
    ASSERT_EQ(h.prompter.calls.size(), 3u);
    EXPECT_EQ(h.prompter.calls[1].dialog.proposedName, QStringLiteral("170607查询结果"));
    EXPECT_EQ(h.prompter.calls[1].dialog.defaultSuffix, QStringLiteral("mdb"));
    EXPECT_EQ(h.prompter.calls[2].text, QStringLiteral("保存失败！"));
    EXPECT_EQ(restarts, 0);
    // The program goes on with its database.
    EXPECT_EQ(sales(h.app->database()), 2);
}

TEST_F(Resetting, ACompletedResetKeepsABackupAndStartsAfresh)
{
    const QString backup = target(QStringLiteral("backup.mdb"));
    h.prompter.answers = { true };
    h.prompter.files = { backup };
    reset().run(&window());
    EXPECT_EQ(h.prompter.calls.back().text, QStringLiteral("初始化完成，并已备份！"));
    EXPECT_EQ(restarts, 1);

    Database fresh;
    h.dir.openSecondConnection(fresh);
    EXPECT_EQ(sales(fresh), 1) << "the template's sample sale only";
    fresh.close();

    // The backup, put back as HH.mdb, gives back every row.
    ASSERT_TRUE(QFile::remove(h.dir.databasePath()));
    ASSERT_TRUE(QFile::copy(backup, h.dir.databasePath()));
    Database restored;
    h.dir.openSecondConnection(restored);
    EXPECT_EQ(sales(restored), 2);
    EXPECT_EQ(
        restored.query(QStringLiteral("SELECT 收银员 FROM 销售记录 WHERE 销售票号='S1'"))->front().text(1),
        QStringLiteral("it's \"me\""));
}

TEST_F(Resetting, AnUnwritableBackupLeavesTheDatabaseAlone)
{
    h.prompter.answers = { true };
    h.prompter.files = { target(QStringLiteral("no/such/folder/backup.mdb")) };
    reset().run(&window());
    EXPECT_EQ(h.prompter.calls.back().text, QStringLiteral("初始化错误！"));
    EXPECT_EQ(restarts, 1);
    Database db;
    h.dir.openSecondConnection(db);
    EXPECT_EQ(sales(db), 2);
    EXPECT_TRUE(QDir(out.path()).isEmpty());
}

TEST_F(Resetting, TheRecordsButtonRestartsTheProgram)
{
    h.prompter.answers = { true };
    h.prompter.files = { target(QStringLiteral("b.mdb")) };
    QTimer::singleShot(0, [] {
        if (auto* records = qobject_cast<RecordsWindow*>(QApplication::activeModalWidget()))
            records->ui().按钮_管理数据->click();
    });
    ui().菜单_统计销售->trigger();
    EXPECT_TRUE(h.app->hasRestarted());
    EXPECT_TRUE(h.app->hasEnded());
    ASSERT_FALSE(h.shell.calls.empty());
    EXPECT_EQ(h.shell.calls.back().what, QStringLiteral("restart"));
    EXPECT_TRUE(QFile::exists(target(QStringLiteral("b.mdb"))));
}
