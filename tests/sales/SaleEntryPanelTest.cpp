#include "sales/SaleEntryPanel.h"

#include "support/SalesFixture.h"

#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace tillora;
using namespace tillora::test;

namespace {

class Entry : public ::testing::Test, protected OpenSales {
protected:
    void SetUp() override { open(); }
    void type(const QString& name, const QString& quantity, const QString& price)
    {
        ui().编辑框_名称->setText(name);
        ui().编辑框_数量->setText(quantity);
        ui().编辑框_单价->setText(price);
    }
    void add(const QString& name, const QString& quantity, const QString& price)
    {
        type(name, quantity, price);
        window().AddSaleLine();
    }
    void tickDiscount(const QString& discount)
    {
        ui().选择框_折扣->click();
        ui().组合框_折扣->setEditText(discount);
    }
    QStringList row(int index)
    {
        QStringList cells;
        const QTreeWidgetItem* item = ui().超级列表框1->topLevelItem(index);
        for (int c = 0; c < 6; ++c)
            cells << (item ? item->text(c) : QString());
        return cells;
    }
    QStringList totals()
    {
        return { ui().标签_总量->text(), ui().标签_总金额->text(), ui().标签_打折后->text(),
            ui().编辑框_实收->text() };
    }
    QStringList boxes()
    {
        return { ui().编辑框_名称->text(), ui().编辑框_数量->text(), ui().编辑框_单价->text() };
    }
    void clickRow(int index)
    {
        QTreeWidget* list = ui().超级列表框1;
        list->setCurrentItem(list->topLevelItem(index));
        emit list->itemClicked(list->topLevelItem(index), 0);
    }
    static void wheel(QWidget* target, int notches)
    {
        QWheelEvent event(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(),
            QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }
    qint64 productCount()
    {
        return h.app->database().query(QStringLiteral("SELECT count(*) FROM 商品名称"))->front().integer(1);
    }
};

QStringList texts(std::initializer_list<const char*> list)
{
    QStringList out;
    for (const char* text : list)
        out << QString::fromUtf8(text);
    return out;
}

} // namespace

TEST_F(Entry, AddingALineFillsTheListAndTheTotals)
{
    add(QStringLiteral("mkf-麦克风"), QStringLiteral("2"), QStringLiteral("10"));
    EXPECT_EQ(row(0), texts({ "1", "麦克风", "2", "10.00", "20.00", "20.00" }));
    EXPECT_EQ(totals(), texts({ "2", "20.00", "20.00", "20.00" }));
    EXPECT_EQ(boxes(), texts({ "", "1", "0.00" }));
    EXPECT_TRUE(h.prompter.calls.empty());

    add(QStringLiteral("x"), QStringLiteral("3"), QStringLiteral("3.333"));
    EXPECT_EQ(row(1), texts({ "2", "x", "3", "3.33", "10.00", "10.00" }));
    EXPECT_EQ(totals(), texts({ "5", "30.00", "30.00", "30.00" }));
}

TEST_F(Entry, DiscountAppliesToNewLinesAndThePayableAmount)
{
    tickDiscount(QStringLiteral("9.5"));
    EXPECT_TRUE(ui().组合框_折扣->isEnabled());
    add(QStringLiteral("x"), QStringLiteral("3"), QStringLiteral("10"));
    EXPECT_EQ(row(0), texts({ "1", "x", "3", "10.00", "30.00", "28.50" }));
    EXPECT_EQ(totals(), texts({ "3", "30.00", "28.50", "28.50" }));
    // Unticking recomputes nothing until the next change.
    ui().选择框_折扣->click();
    EXPECT_FALSE(ui().组合框_折扣->isEnabled());
    EXPECT_EQ(ui().编辑框_实收->text(), QStringLiteral("28.50"));
}

TEST_F(Entry, DiscountBoxOffersItsPresets)
{
    const QStringList presets = items(ui().组合框_折扣);
    ASSERT_EQ(presets.size(), 89);
    EXPECT_EQ(presets.first(), QStringLiteral("10"));
    EXPECT_EQ(presets.at(1), QStringLiteral("9.9"));
    EXPECT_EQ(presets.last(), QStringLiteral("1.0"));
    EXPECT_FALSE(presets.contains(QStringLiteral("8.8")));
    EXPECT_FALSE(presets.contains(QStringLiteral("7.0")));
    ui().选择框_折扣->click();
    EXPECT_EQ(ui().组合框_折扣->currentText(), QStringLiteral("10"));
}

TEST_F(Entry, EmptyBoxesAreRefusedInOrder)
{
    struct Case {
        const char* name;
        const char* quantity;
        const char* price;
        const char* added; // message of 添加
        const char* modified; // message of 修改
    };
    const std::vector<Case> cases = {
        { "", "", "", "商品名称不能为空！", "商品名称不能为空！" },
        { "x", "", "", "数量不能为空！", "单价不能为空！" },
        { "x", "1", "", "价格不能为空！", "单价不能为空！" },
        { "x", "", "1", "数量不能为空！", "数量不能为空！" },
    };
    for (const Case& c : cases) {
        h.prompter.clear();
        type(QString::fromUtf8(c.name), QString::fromUtf8(c.quantity), QString::fromUtf8(c.price));
        window().AddSaleLine();
        window().entry().ModifySaleLine();
        ASSERT_EQ(h.prompter.calls.size(), 2u);
        EXPECT_EQ(h.prompter.calls[0].text, QString::fromUtf8(c.added));
        EXPECT_EQ(h.prompter.calls[0].title, QStringLiteral("提示"));
        EXPECT_EQ(h.prompter.calls[0].icon, Prompter::Icon::Error);
        EXPECT_EQ(h.prompter.calls[1].text, QString::fromUtf8(c.modified));
        EXPECT_EQ(h.prompter.calls[1].title, QStringLiteral("信息："));
        EXPECT_EQ(h.prompter.calls[1].icon, Prompter::Icon::None);
        EXPECT_EQ(ui().超级列表框1->topLevelItemCount(), 0);
        EXPECT_EQ(boxes(), texts({ c.name, c.quantity, c.price }));
    }
}

TEST_F(Entry, ModifyAndDeleteWorkOnTheChosenRows)
{
    add(QStringLiteral("a"), QStringLiteral("1"), QStringLiteral("1"));
    add(QStringLiteral("b"), QStringLiteral("2"), QStringLiteral("2"));
    add(QStringLiteral("c"), QStringLiteral("3"), QStringLiteral("3"));
    EXPECT_FALSE(ui().按钮_修改->isEnabled());
    clickRow(1);
    EXPECT_TRUE(ui().按钮_修改->isEnabled());
    EXPECT_TRUE(ui().按钮_删除->isEnabled());
    EXPECT_EQ(boxes(), texts({ "b", "2", "2.00" }));

    // Modify computes as add does: 3.333 x 3 is 10.00, not 9.99.
    type(QStringLiteral("mkf-麦克风"), QStringLiteral("3"), QStringLiteral("3.333"));
    ui().按钮_修改->click();
    EXPECT_EQ(row(1), texts({ "2", "mkf-麦克风", "3", "3.33", "10.00", "10.00" }));
    EXPECT_EQ(totals(), texts({ "7", "20.00", "20.00", "20.00" }));
    EXPECT_EQ(boxes(), texts({ "", "1", "0.00" }));

    tickDiscount(QStringLiteral("9.5"));
    clickRow(0);
    type(QStringLiteral("a"), QStringLiteral("3"), QStringLiteral("10"));
    ui().按钮_修改->click();
    EXPECT_EQ(row(0), texts({ "1", "a", "3", "10.00", "30.00", "28.50" }));

    clickRow(1);
    ui().按钮_删除->click();
    ASSERT_EQ(ui().超级列表框1->topLevelItemCount(), 2);
    EXPECT_EQ(row(0)[0], QStringLiteral("1"));
    EXPECT_EQ(row(1), texts({ "2", "c", "3", "3.00", "9.00", "9.00" }));
    EXPECT_EQ(totals(), texts({ "6", "39.00", "37.50", "37.50" }));
    EXPECT_TRUE(h.prompter.calls.empty());
}

TEST_F(Entry, DeletingSeveralSelectedRows)
{
    for (const char* name : { "a", "b", "c", "d" })
        add(QString::fromUtf8(name), QStringLiteral("1"), QStringLiteral("1"));
    QTreeWidget* list = ui().超级列表框1;
    list->topLevelItem(0)->setSelected(true);
    list->topLevelItem(2)->setSelected(true);
    window().entry().DeleteSaleLines();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(row(0), texts({ "1", "b", "1", "1.00", "1.00", "1.00" }));
    EXPECT_EQ(row(1), texts({ "2", "d", "1", "1.00", "1.00", "1.00" }));
    EXPECT_EQ(totals(), texts({ "2", "2.00", "2.00", "2.00" }));
}

TEST_F(Entry, TypingCompletesTheNameAndFillsThePrice)
{
    QLineEdit* name = ui().编辑框_名称;
    name->setFocus();
    QTest::keyClick(name, Qt::Key_M);
    EXPECT_EQ(name->text(), QStringLiteral("mkf-麦克风"));
    EXPECT_EQ(name->selectedText(), QStringLiteral("kf-麦克风"));
    EXPECT_EQ(ui().编辑框_单价->text(), QStringLiteral("10.00"));
    // Typing on replaces the proposal; Backspace removes it.
    QTest::keyClick(name, Qt::Key_K);
    EXPECT_EQ(name->text(), QStringLiteral("mkf-麦克风"));
    EXPECT_EQ(name->selectedText(), QStringLiteral("f-麦克风"));
    QTest::keyClick(name, Qt::Key_Backspace);
    EXPECT_EQ(name->text(), QStringLiteral("mk"));
    // Letter case: the lookup ignores it, the proposal does not.
    name->clear();
    QTest::keyClick(name, 'D');
    EXPECT_EQ(name->text(), QStringLiteral("D"));
    EXPECT_EQ(ui().编辑框_单价->text(), QStringLiteral("6.00"));
    // Emptying the box puts the price back.
    QTest::keyClick(name, Qt::Key_Backspace);
    EXPECT_EQ(ui().编辑框_单价->text(), QStringLiteral("0.00"));
    EXPECT_TRUE(h.prompter.calls.empty());
}

TEST_F(Entry, NoProposalWhenNothingStartsWithTheTypedText)
{
    QLineEdit* name = ui().编辑框_名称;
    QTest::keyClick(name, Qt::Key_M);
    name->setText(QStringLiteral("mz"));
    QTest::keyClick(name, Qt::Key_Shift);
    EXPECT_EQ(name->text(), QStringLiteral("mz"));
    EXPECT_FALSE(name->hasSelectedText());
}

TEST_F(Entry, NewProductsAreRememberedOncePerRun)
{
    const qint64 before = productCount();
    add(QStringLiteral("zz-新品"), QStringLiteral("1"), QStringLiteral("12.5"));
    ASSERT_EQ(productCount(), before + 1);
    const Row stored
        = h.app->database().query(QStringLiteral("SELECT * FROM 商品名称 ORDER BY ID DESC LIMIT 1"))->front();
    EXPECT_EQ(stored.text(QStringLiteral("名称")), QStringLiteral("zz-新品"));
    EXPECT_EQ(stored.text(QStringLiteral("单价")), QStringLiteral("12.50"));
    add(QStringLiteral("yy-另一个"), QStringLiteral("1"), QStringLiteral("1"));
    EXPECT_EQ(productCount(), before + 1);
}

TEST_F(Entry, AFailedRememberingAddsNoLine)
{
    add(QString(51, QLatin1Char('n')), QStringLiteral("1"), QStringLiteral("1"));
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("添加失败！") });
    EXPECT_EQ(ui().超级列表框1->topLevelItemCount(), 0);
    EXPECT_EQ(ui().编辑框_名称->text(), QString(51, QLatin1Char('n')));
}

TEST_F(Entry, TheDropDownOffersProductsWithWholePrices)
{
    ASSERT_TRUE(h.app->database().exec(
        QStringLiteral("INSERT INTO 商品名称 (名称, 单价) VALUES ('jp-奖品', '10.50')")));
    ui().组合框_名称->showPopup();
    ui().组合框_名称->hidePopup();
    EXPECT_EQ(items(ui().组合框_名称),
        (QStringList {
            QStringLiteral("mkf-麦克风"), QStringLiteral("dyx-电源线"), QStringLiteral("jp-奖品") }));
    emit ui().组合框_名称->activated(2);
    EXPECT_EQ(boxes(), texts({ "jp-奖品", "", "10" }));
    ui().编辑框_数量->setText(QStringLiteral("1"));
    // A picked product counts as known: adding it inserts nothing.
    const qint64 before = productCount();
    window().AddSaleLine();
    EXPECT_EQ(productCount(), before);
    EXPECT_EQ(row(0), texts({ "1", "奖品", "1", "10.00", "10.00", "10.00" }));
}

TEST_F(Entry, WheelRules)
{
    struct Case {
        const char* box; // "数量" or "单价"
        const char* before;
        int notches; // +1: away from the user
        const char* after;
    };
    const std::vector<Case> cases = {
        { "数量", "", 1, "" },
        { "数量", "", -1, "1" },
        { "数量", "3", -1, "4" },
        { "数量", "3", 1, "2" },
        { "数量", "0", 1, "0" },
        { "单价", "12.50", -1, "13.50" },
        { "单价", "7", 1, "6.00" },
        { "单价", "0.00", 1, "0.00" },
        { "单价", "0.00", -1, "1.00" },
        { "单价", "12.5", -1, "13.50" },
        { "单价", "12.", -1, "13.00" },
    };
    for (const Case& c : cases) {
        QLineEdit* box
            = QString::fromUtf8(c.box) == QStringLiteral("数量") ? ui().编辑框_数量 : ui().编辑框_单价;
        box->setText(QString::fromUtf8(c.before));
        wheel(box, c.notches);
        EXPECT_EQ(box->text(), QString::fromUtf8(c.after)) << c.box << " " << c.before << " " << c.notches;
    }
}

TEST_F(Entry, WheelOverTheNameStepsThroughTheDropDown)
{
    wheel(ui().编辑框_名称, -1);
    EXPECT_EQ(ui().编辑框_名称->text(), QString()) << "the list is empty until it drops down";
    ui().组合框_名称->showPopup();
    ui().组合框_名称->hidePopup();
    const std::vector<std::pair<int, const char*>> steps = { { -1, "mkf-麦克风" }, { -1, "dyx-电源线" },
        { -1, "dyx-电源线" }, { 1, "mkf-麦克风" }, { 1, "mkf-麦克风" } };
    for (const auto& [notches, name] : steps) {
        wheel(ui().编辑框_名称, notches);
        EXPECT_EQ(ui().编辑框_名称->text(), QString::fromUtf8(name));
    }
    EXPECT_EQ(ui().编辑框_单价->text(), QStringLiteral("10"));
}

TEST_F(Entry, QuotesAndFullLengthNamesGoThroughEveryBox)
{
    const QString name = QStringLiteral("it's \"") + QString(44, QChar(0x5E97));
    ASSERT_EQ(name.size(), 50);
    add(name, QStringLiteral("1"), QStringLiteral("1"));
    EXPECT_TRUE(h.prompter.calls.empty());
    EXPECT_EQ(row(0)[1], name);
    QLineEdit* box = ui().编辑框_名称;
    box->setText(QStringLiteral("it'"));
    QTest::keyClick(box, Qt::Key_S);
    EXPECT_EQ(box->text(), name);
    EXPECT_TRUE(h.prompter.calls.empty());
}
