#include "records/QueryWindow.h"

#include "common/DateTexts.h"
#include "common/Numbers.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "records/RecordsWindow.h"
#include "store/Database.h"
#include "ui_QueryWindow.h"

namespace tillora {

namespace {

const QString kExplanation = QStringLiteral(
    "\r\n* 模糊查找   \r\n1.不一定准确\r\n2.很方便使用\r\n\r\n*精确查找\r\n1.所有条件勾选\r\n2.准确率高");

QString containing(const QString& text)
{
    return QLatin1Char('%') + text + QLatin1Char('%');
}

} // namespace

QueryWindow::QueryWindow(Services services, RecordsWindow& records, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::QueryWindow>())
    , m_services(services)
    , m_records(records)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    m_ui->标签_说明->setText(kExplanation);

    // Both boxes hold the moment the window opens; picking another date keeps
    // that time of day, which ends the range on the end day.
    const QDateTime now = m_services.clock.now();
    m_ui->日期框1->setDateTime(now);
    m_ui->日期框2->setDateTime(now);
    m_ui->日期框1->setEnabled(false);
    m_ui->日期框2->setEnabled(false);
    setEditBoxEnabled(m_ui->编辑框_数量1, false);
    setEditBoxEnabled(m_ui->编辑框_销售金额1, false);
    m_ui->组合框_收银员->setEnabled(false);
    FillCashierBox();

    // The check boxes only switch their boxes on and off: every query reads
    // all boxes, ticked or not.
    connect(m_ui->选择框_时间, &QCheckBox::clicked, this, [this](bool on) {
        m_ui->日期框1->setEnabled(on);
        m_ui->日期框2->setEnabled(on);
    });
    connect(m_ui->选择框_数量, &QCheckBox::clicked, this,
        [this](bool on) { setEditBoxEnabled(m_ui->编辑框_数量1, on); });
    connect(m_ui->选择框_金额, &QCheckBox::clicked, this,
        [this](bool on) { setEditBoxEnabled(m_ui->编辑框_销售金额1, on); });
    connect(m_ui->选择框_收银员, &QCheckBox::clicked, m_ui->组合框_收银员, &QWidget::setEnabled);
    connect(m_ui->按钮1, &QPushButton::clicked, this, &QueryWindow::runQuery);
    connect(m_ui->按钮2, &QPushButton::clicked, this, &QDialog::close);
}

QueryWindow::~QueryWindow() = default;

// A switched-off edit box shows the button face instead of white.
void QueryWindow::setEditBoxEnabled(QLineEdit* box, bool enabled)
{
    box->setEnabled(enabled);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, enabled ? QColor(Qt::white) : palette.color(QPalette::Button));
    box->setPalette(palette);
}

void QueryWindow::FillCashierBox()
{
    QComboBox* box = m_ui->组合框_收银员;
    box->clear();
    const auto rows = m_services.db.query(QStringLiteral("SELECT * FROM 用户登录"));
    if (!rows) {
        m_services.prompter.info(QStringLiteral("查询失败！"), this);
        return;
    }
    for (const Row& row : *rows)
        box->addItem(row.text(QStringLiteral("用户名")), row.integer(QStringLiteral("ID")));
    box->setCurrentIndex(-1);
    box->clearEditText();
}

// The range runs from midnight of the start day to the end box's moment, in the
// stored form of 销售时间 so that its index serves the comparison. Every typed
// text goes in as a bound value.
void QueryWindow::runQuery()
{
    const QString start = StoredDateTime(QDateTime(m_ui->日期框1->date(), QTime(0, 0)));
    const QString end = StoredDateTime(m_ui->日期框2->dateTime());
    const QString quantity = m_ui->编辑框_数量1->text();
    const QString amount = m_ui->编辑框_销售金额1->text();
    const QString cashier = m_ui->组合框_收银员->currentText();

    QString statement = QStringLiteral("SELECT * FROM 销售记录 WHERE 销售时间 BETWEEN ? AND ?");
    QVariantList params { start, end };
    if (m_ui->单选框_模糊->isChecked()) {
        // Any typed text contained in its column lists the record. An empty box
        // is left out: its pattern would contain every value and list every
        // record of the range whatever the other boxes hold.
        QStringList alternatives;
        if (!amount.isEmpty()) {
            alternatives << QStringLiteral("金额 LIKE ?");
            params << containing(MoneyText(amount));
        }
        if (!quantity.isEmpty()) {
            alternatives << QStringLiteral("数量 LIKE ?");
            params << containing(quantity);
        }
        if (!cashier.isEmpty()) {
            alternatives << QStringLiteral("收银员 LIKE ?");
            params << containing(cashier);
        }
        if (!alternatives.isEmpty())
            statement
                += QStringLiteral(" AND (") + alternatives.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    } else {
        // All three equal, as typed: an empty box matches no stored record.
        statement += QStringLiteral(" AND 数量 = ? AND 金额 = ? AND 收银员 = ?");
        params << quantity << amount << cashier;
    }
    m_records.FillRecordList(statement, params);
    m_records.ShowRecordTotals();
}

} // namespace tillora
