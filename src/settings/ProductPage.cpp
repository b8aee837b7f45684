#include "settings/ProductPage.h"

#include "app/ReportList.h"
#include "common/Numbers.h"
#include "platform/Prompter.h"
#include "store/Database.h"
#include "ui_SettingsWindow.h"

#include <QSignalBlocker>

namespace tillora {

ProductPage::ProductPage(
    Ui::SettingsWindow& ui, Services services, std::function<void()> productsChanged, QWidget* owner)
    : QObject(owner)
    , m_ui(ui)
    , m_services(services)
    , m_productsChanged(std::move(productsChanged))
    , m_owner(owner)
{
    ReportList::setColumns(m_ui.超级列表框1, { 50, 165, 60 });
    connect(m_ui.超级列表框1, &QTreeWidget::currentItemChanged, this, &ProductPage::rowChosen);
    connect(m_ui.按钮_添加, &QPushButton::clicked, this, &ProductPage::addProduct);
    connect(m_ui.按钮_修改, &QPushButton::clicked, this, &ProductPage::modifyProduct);
    connect(m_ui.按钮_删除, &QPushButton::clicked, this, &ProductPage::deleteProduct);
}

void ProductPage::enter()
{
    FillProductList();
}

// After every refill no row is chosen: a change needs a row chosen anew.
void ProductPage::FillProductList()
{
    QTreeWidget* list = m_ui.超级列表框1;
    const QSignalBlocker quiet(list);
    m_selectedId.reset();
    list->clear();
    const auto rows = m_services.db.query(QStringLiteral("SELECT * FROM 商品名称"));
    if (!rows) {
        m_services.prompter.info(QStringLiteral("查询失败！"), m_owner);
        return;
    }
    ReportList::fill(list, *rows, { QStringLiteral("名称"), QStringLiteral("单价") });
    list->setCurrentItem(nullptr);
}

void ProductPage::rowChosen(QTreeWidgetItem* item)
{
    if (!item)
        return;
    m_selectedId = ReportList::tag(item);
    m_ui.编辑框_名称->setText(item->text(1));
    m_ui.编辑框_单价->setText(item->text(2));
}

bool ProductPage::rowChosenOrAsk()
{
    if (m_selectedId)
        return true;
    m_services.prompter.message(
        QStringLiteral("请选择要修改的行！"), QStringLiteral("提示："), Prompter::Icon::None, m_owner);
    return false;
}

void ProductPage::refillAfterChange()
{
    m_ui.编辑框_名称->clear();
    m_ui.编辑框_单价->clear();
    FillProductList();
}

// Every change of the products reaches the sales window's drop-down too.
void ProductPage::productsChanged()
{
    if (m_productsChanged)
        m_productsChanged();
}

void ProductPage::addProduct()
{
    Prompter& prompter = m_services.prompter;
    if (m_ui.编辑框_名称->text().isEmpty()) {
        prompter.info(QStringLiteral("商品名称不能为空！"), m_owner);
    } else if (m_ui.编辑框_单价->text().isEmpty()) {
        prompter.info(QStringLiteral("商品价格不能为空！"), m_owner);
    } else if (m_services.db.exec(QStringLiteral("INSERT INTO [商品名称] (名称, 单价) VALUES (?, ?)"),
                   { m_ui.编辑框_名称->text(), MoneyText(m_ui.编辑框_单价->text()) })) {
        refillAfterChange();
    } else {
        prompter.info(QStringLiteral("添加失败！"), m_owner);
    }
    productsChanged();
}

void ProductPage::modifyProduct()
{
    if (rowChosenOrAsk()) {
        if (m_services.db.exec(QStringLiteral("UPDATE 商品名称 SET 名称=?, 单价=? WHERE ID=?"),
                { m_ui.编辑框_名称->text(), MoneyText(m_ui.编辑框_单价->text()), *m_selectedId }))
            refillAfterChange();
        else
            m_services.prompter.info(QStringLiteral("数据添加失败"), m_owner);
    }
    productsChanged();
}

void ProductPage::deleteProduct()
{
    if (rowChosenOrAsk()) {
        if (m_services.db.exec(QStringLiteral("DELETE FROM 商品名称 WHERE ID=?"), { *m_selectedId }))
            refillAfterChange();
        else
            m_services.prompter.info(QStringLiteral("数据删除失败"), m_owner);
    }
    productsChanged();
}

} // namespace tillora
