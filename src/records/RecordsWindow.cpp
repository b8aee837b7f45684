#include "records/RecordsWindow.h"

#include "app/ReportList.h"
#include "common/DateTexts.h"
#include "common/Numbers.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "records/DataReset.h"
#include "records/ListExport.h"
#include "records/QueryWindow.h"
#include "records/RecordDetailWindow.h"
#include "store/Database.h"
#include "store/Session.h"
#include "ui_RecordsWindow.h"

#include <QMenu>
#include <QRegularExpressionValidator>

namespace tillora {

namespace {

enum Column { Position, OrderNumber, Time, Quantity, Amount, Cashier, Remark };

// The order numbers are searched through their own index, which is much
// smaller to read than the records with their remarks. The box takes digits
// only, so finding the text inside the number is what LIKE '%text%' would do.
const QString kOrderNumberSearch = QStringLiteral(
    "SELECT * FROM 销售记录 WHERE ID IN (SELECT ID FROM 销售记录 WHERE instr(销售票号, ?) > 0)");

} // namespace

RecordsWindow::RecordsWindow(Services services, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::RecordsWindow>())
    , m_services(services)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    QTreeWidget* list = m_ui->超级列表框1;
    ReportList::setColumns(list, { 50, 90, 126, 50, 80, 60, 115 },
        { Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignHCenter,
            Qt::AlignHCenter });
    m_ui->编辑框_查单号->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d*")), m_ui->编辑框_查单号));

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("菜单"));
    connect(m_menu->addAction(QStringLiteral("查看详情")), &QAction::triggered, this,
        &RecordsWindow::openDetails);
    connect(m_menu->addAction(QStringLiteral("删除记录")), &QAction::triggered, this,
        &RecordsWindow::deleteRecord);

    connect(list, &QTreeWidget::currentItemChanged, this, &RecordsWindow::rowChosen);
    connect(list, &QTreeWidget::itemDoubleClicked, this, &RecordsWindow::openDetails);
    connect(list, &QWidget::customContextMenuRequested, this, &RecordsWindow::showContextMenu);
    connect(m_ui->按钮_查看详情, &QPushButton::clicked, this, &RecordsWindow::openDetails);
    connect(m_ui->按钮_搜索, &QPushButton::clicked, this, &RecordsWindow::searchByOrderNumber);
    connect(m_ui->按钮_查询, &QPushButton::clicked, this, &RecordsWindow::openQuery);
    connect(m_ui->按钮_导出表, &QPushButton::clicked, this, &RecordsWindow::exportList);
    connect(m_ui->按钮_管理数据, &QPushButton::clicked, this, &RecordsWindow::resetData);

    if (!m_services.session.isAdministrator()) {
        m_ui->按钮_导出表->setEnabled(false);
        m_ui->按钮_管理数据->setEnabled(false);
    }
    m_ui->按钮_查看详情->setEnabled(false);
    listDay();
}

RecordsWindow::~RecordsWindow() = default;

// The current day from midnight up to now, newest first.
void RecordsWindow::listDay()
{
    const QDateTime now = m_services.clock.now();
    FillRecordList(
        QStringLiteral("SELECT * FROM [销售记录] WHERE [销售时间] BETWEEN ? AND ? ORDER BY [销售时间] DESC"),
        { StoredDateTime(QDateTime(now.date(), QTime(0, 0))), StoredDateTime(now) });
    ShowRecordTotals();
}

QString RecordsWindow::recordTimeText(const QString& stored)
{
    // "YYYY-MM-DD HH:MM:SS", read field by field: this runs for every row listed.
    static const QRegularExpression form(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2}) (\\d{2}):(\\d{2}):(\\d{2})$"));
    const QRegularExpressionMatch match = form.match(stored);
    if (!match.hasMatch())
        return stored;
    const auto field = [&match](int i) { return match.capturedView(i).toInt(); };
    QString text = QStringLiteral("%1年%2月%3日").arg(field(1)).arg(field(2)).arg(field(3));
    const int hour = field(4), minute = field(5), second = field(6);
    if (second != 0)
        text += QStringLiteral("%1时%2分%3秒").arg(hour).arg(minute).arg(second);
    else if (minute != 0)
        text += QStringLiteral("%1时%2分").arg(hour).arg(minute);
    else if (hour != 0)
        text += QStringLiteral("%1时").arg(hour);
    return text;
}

void RecordsWindow::FillRecordList(const QString& statement, const QVariantList& params)
{
    QTreeWidget* list = m_ui->超级列表框1;
    list->setUpdatesEnabled(false);
    list->clear();
    const auto rows = m_services.db.query(statement, params);
    if (!rows) {
        list->setUpdatesEnabled(true);
        m_services.prompter.info(QStringLiteral("查询失败！"), this);
        return;
    }
    ReportList::fill(list, *rows, [](const Row& row) {
        return QStringList { row.text(QStringLiteral("销售票号")),
            recordTimeText(row.text(QStringLiteral("销售时间"))), row.text(QStringLiteral("数量")),
            row.text(QStringLiteral("金额")), row.text(QStringLiteral("收银员")),
            row.text(QStringLiteral("备注")) };
    });
    list->setCurrentItem(nullptr);
    list->setUpdatesEnabled(true);
}

QString RecordsWindow::ColumnTotal(const QTreeWidget* list, int column)
{
    double sum = 0;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        sum += numberFromText(list->topLevelItem(i)->text(column));
    return numberText(roundTo(sum, 2));
}

void RecordsWindow::ShowRecordTotals()
{
    m_ui->标签_销售数量->setText(ColumnTotal(m_ui->超级列表框1, Quantity));
    m_ui->标签_总金额->setText(MoneyText(ColumnTotal(m_ui->超级列表框1, Amount)));
}

// A refill leaves no row current but keeps the record chosen last.
void RecordsWindow::rowChosen()
{
    QTreeWidgetItem* item = m_ui->超级列表框1->currentItem();
    if (!item)
        return;
    m_ui->按钮_查看详情->setEnabled(true);
    m_selectedRecordId = ReportList::tag(item);
}

void RecordsWindow::showContextMenu(const QPoint& position)
{
    m_menu->popup(m_ui->超级列表框1->viewport()->mapToGlobal(position));
}

void RecordsWindow::searchByOrderNumber()
{
    const QString number = m_ui->编辑框_查单号->text();
    if (number.isEmpty()) {
        m_services.prompter.info(QStringLiteral("内容不能为空！"), this);
        return;
    }
    FillRecordList(kOrderNumberSearch, { number });
    ShowRecordTotals();
}

void RecordsWindow::deleteRecord()
{
    Prompter& prompter = m_services.prompter;
    if (!m_services.session.isAdministrator()) {
        prompter.message(
            QStringLiteral("只有管理员才有删除权限！"), QStringLiteral("提示"), Prompter::Icon::None, this);
        return;
    }
    QTreeWidget* list = m_ui->超级列表框1;
    QTreeWidgetItem* current = list->currentItem();
    if (!current) {
        prompter.message(
            QStringLiteral("请选择要删除的行！"), QStringLiteral("提示："), Prompter::Icon::None, this);
        return;
    }
    // The record's lines go with it through the cascade.
    if (!m_services.db.exec(
            QStringLiteral("DELETE FROM 销售记录 WHERE ID=?"), { ReportList::tag(current) })) {
        prompter.info(QStringLiteral("数据删除失败"), this);
        return;
    }
    delete current;
    ReportList::renumber(list);
    // The totals follow the list at once.
    ShowRecordTotals();
}

void RecordsWindow::openDetails()
{
    RecordDetailWindow details(m_services, m_selectedRecordId, this);
    details.exec();
}

void RecordsWindow::exportList()
{
    exportListToExcel(*m_ui->超级列表框1, m_services, this);
}

void RecordsWindow::resetData()
{
    DataReset(m_services, m_onRestart).run(this);
}

void RecordsWindow::openQuery()
{
    QueryWindow query(m_services, *this, this);
    query.exec();
}

} // namespace tillora
