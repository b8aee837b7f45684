#pragma once

#include "app/Services.h"
#include "receipt/ReceiptLayout.h"
#include "receipt/ReceiptLogo.h"
#include "sales/OrderNumbers.h"
#include "sales/Sale.h"

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>

namespace Ui {
class SalesWindow;
}

class QComboBox;

namespace tillora {

class Config;
class PaymentPanel;
class Printers;
class SettingsWindow;
class SaleEntryPanel;

// The main window: each sale is entered, paid and printed here. This class is
// the frame: what opening the window loads, the clock, the menus, Enter and F5,
// and the end of the program when the window closes.
class SalesWindow : public QMainWindow {
    Q_OBJECT
public:
    SalesWindow(Services services, Printers& printers, QWidget* parent = nullptr);
    ~SalesWindow() override;

    // Called once the window has closed and the database is closed: ends the program.
    void setOnClosed(std::function<void()> callback) { m_onClosed = std::move(callback); }
    // Called to start the program anew and end this copy (after a data reset).
    void setOnRestart(std::function<void()> callback) { m_onRestart = std::move(callback); }

    Ui::SalesWindow& ui() { return *m_ui; }

    // Actions reached by the buttons and by Enter and F5.
    void AddSaleLine();
    // Prints the receipt, as many copies as asked for, then saves the sale.
    void PrintReceiptButton();
    void PrintReceipt();
    void OpenPreview();
    // The receipt's texts, exactly as the window shows them now.
    ReceiptContent receiptContent() const;
    // Stores the sale (when saving is on), advances the order number and
    // empties the list for the next sale.
    void SaveSale();

    // The modal windows opened by the menu 软件设置 and the buttons 付款方式 and 设置客户.
    void openSettings();
    void openRecords();
    std::unique_ptr<SettingsWindow> createSettingsWindow();
    void openPaymentMethods();
    void openCustomers();

    // Clock tick: the current time into 编辑框_时间.
    void showTime();

    const Sale& sale() const { return m_sale; }
    SaleEntryPanel& entry() { return *m_entry; }
    PaymentPanel& payment() { return *m_payment; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setUpSalesList();
    void initialize();
    void lookUpRole();
    void applyRoleRestrictions();
    void fillCashierList();
    void applyStoredChoices(Config& config);
    void loadSettings(Config& config);
    void connectMenus();
    void connectControls();
    void changeTimeClicked();
    void reportQueryFailure();

    std::unique_ptr<Ui::SalesWindow> m_ui;
    Services m_services;
    Printers& m_printers;
    OrderNumbers m_orderNumbers;
    DatabaseLogoSource m_logo;
    LogoGeometry m_logoGeometry;
    Sale m_sale;
    SaleEntryPanel* m_entry = nullptr;
    PaymentPanel* m_payment = nullptr;
    QTimer m_clockTimer;
    std::function<void()> m_onClosed;
    std::function<void()> m_onRestart;
};

} // namespace tillora
