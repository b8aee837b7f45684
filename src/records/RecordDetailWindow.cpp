#include "records/RecordDetailWindow.h"

#include "app/ReportList.h"
#include "common/Numbers.h"
#include "platform/Prompter.h"
#include "records/ListExport.h"
#include "sales/Sale.h"
#include "sales/SaleEntryPanel.h"
#include "store/Database.h"
#include "store/Session.h"
#include "ui_RecordDetailWindow.h"

namespace tillora {

namespace {

enum Column { Number, Name, Quantity, UnitPrice, Amount, Discounted };

// A value rounded to 2 decimals, as money text.
QString discountedMoney(double value)
{
    return MoneyText(numberText(roundTo(value, 2)));
}

} // namespace

QString RecordDetailWindow::contactNotice()
{
    return QStringLiteral("使用中如有任何疑问或建议，\r\n欢迎随时与我们联系，\r\n联系电话：400-820-6618");
}

RecordDetailWindow::RecordDetailWindow(Services services, std::optional<qint64> recordId, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::RecordDetailWindow>())
    , m_services(services)
    , m_recordId(recordId)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    ReportList::setColumns(m_ui->超级列表框1, { 50, 120, 100, 100, 100, 100 },
        { Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignHCenter,
            Qt::AlignHCenter });

    // An ordinary user may only look at the lines.
    if (!m_services.session.isAdministrator()) {
        for (QPushButton* button : { m_ui->按钮_添加, m_ui->按钮_修改, m_ui->按钮_删除, m_ui->按钮_导出 })
            button->setEnabled(false);
    }
    // The edit box lies over the drop-down's text: it shows the chosen
    // discount and is the one the factor is read from.
    m_ui->组合框_折扣->addItems(SaleEntryPanel::discountPresets());
    m_ui->编辑框_折扣->raise();
    m_ui->编辑框_折扣->setText(QStringLiteral("10"));
    m_ui->编辑框_备注->setText(contactNotice());

    connect(m_ui->超级列表框1, &QTreeWidget::currentItemChanged, this,
        [this](QTreeWidgetItem* current) { lineSelected(current); });
    connect(m_ui->按钮_添加, &QPushButton::clicked, this, &RecordDetailWindow::addLine);
    connect(m_ui->按钮_修改, &QPushButton::clicked, this, &RecordDetailWindow::modifyLine);
    connect(m_ui->按钮_删除, &QPushButton::clicked, this, &RecordDetailWindow::deleteLine);
    connect(m_ui->选择框_折扣, &QCheckBox::clicked, this, &RecordDetailWindow::discountClicked);
    connect(m_ui->组合框_折扣, &QComboBox::activated, this,
        [this](int index) { m_ui->编辑框_折扣->setText(m_ui->组合框_折扣->itemText(index)); });
    connect(m_ui->按钮_关闭, &QPushButton::clicked, this, &QDialog::close);
    connect(m_ui->按钮_导出, &QPushButton::clicked, this,
        [this] { exportListToExcel(*m_ui->超级列表框1, m_services, this); });

    fillLines();
    // The name box, not the list, takes the focus: a list that takes the
    // keyboard focus makes its first row current by itself, and 修改 or 删除
    // would then act on a line nobody chose.
    m_ui->编辑框_名称->setFocus();
}

RecordDetailWindow::~RecordDetailWindow() = default;

void RecordDetailWindow::fillLines()
{
    QTreeWidget* list = m_ui->超级列表框1;
    list->clear();
    if (!m_recordId)
        return;
    const auto rows
        = m_services.db.query(QStringLiteral("SELECT * FROM 销售详情 WHERE 关联 = ?"), { *m_recordId });
    if (!rows) {
        m_services.prompter.info(QStringLiteral("查询失败！"), this);
        return;
    }
    ReportList::fill(list, *rows,
        { QStringLiteral("名称"), QStringLiteral("数量"), QStringLiteral("单价"), QStringLiteral("金额"),
            QStringLiteral("折后") });
}

// The boxes take the row's name, quantity and price; the list has no remark
// column, so the remark box starts empty. The discount controls stay as they are.
void RecordDetailWindow::lineSelected(QTreeWidgetItem* current)
{
    if (!current)
        return;
    m_ui->编辑框_名称->setText(current->text(Name));
    m_ui->编辑框_数量->setText(current->text(Quantity));
    m_ui->编辑框_单价->setText(current->text(UnitPrice));
    m_ui->编辑框_备注->setText(QString());
}

void RecordDetailWindow::discountClicked(bool on)
{
    m_ui->编辑框_折扣->setEnabled(on);
    m_ui->组合框_折扣->setEnabled(on);
}

double RecordDetailWindow::discountFactor() const
{
    return Sale::DiscountFactor(m_ui->编辑框_折扣->text());
}

bool RecordDetailWindow::entryComplete()
{
    const std::pair<const QLineEdit*, const char16_t*> boxes[] = {
        { m_ui->编辑框_名称, u"商品名称不能为空！" },
        { m_ui->编辑框_数量, u"数量不能为空！" },
        { m_ui->编辑框_单价, u"价格不能为空！" },
    };
    for (const auto& [box, message] : boxes) {
        if (box->text().isEmpty()) {
            m_services.prompter.message(
                QString::fromUtf16(message), QStringLiteral("提示"), Prompter::Icon::Error, this);
            return false;
        }
    }
    return true;
}

QTreeWidgetItem* RecordDetailWindow::selectedRow(const QString& missingText)
{
    QTreeWidgetItem* item = m_ui->超级列表框1->currentItem();
    if (!item)
        m_services.prompter.message(missingText, QStringLiteral("提示："), Prompter::Icon::None, this);
    return item;
}

// The line goes into the list only, tagged 0: nothing is stored.
void RecordDetailWindow::addLine()
{
    if (!entryComplete())
        return;
    const QString quantity = m_ui->编辑框_数量->text();
    const QString unitPrice = m_ui->编辑框_单价->text();
    const QString amount = MoneyText(numberText(numberFromText(unitPrice) * numberFromText(quantity)));
    const QString discounted = m_ui->选择框_折扣->isChecked()
        ? discountedMoney(numberFromText(amount) * discountFactor())
        : amount;
    QTreeWidgetItem* item = ReportList::append(m_ui->超级列表框1,
        { m_ui->编辑框_名称->text(), quantity, MoneyText(unitPrice), amount, discounted }, 0);
    m_ui->超级列表框1->scrollToItem(item);
}

// Stores the boxes' texts as typed into the chosen line. With the discount the
// line amount is the bare product (2 x 6 gives 12); without it the amount and
// the discounted amount are both the product as money text, as 添加 shows them.
void RecordDetailWindow::modifyLine()
{
    QTreeWidgetItem* item = selectedRow(QStringLiteral("请选择要修改的行！"));
    if (!item || !entryComplete())
        return;
    const QString name = m_ui->编辑框_名称->text();
    const QString quantity = m_ui->编辑框_数量->text();
    const QString unitPrice = m_ui->编辑框_单价->text();
    const QString product = numberText(numberFromText(unitPrice) * numberFromText(quantity));
    QString amount;
    QString discounted;
    if (m_ui->选择框_折扣->isChecked()) {
        amount = product;
        discounted = discountedMoney(numberFromText(product) * discountFactor());
    } else {
        amount = MoneyText(product);
        discounted = amount;
    }
    // A row added with 添加 names no stored line: only the list changes.
    const qint64 id = ReportList::tag(item);
    if (id != 0
        && !m_services.db.exec(
            QStringLiteral("UPDATE 销售详情 SET 名称=?, 数量=?, 单价=?, 金额=?, 折后=?, 备注=? WHERE ID=?"),
            { name, quantity, unitPrice, amount, discounted, m_ui->编辑框_备注->text(), id })) {
        m_services.prompter.info(QStringLiteral("数据添加失败"), this);
        return;
    }
    item->setText(Name, name);
    item->setText(Quantity, quantity);
    item->setText(UnitPrice, MoneyText(unitPrice));
    item->setText(Amount, amount);
    item->setText(Discounted, discounted);
}

// Deletes the chosen line at once, without asking. Afterwards no row is
// chosen, so that a second 删除 never removes a line nobody chose.
void RecordDetailWindow::deleteLine()
{
    QTreeWidgetItem* item = selectedRow(QStringLiteral("请选择要删除的行！"));
    if (!item)
        return;
    const qint64 id = ReportList::tag(item);
    if (id != 0 && !m_services.db.exec(QStringLiteral("DELETE FROM 销售详情 WHERE ID=?"), { id })) {
        m_services.prompter.info(QStringLiteral("数据删除失败"), this);
        return;
    }
    QTreeWidget* list = m_ui->超级列表框1;
    list->setCurrentItem(nullptr);
    delete item;
    ReportList::renumber(list);
}

} // namespace tillora
