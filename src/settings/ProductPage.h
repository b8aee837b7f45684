#pragma once

#include "app/Services.h"

#include <QObject>
#include <functional>
#include <optional>

namespace Ui {
class SettingsWindow;
}

class QTreeWidgetItem;

namespace tillora {

// The page "设置常用商品名" of the settings window: the product names and prices.
class ProductPage : public QObject {
public:
    ProductPage(
        Ui::SettingsWindow& ui, Services services, std::function<void()> productsChanged, QWidget* owner);

    // The page became current: no row is chosen and the list is read again.
    void enter();
    void FillProductList();
    void addProduct();
    void modifyProduct();
    void deleteProduct();

private:
    void rowChosen(QTreeWidgetItem* item);
    bool rowChosenOrAsk();
    void refillAfterChange();
    void productsChanged();

    Ui::SettingsWindow& m_ui;
    Services m_services;
    std::function<void()> m_productsChanged;
    QWidget* m_owner;
    std::optional<qint64> m_selectedId;
};

} // namespace tillora
