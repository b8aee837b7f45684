#include "settings/SettingsWindow.h"

#include "platform/Prompter.h"
#include "receipt/ReceiptLayout.h"
#include "sales/OrderNumbers.h"
#include "settings/LogoWindow.h"
#include "settings/NumberFormatWindow.h"
#include "settings/PrinterWindow.h"
#include "settings/ProductPage.h"
#include "settings/UserPage.h"
#include "store/Config.h"
#include "store/Database.h"
#include "store/Session.h"
#include "ui_SettingsWindow.h"

namespace tillora {

namespace {

enum Page { PrintPage = 0, ProductsPage = 1, UsersPage = 2 };

// The print switches: each writes its column the moment it is clicked.
struct PrintSwitch {
    QCheckBox* Ui::SettingsWindow::*box;
    const char* column;
    bool PrintOptions::*option; // nullptr: the session's SaveSalesRecords
};

} // namespace

SettingsWindow::SettingsWindow(Services services, Printers& printers, SalesWindowLink link, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::SettingsWindow>())
    , m_services(services)
    , m_printers(printers)
    , m_link(std::move(link))
{
    m_ui->setupUi(this);
    setFixedSize(size());
    m_products = new ProductPage(*m_ui, services, m_link.productsChanged, this);
    m_users = new UserPage(*m_ui, services, this);
    connect(m_ui->按钮_保存, &QPushButton::clicked, this, &SettingsWindow::saveSettings);
    connect(m_ui->按钮_取消直接登录, &QPushButton::clicked, this, &SettingsWindow::cancelAutomaticLogin);
    connect(m_ui->按钮5, &QPushButton::clicked, this, &SettingsWindow::openLogoWindow);
    connect(m_ui->按钮1, &QPushButton::clicked, this, &SettingsWindow::openNumberFormatWindow);
    connect(m_ui->按钮_选择打印机, &QPushButton::clicked, this, &SettingsWindow::openPrinterWindow);
    connectPrintSwitches();
    initialize();
    connect(m_ui->高级选择夹1, &QTabWidget::currentChanged, this, &SettingsWindow::pageChanged);
    // An ordinary user starts on a page of lists: show its list at once.
    if (!m_services.session.isAdministrator())
        pageChanged(m_ui->高级选择夹1->currentIndex());
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::initialize()
{
    Config config(m_services.db, m_services.prompter);
    applyRoleRestrictions();
    m_ui->编辑框_边距->setText(config.readDistanceText(QStringLiteral("纸张边距")));
    m_ui->编辑框_偏差->setText(config.readDistanceText(QStringLiteral("打印偏差")));
    OrderNumbers(m_services.db, m_services.prompter, m_services.clock)
        .readMode(m_services.session.orderNumberMode);
    loadShopAndRemark();
    m_ui->选择框_显示打印完毕->setChecked(config.readYesNo(QStringLiteral("显示打印完毕")));
    m_ui->选择框_提示再次打印->setChecked(config.readYesNo(QStringLiteral("提示再次打印")));
    m_ui->选择框_打印单价->setChecked(config.readYesNo(QStringLiteral("打印单价")));
    m_ui->选择框_保存销售记录->setChecked(config.readYesNo(QStringLiteral("保存销售记录")));
    m_ui->编辑框3->setText(m_link.orderNumber);
}

void SettingsWindow::applyRoleRestrictions()
{
    if (m_services.session.isAdministrator())
        return;
    m_ui->高级选择夹1->setTabVisible(PrintPage, false);
    m_ui->高级选择夹1->setCurrentIndex(ProductsPage);
    for (QPushButton* button : { m_ui->按钮_添加, m_ui->按钮_修改, m_ui->按钮_删除, m_ui->按钮_添加1,
             m_ui->按钮_修改1, m_ui->按钮_删除1 })
        button->setEnabled(false);
}

// The shop name and the remark, read by one query.
void SettingsWindow::loadShopAndRemark()
{
    const auto rows = m_services.db.query(QStringLiteral("SELECT * FROM 配置文件 WHERE 1"));
    if (!rows) {
        m_services.prompter.info(QStringLiteral("查询失败！"), this);
        return;
    }
    if (rows->empty())
        return;
    m_ui->编辑框_店名->setText(rows->front().text(QStringLiteral("店名")));
    m_ui->编辑框_备注->setText(rows->front().text(QStringLiteral("备注")));
}

void SettingsWindow::connectPrintSwitches()
{
    static const PrintSwitch switches[] = {
        { &Ui::SettingsWindow::选择框_显示打印完毕, "显示打印完毕", &PrintOptions::showPrintedNotice },
        { &Ui::SettingsWindow::选择框_提示再次打印, "提示再次打印", &PrintOptions::askReprint },
        { &Ui::SettingsWindow::选择框_打印单价, "打印单价", &PrintOptions::printUnitPrice },
        { &Ui::SettingsWindow::选择框_保存销售记录, "保存销售记录", nullptr },
    };
    for (const PrintSwitch& entry : switches) {
        QCheckBox* box = (*m_ui).*entry.box;
        connect(box, &QCheckBox::clicked, this, [this, entry, box] {
            const bool on = box->isChecked();
            // On failure the copy keeps its value; the box stays as clicked.
            if (!Config(m_services.db, m_services.prompter).writeYesNo(QString::fromUtf8(entry.column), on)) {
                m_services.prompter.info(QStringLiteral("数据添加失败"), this);
                return;
            }
            Session& session = m_services.session;
            if (entry.option)
                session.printOptions.*entry.option = on;
            else
                session.saveSalesRecords = on;
        });
    }
}

void SettingsWindow::pageChanged(int index)
{
    if (index == ProductsPage)
        m_products->enter();
    else if (index == UsersPage)
        m_users->enter();
}

// Stores a distance as typed and takes the program's copy from the record.
bool SettingsWindow::storeDistance(const QString& column, const QString& text, int& copy)
{
    Config config(m_services.db, m_services.prompter);
    if (!config.writeText(column, text)) {
        m_services.prompter.info(QStringLiteral("数据添加失败"), this);
        return false;
    }
    copy = config.readDistance(column);
    loadShopAndRemark();
    return true;
}

void SettingsWindow::saveSettings()
{
    if (!m_services.db.exec(QStringLiteral("UPDATE 配置文件 SET 店名=?, 备注=? WHERE ID=1"),
            { m_ui->编辑框_店名->text(), m_ui->编辑框_备注->text() })) {
        m_services.prompter.info(QStringLiteral("数据添加失败!"), this);
        return;
    }
    PrintOptions& options = m_services.session.printOptions;
    if (!storeDistance(QStringLiteral("纸张边距"), m_ui->编辑框_边距->text(), options.paperMargin)
        || !storeDistance(QStringLiteral("打印偏差"), m_ui->编辑框_偏差->text(), options.printOffset))
        return;
    loadShopAndRemark();
    if (m_link.shopSaved)
        m_link.shopSaved(m_ui->编辑框_店名->text(), m_ui->编辑框_备注->text());
    m_services.prompter.info(QStringLiteral("基本信息已经保存！"), this);
}

// The remembered user name stays; the next start shows the login window.
void SettingsWindow::cancelAutomaticLogin()
{
    if (Config(m_services.db, m_services.prompter).writeText(QStringLiteral("直接登录"), QStringLiteral("0")))
        m_services.prompter.message(
            QStringLiteral("设置成功！"), QStringLiteral("提示"), Prompter::Icon::None, this);
    else
        m_services.prompter.info(QStringLiteral("数据执行失败！！"), this);
}

void SettingsWindow::openLogoWindow()
{
    LogoGeometry unused;
    LogoWindow window(m_services, m_link.logoGeometry ? *m_link.logoGeometry : unused, this);
    window.exec();
}

void SettingsWindow::openNumberFormatWindow()
{
    NumberFormatWindow window(m_services, this);
    window.setOnNumberReset([this](const QString& number) {
        m_ui->编辑框3->setText(number);
        if (m_link.orderNumberReset)
            m_link.orderNumberReset(number);
    });
    window.exec();
}

void SettingsWindow::openPrinterWindow()
{
    PrinterWindow window(m_printers, m_services.prompter, this);
    window.exec();
}

} // namespace tillora
