#include "sales/PaymentPanel.h"

#include "common/Numbers.h"
#include "platform/Prompter.h"
#include "sales/Sale.h"
#include "store/Config.h"
#include "store/Database.h"
#include "ui_SalesWindow.h"

#include <QRegularExpressionValidator>
#include <QWheelEvent>

namespace tillora {

PaymentPanel::PaymentPanel(Ui::SalesWindow& ui, Services services, const Sale& sale, QWidget* owner)
    : QObject(owner)
    , m_ui(ui)
    , m_services(services)
    , m_sale(sale)
    , m_owner(owner)
{
    m_changeTimer.setSingleShot(true);
    m_changeTimer.setInterval(kChangeDelayMs);
    m_ui.编辑框_实收->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("-?\\d*\\.?\\d*")), m_ui.编辑框_实收));
    m_ui.组合框_实收->installEventFilter(this);

    connect(&m_changeTimer, &QTimer::timeout, this, &PaymentPanel::showChange);
    connect(m_ui.编辑框_实收, &QLineEdit::textChanged, this, &PaymentPanel::cashReceivedChanged);
    connect(m_ui.组合框_实收, &QComboBox::activated, this, &PaymentPanel::amountPicked);
    connect(m_ui.组合框_实收->lineEdit(), &QLineEdit::textEdited, this, &PaymentPanel::amountTyped);
    connect(m_ui.选择框_付款方式, &QCheckBox::clicked, this, &PaymentPanel::paymentChoiceClicked);
    connect(m_ui.组合框_付款方式, &QComboBox::activated, this, &PaymentPanel::paymentMethodPicked);
    connect(m_ui.选择框_电话, &QCheckBox::clicked, this, &PaymentPanel::telephoneChoiceClicked);
    connect(m_ui.选择框_客户, &QCheckBox::clicked, this, &PaymentPanel::customerChoiceClicked);
    connect(m_ui.组合框_电话, &QComboBox::activated, this, &PaymentPanel::telephonePicked);
    connect(m_ui.组合框_客户, &QComboBox::activated, this, &PaymentPanel::customerPicked);
}

bool PaymentPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui.组合框_实收 && event->type() == QEvent::Wheel) {
        amountWheel(static_cast<QWheelEvent*>(event)->angleDelta().y() > 0 ? -1 : 1);
        return true;
    }
    return false;
}

bool PaymentPanel::discountTicked() const
{
    return m_ui.选择框_折扣->isChecked();
}

void PaymentPanel::cashReceivedChanged()
{
    if (m_cashFromList) {
        m_cashFromList = false;
        m_changeTimer.stop();
        showChange();
    } else {
        m_changeTimer.start();
    }
}

void PaymentPanel::showChange()
{
    m_ui.编辑框_找零->setText(m_sale.change(m_ui.编辑框_实收->text(), discountTicked()));
}

void PaymentPanel::amountPicked(int index)
{
    m_cashFromList = true;
    m_ui.编辑框_实收->setText(MoneyText(m_ui.组合框_实收->itemText(index)));
    // Setting the same text again emits no change: show the change here then.
    if (m_cashFromList)
        cashReceivedChanged();
}

// Typing into the list's own box shows the change unformatted (71.5).
void PaymentPanel::amountTyped(const QString& text)
{
    m_ui.编辑框_找零->setText(
        numberText(numberFromText(text) - numberFromText(m_sale.changeBase(discountTicked()))));
}

void PaymentPanel::amountWheel(int step)
{
    QComboBox* box = m_ui.组合框_实收;
    const int n = wholeFromText(box->currentText());
    if (n == 0 && step == -1)
        return;
    box->setEditText(QString::number(n + step));
}

void PaymentPanel::FillPaymentDropDown()
{
    QComboBox* box = m_ui.组合框_付款方式;
    box->clear();
    const auto rows = m_services.db.query(QStringLiteral("SELECT * FROM 付款方式"));
    if (!rows) {
        m_services.prompter.info(QStringLiteral("查询失败！"), m_owner);
        return;
    }
    for (const Row& row : *rows)
        box->addItem(row.text(QStringLiteral("方式")), 0);
}

bool PaymentPanel::writeChoice(const QString& column, bool on)
{
    const bool written = Config(m_services.db, m_services.prompter).writeYesNo(column, on);
    if (!written)
        m_services.prompter.info(QStringLiteral("数据修改失败"), m_owner);
    return written;
}

// The payment-method text keeps its value either way: the receipt prints it.
void PaymentPanel::paymentChoiceClicked()
{
    const bool on = m_ui.选择框_付款方式->isChecked();
    m_ui.组合框_付款方式->setEnabled(on);
    m_ui.编辑框_付款方式->setEnabled(on);
    if (on && m_ui.组合框_付款方式->count() > 0)
        m_ui.组合框_付款方式->setCurrentIndex(0);
    writeChoice(QStringLiteral("付款方式的选中"), on);
}

void PaymentPanel::paymentMethodPicked(int index)
{
    m_ui.编辑框_付款方式->setText(m_ui.组合框_付款方式->itemText(index));
}

void PaymentPanel::telephoneChoiceClicked()
{
    if (m_ui.选择框_电话->isChecked()) {
        m_ui.组合框_电话->setEnabled(true);
        m_ui.编辑框_电话->setText(m_ui.组合框_电话->count() > 0 ? m_ui.组合框_电话->itemText(0) : QString());
        writeChoice(QStringLiteral("电话"), true);
        refillCustomerLists();
    } else {
        m_ui.组合框_电话->setEnabled(false);
        m_ui.编辑框_电话->setEnabled(false);
        writeChoice(QStringLiteral("电话"), false);
    }
}

void PaymentPanel::customerChoiceClicked()
{
    const bool on = m_ui.选择框_客户->isChecked();
    m_ui.组合框_客户->setEnabled(on);
    m_ui.编辑框_客户->setEnabled(on);
    writeChoice(QStringLiteral("客户"), on);
    if (on)
        refillCustomerLists();
}

// Both drop-downs list the customers in the same order, so a pick in one finds
// its partner at the same position in the other.
void PaymentPanel::refillCustomerLists()
{
    m_ui.组合框_电话->clear();
    m_ui.组合框_客户->clear();
    const auto rows = m_services.db.query(QStringLiteral("SELECT * FROM 客户资料"));
    if (!rows) {
        m_services.prompter.info(QStringLiteral("查询失败！"), m_owner);
        return;
    }
    for (const Row& row : *rows) {
        const qint64 id = row.integer(QStringLiteral("ID"));
        m_ui.组合框_电话->addItem(row.text(QStringLiteral("电话")), id);
        m_ui.组合框_客户->addItem(row.text(QStringLiteral("姓名")), id);
    }
}

void PaymentPanel::telephonePicked(int index)
{
    m_ui.编辑框_电话->setText(m_ui.组合框_电话->itemText(index));
    m_ui.编辑框_客户->setText(m_ui.组合框_客户->itemText(index));
}

void PaymentPanel::customerPicked(int index)
{
    m_ui.编辑框_客户->setText(m_ui.组合框_客户->itemText(index));
    m_ui.编辑框_电话->setText(m_ui.组合框_电话->itemText(index));
}

} // namespace tillora
