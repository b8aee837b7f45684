#include "settings/PaymentMethodWindow.h"

#include "store/Session.h"
#include "support/ControlTable.h"
#include "support/DataDir.h"
#include "support/RecordingPrompter.h"
#include "support/Seams.h"
#include "support/WindowHarness.h"
#include "ui_PaymentMethodWindow.h"

#include <QDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace tillora;
using namespace tillora::test;

namespace {

const QStringList kTemplateMethods = { QStringLiteral("现金"), QStringLiteral("微信"),
    QStringLiteral("QQ红包"), QStringLiteral("支付宝"), QStringLiteral("银行卡"), QStringLiteral("财付通") };
const std::vector<qint64> kTemplateIds = { 1, 3, 9, 10, 12, 13 };

const QString kRenameTable = QStringLiteral("ALTER TABLE 付款方式 RENAME TO 付款方式_旧");

// A fresh data directory and the window over its database, on recording seams.
struct PaymentHarness : WindowHarness {
    void open() { window = std::make_unique<PaymentMethodWindow>(services()); }
    Ui::PaymentMethodWindow& ui() { return window->ui(); }
    QTreeWidget* list() { return ui().超级列表框1; }
    void choose(int row) { list()->setCurrentItem(list()->topLevelItem(row)); }

    // The stored method names in ID order, read through a second connection.
    QStringList stored()
    {
        Database other;
        dir.openSecondConnection(other);
        QStringList names;
        if (const auto rows = other.query(QStringLiteral("SELECT 方式 FROM 付款方式 ORDER BY ID")))
            for (const Row& row : *rows)
                names << row.text(1);
        return names;
    }
    // The list's rows as their cells.
    QList<QStringList> rows()
    {
        QList<QStringList> out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            out << QStringList { list()->topLevelItem(i)->text(0), list()->topLevelItem(i)->text(1) };
        return out;
    }
    // The listed names, after checking that cell 0 counts the rows from 1.
    QStringList listed()
    {
        QStringList names;
        for (const QStringList& cells : rows()) {
            EXPECT_EQ(cells[0], QString::number(names.size() + 1));
            names << cells[1];
        }
        return names;
    }

    std::unique_ptr<PaymentMethodWindow> window;
};

class PaymentMethods : public ::testing::Test, protected PaymentHarness {
protected:
    void SetUp() override { open(); }
};

} // namespace

TEST_F(PaymentMethods, OpensWithTheStoredMethodsNumberedAndTagged)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tillora"));
    EXPECT_EQ(window->minimumSize(), QSize(334, 282));
    EXPECT_EQ(window->maximumSize(), QSize(334, 282));
    EXPECT_EQ(list()->headerItem()->text(0), QStringLiteral("序号"));
    EXPECT_EQ(list()->headerItem()->text(1), QStringLiteral("       收款方式"));
    EXPECT_EQ(list()->columnWidth(0), 50);
    EXPECT_EQ(list()->columnWidth(1), 150);
    EXPECT_EQ(listed(), kTemplateMethods);
    for (int i = 0; i < list()->topLevelItemCount(); ++i)
        EXPECT_EQ(list()->topLevelItem(i)->data(0, Qt::UserRole).toLongLong(), kTemplateIds[i]);
    EXPECT_EQ(list()->currentItem(), nullptr);
    EXPECT_TRUE(ui().编辑框1->text().isEmpty());
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(PaymentMethods, ControlsStandWhereTheFormPutsThem)
{
    const std::vector<ControlSpec> controls = {
        { "超级列表框1", QRect(8, 24, 204, 208), nullptr },
        { "编辑框1", QRect(232, 40, 88, 24), nullptr },
        { "按钮_添加", QRect(232, 104, 88, 24), "添加" },
        { "按钮_修改", QRect(232, 152, 88, 24), "修改" },
        { "按钮_删除", QRect(232, 200, 88, 24), "删除" },
    };
    ASSERT_NO_FATAL_FAILURE(expectControls(*window, controls));
}

TEST_F(PaymentMethods, ChoosingARowPutsItsNameInTheBox)
{
    choose(2);
    EXPECT_EQ(ui().编辑框1->text(), QStringLiteral("QQ红包"));
    choose(5);
    EXPECT_EQ(ui().编辑框1->text(), QStringLiteral("财付通"));
}

TEST(PaymentMethodWindow, AddStoresTheNameAsTypedAndListsIt)
{
    const std::vector<QString> names = {
        QStringLiteral("刷卡"),
        QStringLiteral("现金"), // a duplicate is allowed
        QStringLiteral("O'Neil's \"卡\" ; --"),
        QString(50, QChar(u'汇')), // the longest name the column takes
    };
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        PaymentHarness h;
        h.open();
        h.ui().编辑框1->setText(name);
        h.ui().按钮_添加->click();
        EXPECT_TRUE(h.prompter.calls.empty());
        EXPECT_EQ(h.stored(), kTemplateMethods + QStringList { name });
        EXPECT_EQ(h.listed(), kTemplateMethods + QStringList { name });
        EXPECT_EQ(h.ui().编辑框1->text(), name) << "the box keeps its text";
    }
}

TEST(PaymentMethodWindow, AddRefusedOrFailedStoresNothing)
{
    struct Case {
        const char* what;
        QString name;
        QString breakTable; // run through a second connection after opening
        QString message;
    };
    const std::vector<Case> cases = {
        { "empty name", QString(), QString(), QStringLiteral("不能为空") },
        { "name too long", QString(51, QChar(u'汇')), QString(), QStringLiteral("添加失败！") },
        { "table gone", QStringLiteral("刷卡"), kRenameTable, QStringLiteral("添加失败！") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PaymentHarness h;
        h.open();
        if (!c.breakTable.isEmpty())
            h.execute(c.breakTable);
        h.ui().编辑框1->setText(c.name);
        h.ui().按钮_添加->click();
        expectOneMessage(h.prompter, c.message, QStringLiteral("信息："));
        EXPECT_EQ(h.listed(), kTemplateMethods) << "the list is not refilled";
        if (c.breakTable.isEmpty()) {
            EXPECT_EQ(h.stored(), kTemplateMethods);
        }
    }
}

TEST(PaymentMethodWindow, ModifyRenamesTheChosenMethod)
{
    const std::vector<QString> names = {
        QStringLiteral("微信支付"),
        QString(), // an empty name is not refused
        QStringLiteral("it's \"微信\""),
    };
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        PaymentHarness h;
        h.open();
        h.choose(1);
        h.ui().编辑框1->setText(name);
        h.ui().按钮_修改->click();
        EXPECT_TRUE(h.prompter.calls.empty());
        QStringList expected = kTemplateMethods;
        expected[1] = name;
        EXPECT_EQ(h.stored(), expected);
        EXPECT_EQ(h.listed(), expected);
        EXPECT_EQ(h.list()->topLevelItem(1)->data(0, Qt::UserRole).toLongLong(), 3);
    }
}

TEST_F(PaymentMethods, DeleteRemovesTheChosenMethodWithoutAsking)
{
    choose(2);
    ui().按钮_删除->click();
    EXPECT_TRUE(prompter.calls.empty());
    QStringList expected = kTemplateMethods;
    expected.removeAt(2);
    EXPECT_EQ(stored(), expected);
    EXPECT_EQ(listed(), expected);
}

TEST_F(PaymentMethods, DeletingEveryMethodLeavesAnEmptyList)
{
    for (int i = 0; i < kTemplateMethods.size(); ++i) {
        choose(0);
        ui().按钮_删除->click();
    }
    EXPECT_TRUE(prompter.calls.empty());
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(list()->topLevelItemCount(), 0);
}

// 修改 and 删除 act only on a row made current in this window since the list
// was last filled; otherwise they ask for a row and change nothing.
TEST(PaymentMethodWindow, ModifyAndDeleteWithoutAChosenRowAskForOne)
{
    struct Button {
        QPushButton* Ui::PaymentMethodWindow::*button;
        QString message;
    };
    const std::vector<Button> buttons = {
        { &Ui::PaymentMethodWindow::按钮_修改, QStringLiteral("请选择要修改的行！") },
        { &Ui::PaymentMethodWindow::按钮_删除, QStringLiteral("请选择要删除的行！") },
    };
    struct Situation {
        const char* what;
        std::function<void(PaymentHarness&)> before;
        QStringList stored; // what the table holds before the button is pressed
    };
    const std::vector<Situation> situations = {
        { "nothing chosen yet", [](PaymentHarness&) {}, kTemplateMethods },
        { "window shown and active",
            [](PaymentHarness& h) {
                h.window->show();
                h.window->activateWindow();
                ASSERT_TRUE(QTest::qWaitForWindowActive(h.window.get()));
            },
            kTemplateMethods },
        { "list refilled by an add after choosing",
            [](PaymentHarness& h) {
                h.choose(0);
                h.ui().编辑框1->setText(QStringLiteral("刷卡"));
                h.ui().按钮_添加->click();
            },
            kTemplateMethods + QStringList { QStringLiteral("刷卡") } },
        { "list refilled by a delete after choosing",
            [](PaymentHarness& h) {
                h.choose(0);
                h.ui().按钮_删除->click();
            },
            kTemplateMethods.mid(1) },
    };
    for (const Button& b : buttons) {
        for (const Situation& s : situations) {
            SCOPED_TRACE(b.message.toStdString() + " / " + s.what);
            PaymentHarness h;
            h.open();
            s.before(h);
            h.ui().编辑框1->setText(QStringLiteral("改名"));
            h.prompter.clear();
            (h.ui().*b.button)->click();
            expectOneMessage(h.prompter, b.message, QStringLiteral("提示："));
            EXPECT_EQ(h.stored(), s.stored);
            EXPECT_EQ(h.listed(), s.stored);
        }
    }
}

TEST(PaymentMethodWindow, FailedModifyOrDeleteReportsAndKeepsTheList)
{
    struct Case {
        const char* what;
        QPushButton* Ui::PaymentMethodWindow::*button;
        QString name;
        QString breakTable;
        QString message;
    };
    const std::vector<Case> cases = {
        { "modify, name too long", &Ui::PaymentMethodWindow::按钮_修改, QString(51, QChar(u'汇')), QString(),
            QStringLiteral("数据修改失败") },
        { "modify, table gone", &Ui::PaymentMethodWindow::按钮_修改, QStringLiteral("微信支付"), kRenameTable,
            QStringLiteral("数据修改失败") },
        { "delete, table gone", &Ui::PaymentMethodWindow::按钮_删除, QString(), kRenameTable,
            QStringLiteral("数据删除失败") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PaymentHarness h;
        h.open();
        h.choose(1);
        h.ui().编辑框1->setText(c.name);
        if (!c.breakTable.isEmpty())
            h.execute(c.breakTable);
        (h.ui().*c.button)->click();
        expectOneMessage(h.prompter, c.message, QStringLiteral("信息："));
        EXPECT_EQ(h.listed(), kTemplateMethods) << "the list is not refilled";
        if (c.breakTable.isEmpty()) {
            EXPECT_EQ(h.stored(), kTemplateMethods);
        }
    }
}

TEST(PaymentMethodWindow, UnreadableTableLeavesTheListEmpty)
{
    PaymentHarness h;
    h.execute(kRenameTable);
    h.open();
    expectOneMessage(h.prompter, QStringLiteral("查询失败！"), QStringLiteral("信息："));
    EXPECT_EQ(h.list()->topLevelItemCount(), 0);
}

// The owner refills its payment drop-down from the callback: it must run once
// whichever way the window goes away.
TEST(PaymentMethodWindow, ClosingRunsTheCallbackOnce)
{
    struct Case {
        const char* what;
        std::function<void(PaymentMethodWindow&)> close;
        int callsBeforeDestruction;
    };
    const std::vector<Case> cases = {
        { "accept", [](PaymentMethodWindow& w) { w.accept(); }, 1 },
        { "reject", [](PaymentMethodWindow& w) { w.reject(); }, 1 },
        { "close button",
            [](PaymentMethodWindow& w) {
                w.show();
                w.close();
            },
            1 },
        { "Escape key",
            [](PaymentMethodWindow& w) {
                w.show();
                QTest::keyClick(&w, Qt::Key_Escape);
            },
            1 },
        { "modal run ended",
            [](PaymentMethodWindow& w) {
                QTimer::singleShot(0, &w, [&w] { w.close(); });
                w.exec();
            },
            1 },
        { "destroyed while open", [](PaymentMethodWindow& w) { w.show(); }, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PaymentHarness h;
        h.open();
        int calls = 0;
        QStringList seen;
        h.window->setOnClosed([&] {
            ++calls;
            seen = h.stored();
        });
        h.choose(0);
        h.ui().编辑框1->setText(QStringLiteral("现金支付"));
        h.ui().按钮_修改->click();
        EXPECT_EQ(calls, 0);
        c.close(*h.window);
        EXPECT_EQ(calls, c.callsBeforeDestruction);
        h.window.reset();
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(seen.value(0), QStringLiteral("现金支付")) << "the change is stored before the callback";
    }
}

TEST_F(PaymentMethods, Screenshot)
{
    const QString folder = QStringLiteral(SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(folder));
    choose(1);
    EXPECT_TRUE(window->grab().save(folder + QStringLiteral("/PaymentMethodWindow.png")));
}
