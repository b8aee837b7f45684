#include "customers/CustomerWindow.h"

#include "app/ReportList.h"
#include "platform/Prompter.h"
#include "store/Database.h"
#include "ui_CustomerWindow.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace tillora {

namespace {

const QString kAllCustomers = QStringLiteral("SELECT * FROM 客户资料");

// A LIKE pattern that finds the text anywhere in the column.
QString containing(const QString& text)
{
    return QLatin1Char('%') + text + QLatin1Char('%');
}

// Splits a caption into the given number of lines of nearly equal length.
QString balancedLines(const QString& caption, int lines)
{
    QStringList parts;
    int from = 0;
    for (int line = 0; line < lines; ++line) {
        const int to = int((qint64(caption.size()) * (line + 1) + lines - 1) / lines);
        parts << caption.mid(from, to - from);
        from = to;
    }
    return parts.join(QLatin1Char('\n'));
}

} // namespace

// The caption goes on one line if it fits, else on two or three balanced lines,
// in the largest font, down to a floor, that fits beside the box.
void WrappingCheckBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    const QRect area = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    constexpr int kFlags = Qt::AlignLeft | Qt::AlignVCenter;
    constexpr int kSmallestPixelSize = 9;
    const int largest = QFontInfo(font()).pixelSize();
    QFont best = font();
    best.setPixelSize(kSmallestPixelSize);
    QString text = balancedLines(caption, 2);
    for (int lines = 1; lines <= 3 && best.pixelSize() < largest; ++lines) {
        const QString wrapped = balancedLines(caption, lines);
        for (int size = largest; size > best.pixelSize(); --size) {
            QFont candidate = font();
            candidate.setPixelSize(size);
            const QSize needed = QFontMetrics(candidate).size(0, wrapped);
            if (needed.width() <= area.width() && needed.height() <= area.height()) {
                best = candidate;
                text = wrapped;
                break;
            }
        }
    }
    // The box and the focus frame as the style draws them, then the caption.
    option.text.clear();
    painter.drawControl(QStyle::CE_CheckBox, option);
    painter.setFont(best);
    style()->drawItemText(&painter, area, kFlags, option.palette, isEnabled(), text, QPalette::WindowText);
}

CustomerWindow::CustomerWindow(Services services, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::CustomerWindow>())
    , m_services(services)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    ReportList::setColumns(
        m_ui->超级列表框1, { 50, 100, 100 }, { Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft });
    connect(m_ui->超级列表框1, &QTreeWidget::currentItemChanged, this,
        [this](QTreeWidgetItem* current) { currentItemChanged(current); });
    connect(m_ui->按钮_添加, &QPushButton::clicked, this, &CustomerWindow::addCustomer);
    connect(m_ui->按钮_修改, &QPushButton::clicked, this, &CustomerWindow::modifyCustomer);
    connect(m_ui->按钮_删除, &QPushButton::clicked, this, &CustomerWindow::deleteCustomer);
    connect(m_ui->按钮__查询, &QPushButton::clicked, this, &CustomerWindow::search);
    FillCustomerList(kAllCustomers);
    // The name box, not the list, takes the focus when the window opens: a list
    // that takes the keyboard focus makes its first row current by itself, and
    // 修改 or 删除 would then act on a row nobody chose.
    m_ui->编辑框_客户->setFocus();
}

CustomerWindow::~CustomerWindow() = default;

void CustomerWindow::FillCustomerList(const QString& statement, const QVariantList& params)
{
    m_listStatement = statement;
    m_listParams = params;
    QTreeWidget* list = m_ui->超级列表框1;
    // The rows are replaced: no row is chosen until one is made current again,
    // so that 修改 and 删除 never act on a position of the old list.
    list->clear();
    m_currentRow = -1;
    const auto rows = m_services.db.query(statement, params);
    if (!rows) {
        m_services.prompter.info(QStringLiteral("查询失败！"), this);
        return;
    }
    ReportList::fill(list, *rows, { QStringLiteral("姓名"), QStringLiteral("电话") });
}

void CustomerWindow::ResetCustomerForm()
{
    m_ui->编辑框_客户->clear();
    m_ui->编辑框_电话->clear();
    FillCustomerList(kAllCustomers);
}

void CustomerWindow::currentItemChanged(QTreeWidgetItem* current)
{
    m_currentRow = current ? m_ui->超级列表框1->indexOfTopLevelItem(current) : -1;
    if (!current)
        return;
    m_ui->编辑框_客户->setText(current->text(1));
    m_ui->编辑框_电话->setText(current->text(2));
}

std::optional<qint64> CustomerWindow::chosenId(const QString& missingText)
{
    const QTreeWidgetItem* item = m_currentRow >= 0 ? m_ui->超级列表框1->topLevelItem(m_currentRow) : nullptr;
    if (!item) {
        m_services.prompter.message(missingText, QStringLiteral("提示："), Prompter::Icon::None, this);
        return std::nullopt;
    }
    return ReportList::tag(item);
}

// Empty texts are accepted: a customer may have no name or number.
void CustomerWindow::addCustomer()
{
    if (!m_services.db.exec(QStringLiteral("INSERT INTO [客户资料] (姓名, 电话) VALUES (?, ?)"),
            { m_ui->编辑框_客户->text(), m_ui->编辑框_电话->text() })) {
        m_services.prompter.info(QStringLiteral("添加失败！"), this);
        return;
    }
    ResetCustomerForm();
}

void CustomerWindow::modifyCustomer()
{
    const auto id = chosenId(QStringLiteral("请选择要修改的行！"));
    if (!id)
        return;
    if (!m_services.db.exec(QStringLiteral("UPDATE 客户资料 SET 姓名=?, 电话=? WHERE ID=?"),
            { m_ui->编辑框_客户->text(), m_ui->编辑框_电话->text(), *id })) {
        m_services.prompter.info(QStringLiteral("数据添加失败"), this);
        return;
    }
    ResetCustomerForm();
}

// Deletes at once, without asking.
void CustomerWindow::deleteCustomer()
{
    const auto id = chosenId(QStringLiteral("请选择要删除的行！"));
    if (!id)
        return;
    if (!m_services.db.exec(QStringLiteral("DELETE FROM 客户资料 WHERE ID=?"), { *id })) {
        m_services.prompter.info(QStringLiteral("数据删除失败"), this);
        return;
    }
    ResetCustomerForm();
}

// The name box takes precedence over the number box; with both empty the
// list is filled again as it was last filled. The search boxes keep their texts.
void CustomerWindow::search()
{
    const QString name = m_ui->编辑框3->text();
    const QString number = m_ui->编辑框4->text();
    const bool byPart = m_ui->选择框1->isChecked();
    if (!name.isEmpty()) {
        if (byPart)
            FillCustomerList(
                QStringLiteral("SELECT * FROM 客户资料 WHERE 姓名 LIKE ?"), { containing(name) });
        else
            FillCustomerList(QStringLiteral("SELECT * FROM 客户资料 WHERE 姓名=?"), { name });
    } else if (!number.isEmpty()) {
        if (byPart)
            FillCustomerList(
                QStringLiteral("SELECT * FROM 客户资料 WHERE 电话 LIKE ?"), { containing(number) });
        else
            FillCustomerList(QStringLiteral("SELECT * FROM 客户资料 WHERE 电话=?"), { number });
    } else {
        // Copies: the call replaces the remembered statement with itself.
        const QString statement = m_listStatement;
        const QVariantList params = m_listParams;
        FillCustomerList(statement, params);
    }
}

} // namespace tillora
