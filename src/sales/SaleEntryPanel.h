#pragma once

#include "app/Services.h"

#include <QObject>
#include <QString>

namespace Ui {
class SalesWindow;
}

class QTreeWidgetItem;
class QWheelEvent;

namespace tillora {

class Sale;
struct SaleEntry;

// The sale-entry part of the sales window: the name, quantity, price and
// discount boxes, name completion, the sales list and the totals below it.
class SaleEntryPanel : public QObject {
public:
    SaleEntryPanel(Ui::SalesWindow& ui, Services services, Sale& sale, QWidget* owner);

    void AddSaleLine();
    void ModifySaleLine();
    void DeleteSaleLines();
    void RefreshSaleTotals();
    // After a save: the list and the three totals are emptied.
    void clearSale();

    // Name completion on the release of a key in the name box.
    void nameKeyReleased(int key);
    // Fills the product drop-down from 商品名称; each item's number is the
    // price read as a whole number.
    void fillNameDropDown();
    void nameItemPicked(int index);
    void discountClicked();
    void rowClicked(QTreeWidgetItem* item);

    // One wheel notch: away from the user (up) is -1, towards the user +1.
    void nameWheel(int step);
    void quantityWheel(int step);
    void priceWheel(int step);

    static QStringList discountPresets();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showLines();
    void resetEntryBoxes();
    SaleEntry typedEntry() const;
    bool rememberNewProduct();
    void lookUpProduct();

    Ui::SalesWindow& m_ui;
    Services m_services;
    Sale& m_sale;
    QWidget* m_owner;
    // Kept for the whole program run.
    QString m_rememberedMatch;
    bool m_productRemembered = false;
    int m_wheelPosition = 0;
};

} // namespace tillora
