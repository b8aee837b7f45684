#include "settings/NumberFormatWindow.h"

#include "common/DateTexts.h"
#include "store/Session.h"
#include "support/ControlTable.h"
#include "support/DataDir.h"
#include "support/RecordingPrompter.h"
#include "support/SalesFixture.h"
#include "support/Seams.h"
#include "support/WindowHarness.h"
#include "ui_NumberFormatWindow.h"

#include <QDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace tillora;
using namespace tillora::test;

namespace {

const QDateTime kToday(QDate(2016, 8, 18), QTime(20, 55, 36));
const QString kRenameTable = QStringLiteral("ALTER TABLE 配置文件 RENAME TO 配置文件_旧");
// Refuses any change of the mode column while the prefix column stays writable.
const QString kRefuseModeUpdate
    = QStringLiteral("CREATE TRIGGER 拒绝单号格式 BEFORE UPDATE OF 全局单号格式 ON "
                     "配置文件 BEGIN SELECT RAISE(ABORT, 'refused'); END");

// A fresh data directory and the window over its database, on recording seams.
struct NumberHarness : WindowHarness {
    NumberHarness() { clock.time = kToday; }

    void open()
    {
        window = std::make_unique<NumberFormatWindow>(services());
        window->setOnNumberReset([this](const QString& number) { resets.push_back(number); });
    }
    Ui::NumberFormatWindow& ui() { return window->ui(); }

    // A configuration column as stored, read through a second connection.
    QString stored(const QString& column)
    {
        Database other;
        dir.openSecondConnection(other);
        const auto rows = other.query(QStringLiteral("SELECT * FROM 配置文件 WHERE ID=1"));
        return rows && !rows->empty() ? rows->front().text(column) : QStringLiteral("<none>");
    }
    // Which prefix the ticks show; fails the test unless exactly one box is ticked.
    bool fixedChosen()
    {
        EXPECT_NE(ui().选择框1->isChecked(), ui().选择框2->isChecked()) << "exactly one box is ticked";
        return ui().选择框1->isChecked();
    }

    std::vector<QString> resets;
    std::unique_ptr<NumberFormatWindow> window;
};

class NumberFormat : public ::testing::Test, protected NumberHarness {
protected:
    void SetUp() override { open(); }
};

} // namespace

TEST_F(NumberFormat, OpensWithModeOneAndTheStoredPrefix)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tillora"));
    EXPECT_EQ(window->minimumSize(), QSize(345, 190));
    EXPECT_EQ(window->maximumSize(), QSize(345, 190));
    EXPECT_TRUE(fixedChosen());
    EXPECT_EQ(ui().编辑框1->text(), QStringLiteral("000000"));
    EXPECT_EQ(ui().编辑框2->text(), DateStamp(kToday));
    EXPECT_EQ(ui().编辑框2->text(), QStringLiteral("160818"));
    EXPECT_TRUE(ui().编辑框2->isReadOnly());
    // Nothing is enabled or disabled at opening.
    EXPECT_TRUE(ui().编辑框1->isEnabled());
    EXPECT_TRUE(ui().编辑框2->isEnabled());
    EXPECT_EQ(session.orderNumberMode, 1);
    EXPECT_TRUE(prompter.calls.empty());
    EXPECT_TRUE(resets.empty());
}

TEST(NumberFormatWindow, OpeningTicksTheStoredMode)
{
    struct Case {
        QString stored;
        bool fixed;
        int mode;
    };
    const std::vector<Case> cases = {
        { QStringLiteral("1"), true, 1 }, { QStringLiteral("2"), false, 2 },
        { QStringLiteral("0"), false, 0 }, // no mode stored: the date box is ticked
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        NumberHarness h;
        h.execute(QStringLiteral("UPDATE 配置文件 SET 全局单号格式='%1'").arg(c.stored));
        h.session.orderNumberMode = 7;
        h.open();
        EXPECT_EQ(h.fixedChosen(), c.fixed);
        EXPECT_EQ(h.session.orderNumberMode, c.mode);
        EXPECT_TRUE(h.ui().编辑框1->isEnabled());
        EXPECT_TRUE(h.prompter.calls.empty());
    }
}

TEST_F(NumberFormat, ControlsStandWhereTheFormPutsThem)
{
    const std::vector<ControlSpec> controls = {
        { "选择框1", QRect(24, 24, 120, 24), "加自定义前缀" },
        { "编辑框1", QRect(168, 24, 136, 24), nullptr },
        { "选择框2", QRect(24, 60, 120, 24), "加入日期前缀" },
        { "编辑框2", QRect(168, 56, 136, 24), nullptr },
        { "按钮1", QRect(48, 112, 80, 32), "确定" },
        { "按钮2", QRect(176, 112, 80, 32), "取消" },
    };
    ASSERT_NO_FATAL_FAILURE(expectControls(*window, controls));
}

// Every click leaves exactly one box ticked and only its edit box enabled.
TEST(NumberFormatWindow, TheTwoBoxesActAsOneChoice)
{
    using Box = QCheckBox* Ui::NumberFormatWindow::*;
    struct Case {
        const char* what;
        QString storedMode;
        std::vector<Box> clicks;
        bool fixed;
    };
    const Box fixedBox = &Ui::NumberFormatWindow::选择框1;
    const Box dateBox = &Ui::NumberFormatWindow::选择框2;
    const std::vector<Case> cases = {
        { "ticked fixed box clicked", QStringLiteral("1"), { fixedBox }, false },
        { "unticked date box clicked", QStringLiteral("1"), { dateBox }, false },
        { "ticked date box clicked", QStringLiteral("2"), { dateBox }, true },
        { "unticked fixed box clicked", QStringLiteral("2"), { fixedBox }, true },
        { "fixed box clicked twice", QStringLiteral("1"), { fixedBox, fixedBox }, true },
        { "back and forth", QStringLiteral("1"), { fixedBox, dateBox, dateBox }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NumberHarness h;
        h.execute(QStringLiteral("UPDATE 配置文件 SET 全局单号格式='%1'").arg(c.storedMode));
        h.open();
        for (Box box : c.clicks) {
            (h.ui().*box)->click();
            h.fixedChosen();
        }
        EXPECT_EQ(h.fixedChosen(), c.fixed);
        EXPECT_EQ(h.ui().编辑框1->isEnabled(), c.fixed);
        EXPECT_EQ(h.ui().编辑框2->isEnabled(), !c.fixed);
        // Clicking stores nothing.
        EXPECT_EQ(h.stored(QStringLiteral("全局单号格式")), c.storedMode);
        EXPECT_TRUE(h.resets.empty());
    }
}

TEST(NumberFormatWindow, ConfirmStoresBothColumnsAndRestartsTheNumber)
{
    struct Case {
        const char* what;
        bool datePrefix;
        QString typed; // the text of 编辑框1
        QString mode; // 全局单号格式 after 确定
        QString number;
    };
    const std::vector<Case> cases = {
        { "date prefix", true, QStringLiteral("000000"), QStringLiteral("2"),
            QStringLiteral("1608180000000") },
        { "date prefix, fixed text edited", true, QStringLiteral("NO."), QStringLiteral("2"),
            QStringLiteral("1608180000000") },
        { "fixed prefix", false, QStringLiteral("NO."), QStringLiteral("1"), QStringLiteral("NO.0000000") },
        { "fixed prefix emptied", false, QString(), QStringLiteral("1"), QStringLiteral("0000000") },
        { "prefix with quotes", false, QStringLiteral("it's \"A\"; --"), QStringLiteral("1"),
            QStringLiteral("it's \"A\"; --0000000") },
        { "longest prefix the column takes", false, QString(50, QChar(u'号')), QStringLiteral("1"),
            QString(50, QChar(u'号')) + QStringLiteral("0000000") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NumberHarness h;
        h.open();
        h.window->show();
        h.ui().编辑框1->setText(c.typed);
        if (c.datePrefix)
            h.ui().选择框2->click();
        h.ui().按钮1->click();
        EXPECT_TRUE(h.prompter.calls.empty());
        EXPECT_EQ(h.resets, std::vector<QString> { c.number });
        EXPECT_EQ(h.stored(QStringLiteral("全局单号格式")), c.mode);
        EXPECT_EQ(h.stored(QStringLiteral("单号格式")), c.typed) << "编辑框1's text is stored as typed";
        EXPECT_EQ(h.session.orderNumberMode, c.mode.toInt());
        EXPECT_TRUE(h.window->isVisible()) << "the window stays open";
    }
}

TEST_F(NumberFormat, ConfirmingTwiceStoresTwice)
{
    ui().按钮1->click();
    execute(QStringLiteral("UPDATE 配置文件 SET 全局单号格式='2', 单号格式='x'"));
    ui().按钮1->click();
    EXPECT_EQ(
        resets, (std::vector<QString> { QStringLiteral("0000000000000"), QStringLiteral("0000000000000") }));
    EXPECT_EQ(stored(QStringLiteral("全局单号格式")), QStringLiteral("1"));
    EXPECT_EQ(stored(QStringLiteral("单号格式")), QStringLiteral("000000"));
}

// A failed mode update keeps the mode in memory; the number is restarted and
// the prefix stored all the same. A failed prefix update comes last.
TEST(NumberFormatWindow, FailedUpdatesAreReported)
{
    struct Message {
        QString text;
        Prompter::Icon icon;
    };
    const Message modeFailed { QStringLiteral("数据添加失败"), Prompter::Icon::None };
    const Message prefixFailed { QStringLiteral("数据添加失败！"), Prompter::Icon::Error };
    struct Case {
        const char* what;
        QString breakTable; // run through a second connection after opening
        QString typed;
        std::vector<Message> messages;
        int mode; // session.orderNumberMode afterwards
        std::optional<QString> storedMode; // none when the table is gone
        std::optional<QString> storedPrefix; // likewise
    };
    const std::vector<Case> cases = {
        { "table gone", kRenameTable, QStringLiteral("NO."), { modeFailed, prefixFailed }, 1, {}, {} },
        { "mode refused", kRefuseModeUpdate, QStringLiteral("NO."), { modeFailed }, 1, QStringLiteral("1"),
            QStringLiteral("NO.") },
        { "prefix too long", QString(), QString(51, QChar(u'号')), { prefixFailed }, 2, QStringLiteral("2"),
            QStringLiteral("000000") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NumberHarness h;
        h.open();
        if (!c.breakTable.isEmpty())
            h.execute(c.breakTable);
        h.ui().编辑框1->setText(c.typed);
        h.ui().选择框2->click();
        h.ui().按钮1->click();

        ASSERT_EQ(h.prompter.calls.size(), c.messages.size());
        for (size_t i = 0; i < c.messages.size(); ++i) {
            EXPECT_EQ(h.prompter.calls[i].kind, RecordingPrompter::Kind::Message);
            EXPECT_EQ(h.prompter.calls[i].text, c.messages[i].text);
            EXPECT_EQ(h.prompter.calls[i].title, QStringLiteral("信息："));
            EXPECT_EQ(h.prompter.calls[i].icon, c.messages[i].icon);
        }
        EXPECT_EQ(h.resets, std::vector<QString> { QStringLiteral("1608180000000") });
        EXPECT_EQ(h.session.orderNumberMode, c.mode);
        if (c.storedMode) {
            EXPECT_EQ(h.stored(QStringLiteral("全局单号格式")), *c.storedMode);
        }
        if (c.storedPrefix) {
            EXPECT_EQ(h.stored(QStringLiteral("单号格式")), *c.storedPrefix);
        }
    }
}

TEST(NumberFormatWindow, UnreadableRecordOpensWithAnEmptyPrefix)
{
    NumberHarness h;
    h.execute(kRenameTable);
    h.open();
    EXPECT_EQ(h.prompter.texts(),
        (std::vector<QString> { QStringLiteral("查询失败！"), QStringLiteral("查询失败！") }));
    EXPECT_EQ(h.ui().编辑框1->text(), QString());
    EXPECT_EQ(h.ui().编辑框2->text(), QStringLiteral("160818"));
    EXPECT_FALSE(h.fixedChosen()) << "the mode in memory (none) ticks the date box";
}

TEST_F(NumberFormat, CancelClosesWithoutStoring)
{
    window->show();
    ui().选择框2->click();
    ui().编辑框1->setText(QStringLiteral("NO."));
    ui().按钮2->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(resets.empty());
    EXPECT_EQ(stored(QStringLiteral("全局单号格式")), QStringLiteral("1"));
    EXPECT_EQ(stored(QStringLiteral("单号格式")), QStringLiteral("000000"));
}

// Through the whole program: the sales window's next sale is numbered under the
// chosen prefix, starting again at 0000001.
TEST(NumberFormatWindow, TheNextSaleIsNumberedUnderTheDatePrefix)
{
    OpenSales s;
    s.h.clock.time = kToday;
    s.open();
    ASSERT_EQ(s.ui().编辑框_单号->text(), QStringLiteral("0000000000001"));
    Services services { s.h.app->database(), s.h.prompter, s.h.clock, s.h.shell, s.h.app->session() };
    {
        NumberFormatWindow window(services, &s.window());
        window.setOnNumberReset([&](const QString& number) { s.ui().编辑框_单号->setText(number); });
        window.ui().选择框2->click();
        window.ui().按钮1->click();
    }
    EXPECT_EQ(s.ui().编辑框_单号->text(), QStringLiteral("1608180000000"));

    const auto sell = [&] {
        s.ui().编辑框_名称->setText(QStringLiteral("mkf-麦克风"));
        s.ui().编辑框_数量->setText(QStringLiteral("1"));
        s.ui().编辑框_单价->setText(QStringLiteral("10"));
        s.window().AddSaleLine();
        s.window().SaveSale();
    };
    sell();
    // A later day's sale takes the date of that day.
    s.h.clock.time = kToday.addDays(1);
    sell();
    EXPECT_TRUE(s.h.prompter.calls.empty());

    Database db;
    s.h.dir.openSecondConnection(db);
    const auto rows = db.query(QStringLiteral("SELECT 销售票号 FROM 销售记录 WHERE ID > 401 ORDER BY ID"));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[0].text(1), QStringLiteral("1608180000001"));
    EXPECT_EQ((*rows)[1].text(1), QStringLiteral("1608190000002"));
}

TEST_F(NumberFormat, Screenshot)
{
    const QString folder = QStringLiteral(SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(window->grab().save(folder + QStringLiteral("/NumberFormatWindow.png")));
    ui().选择框2->click();
    EXPECT_TRUE(window->grab().save(folder + QStringLiteral("/NumberFormatWindow-date.png")));
}
