#include "sales/SaleEntryPanel.h"

#include "app/ReportList.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "platform/Prompter.h"
#include "sales/Sale.h"
#include "store/Database.h"
#include "ui_SalesWindow.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QWheelEvent>
#include <algorithm>

namespace tillora {

namespace {

const QString kProductLookup
    = QStringLiteral("SELECT * FROM 商品名称 WHERE ID = (SELECT max(ID) FROM 商品名称 WHERE 名称 LIKE ?)");

int wheelStep(const QWheelEvent* wheel)
{
    return wheel->angleDelta().y() > 0 ? -1 : 1;
}

} // namespace

QStringList SaleEntryPanel::discountPresets()
{
    QStringList presets { QStringLiteral("10") };
    for (int tenths = 99; tenths >= 10; --tenths) {
        if (tenths != 88 && tenths != 70)
            presets << QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
    }
    return presets;
}

SaleEntryPanel::SaleEntryPanel(Ui::SalesWindow& ui, Services services, Sale& sale, QWidget* owner)
    : QObject(owner)
    , m_ui(ui)
    , m_services(services)
    , m_sale(sale)
    , m_owner(owner)
{
    m_ui.组合框_折扣->addItems(discountPresets());
    m_ui.编辑框_数量->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d*")), m_ui.编辑框_数量));
    m_ui.编辑框_单价->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("-?\\d*\\.?\\d*")), m_ui.编辑框_单价));
    for (QWidget* box : { static_cast<QWidget*>(m_ui.编辑框_名称), static_cast<QWidget*>(m_ui.编辑框_数量),
             static_cast<QWidget*>(m_ui.编辑框_单价) })
        box->installEventFilter(this);

    connect(m_ui.按钮_添加商品, &QPushButton::clicked, this, &SaleEntryPanel::AddSaleLine);
    connect(m_ui.按钮_修改, &QPushButton::clicked, this, &SaleEntryPanel::ModifySaleLine);
    connect(m_ui.按钮_删除, &QPushButton::clicked, this, &SaleEntryPanel::DeleteSaleLines);
    connect(m_ui.选择框_折扣, &QCheckBox::clicked, this, &SaleEntryPanel::discountClicked);
    connect(m_ui.超级列表框1, &QTreeWidget::itemClicked, this, &SaleEntryPanel::rowClicked);
    connect(m_ui.组合框_名称, &DropDownComboBox::aboutToShowPopup, this, &SaleEntryPanel::fillNameDropDown);
    connect(m_ui.组合框_名称, &QComboBox::activated, this, &SaleEntryPanel::nameItemPicked);
}

bool SaleEntryPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        const int step = wheelStep(static_cast<QWheelEvent*>(event));
        if (watched == m_ui.编辑框_名称)
            nameWheel(step);
        else if (watched == m_ui.编辑框_数量)
            quantityWheel(step);
        else
            priceWheel(step);
        return true;
    }
    if (event->type() == QEvent::KeyRelease && watched == m_ui.编辑框_名称) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            nameKeyReleased(key->key());
    }
    return false;
}

SaleEntry SaleEntryPanel::typedEntry() const
{
    return { m_ui.编辑框_名称->text(), m_ui.编辑框_数量->text(), m_ui.编辑框_单价->text(),
        m_ui.选择框_折扣->isChecked(), m_ui.组合框_折扣->currentText() };
}

void SaleEntryPanel::resetEntryBoxes()
{
    m_ui.编辑框_名称->clear();
    m_ui.编辑框_数量->setText(QStringLiteral("1"));
    m_ui.编辑框_单价->setText(QStringLiteral("0.00"));
}

void SaleEntryPanel::showLines()
{
    QTreeWidget* list = m_ui.超级列表框1;
    list->clear();
    for (const SaleLine& line : m_sale.lines()) {
        auto* item = new QTreeWidgetItem(list);
        for (int cell = 0; cell < SaleLine::CellCount; ++cell) {
            item->setText(cell, line[cell]);
            if (cell >= SaleLine::Quantity)
                item->setTextAlignment(cell, Qt::AlignCenter);
        }
    }
}

void SaleEntryPanel::RefreshSaleTotals()
{
    m_ui.标签_总量->setText(m_sale.totalQuantity());
    m_ui.标签_总金额->setText(m_sale.totalAmount());
    m_ui.标签_打折后->setText(m_sale.discountedTotal());
    m_ui.编辑框_实收->setText(m_sale.payable(m_ui.选择框_折扣->isChecked()));
}

void SaleEntryPanel::clearSale()
{
    m_sale.clear();
    m_ui.超级列表框1->clear();
    m_ui.标签_总量->clear();
    m_ui.标签_总金额->clear();
    m_ui.标签_打折后->clear();
}

// A product that no lookup has found is added to 商品名称, once per program run.
bool SaleEntryPanel::rememberNewProduct()
{
    if (!m_rememberedMatch.isEmpty() || m_productRemembered)
        return true;
    if (!m_services.db.exec(QStringLiteral("INSERT INTO [商品名称] (名称, 单价) VALUES (?, ?)"),
            { m_ui.编辑框_名称->text(), MoneyText(m_ui.编辑框_单价->text()) })) {
        m_services.prompter.info(QStringLiteral("添加失败！"), m_owner);
        return false;
    }
    m_productRemembered = true;
    return true;
}

void SaleEntryPanel::AddSaleLine()
{
    const auto refuse = [this](const char* text) {
        m_services.prompter.message(
            QString::fromUtf8(text), QStringLiteral("提示"), Prompter::Icon::Error, m_owner);
    };
    if (m_ui.编辑框_名称->text().isEmpty())
        return refuse("商品名称不能为空！");
    if (m_ui.编辑框_数量->text().isEmpty())
        return refuse("数量不能为空！");
    if (m_ui.编辑框_单价->text().isEmpty())
        return refuse("价格不能为空！");
    if (!rememberNewProduct())
        return;
    m_sale.add(typedEntry());
    showLines();
    resetEntryBoxes();
    RefreshSaleTotals();
    QTreeWidget* list = m_ui.超级列表框1;
    list->scrollToItem(list->topLevelItem(list->topLevelItemCount() - 1));
}

void SaleEntryPanel::ModifySaleLine()
{
    const auto refuse
        = [this](const char* text) { m_services.prompter.info(QString::fromUtf8(text), m_owner); };
    if (m_ui.编辑框_名称->text().isEmpty())
        return refuse("商品名称不能为空！");
    if (m_ui.编辑框_单价->text().isEmpty())
        return refuse("单价不能为空！");
    if (m_ui.编辑框_数量->text().isEmpty())
        return refuse("数量不能为空！");
    QTreeWidget* list = m_ui.超级列表框1;
    if (m_sale.modify(list->indexOfTopLevelItem(list->currentItem()), typedEntry()))
        showLines();
    resetEntryBoxes();
    RefreshSaleTotals();
}

void SaleEntryPanel::DeleteSaleLines()
{
    resetEntryBoxes();
    QTreeWidget* list = m_ui.超级列表框1;
    std::vector<int> rows;
    for (QTreeWidgetItem* item : list->selectedItems())
        rows.push_back(list->indexOfTopLevelItem(item));
    m_sale.remove(rows);
    showLines();
    RefreshSaleTotals();
}

void SaleEntryPanel::rowClicked(QTreeWidgetItem* item)
{
    m_ui.按钮_修改->setEnabled(true);
    m_ui.按钮_删除->setEnabled(true);
    if (!item)
        return;
    m_ui.编辑框_名称->setText(item->text(SaleLine::Name));
    m_ui.编辑框_数量->setText(item->text(SaleLine::Quantity));
    m_ui.编辑框_单价->setText(item->text(SaleLine::UnitPrice));
}

// Ticking offers the first preset; nothing already in the list is recomputed.
void SaleEntryPanel::discountClicked()
{
    const bool on = m_ui.选择框_折扣->isChecked();
    m_ui.组合框_折扣->setEnabled(on);
    if (on)
        m_ui.组合框_折扣->setCurrentIndex(0);
}

void SaleEntryPanel::nameKeyReleased(int key)
{
    QLineEdit* box = m_ui.编辑框_名称;
    if (box->text().isEmpty()) {
        m_ui.编辑框_单价->setText(QStringLiteral("0.00"));
        return;
    }
    if (key == Qt::Key_Backspace) {
        if (box->hasSelectedText())
            box->del();
        return;
    }
    lookUpProduct();
}

// The newest product whose name starts with the typed text (letter case aside)
// gives the price and, when its first byte is the typed one, proposes the rest
// of its name, selected, so that typing on replaces it.
void SaleEntryPanel::lookUpProduct()
{
    QLineEdit* box = m_ui.编辑框_名称;
    const QString typed = box->text();
    const auto rows = m_services.db.query(kProductLookup, { typed + QLatin1Char('%') });
    if (!rows) {
        m_services.prompter.info(QStringLiteral("查询失败！"), m_owner);
        return;
    }
    if (rows->empty())
        return;
    m_rememberedMatch = rows->front().text(QStringLiteral("名称"));
    // Each key release finds the same product again while its name is typed on:
    // the price box is written only when its text changes.
    const QString price = rows->front().text(QStringLiteral("单价"));
    if (m_ui.编辑框_单价->text() != price)
        m_ui.编辑框_单价->setText(price);
    // Only the first byte is compared, so only the first characters are encoded.
    const QByteArray matchStart = gbkBytes(gbkLeft(m_rememberedMatch, 2));
    if (matchStart.isEmpty() || gbkBytes(gbkLeft(typed, 2)).front() != matchStart.front())
        return;
    const QString proposal = gbkRight(m_rememberedMatch, gbkLength(m_rememberedMatch) - gbkLength(typed));
    box->setText(typed + proposal);
    box->setSelection(int(typed.size()), int(proposal.size()));
}

void SaleEntryPanel::fillNameDropDown()
{
    QComboBox* box = m_ui.组合框_名称;
    box->clear();
    const auto rows = m_services.db.query(QStringLiteral("SELECT * FROM 商品名称"));
    if (!rows) {
        m_services.prompter.info(QStringLiteral("查询失败！"), m_owner);
        return;
    }
    for (const Row& row : *rows)
        box->addItem(row.text(QStringLiteral("名称")), wholeFromText(row.text(QStringLiteral("单价"))));
}

void SaleEntryPanel::nameItemPicked(int index)
{
    m_productRemembered = true;
    m_ui.编辑框_名称->setText(m_ui.组合框_名称->itemText(index));
    m_ui.编辑框_单价->setText(QString::number(m_ui.组合框_名称->itemData(index).toInt()));
}

void SaleEntryPanel::nameWheel(int step)
{
    QComboBox* box = m_ui.组合框_名称;
    if (box->count() == 0)
        return;
    // One step through the list, never past either end (also when the list has
    // become shorter since the last turn).
    m_wheelPosition = std::clamp(m_wheelPosition + step, 1, int(box->count()));
    const int index = m_wheelPosition - 1;
    m_ui.编辑框_名称->setText(box->itemText(index));
    m_ui.编辑框_单价->setText(QString::number(box->itemData(index).toInt()));
}

void SaleEntryPanel::quantityWheel(int step)
{
    const int n = wholeFromText(m_ui.编辑框_数量->text());
    if (n == 0 && step == -1)
        return;
    m_ui.编辑框_数量->setText(QString::number(n + step));
}

// The whole part moves by one and the two decimals stay: 12.50 gives 13.50.
void SaleEntryPanel::priceWheel(int step)
{
    QString text = MoneyText(m_ui.编辑框_单价->text());
    if (text.endsWith(QLatin1Char('.')))
        text += QStringLiteral("00");
    const int n = wholeFromText(text);
    if (n == 0 && step == -1)
        return;
    m_ui.编辑框_单价->setText(QString::number(n + step) + gbkRight(text, 3));
}

} // namespace tillora
