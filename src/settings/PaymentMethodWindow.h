#pragma once

#include "app/Services.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class PaymentMethodWindow;
}

class QTreeWidgetItem;

namespace tillora {

// Maintains the table 付款方式: lists the payment methods and adds, renames and
// deletes them. Every button stores at once.
class PaymentMethodWindow : public QDialog {
    Q_OBJECT
public:
    explicit PaymentMethodWindow(Services services, QWidget* parent = nullptr);
    ~PaymentMethodWindow() override;

    // Called once when the window closes, however it closes: the owner refills
    // its payment drop-down from the table. A window destroyed while still open
    // calls it from its destructor, so the owner must outlive the window.
    void setOnClosed(std::function<void()> callback) { m_onClosed = std::move(callback); }

    Ui::PaymentMethodWindow& ui() { return *m_ui; }

    void FillPaymentList();
    void addMethod();
    void modifyMethod();
    void deleteMethod();

    void done(int result) override;

private:
    void currentItemChanged(QTreeWidgetItem* current);
    // The tag of the row last made current in this window since the list was
    // last filled; none, after a message, when no row is chosen.
    std::optional<qint64> chosenId(const QString& missingText);
    void notifyClosed();

    std::unique_ptr<Ui::PaymentMethodWindow> m_ui;
    Services m_services;
    int m_currentRow = -1;
    std::function<void()> m_onClosed;
    bool m_closeNotified = false;
};

} // namespace tillora
