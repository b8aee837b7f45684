#pragma once

#include "app/Services.h"

#include <QCheckBox>
#include <QDialog>
#include <QString>
#include <QVariantList>
#include <memory>
#include <optional>

namespace Ui {
class CustomerWindow;
}

class QTreeWidgetItem;

namespace tillora {

// A check box whose caption wraps onto further lines, in a smaller font if it
// must, when it does not fit beside the box on one line: "模糊查找" stands in a
// check box of 48 × 24.
class WrappingCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Maintains the table 客户资料 (name and telephone number) and searches it by
// name or number, exactly or by part. Every button stores at once.
class CustomerWindow : public QDialog {
    Q_OBJECT
public:
    explicit CustomerWindow(Services services, QWidget* parent = nullptr);
    ~CustomerWindow() override;

    Ui::CustomerWindow& ui() { return *m_ui; }

    // Refills the list from a SELECT on 客户资料 with its bound values, and
    // remembers both for a search with both search boxes empty.
    void FillCustomerList(const QString& statement, const QVariantList& params = {});
    // Empties the form boxes and lists all customers.
    void ResetCustomerForm();

    void addCustomer();
    void modifyCustomer();
    void deleteCustomer();
    void search();

private:
    void currentItemChanged(QTreeWidgetItem* current);
    // The tag of the row last made current in this window since the list was
    // last filled; none, after a message, when no row is chosen.
    std::optional<qint64> chosenId(const QString& missingText);

    std::unique_ptr<Ui::CustomerWindow> m_ui;
    Services m_services;
    int m_currentRow = -1;
    QString m_listStatement;
    QVariantList m_listParams;
};

} // namespace tillora

using tillora::WrappingCheckBox;
