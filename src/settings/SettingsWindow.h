#pragma once

#include "app/Services.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class SettingsWindow;
}

namespace tillora {

class Config;
class Printers;
class ProductPage;
class UserPage;
struct LogoGeometry;

// What the settings window changes on the sales window behind it.
struct SalesWindowLink {
    QString orderNumber; // shown in 编辑框3
    std::function<void(const QString& shop, const QString& remark)> shopSaved;
    std::function<void()> productsChanged; // refill the product drop-down
    std::function<void(const QString& orderNumber)> orderNumberReset; // a new numbering format
    LogoGeometry* logoGeometry = nullptr; // refreshed by the logo window
};

// The shop owner's settings: the receipt's texts, print switches and distances,
// product names and users. Ordinary users see only the last two pages, read-only.
class SettingsWindow : public QDialog {
    Q_OBJECT
public:
    SettingsWindow(Services services, Printers& printers, SalesWindowLink link, QWidget* parent = nullptr);
    ~SettingsWindow() override;

    Ui::SettingsWindow& ui() { return *m_ui; }
    ProductPage& products() { return *m_products; }
    UserPage& users() { return *m_users; }

    void saveSettings();
    void cancelAutomaticLogin();
    void openLogoWindow();
    void openNumberFormatWindow();
    void openPrinterWindow();

private:
    void initialize();
    void applyRoleRestrictions();
    void loadShopAndRemark();
    void connectPrintSwitches();
    void pageChanged(int index);
    bool storeDistance(const QString& column, const QString& text, int& copy);

    std::unique_ptr<Ui::SettingsWindow> m_ui;
    Services m_services;
    Printers& m_printers;
    SalesWindowLink m_link;
    ProductPage* m_products = nullptr;
    UserPage* m_users = nullptr;
};

} // namespace tillora
