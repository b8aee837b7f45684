#include "sales/Sale.h"

#include <gtest/gtest.h>

using namespace tillora;

namespace {

SaleLine cells(const char* number, const char* name, const char* quantity, const char* price,
    const char* amount, const char* discounted)
{
    SaleLine line;
    line.cells = { QString::fromUtf8(number), QString::fromUtf8(name), QString::fromUtf8(quantity),
        QString::fromUtf8(price), QString::fromUtf8(amount), QString::fromUtf8(discounted) };
    return line;
}

SaleEntry entry(const char* name, const char* quantity, const char* price, const char* discount = nullptr)
{
    return { QString::fromUtf8(name), QString::fromUtf8(quantity), QString::fromUtf8(price),
        discount != nullptr, discount ? QString::fromUtf8(discount) : QString() };
}

} // namespace

TEST(Sale, AddedLinesAsTheListShowsThem)
{
    struct Case {
        SaleEntry typed;
        SaleLine shown;
    };
    const std::vector<Case> cases = {
        { entry("mkf-麦克风", "2", "10"), cells("1", "麦克风", "2", "10.00", "20.00", "20.00") },
        // The price is cut, the amount rounded: 9.999 becomes 10.00.
        { entry("x", "3", "3.333"), cells("1", "x", "3", "3.33", "10.00", "10.00") },
        { entry("x", "3", "10", "9.5"), cells("1", "x", "3", "10.00", "30.00", "28.50") },
        // Everything after the first dash is the name shown.
        { entry("a-b-c", "1", "1"), cells("1", "b-c", "1", "1.00", "1.00", "1.00") },
        { entry("-lead", "1", "1"), cells("1", "lead", "1", "1.00", "1.00", "1.00") },
        // Texts that are no numbers read as their leading number or 0.
        { entry("x", "2abc", "abc"), cells("1", "x", "2abc", "abc.00", "0.00", "0.00") },
        { entry("x", "1", "1.005"), cells("1", "x", "1", "1.00", "1.01", "1.01") },
        { entry("x", "-1", "2.5"), cells("1", "x", "-1", "2.50", "-2.50", "-2.50") },
        // An empty or unreadable discount gives a factor of 0.
        { entry("x", "1", "10", ""), cells("1", "x", "1", "10.00", "10.00", "0.00") },
    };
    for (const Case& c : cases) {
        Sale sale;
        sale.add(c.typed);
        ASSERT_EQ(sale.lines().size(), 1u);
        EXPECT_EQ(sale.lines().front(), c.shown)
            << c.typed.name.toStdString() << " " << c.typed.unitPrice.toStdString();
    }
}

TEST(Sale, ModifyComputesLikeAddButKeepsTheNameAndNumber)
{
    Sale sale;
    sale.add(entry("a", "1", "1"));
    sale.add(entry("b", "1", "1"));
    ASSERT_TRUE(sale.modify(1, entry("mkf-麦克风", "3", "3.333")));
    EXPECT_EQ(sale.lines()[1], cells("2", "mkf-麦克风", "3", "3.33", "10.00", "10.00"));
    ASSERT_TRUE(sale.modify(0, entry("x", "3", "10", "9.5")));
    EXPECT_EQ(sale.lines()[0], cells("1", "x", "3", "10.00", "30.00", "28.50"));
    EXPECT_FALSE(sale.modify(-1, entry("y", "1", "1")));
    EXPECT_FALSE(sale.modify(2, entry("y", "1", "1")));
    EXPECT_EQ(sale.lines().size(), 2u);
}

TEST(Sale, RemovingRenumbersTheRest)
{
    Sale sale;
    for (const char* name : { "a", "b", "c", "d" })
        sale.add(entry(name, "1", "1"));
    sale.remove({ 1 });
    ASSERT_EQ(sale.lines().size(), 3u);
    EXPECT_EQ(sale.lines()[1][SaleLine::Name], QStringLiteral("c"));
    sale.remove({ 2, 0, 2, 9 });
    ASSERT_EQ(sale.lines().size(), 1u);
    EXPECT_EQ(sale.lines()[0], cells("1", "c", "1", "1.00", "1.00", "1.00"));
    sale.remove({});
    EXPECT_EQ(sale.lines().size(), 1u);
}

TEST(Sale, TotalsPayableAndChange)
{
    Sale sale;
    EXPECT_EQ(sale.SaleColumnSum(SaleLine::Quantity), QStringLiteral("0"));
    EXPECT_EQ(sale.totalAmount(), QStringLiteral("0.00"));
    sale.add(entry("a", "1", "10", "9.5"));
    sale.add(entry("b", "2.5", "8"));
    EXPECT_EQ(sale.totalQuantity(), QStringLiteral("3.5"));
    EXPECT_EQ(sale.totalAmount(), QStringLiteral("30.00"));
    EXPECT_EQ(sale.discountedTotal(), QStringLiteral("29.50"));
    EXPECT_EQ(sale.payable(false), QStringLiteral("30.00"));
    EXPECT_EQ(sale.payable(true), QStringLiteral("29.50"));
    EXPECT_EQ(sale.change(QStringLiteral("100"), true), QStringLiteral("70.50"));
    EXPECT_EQ(sale.change(QStringLiteral("10"), false), QStringLiteral("-20.00"));
    EXPECT_EQ(sale.change(QString(), false), QStringLiteral("-30.00"));
    // Sums are rounded once, at the end: 0.1 three times is 0.3.
    Sale cents;
    for (int i = 0; i < 3; ++i)
        cents.add(entry("c", "1", "0.1"));
    EXPECT_EQ(cents.totalAmount(), QStringLiteral("0.30"));
    EXPECT_EQ(cents.change(QStringLiteral("0.3"), false), QStringLiteral("0.00"));
}

TEST(Sale, DiscountPresetsFactor)
{
    const std::vector<std::pair<const char*, double>> cases
        = { { "10", 1.0 }, { "9.5", 0.95 }, { "", 0 }, { "abc", 0 }, { "８", 0.8 } };
    for (const auto& [text, factor] : cases)
        EXPECT_DOUBLE_EQ(Sale::DiscountFactor(QString::fromUtf8(text)), factor) << text;
}
