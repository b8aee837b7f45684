#include "settings/PaymentMethodWindow.h"

#include "app/ReportList.h"
#include "platform/Prompter.h"
#include "store/Database.h"
#include "ui_PaymentMethodWindow.h"

namespace tillora {

namespace {
const QString kMethodColumn = QStringLiteral("方式");
}

PaymentMethodWindow::PaymentMethodWindow(Services services, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::PaymentMethodWindow>())
    , m_services(services)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    ReportList::setColumns(m_ui->超级列表框1, { 50, 150 }, { Qt::AlignLeft, Qt::AlignLeft });
    connect(m_ui->超级列表框1, &QTreeWidget::currentItemChanged, this,
        [this](QTreeWidgetItem* current) { currentItemChanged(current); });
    connect(m_ui->按钮_添加, &QPushButton::clicked, this, &PaymentMethodWindow::addMethod);
    connect(m_ui->按钮_修改, &QPushButton::clicked, this, &PaymentMethodWindow::modifyMethod);
    connect(m_ui->按钮_删除, &QPushButton::clicked, this, &PaymentMethodWindow::deleteMethod);
    FillPaymentList();
    // The name box, not the list, takes the focus when the window opens: a list
    // that takes the keyboard focus makes its first row current by itself, and
    // 修改 or 删除 would then act on a row nobody chose.
    m_ui->编辑框1->setFocus();
}

// A window destroyed while still open reports its close here, so that the
// callback runs whichever way the window goes away.
PaymentMethodWindow::~PaymentMethodWindow()
{
    notifyClosed();
}

// Accept, reject, Escape and the title bar's close button all end here.
void PaymentMethodWindow::done(int result)
{
    QDialog::done(result);
    notifyClosed();
}

void PaymentMethodWindow::notifyClosed()
{
    if (m_closeNotified)
        return;
    m_closeNotified = true;
    if (m_onClosed)
        m_onClosed();
}

void PaymentMethodWindow::FillPaymentList()
{
    QTreeWidget* list = m_ui->超级列表框1;
    // The rows are replaced: no row is chosen until one is made current again,
    // so that 修改 and 删除 never act on a position of the old list.
    list->clear();
    m_currentRow = -1;
    const auto rows = m_services.db.query(QStringLiteral("SELECT * FROM 付款方式"));
    if (!rows) {
        m_services.prompter.info(QStringLiteral("查询失败！"), this);
        return;
    }
    ReportList::fill(list, *rows, { kMethodColumn });
}

void PaymentMethodWindow::currentItemChanged(QTreeWidgetItem* current)
{
    m_currentRow = current ? m_ui->超级列表框1->indexOfTopLevelItem(current) : -1;
    if (current)
        m_ui->编辑框1->setText(current->text(1));
}

std::optional<qint64> PaymentMethodWindow::chosenId(const QString& missingText)
{
    const QTreeWidgetItem* item = m_currentRow >= 0 ? m_ui->超级列表框1->topLevelItem(m_currentRow) : nullptr;
    if (!item) {
        m_services.prompter.message(missingText, QStringLiteral("提示："), Prompter::Icon::None, this);
        return std::nullopt;
    }
    return ReportList::tag(item);
}

void PaymentMethodWindow::addMethod()
{
    const QString name = m_ui->编辑框1->text();
    if (name.isEmpty()) {
        m_services.prompter.info(QStringLiteral("不能为空"), this);
        return;
    }
    if (!m_services.db.exec(QStringLiteral("INSERT INTO [付款方式] (方式) VALUES (?)"), { name })) {
        m_services.prompter.info(QStringLiteral("添加失败！"), this);
        return;
    }
    FillPaymentList();
}

// An empty box is not refused: the method's name becomes the empty text.
void PaymentMethodWindow::modifyMethod()
{
    const auto id = chosenId(QStringLiteral("请选择要修改的行！"));
    if (!id)
        return;
    if (!m_services.db.exec(
            QStringLiteral("UPDATE 付款方式 SET 方式=? WHERE ID=?"), { m_ui->编辑框1->text(), *id })) {
        m_services.prompter.info(QStringLiteral("数据修改失败"), this);
        return;
    }
    FillPaymentList();
}

// Deletes at once, without asking.
void PaymentMethodWindow::deleteMethod()
{
    const auto id = chosenId(QStringLiteral("请选择要删除的行！"));
    if (!id)
        return;
    if (!m_services.db.exec(QStringLiteral("DELETE FROM 付款方式 WHERE ID=?"), { *id })) {
        m_services.prompter.info(QStringLiteral("数据删除失败"), this);
        return;
    }
    FillPaymentList();
}

} // namespace tillora
