#pragma once

#include "app/Services.h"

#include <QDialog>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class RecordsWindow;
}

class QMenu;
class QTreeWidget;

namespace tillora {

// The saved sales: the day's records newest first, their totals, a search by
// order number, queries, the lines of one record, export and data reset.
class RecordsWindow : public QDialog {
    Q_OBJECT
public:
    explicit RecordsWindow(Services services, QWidget* parent = nullptr);
    ~RecordsWindow() override;

    Ui::RecordsWindow& ui() { return *m_ui; }

    // Refills the list from a query on 销售记录 (values bound to its "?").
    void FillRecordList(const QString& statement, const QVariantList& params = {});
    // The total quantity and total amount of the rows listed.
    void ShowRecordTotals();
    // The record whose row was chosen last; none until a row is chosen.
    std::optional<qint64> selectedRecordId() const { return m_selectedRecordId; }

    void searchByOrderNumber();
    void deleteRecord();
    void openDetails();
    void openQuery();
    void exportList();
    void resetData();
    // Restarts the program after a data reset: set by the sales window.
    void setOnRestart(std::function<void()> restart) { m_onRestart = std::move(restart); }
    QMenu& contextMenu() { return *m_menu; }

    // The time text of a stored sale time: 2016年8月18日20时55分36秒, 2017年6月7日9时30分,
    // the date alone at midnight.
    static QString recordTimeText(const QString& stored);
    // A list column summed exactly and rounded to 2 decimals, as number text.
    static QString ColumnTotal(const QTreeWidget* list, int column);

private:
    void listDay();
    void rowChosen();
    void showContextMenu(const QPoint& position);

    std::unique_ptr<Ui::RecordsWindow> m_ui;
    Services m_services;
    QMenu* m_menu = nullptr;
    std::optional<qint64> m_selectedRecordId;
    std::function<void()> m_onRestart;
};

} // namespace tillora
