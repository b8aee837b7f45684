#pragma once

#include "app/Services.h"

#include <QObject>
#include <QTimer>

namespace Ui {
class SalesWindow;
}

namespace tillora {

class Sale;

// The payment part of the sales window: cash received and change, the payment
// method, and the customer and telephone choices.
class PaymentPanel : public QObject {
public:
    PaymentPanel(Ui::SalesWindow& ui, Services services, const Sale& sale, QWidget* owner);

    // 编辑框_实收 changed: the change follows half a second after the last
    // change, or at once after an amount was picked from the list.
    void cashReceivedChanged();
    void showChange();
    void amountPicked(int index);
    void amountTyped(const QString& text);
    void amountWheel(int step);

    void paymentChoiceClicked();
    void paymentMethodPicked(int index);
    // Refills the payment-method drop-down from 付款方式.
    void FillPaymentDropDown();

    void telephoneChoiceClicked();
    void customerChoiceClicked();
    void telephonePicked(int index);
    void customerPicked(int index);

    static constexpr int kChangeDelayMs = 500;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool writeChoice(const QString& column, bool on);
    void refillCustomerLists();
    bool discountTicked() const;

    Ui::SalesWindow& m_ui;
    Services m_services;
    const Sale& m_sale;
    QWidget* m_owner;
    QTimer m_changeTimer;
    bool m_cashFromList = false;
};

} // namespace tillora
