#pragma once

#include <QString>
#include <array>
#include <vector>

namespace tillora {

// One line of the sale as the sales list shows it, cell for cell.
struct SaleLine {
    enum Cell { Number, Name, Quantity, UnitPrice, Amount, Discounted, CellCount };
    std::array<QString, CellCount> cells;

    const QString& operator[](int cell) const { return cells.at(size_t(cell)); }
    QString& operator[](int cell) { return cells.at(size_t(cell)); }
    bool operator==(const SaleLine&) const = default;
};

// What the cashier typed for a line.
struct SaleEntry {
    QString name;
    QString quantity;
    QString unitPrice;
    bool discounted = false; // the discount box is ticked
    QString discount; // the discount box's text, e.g. "9.5"
};

// The sale being entered: its lines and the totals computed from them. The
// sales window shows exactly these texts; the receipt and the save read them.
class Sale {
public:
    // "mkf-麦克风" -> "麦克风": everything after the first "-", or the whole text.
    static QString nameWithoutCode(const QString& name);
    // The discount text read as a number, times 0.1 ("9.5" -> 0.95, "" -> 0).
    static double DiscountFactor(const QString& discount);
    // Cells 1 to 5 of a line: the price as money text; the amount price x quantity
    // and the discounted amount rounded to 2 decimals, as money texts.
    static SaleLine lineFor(const SaleEntry& entry, const QString& shownName);

    // A new line at the end; its product name loses its lookup code.
    void add(const SaleEntry& entry);
    // Changes the line at row (no lookup code is removed); false when there is none.
    bool modify(int row, const SaleEntry& entry);
    // Removes the given rows and numbers the others 1, 2, ... again.
    void remove(std::vector<int> rows);
    void clear() { m_lines.clear(); }

    const std::vector<SaleLine>& lines() const { return m_lines; }
    bool isEmpty() const { return m_lines.empty(); }

    // The cells of a column read as numbers and summed, rounded to 2 decimals,
    // as number text ("%.13g"): 1 and 2.5 give 3.5; no lines give 0.
    QString SaleColumnSum(int column) const;
    QString totalQuantity() const { return SaleColumnSum(SaleLine::Quantity); }
    QString totalAmount() const;
    QString discountedTotal() const;
    // What the customer pays: the discounted total when the discount box is ticked.
    QString payable(bool discountTicked) const;
    // The amount the change is taken from, as number text.
    QString changeBase(bool discountTicked) const;
    // The change as money text: received minus the change base, not rounded.
    QString change(const QString& received, bool discountTicked) const;

private:
    void renumber();

    std::vector<SaleLine> m_lines;
};

} // namespace tillora
