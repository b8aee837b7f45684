#include "common/Numbers.h"

#include "common/Text.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace tillora {

namespace {

// The text as ASCII for reading a number: full-width digits, signs and points
// become their half-width forms; any other non-ASCII character becomes a
// control byte that no number contains, so the reading stops there.
std::string numberAscii(const QString& text)
{
    std::string out;
    out.reserve(size_t(text.size()));
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80)
            out += char(u);
        else if (u >= u'０' && u <= u'９')
            out += char('0' + (u - u'０'));
        else if (u == u'＋')
            out += '+';
        else if (u == u'－')
            out += '-';
        else if (u == u'．')
            out += '.';
        else
            out += '\x01';
    }
    return out;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The blanks C's isspace() knows in the C locale.
bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The C locale, for strtod independent of the user's locale.
locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
}

} // namespace

double numberFromText(const QString& text)
{
    const std::string s = numberAscii(text);
    const size_t n = s.size();
    size_t i = 0;
    while (i < n && isBlank(s[i]))
        ++i;
    const size_t start = i;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    for (; i < n && isDigit(s[i]); ++i)
        ++digits;
    if (i < n && s[i] == '.')
        for (++i; i < n && isDigit(s[i]); ++i)
            ++digits;
    if (digits == 0)
        return 0;
    // The exponent belongs to the number only when it has digits: "1e3x" is
    // 1000, "1ex" is 1.
    size_t end = i;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < n && isDigit(s[j])) {
            while (j < n && isDigit(s[j]))
                ++j;
            end = j;
        }
    }
    // Only the decimal number found above reaches strtod, so it can neither
    // read "inf", "nan" nor hexadecimal forms.
    const std::string number = s.substr(start, end - start);
    const double value = strtod_l(number.c_str(), nullptr, cLocale());
    // A number too large for a double is read as the largest finite one rather
    // than as infinity, which no amount in the program can be.
    if (std::isinf(value))
        return value > 0 ? DBL_MAX : -DBL_MAX;
    return value;
}

int wholeFromText(const QString& text)
{
    const std::string s = numberAscii(text);
    const size_t n = s.size();
    size_t i = 0;
    while (i < n && isBlank(s[i]))
        ++i;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    // Counted up to one past INT_MAX so that INT_MIN is reachable; anything
    // beyond the range of int is held at its end.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; i < n && isDigit(s[i]); ++i)
        value = std::min(value * 10 + (s[i] - '0'), limit);
    return int(negative ? -value : value);
}

QString numberText(double value)
{
    // std::to_chars with a precision writes as printf's %g does in the C
    // locale, whatever the user's locale.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

double roundTo(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::fabs(value) * scale + 1e-12;
    // Too many decimals for a double to tell apart (or not a number): nothing
    // to round.
    if (!std::isfinite(scaled))
        return value;
    double whole = std::trunc(scaled);
    if (scaled - whole >= 0.5)
        whole += 1;
    // A value that rounds to nothing is plain 0, never -0, which would be
    // written "-0".
    if (whole == 0)
        return 0;
    return (value < 0 ? -whole : whole) / scale;
}

QString MoneyText(const QString& numberText)
{
    const qsizetype point = numberText.indexOf(u'.');
    if (point < 0)
        return numberText + QStringLiteral(".00");
    const QString decimals = gbkLeft(numberText.mid(point + 1), 2);
    QString money = numberText.left(point + 1) + decimals;
    if (gbkLength(decimals) == 1)
        money += u'0';
    return money;
}

} // namespace tillora
