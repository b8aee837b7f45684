#include "common/Numbers.h"

#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace tillora;

namespace {

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

TEST(NumberFromText, ReadsTheLeadingDecimalNumber)
{
    struct Case {
        QString text;
        double value;
    };
    const std::vector<Case> cases = {
        { u("12.5"), 12.5 },
        { u("１２．５"), 12.5 },
        { u("１2．5"), 12.5 },
        { u("－３"), -3 },
        { u("＋７"), 7 },
        { u(" \t\n12"), 12 },
        { u("12abc"), 12 },
        { u("-.5"), -0.5 },
        { u("5."), 5 },
        { u("1.5e3"), 1500 },
        { u("2E-2"), 0.02 },
        { u("1e3x"), 1000 },
        { u("1e"), 1 }, // an exponent without digits is not part of the number
        { u("1e+"), 1 },
        { u("12,5"), 12 }, // the point is always ".", whatever the locale
        { u(""), 0 },
        { u("abc"), 0 },
        { u("."), 0 },
        { u("-"), 0 },
        { u("- 5"), 0 },
        { u("0x10"), 0 },
        { u("inf"), 0 },
        { u("nan"), 0 },
        { u("\u3000"
            "12"),
            0 }, // the ideographic space is not a blank for C
        { u("中12"), 0 },
        { u("1e999"), DBL_MAX }, // too large: held at the largest finite double
        { u("-1e999"), -DBL_MAX },
        { u("1e-400"), 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(numberFromText(c.text), c.value) << c.text.toStdString();
}

TEST(WholeFromText, ReadsAsAtoi)
{
    struct Case {
        QString text;
        int value;
    };
    const std::vector<Case> cases = {
        { u("12.50"), 12 },
        { u("  -42x"), -42 },
        { u("+5"), 5 },
        { u("－３"), -3 },
        { u("１２３"), 123 },
        { u("1e3"), 1 },
        { u(""), 0 },
        { u("abc"), 0 },
        { u("2147483647"), INT_MAX },
        { u("-2147483648"), INT_MIN },
        { u("99999999999999999999"), INT_MAX },
        { u("-99999999999999999999"), INT_MIN },
    };
    for (const Case& c : cases)
        EXPECT_EQ(wholeFromText(c.text), c.value) << c.text.toStdString();
}

TEST(NumberText, WritesAsPrintfG13)
{
    struct Case {
        double value;
        const char* text;
    };
    const std::vector<Case> cases = {
        { 12.5, "12.5" },
        { 10, "10" },
        { -3, "-3" },
        { 0, "0" },
        { 1e15, "1e+15" },
        { 0.1 + 0.2, "0.3" },
        { 9.999, "9.999" },
        { 0.0001, "0.0001" },
        { 0.00001, "1e-05" },
        { 1234567890123.4, "1234567890123" },
        { 12345678901234.0, "1.234567890123e+13" },
        { 123456789012.5, "123456789012.5" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(numberText(c.value), QString::fromLatin1(c.text)) << c.text;
}

// QApplication sets the C library to the user's locale; in one that writes
// decimal commas, numbers must still be read and written with a point.
TEST(NumberText, IgnoresTheUsersDecimalComma)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE"))
        GTEST_SKIP() << "no German locale installed";
    const QString written = numberText(12.5);
    const double read = numberFromText(u("12.5"));
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(written, u("12.5"));
    EXPECT_EQ(read, 12.5);
}

TEST(RoundTo, HalvesGoAwayFromZero)
{
    struct Case {
        double value;
        int decimals;
        double rounded;
    };
    const std::vector<Case> cases = {
        { 9.999, 2, 10 },
        { 12.344, 2, 12.34 },
        { 12.345, 2, 12.35 },
        { 2.5, 0, 3 },
        { -2.5, 0, -3 },
        { 0.5, 0, 1 },
        { -0.5, 0, -1 },
        { 2.4999, 0, 2 },
        { -2.4999, 0, -2 },
        // 2.675 and 1.005 are stored a hair below the half; the 1e-12 nudge
        // lifts them back up.
        { 2.675, 2, 2.68 },
        { 1.005, 2, 1.01 },
        { -1.005, 2, -1.01 },
        { 7, 2, 7 },
        { 0, 2, 0 },
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(roundTo(c.value, c.decimals), c.rounded) << c.value << " to " << c.decimals;
}

TEST(RoundTo, EdgeValues)
{
    // A small negative amount rounds to plain zero, not -0 (written "-0").
    EXPECT_FALSE(std::signbit(roundTo(-0.001, 2)));
    EXPECT_EQ(MoneyText(numberText(roundTo(-0.001, 2))), u("0.00"));
    EXPECT_TRUE(std::isnan(roundTo(NAN, 2)));
    // More decimals than a double holds leave the value as it is.
    EXPECT_EQ(roundTo(1.5, 400), 1.5);
}

TEST(MoneyText, TwoDecimalsByTextAlone)
{
    struct Case {
        QString number;
        QString money;
    };
    const std::vector<Case> cases = {
        { u("12"), u("12.00") }, { u(""), u(".00") }, { u("-3"), u("-3.00") }, { u("12.5"), u("12.50") },
        { u("12.345"), u("12.34") }, { u("5.555"), u("5.55") }, { u("12."), u("12.") },
        { u("1e+15"), u("1e+15.00") }, { u("1.2.3"), u("1.2.") }, // the first point counts
        { u("1.中文"), u("1.中") }, // two bytes after the point: one Chinese character
    };
    for (const Case& c : cases)
        EXPECT_EQ(MoneyText(c.number), c.money) << c.number.toStdString();
}
