#include "records/RecordDetailWindow.h"

#include "common/Numbers.h"
#include "sales/SaleEntryPanel.h"
#include "store/Session.h"
#include "support/ControlTable.h"
#include "support/DataDir.h"
#include "support/RecordingPrompter.h"
#include "support/Seams.h"
#include "support/WindowHarness.h"
#include "ui_RecordDetailWindow.h"

#include <QDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace tillora;
using namespace tillora::test;

namespace {

// A detail line as the list shows it: 名称, 数量, 单价, 金额, 折后.
using Cells = QStringList;
// A detail line as stored: 名称, 数量, 单价, 金额, 折后, 备注.
using Stored = QStringList;

const QList<Stored> kLines = {
    { QStringLiteral("可乐"), QStringLiteral("2"), QStringLiteral("3.50"), QStringLiteral("7.00"),
        QStringLiteral("7.00"), QStringLiteral("冰的") },
    { QStringLiteral("O'Neil \"薯片\""), QStringLiteral("1.5"), QStringLiteral("4.00"),
        QStringLiteral("6.00"), QStringLiteral("5.40"), QString() },
    { QStringLiteral("面包"), QStringLiteral("3"), QStringLiteral("2.00"), QStringLiteral("6.00"),
        QStringLiteral("6.00"), QString() },
};
const QString kRecordQuantity = QStringLiteral("6.5");
const QString kRecordAmount = QStringLiteral("18.40");

Cells cellsOf(const Stored& line)
{
    return line.mid(0, 5);
}

// A data directory holding one receipt with three lines and another receipt
// with a line of its own, and the window over its database.
struct DetailHarness : WindowHarness {
    DetailHarness()
    {
        session.currentRole = Session::administratorRole();
        recordId = insertRecord(QStringLiteral("170607001"), kRecordQuantity, kRecordAmount);
        for (const Stored& line : kLines)
            lineIds.push_back(insertLine(recordId, line));
        otherRecordId
            = insertRecord(QStringLiteral("170607002"), QStringLiteral("1"), QStringLiteral("9.00"));
        insertLine(otherRecordId,
            { QStringLiteral("别家的"), QStringLiteral("1"), QStringLiteral("9.00"), QStringLiteral("9.00"),
                QStringLiteral("9.00"), QString() });
        emptyRecordId
            = insertRecord(QStringLiteral("170607003"), QStringLiteral("0"), QStringLiteral("0.00"));
    }

    void open(std::optional<qint64> id) { window = std::make_unique<RecordDetailWindow>(services(), id); }
    void open() { open(recordId); }
    Ui::RecordDetailWindow& ui() { return window->ui(); }
    QTreeWidget* list() { return ui().超级列表框1; }
    void choose(int row) { list()->setCurrentItem(list()->topLevelItem(row)); }
    void fillForm(const QString& name, const QString& quantity, const QString& price)
    {
        ui().编辑框_名称->setText(name);
        ui().编辑框_数量->setText(quantity);
        ui().编辑框_单价->setText(price);
    }
    // Ticks the discount box as a click does and types the discount.
    void setDiscount(const QString& discount)
    {
        if (!ui().选择框_折扣->isChecked())
            ui().选择框_折扣->click();
        ui().编辑框_折扣->setText(discount);
    }

    // Writes through a connection of the test's own.
    Database& other()
    {
        if (!second.isOpen())
            dir.openSecondConnection(second);
        return second;
    }
    qint64 insertRecord(const QString& number, const QString& quantity, const QString& amount)
    {
        const bool ok = other().exec(
            QStringLiteral(
                "INSERT INTO 销售记录 (销售票号, 销售时间, 数量, 金额, 收银员) VALUES (?, ?, ?, ?, ?)"),
            { number, QStringLiteral("2017-06-07 09:00:00"), quantity, amount, QStringLiteral("admin") });
        EXPECT_TRUE(ok) << other().lastError().toStdString();
        return other().lastInsertId();
    }
    qint64 insertLine(qint64 record, const Stored& line)
    {
        const bool ok
            = other().exec(QStringLiteral("INSERT INTO 销售详情 (关联, 名称, 数量, 单价, 金额, 折后, 备注) "
                                          "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                { record, line[0], line[1], line[2], line[3], line[4], line[5] });
        EXPECT_TRUE(ok) << other().lastError().toStdString();
        return other().lastInsertId();
    }
    void execute(const QString& sql) { ASSERT_TRUE(other().exec(sql)) << other().lastError().toStdString(); }

    // The receipt's lines as stored, in ID order.
    QList<Stored> stored()
    {
        QList<Stored> out;
        const auto rows = other().query(
            QStringLiteral(
                "SELECT 名称, 数量, 单价, 金额, 折后, 备注 FROM 销售详情 WHERE 关联 = ? ORDER BY ID"),
            { recordId });
        EXPECT_TRUE(rows.has_value());
        for (const Row& row : rows.value_or(Rows {})) {
            Stored line;
            for (int i = 1; i <= 6; ++i)
                line << row.text(i);
            out << line;
        }
        return out;
    }
    // The receipt's own quantity and amount.
    QStringList recordTotals()
    {
        const auto rows
            = other().query(QStringLiteral("SELECT 数量, 金额 FROM 销售记录 WHERE ID = ?"), { recordId });
        return rows && !rows->empty() ? QStringList { rows->front().text(1), rows->front().text(2) }
                                      : QStringList {};
    }

    // The list's rows as cells 1 to 5, after checking that cell 0 counts from 1.
    QList<Cells> listed()
    {
        QList<Cells> out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list()->topLevelItem(i);
            EXPECT_EQ(item->text(0), QString::number(i + 1));
            Cells cells;
            for (int column = 1; column <= 5; ++column)
                cells << item->text(column);
            out << cells;
        }
        return out;
    }
    std::vector<qint64> tags()
    {
        std::vector<qint64> out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            out.push_back(list()->topLevelItem(i)->data(0, Qt::UserRole).toLongLong());
        return out;
    }
    QList<Cells> listedAtStart()
    {
        QList<Cells> out;
        for (const Stored& line : kLines)
            out << cellsOf(line);
        return out;
    }

    Database second;
    qint64 recordId = 0;
    qint64 otherRecordId = 0;
    qint64 emptyRecordId = 0;
    std::vector<qint64> lineIds;
    std::unique_ptr<RecordDetailWindow> window;
};

class RecordDetails : public ::testing::Test, protected DetailHarness {
protected:
    void SetUp() override { open(); }
};

using Button = QPushButton* Ui::RecordDetailWindow::*;

} // namespace

TEST_F(RecordDetails, OpensWithTheRecordsLinesCellForCell)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tillora"));
    EXPECT_EQ(window->minimumSize(), QSize(594, 511));
    EXPECT_EQ(window->maximumSize(), QSize(594, 511));
    const QStringList titles = { QStringLiteral("序号"), QStringLiteral("名称"), QStringLiteral("数量"),
        QStringLiteral("单价"), QStringLiteral("金额"), QStringLiteral("折后") };
    const std::vector<int> widths = { 50, 120, 100, 100, 100, 100 };
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(list()->headerItem()->text(column), titles[column]);
        EXPECT_EQ(list()->columnWidth(column), widths[size_t(column)]);
    }
    EXPECT_EQ(list()->topLevelItem(0)->textAlignment(1) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(list()->topLevelItem(0)->textAlignment(3) & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

    EXPECT_EQ(listed(), listedAtStart());
    EXPECT_EQ(tags(), lineIds);
    EXPECT_EQ(list()->currentItem(), nullptr);
    EXPECT_TRUE(prompter.calls.empty());

    EXPECT_EQ(ui().编辑框_名称->text(), QString());
    EXPECT_EQ(ui().编辑框_数量->text(), QStringLiteral("1"));
    EXPECT_EQ(ui().编辑框_单价->text(), QStringLiteral("0.00"));
    EXPECT_EQ(ui().编辑框_折扣->text(), QStringLiteral("10"));
    EXPECT_FALSE(ui().选择框_折扣->isChecked());
    EXPECT_FALSE(ui().编辑框_折扣->isEnabled());
    EXPECT_FALSE(ui().组合框_折扣->isEnabled());
    QStringList presets;
    for (int i = 0; i < ui().组合框_折扣->count(); ++i)
        presets << ui().组合框_折扣->itemText(i);
    EXPECT_EQ(presets, SaleEntryPanel::discountPresets());
    EXPECT_EQ(presets.size(), 89);
    EXPECT_EQ(ui().编辑框_备注->text().count(QStringLiteral("\r\n")), 2) << "a notice of three lines";
}

TEST_F(RecordDetails, ControlsStandWhereTheFormPutsThem)
{
    const std::vector<ControlSpec> controls = {
        { "超级列表框1", QRect(5, 8, 576, 288), nullptr },
        { "标签_名称", QRect(8, 309, 48, 24), "名称：" },
        { "编辑框_名称", QRect(64, 310, 112, 19), nullptr },
        { "标签_数量", QRect(184, 309, 48, 24), "数量：" },
        { "编辑框_数量", QRect(226, 310, 46, 19), nullptr },
        { "标签_单价", QRect(284, 309, 48, 24), "单价：" },
        { "编辑框_单价", QRect(332, 310, 68, 19), nullptr },
        { "选择框_折扣", QRect(413, 309, 67, 24), "折扣：" },
        { "组合框_折扣", QRect(477, 310, 67, 20), nullptr },
        { "编辑框_折扣", QRect(478, 310, 50, 18), nullptr },
        { "标签1", QRect(8, 360, 48, 16), "备注：" },
        { "编辑框_备注", QRect(56, 352, 496, 56), nullptr },
        { "按钮_添加", QRect(32, 424, 80, 40), "添加" },
        { "按钮_修改", QRect(132, 424, 80, 40), "修改" },
        { "按钮_删除", QRect(238, 424, 80, 40), "删除" },
        { "按钮_导出", QRect(344, 424, 80, 40), "导出" },
        { "按钮_关闭", QRect(444, 424, 80, 40), "关闭" },
    };
    ASSERT_NO_FATAL_FAILURE(expectControls(*window, controls));
    // The discount box lies over the drop-down's text, so it must be drawn above it.
    window->show();
    EXPECT_EQ(window->childAt(QPoint(490, 318)), ui().编辑框_折扣);
}

TEST(RecordDetailWindow, OpensEmptyWithoutLinesToShow)
{
    struct Case {
        const char* what;
        std::function<std::optional<qint64>(DetailHarness&)> record;
        bool breakTable;
        std::vector<QString> messages;
    };
    const std::vector<Case> cases = {
        { "record without lines", [](DetailHarness& h) { return h.emptyRecordId; }, false, {} },
        { "record gone", [](DetailHarness&) { return 999; }, false, {} },
        // No record chosen: nothing is read, so even a missing table goes unnoticed.
        { "no record chosen", [](DetailHarness&) { return std::nullopt; }, true, {} },
        { "table unreadable", [](DetailHarness& h) { return h.recordId; }, true,
            { QStringLiteral("查询失败！") } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DetailHarness h;
        if (c.breakTable)
            h.execute(QStringLiteral("ALTER TABLE 销售详情 RENAME TO 销售详情_旧"));
        h.open(c.record(h));
        EXPECT_EQ(h.list()->topLevelItemCount(), 0);
        EXPECT_EQ(h.prompter.texts(), c.messages);
        EXPECT_TRUE(h.ui().按钮_添加->isEnabled()) << "the window stays usable";
    }
}

TEST(RecordDetailWindow, OrdinaryUsersOnlyLookAndClose)
{
    struct Case {
        QString role;
        bool actions;
    };
    const std::vector<Case> cases = {
        { QStringLiteral("管理员"), true },
        { QStringLiteral("普通用户"), false },
        { QString(), false },
        { QStringLiteral("管理员 "), false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.role.toStdString());
        DetailHarness h;
        h.session.currentRole = c.role;
        h.open();
        for (QPushButton* button : { h.ui().按钮_添加, h.ui().按钮_修改, h.ui().按钮_删除, h.ui().按钮_导出 })
            EXPECT_EQ(button->isEnabled(), c.actions) << button->text().toStdString();
        EXPECT_TRUE(h.ui().按钮_关闭->isEnabled());
        EXPECT_EQ(h.listed(), h.listedAtStart()) << "everyone sees the lines";
    }
}

TEST_F(RecordDetails, ChoosingALineFillsTheBoxesAndEmptiesTheRemark)
{
    setDiscount(QStringLiteral("8.5"));
    choose(1);
    EXPECT_EQ(ui().编辑框_名称->text(), kLines[1][0]);
    EXPECT_EQ(ui().编辑框_数量->text(), kLines[1][1]);
    EXPECT_EQ(ui().编辑框_单价->text(), kLines[1][2]);
    EXPECT_EQ(ui().编辑框_备注->text(), QString());
    EXPECT_TRUE(ui().选择框_折扣->isChecked()) << "the discount controls keep their state";
    EXPECT_EQ(ui().编辑框_折扣->text(), QStringLiteral("8.5"));
}

TEST_F(RecordDetails, TheDiscountBoxIsSwitchedByTheCheckBoxAndTakesThePickedItem)
{
    ui().选择框_折扣->click();
    EXPECT_TRUE(ui().编辑框_折扣->isEnabled());
    EXPECT_TRUE(ui().组合框_折扣->isEnabled());

    // Picking with the keyboard: 10, then 9.9, then 9.8.
    QTest::keyClick(ui().组合框_折扣, Qt::Key_Down);
    QTest::keyClick(ui().组合框_折扣, Qt::Key_Down);
    EXPECT_EQ(ui().编辑框_折扣->text(), QStringLiteral("9.8"));

    // The factor comes from the box over the drop-down, whatever the drop-down holds.
    ui().编辑框_折扣->setText(QStringLiteral("5"));
    fillForm(QStringLiteral("茶"), QStringLiteral("1"), QStringLiteral("10"));
    ui().按钮_添加->click();
    EXPECT_EQ(listed().last().last(), QStringLiteral("5.00"));

    ui().选择框_折扣->click();
    EXPECT_FALSE(ui().编辑框_折扣->isEnabled());
    EXPECT_FALSE(ui().组合框_折扣->isEnabled());
}

TEST(RecordDetailWindow, AddPutsTheLineIntoTheListOnly)
{
    struct Case {
        QString name, quantity, price;
        std::optional<QString> discount; // ticked, with this text
        Cells expected;
    };
    const std::vector<Case> cases = {
        { QStringLiteral("可乐"), QStringLiteral("2"), QStringLiteral("6"), std::nullopt,
            { QStringLiteral("可乐"), QStringLiteral("2"), QStringLiteral("6.00"), QStringLiteral("12.00"),
                QStringLiteral("12.00") } },
        // The amount is cut to two decimals, not rounded: 9.999 shows 9.99.
        { QStringLiteral("糖"), QStringLiteral("3"), QStringLiteral("3.333"), std::nullopt,
            { QStringLiteral("糖"), QStringLiteral("3"), QStringLiteral("3.33"), QStringLiteral("9.99"),
                QStringLiteral("9.99") } },
        // The discount applies to the amount shown: 9.99 x 0.85 = 8.4915.
        { QStringLiteral("糖"), QStringLiteral("3"), QStringLiteral("3.333"), QStringLiteral("8.5"),
            { QStringLiteral("糖"), QStringLiteral("3"), QStringLiteral("3.33"), QStringLiteral("9.99"),
                QStringLiteral("8.49") } },
        { QStringLiteral("奶"), QStringLiteral("2"), QStringLiteral("10.01"), QStringLiteral("9.5"),
            { QStringLiteral("奶"), QStringLiteral("2"), QStringLiteral("10.01"), QStringLiteral("20.02"),
                QStringLiteral("19.02") } },
        { QStringLiteral("奶"), QStringLiteral("2"), QStringLiteral("10.01"), QStringLiteral("10"),
            { QStringLiteral("奶"), QStringLiteral("2"), QStringLiteral("10.01"), QStringLiteral("20.02"),
                QStringLiteral("20.02") } },
        // Text that is not a number counts as 0 and is shown as typed.
        { QStringLiteral("it's"), QStringLiteral("两个"), QStringLiteral("abc"), std::nullopt,
            { QStringLiteral("it's"), QStringLiteral("两个"), QStringLiteral("abc.00"),
                QStringLiteral("0.00"), QStringLiteral("0.00") } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            (c.name + QLatin1Char(' ') + c.quantity + QStringLiteral(" x ") + c.price).toStdString());
        DetailHarness h;
        h.open();
        if (c.discount)
            h.setDiscount(*c.discount);
        h.fillForm(c.name, c.quantity, c.price);
        h.ui().按钮_添加->click();
        h.ui().按钮_添加->click();
        EXPECT_TRUE(h.prompter.calls.empty());
        EXPECT_EQ(h.listed(), (h.listedAtStart() + QList<Cells> { c.expected, c.expected }));
        std::vector<qint64> tags = h.lineIds;
        tags.insert(tags.end(), { 0, 0 });
        EXPECT_EQ(h.tags(), tags);
        EXPECT_EQ(h.stored(), kLines) << "nothing is stored";
    }
}

TEST(RecordDetailWindow, AddAndModifyRefuseAnEmptyBox)
{
    struct Box {
        QLineEdit* Ui::RecordDetailWindow::*box;
        QString message;
    };
    // Tested in this order: with all three empty, the name is named.
    const std::vector<Box> boxes = {
        { &Ui::RecordDetailWindow::编辑框_名称, QStringLiteral("商品名称不能为空！") },
        { &Ui::RecordDetailWindow::编辑框_数量, QStringLiteral("数量不能为空！") },
        { &Ui::RecordDetailWindow::编辑框_单价, QStringLiteral("价格不能为空！") },
    };
    for (Button button : { &Ui::RecordDetailWindow::按钮_添加, &Ui::RecordDetailWindow::按钮_修改 }) {
        for (size_t i = 0; i < boxes.size(); ++i) {
            DetailHarness h;
            h.open();
            SCOPED_TRACE((h.ui().*button)->text().toStdString() + " / " + boxes[i].message.toStdString());
            h.choose(0);
            h.fillForm(QStringLiteral("新"), QStringLiteral("2"), QStringLiteral("5"));
            for (size_t j = i; j < boxes.size(); ++j)
                (h.ui().*(boxes[j].box))->clear();
            (h.ui().*button)->click();
            expectOneMessage(h.prompter, boxes[i].message, QStringLiteral("提示"), Prompter::Icon::Error);
            EXPECT_EQ(h.listed(), h.listedAtStart());
            EXPECT_EQ(h.stored(), kLines);
        }
    }
}

TEST(RecordDetailWindow, ModifyStoresTheChosenLineAndShowsIt)
{
    struct Case {
        const char* what;
        QString quantity, price;
        std::optional<QString> discount;
        QString amount, discounted; // stored and shown
    };
    const std::vector<Case> cases = {
        // With the discount the line amount is the bare product.
        { "1.5 x 3 at 8.5", QStringLiteral("1.5"), QStringLiteral("3"), QStringLiteral("8.5"),
            QStringLiteral("4.5"), QStringLiteral("3.83") },
        { "2 x 6 at 10", QStringLiteral("2"), QStringLiteral("6"), QStringLiteral("10"), QStringLiteral("12"),
            QStringLiteral("12.00") },
        { "3 x 3.333 at 9", QStringLiteral("3"), QStringLiteral("3.333"), QStringLiteral("9"),
            QStringLiteral("9.999"), QStringLiteral("9.00") },
        // Without it both amounts are the product as money text, as 添加 shows them.
        { "1.5 x 3", QStringLiteral("1.5"), QStringLiteral("3"), std::nullopt, QStringLiteral("4.50"),
            QStringLiteral("4.50") },
        { "3 x 3.333", QStringLiteral("3"), QStringLiteral("3.333"), std::nullopt, QStringLiteral("9.99"),
            QStringLiteral("9.99") },
        { "not numbers", QStringLiteral("x"), QStringLiteral("y"), std::nullopt, QStringLiteral("0.00"),
            QStringLiteral("0.00") },
    };
    const QString name = QStringLiteral("it's \"新品\"");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DetailHarness h;
        h.open();
        if (c.discount)
            h.setDiscount(*c.discount);
        h.choose(1);
        h.fillForm(name, c.quantity, c.price);
        h.ui().按钮_修改->click();
        EXPECT_TRUE(h.prompter.calls.empty());

        QList<Stored> stored = kLines;
        // The texts go in as typed, the price unformatted; the remark box was
        // emptied by choosing the line.
        stored[1] = { name, c.quantity, c.price, c.amount, c.discounted, QString() };
        EXPECT_EQ(h.stored(), stored);
        QList<Cells> shown = h.listedAtStart();
        shown[1] = { name, c.quantity, MoneyText(c.price), c.amount, c.discounted };
        EXPECT_EQ(h.listed(), shown);
        EXPECT_EQ(h.tags(), h.lineIds);
        EXPECT_EQ(h.recordTotals(), (QStringList { kRecordQuantity, kRecordAmount }));
    }
}

TEST_F(RecordDetails, ModifyStoresTheRemarkBoxWithItsLineBreaks)
{
    choose(0);
    ui().编辑框_备注->setPlainText(QStringLiteral("第一行\n第二行 'x'"));
    ui().按钮_修改->click();
    EXPECT_EQ(stored()[0][5], QStringLiteral("第一行\r\n第二行 'x'"));

    // Choosing the line again empties the box; modifying then empties the remark.
    choose(1);
    choose(0);
    ui().按钮_修改->click();
    EXPECT_EQ(stored()[0][5], QString());
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(RecordDetails, DeleteRemovesTheChosenLineAndRenumbers)
{
    choose(1);
    ui().按钮_删除->click();
    EXPECT_TRUE(prompter.calls.empty());
    EXPECT_EQ(stored(), (QList<Stored> { kLines[0], kLines[2] }));
    EXPECT_EQ(listed(), (QList<Cells> { cellsOf(kLines[0]), cellsOf(kLines[2]) }));
    EXPECT_EQ(tags(), (std::vector<qint64> { lineIds[0], lineIds[2] }));
    EXPECT_EQ(recordTotals(), (QStringList { kRecordQuantity, kRecordAmount }));

    // No line is chosen afterwards: a second click removes nothing.
    EXPECT_EQ(list()->currentItem(), nullptr);
    ui().按钮_删除->click();
    expectOneMessage(prompter, QStringLiteral("请选择要删除的行！"), QStringLiteral("提示："));
    EXPECT_EQ(stored(), (QList<Stored> { kLines[0], kLines[2] }));
    EXPECT_EQ(list()->topLevelItemCount(), 2);
}

// Added rows name no stored line: changing or removing them touches only the list.
TEST_F(RecordDetails, AddedRowsAreChangedAndRemovedInTheListOnly)
{
    fillForm(QStringLiteral("加的"), QStringLiteral("1"), QStringLiteral("2"));
    ui().按钮_添加->click();
    ui().按钮_添加->click();
    choose(3);
    fillForm(QStringLiteral("改的"), QStringLiteral("2"), QStringLiteral("2.5"));
    ui().按钮_修改->click();
    const Cells added = { QStringLiteral("加的"), QStringLiteral("1"), QStringLiteral("2.00"),
        QStringLiteral("2.00"), QStringLiteral("2.00") };
    const Cells changed = { QStringLiteral("改的"), QStringLiteral("2"), QStringLiteral("2.50"),
        QStringLiteral("5.00"), QStringLiteral("5.00") };
    EXPECT_EQ(listed(), (listedAtStart() + QList<Cells> { changed, added }));
    EXPECT_EQ(stored(), kLines);

    choose(3);
    ui().按钮_删除->click();
    EXPECT_EQ(listed(), listedAtStart() + QList<Cells> { added });
    EXPECT_EQ(stored(), kLines);
    EXPECT_TRUE(prompter.calls.empty());
}

TEST(RecordDetailWindow, ModifyAndDeleteWithoutAChosenLineAskForOne)
{
    struct Case {
        Button button;
        QString message;
    };
    const std::vector<Case> cases = {
        { &Ui::RecordDetailWindow::按钮_修改, QStringLiteral("请选择要修改的行！") },
        { &Ui::RecordDetailWindow::按钮_删除, QStringLiteral("请选择要删除的行！") },
    };
    for (const Case& c : cases) {
        for (const bool shown : { false, true }) {
            SCOPED_TRACE(c.message.toStdString() + (shown ? " / window shown" : ""));
            DetailHarness h;
            h.open();
            if (shown) {
                h.window->show();
                h.window->activateWindow();
                ASSERT_TRUE(QTest::qWaitForWindowActive(h.window.get()));
            }
            h.fillForm(QStringLiteral("改名"), QStringLiteral("1"), QStringLiteral("1"));
            (h.ui().*c.button)->click();
            expectOneMessage(h.prompter, c.message, QStringLiteral("提示："));
            EXPECT_EQ(h.listed(), h.listedAtStart());
            EXPECT_EQ(h.stored(), kLines);
        }
    }
}

TEST(RecordDetailWindow, FailedModifyOrDeleteReportsAndKeepsTheList)
{
    struct Case {
        const char* what;
        Button button;
        QString name;
        bool breakTable;
        QString message;
    };
    const std::vector<Case> cases = {
        { "modify, name too long", &Ui::RecordDetailWindow::按钮_修改, QString(51, QChar(u'汇')), false,
            QStringLiteral("数据添加失败") },
        { "modify, table gone", &Ui::RecordDetailWindow::按钮_修改, QStringLiteral("新"), true,
            QStringLiteral("数据添加失败") },
        { "delete, table gone", &Ui::RecordDetailWindow::按钮_删除, QStringLiteral("新"), true,
            QStringLiteral("数据删除失败") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DetailHarness h;
        h.open();
        h.choose(1);
        h.fillForm(c.name, QStringLiteral("9"), QStringLiteral("9"));
        if (c.breakTable)
            h.execute(QStringLiteral("ALTER TABLE 销售详情 RENAME TO 销售详情_旧"));
        (h.ui().*c.button)->click();
        expectOneMessage(h.prompter, c.message, QStringLiteral("信息："));
        EXPECT_EQ(h.listed(), h.listedAtStart());
        if (!c.breakTable) {
            EXPECT_EQ(h.stored(), kLines);
        }
    }
}

TEST_F(RecordDetails, CloseButtonClosesTheWindow)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ui().按钮_关闭->click();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(RecordDetails, Screenshot)
{
    const QString folder = QStringLiteral(SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(folder));
    setDiscount(QStringLiteral("9.5"));
    fillForm(QStringLiteral("加的"), QStringLiteral("2"), QStringLiteral("3.5"));
    ui().按钮_添加->click();
    EXPECT_TRUE(window->grab().save(folder + QStringLiteral("/RecordDetailWindow.png")));
    // The notice as it stands when the window opens.
    DetailHarness fresh;
    fresh.open();
    EXPECT_TRUE(fresh.window->grab().save(folder + QStringLiteral("/RecordDetailWindow_open.png")));
}
