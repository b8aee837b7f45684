#include "sales/Sale.h"

#include "common/Numbers.h"
#include "common/Text.h"

#include <algorithm>

namespace tillora {

QString Sale::nameWithoutCode(const QString& name)
{
    const qsizetype dash = name.indexOf(QLatin1Char('-'));
    return dash < 0 ? name : name.mid(dash + 1);
}

double Sale::DiscountFactor(const QString& discount)
{
    return numberFromText(discount) * 0.1;
}

static QString moneyOf(double value)
{
    return MoneyText(numberText(roundTo(value, 2)));
}

SaleLine Sale::lineFor(const SaleEntry& entry, const QString& shownName)
{
    const double price = numberFromText(entry.unitPrice);
    const double quantity = numberFromText(entry.quantity);
    SaleLine line;
    line[SaleLine::Name] = shownName;
    line[SaleLine::Quantity] = entry.quantity;
    line[SaleLine::UnitPrice] = MoneyText(entry.unitPrice);
    line[SaleLine::Amount] = moneyOf(price * quantity);
    line[SaleLine::Discounted] = entry.discounted ? moneyOf(price * quantity * DiscountFactor(entry.discount))
                                                  : line[SaleLine::Amount];
    return line;
}

void Sale::add(const SaleEntry& entry)
{
    m_lines.push_back(lineFor(entry, nameWithoutCode(entry.name)));
    m_lines.back()[SaleLine::Number] = QString::number(m_lines.size());
}

bool Sale::modify(int row, const SaleEntry& entry)
{
    if (row < 0 || row >= int(m_lines.size()))
        return false;
    const QString number = m_lines[size_t(row)][SaleLine::Number];
    m_lines[size_t(row)] = lineFor(entry, entry.name);
    m_lines[size_t(row)][SaleLine::Number] = number;
    return true;
}

void Sale::remove(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows) {
        if (row >= 0 && row < int(m_lines.size()))
            m_lines.erase(m_lines.begin() + row);
    }
    renumber();
}

void Sale::renumber()
{
    for (size_t i = 0; i < m_lines.size(); ++i)
        m_lines[i][SaleLine::Number] = QString::number(i + 1);
}

QString Sale::SaleColumnSum(int column) const
{
    double sum = 0;
    for (const SaleLine& line : m_lines)
        sum += numberFromText(line[column]);
    return numberText(roundTo(sum, 2));
}

QString Sale::totalAmount() const
{
    return MoneyText(SaleColumnSum(SaleLine::Amount));
}
QString Sale::discountedTotal() const
{
    return MoneyText(SaleColumnSum(SaleLine::Discounted));
}

QString Sale::changeBase(bool discountTicked) const
{
    return SaleColumnSum(discountTicked ? SaleLine::Discounted : SaleLine::Amount);
}

QString Sale::payable(bool discountTicked) const
{
    return MoneyText(changeBase(discountTicked));
}

QString Sale::change(const QString& received, bool discountTicked) const
{
    return MoneyText(numberText(numberFromText(received) - numberFromText(changeBase(discountTicked))));
}

} // namespace tillora
