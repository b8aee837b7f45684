#pragma once

#include "app/Services.h"

#include <QDialog>
#include <QVariantList>
#include <memory>

namespace Ui {
class QueryWindow;
}

class QLineEdit;

namespace tillora {

class RecordsWindow;

// Lists the sales records of a time range in the records window, narrowed by
// quantity, amount and cashier: fuzzy (any of the typed texts contained) or
// exact (all of them equal). The window stays open for further queries.
class QueryWindow : public QDialog {
    Q_OBJECT
public:
    QueryWindow(Services services, RecordsWindow& records, QWidget* parent = nullptr);
    ~QueryWindow() override;

    Ui::QueryWindow& ui() { return *m_ui; }

    // Fills the cashier drop-down with the user names; the shown text stays empty.
    void FillCashierBox();
    // Replaces the records window's list and totals with the records found.
    void runQuery();

private:
    static void setEditBoxEnabled(QLineEdit* box, bool enabled);

    std::unique_ptr<Ui::QueryWindow> m_ui;
    Services m_services;
    RecordsWindow& m_records;
};

} // namespace tillora
