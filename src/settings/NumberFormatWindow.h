#pragma once

#include "app/Services.h"
#include "sales/OrderNumbers.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class NumberFormatWindow;
}

namespace tillora {

// Chooses the order-number prefix: the fixed text of 单号格式 (mode 1) or the
// date stamp (mode 2), and edits the fixed text. 确定 stores both and restarts
// the order-number sequence at 0000000.
class NumberFormatWindow : public QDialog {
    Q_OBJECT
public:
    explicit NumberFormatWindow(Services services, QWidget* parent = nullptr);
    ~NumberFormatWindow() override;

    // Called by 确定 with the restarted order number (prefix + "0000000"): the
    // owner shows it in its order-number boxes.
    void setOnNumberReset(std::function<void(const QString&)> callback)
    {
        m_onNumberReset = std::move(callback);
    }

    Ui::NumberFormatWindow& ui() { return *m_ui; }

    void confirm();

private:
    void fixedPrefixClicked(bool checked);
    void datePrefixClicked(bool checked);
    // Ticks exactly one of the two boxes and enables the edit box that goes with it.
    void chooseFixedPrefix(bool fixed);
    void storeMode(int mode);

    std::unique_ptr<Ui::NumberFormatWindow> m_ui;
    Services m_services;
    OrderNumbers m_orderNumbers;
    std::function<void(const QString&)> m_onNumberReset;
};

} // namespace tillora
