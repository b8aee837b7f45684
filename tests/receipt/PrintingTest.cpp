#include "settings/PrinterWindow.h"
#include "support/CupsQueues.h"
#include "support/SalesFixture.h"
#include "ui_PrinterWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>
#include <gtest/gtest.h>

using namespace tillora;
using namespace tillora::test;

// Receipts printed through the real print server onto the PDF queues that
// scripts/start-cups sets up; what came out is read back with pdftotext.
// Every test program runs with a HOME of its own, so the default printer set
// here stays with the test.

namespace {

constexpr double kPointsPerUnit = 0.2835; // 0.1 mm in PostScript points

struct Word {
    double x, y;
    QString text;
};

std::vector<Word> wordsOf(const QString& pdf)
{
    const ToolRun run
        = runTool(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") });
    std::vector<Word> words;
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"(-?[0-9.]+)\" yMin=\"(-?[0-9.]+)\" xMax=\"[-0-9.]+\" "
                       "yMax=\"[-0-9.]+\">([^<]*)</word>"));
    for (auto it = word.globalMatch(run.output); it.hasNext();) {
        const auto m = it.next();
        words.push_back({ m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3) });
    }
    return words;
}

class Printing : public ::testing::Test, protected OpenSales {
protected:
    void SetUp() override
    {
        if (!schedulerRunning())
            GTEST_SKIP() << kNoScheduler;
        // An order-number prefix of this test's own names its receipts' files.
        m_prefix = QStringLiteral("T%1").arg(
            QRandomGenerator::global()->bounded(100000000), 8, 10, QLatin1Char('0'));
        h.configure(QStringLiteral("单号格式"), m_prefix);
    }
    // libcups reads the server's address once: tests that change it do so before this.
    static void useQueue(const QString& queue) { ASSERT_TRUE(CupsPrinters().setDefaultPrinter(queue)); }
    void openAndSell()
    {
        open();
        ui().编辑框_名称->setText(QStringLiteral("mkf-麦克风"));
        ui().编辑框_数量->setText(QStringLiteral("2"));
        ui().编辑框_单价->setText(QStringLiteral("10"));
        window().AddSaleLine();
    }
    void pressF5()
    {
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        QTest::keyClick(ui().编辑框_名称, Qt::Key_F5);
    }
    QString title() const { return QStringLiteral("receipt") + m_prefix + QStringLiteral("0000001"); }
    // The PDFs of this test's receipts in a queue's folder, waiting until count are there.
    QStringList receipts(const QString& queue, int count)
    {
        const QDir folder(queueFolder(queue));
        const QStringList pattern { QStringLiteral("job_*-%1.pdf").arg(title()) };
        QElapsedTimer timer;
        timer.start();
        QStringList found;
        while (timer.elapsed() < 20000) {
            found = folder.entryList(pattern, QDir::Files);
            if (found.size() >= count)
                break;
            QThread::msleep(100);
        }
        QThread::msleep(300); // let the last one be written out
        QStringList paths;
        for (const QString& name : folder.entryList(pattern, QDir::Files))
            paths << folder.filePath(name);
        return paths;
    }
    int savedSales()
    {
        Database db;
        h.dir.openSecondConnection(db);
        return int(
            db.query(QStringLiteral("SELECT count(*) FROM 销售记录 WHERE ID > 401"))->front().integer(1));
    }
    static void expectAt(const std::vector<Word>& words, const QString& text, int x, int y)
    {
        const auto it
            = std::find_if(words.begin(), words.end(), [&](const Word& w) { return w.text == text; });
        ASSERT_NE(it, words.end()) << text.toStdString() << " is not on the receipt";
        EXPECT_NEAR(it->x, x * kPointsPerUnit, 2.0) << text.toStdString();
        EXPECT_NEAR(it->y, y * kPointsPerUnit, 3.0) << text.toStdString();
    }
    QString m_prefix;
};

} // namespace

TEST_F(Printing, F5PrintsTheReceiptWhereTheLayoutPutsItAndSavesTheSale)
{
    useQueue(kQueueA);
    openAndSell();
    pressF5();
    EXPECT_TRUE(h.prompter.calls.empty()) << h.prompter.calls.front().text.toStdString();
    EXPECT_EQ(savedSales(), 1);
    EXPECT_TRUE(window().sale().isEmpty());
    const QStringList pdfs = receipts(kQueueA, 1);
    ASSERT_EQ(pdfs.size(), 1);
    const std::vector<Word> words = wordsOf(pdfs.first());
    expectAt(words, QStringLiteral("Corvane"), 240 - 12 * 7, 10);
    expectAt(words, QStringLiteral("单号：") + m_prefix + QStringLiteral("0000001"), 0, 80);
    expectAt(words, QStringLiteral("名称"), 0, 180);
    expectAt(words, QStringLiteral("数量"), 165, 180);
    expectAt(words, QStringLiteral("单价"), 255, 180);
    expectAt(words, QStringLiteral("金额"), 370, 180);
    expectAt(words, QStringLiteral("麦克风"), 0, 230);
    expectAt(words, QStringLiteral("2"), 182, 230);
    expectAt(words, QStringLiteral("10.00"), 252, 230);
    expectAt(words, QStringLiteral("合计数量:2"), 0, 280);
    expectAt(words, QStringLiteral("总额:20.00"), 250, 280);
    expectAt(words, QStringLiteral("收银员:admin"), 0, 400);
}

TEST_F(Printing, PaperMarginMovesEveryXOnThePrinter)
{
    useQueue(kQueueA);
    openAndSell();
    h.app->session().printOptions.paperMargin = 30;
    pressF5();
    const QStringList pdfs = receipts(kQueueA, 1);
    ASSERT_EQ(pdfs.size(), 1);
    const std::vector<Word> words = wordsOf(pdfs.first());
    expectAt(words, QStringLiteral("Corvane"), 30 + 240 - 12 * 7, 10);
    expectAt(words, QStringLiteral("名称"), 30, 180);
    expectAt(words, QStringLiteral("20.00"), 30 + 375, 230);
}

TEST_F(Printing, TheQueueChosenInThePrinterWindowTakesTheNextReceipt)
{
    useQueue(kQueueA);
    openAndSell();
    {
        PrinterWindow printers(*h.printers, h.prompter, &window());
        QComboBox* list = printers.ui().组合框_打印机名称;
        EXPECT_EQ(list->currentText(), kQueueA);
        list->setCurrentIndex(list->findText(kQueueB));
        printers.ui().按钮_保存->click();
    }
    pressF5();
    EXPECT_EQ(receipts(kQueueB, 1).size(), 1);
    EXPECT_TRUE(
        QDir(queueFolder(kQueueA)).entryList({ QStringLiteral("job_*-%1.pdf").arg(title()) }).isEmpty());
}

TEST_F(Printing, NoticeAndReprintGiveOneCopyPerYesAndOneSavedSale)
{
    useQueue(kQueueA);
    h.configure(QStringLiteral("显示打印完毕"), QStringLiteral("真"));
    h.configure(QStringLiteral("提示再次打印"), QStringLiteral("真"));
    openAndSell();
    h.prompter.answers = { true, true, false };
    window().PrintReceiptButton();
    std::vector<QString> expected;
    for (int copy = 0; copy < 3; ++copy) {
        expected.push_back(QStringLiteral("打印完毕"));
        expected.push_back(QStringLiteral("打印完毕,是否再次打印！"));
    }
    EXPECT_EQ(h.prompter.texts(), expected);
    for (const auto& call : h.prompter.calls) {
        EXPECT_EQ(call.title, QStringLiteral("提示:"));
        EXPECT_EQ(call.owner, &window());
    }
    EXPECT_EQ(receipts(kQueueA, 3).size(), 3);
    EXPECT_EQ(savedSales(), 1);
}

TEST_F(Printing, WithoutAPrintServerTheCashierIsWarnedAndTheSaleSaved)
{
    qputenv("CUPS_SERVER", QFile::encodeName(h.dir.path() + QStringLiteral("/no-cupsd.sock")));
    openAndSell();
    QElapsedTimer timer;
    timer.start();
    window().PrintReceiptButton();
    EXPECT_LT(timer.elapsed(), 3000);
    ASSERT_EQ(h.prompter.calls.size(), 1u);
    EXPECT_EQ(h.prompter.calls[0].icon, Prompter::Icon::Warning);
    EXPECT_TRUE(h.prompter.calls[0].text.startsWith(QStringLiteral("小票没有打印出来")));
    EXPECT_EQ(savedSales(), 1);
}

TEST_F(Printing, AHungPrintServerDoesNotFreezeTheSale)
{
    // A server that takes connections and never answers.
    QTcpServer hung;
    ASSERT_TRUE(hung.listen(QHostAddress::LocalHost));
    qputenv("CUPS_SERVER", QStringLiteral("127.0.0.1:%1").arg(hung.serverPort()).toUtf8());
    openAndSell();
    QElapsedTimer timer;
    timer.start();
    window().PrintReceiptButton();
    EXPECT_LT(timer.elapsed(), 5000);
    ASSERT_EQ(h.prompter.calls.size(), 1u);
    EXPECT_EQ(h.prompter.calls[0].icon, Prompter::Icon::Warning);
    EXPECT_EQ(savedSales(), 1);
}

TEST_F(Printing, ARejectingQueueIsReported)
{
    // A queue of this test's own, so that other tests keep printing meanwhile.
    const QString queue = QStringLiteral("TilloraRefuses") + m_prefix;
    const ToolRun added = runTool(QStringLiteral("lpadmin"),
        { QStringLiteral("-p"), queue, QStringLiteral("-v"), QStringLiteral("cups-pdf:/") + queue,
            QStringLiteral("-P"), QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd"),
            QStringLiteral("-E") });
    ASSERT_EQ(added.exitCode, 0) << added.output.toStdString();
    runTool(QStringLiteral("cupsreject"), { queue });
    useQueue(queue);
    openAndSell();
    window().PrintReceiptButton();
    runTool(QStringLiteral("lpadmin"), { QStringLiteral("-x"), queue });
    ASSERT_EQ(h.prompter.calls.size(), 1u);
    EXPECT_EQ(h.prompter.calls[0].icon, Prompter::Icon::Warning);
    EXPECT_TRUE(h.prompter.calls[0].text.contains(queue));
    EXPECT_EQ(savedSales(), 1);
}
