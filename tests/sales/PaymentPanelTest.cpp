#include "sales/PaymentPanel.h"

#include "store/Config.h"
#include "support/SalesFixture.h"

#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace tillora;
using namespace tillora::test;

namespace {

class Payment : public ::testing::Test, protected OpenSales {
protected:
    void SetUp() override { open(); }
    // A sale whose payable amount is the given price.
    void sellFor(const QString& price)
    {
        ui().编辑框_名称->setText(QStringLiteral("mkf-麦克风"));
        ui().编辑框_数量->setText(QStringLiteral("1"));
        ui().编辑框_单价->setText(price);
        window().AddSaleLine();
    }
    void waitForChange() { QTest::qWait(PaymentPanel::kChangeDelayMs + 150); }
    QString stored(const char* column)
    {
        Database db;
        h.dir.openSecondConnection(db);
        return Config(db, h.prompter).readText(QString::fromUtf8(column));
    }
    QString change() { return ui().编辑框_找零->text(); }
};

} // namespace

TEST_F(Payment, ChangeFollowsHalfASecondAfterTheLastChange)
{
    sellFor(QStringLiteral("20"));
    EXPECT_EQ(ui().编辑框_实收->text(), QStringLiteral("20.00"));
    ui().编辑框_找零->setText(QStringLiteral("untouched"));
    QTest::qWait(100);
    EXPECT_EQ(change(), QStringLiteral("untouched"));
    waitForChange();
    EXPECT_EQ(change(), QStringLiteral("0.00"));

    // Each keystroke starts the wait again; only the last text counts.
    ui().编辑框_实收->clear();
    QTest::keyClicks(ui().编辑框_实收, QStringLiteral("25"));
    waitForChange();
    EXPECT_EQ(change(), QStringLiteral("5.00"));
    ui().编辑框_实收->setText(QStringLiteral("3"));
    waitForChange();
    EXPECT_EQ(change(), QStringLiteral("-17.00"));
}

TEST_F(Payment, APickedAmountShowsTheChangeAtOnce)
{
    sellFor(QStringLiteral("28.5"));
    const int hundred = ui().组合框_实收->findText(QStringLiteral("100"));
    emit ui().组合框_实收->activated(hundred);
    EXPECT_EQ(ui().编辑框_实收->text(), QStringLiteral("100.00"));
    EXPECT_EQ(change(), QStringLiteral("71.50"));
    // The same amount picked again still shows the change.
    ui().编辑框_找零->clear();
    emit ui().组合框_实收->activated(hundred);
    EXPECT_EQ(change(), QStringLiteral("71.50"));
    // And the next typed change waits again.
    ui().编辑框_实收->setText(QStringLiteral("10"));
    EXPECT_EQ(change(), QStringLiteral("71.50"));
    waitForChange();
    EXPECT_EQ(change(), QStringLiteral("-18.50"));
}

TEST_F(Payment, ChangeIsTakenFromTheDiscountedAmountWhenTheBoxIsTicked)
{
    ui().选择框_折扣->click();
    ui().组合框_折扣->setEditText(QStringLiteral("9.5"));
    sellFor(QStringLiteral("30"));
    EXPECT_EQ(ui().编辑框_实收->text(), QStringLiteral("28.50"));
    emit ui().组合框_实收->activated(ui().组合框_实收->findText(QStringLiteral("50")));
    EXPECT_EQ(change(), QStringLiteral("21.50"));
}

TEST_F(Payment, TypingIntoTheAmountListShowsTheChangeUnformatted)
{
    sellFor(QStringLiteral("28.5"));
    ui().编辑框_实收->setText(QStringLiteral("kept"));
    QLineEdit* listBox = ui().组合框_实收->lineEdit();
    listBox->clear();
    QTest::keyClicks(listBox, QStringLiteral("100"));
    EXPECT_EQ(change(), QStringLiteral("71.5"));
    EXPECT_EQ(ui().编辑框_实收->text(), QStringLiteral("kept"));
}

TEST_F(Payment, WheelOverTheAmountListChangesOnlyItsText)
{
    const auto wheel = [this](int notches) {
        QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(ui().组合框_实收, &event);
    };
    const std::vector<std::tuple<const char*, int, const char*>> cases
        = { { "", 1, "" }, { "", -1, "1" }, { "50", -1, "51" }, { "50", 1, "49" }, { "0", 1, "0" } };
    for (const auto& [before, notches, after] : cases) {
        ui().组合框_实收->setEditText(QString::fromUtf8(before));
        ui().编辑框_实收->setText(QStringLiteral("same"));
        wheel(notches);
        EXPECT_EQ(ui().组合框_实收->currentText(), QString::fromUtf8(after)) << before << " " << notches;
        EXPECT_EQ(ui().编辑框_实收->text(), QStringLiteral("same"));
    }
}

TEST_F(Payment, PaymentMethodChoice)
{
    emit ui().组合框_付款方式->activated(3);
    EXPECT_EQ(ui().编辑框_付款方式->text(), QStringLiteral("支付宝"));
    ui().选择框_付款方式->click();
    EXPECT_FALSE(ui().编辑框_付款方式->isEnabled());
    EXPECT_FALSE(ui().组合框_付款方式->isEnabled());
    EXPECT_EQ(ui().编辑框_付款方式->text(), QStringLiteral("支付宝"));
    EXPECT_EQ(stored("付款方式的选中"), QStringLiteral("假"));
    ui().选择框_付款方式->click();
    EXPECT_TRUE(ui().编辑框_付款方式->isEnabled());
    EXPECT_EQ(ui().组合框_付款方式->currentText(), QStringLiteral("现金"));
    EXPECT_EQ(stored("付款方式的选中"), QStringLiteral("真"));
    EXPECT_TRUE(h.prompter.calls.empty());
}

TEST_F(Payment, CustomerAndTelephoneListsStayInStep)
{
    ui().选择框_客户->click();
    EXPECT_EQ(stored("客户"), QStringLiteral("真"));
    EXPECT_EQ(items(ui().组合框_客户),
        (QStringList { QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("369") }));
    emit ui().组合框_客户->activated(1);
    EXPECT_EQ(ui().编辑框_客户->text(), QStringLiteral("李四"));
    EXPECT_EQ(ui().编辑框_电话->text(), QStringLiteral("13900000002"));
    emit ui().组合框_电话->activated(2);
    EXPECT_EQ(ui().编辑框_电话->text(), QStringLiteral("456"));
    EXPECT_EQ(ui().编辑框_客户->text(), QStringLiteral("369"));

    // Ticking the telephone box takes the first number of the list before the refill.
    ui().选择框_电话->click();
    EXPECT_EQ(ui().编辑框_电话->text(), QStringLiteral("13800000001"));
    EXPECT_EQ(stored("电话"), QStringLiteral("真"));
    ui().选择框_电话->click();
    EXPECT_FALSE(ui().组合框_电话->isEnabled());
    EXPECT_FALSE(ui().编辑框_电话->isEnabled());
    EXPECT_EQ(stored("电话"), QStringLiteral("假"));
    ui().选择框_客户->click();
    EXPECT_FALSE(ui().组合框_客户->isEnabled());
    EXPECT_EQ(stored("客户"), QStringLiteral("假"));
}

TEST_F(Payment, AFailedChoiceWriteIsReportedAndTheTickStays)
{
    ASSERT_TRUE(h.app->database().exec(QStringLiteral("ALTER TABLE 配置文件 RENAME TO gone")));
    ui().选择框_付款方式->click();
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("数据修改失败") });
    EXPECT_FALSE(ui().选择框_付款方式->isChecked());
    EXPECT_FALSE(ui().组合框_付款方式->isEnabled());
}
