#include "app/SalesWindow.h"

#include "app/ReportList.h"
#include "common/DateTexts.h"
#include "customers/CustomerWindow.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"
#include "receipt/PreviewWindow.h"
#include "receipt/ReceiptPrinter.h"
#include "records/RecordsWindow.h"
#include "sales/PaymentPanel.h"
#include "sales/SaleEntryPanel.h"
#include "sales/SaleStore.h"
#include "settings/PaymentMethodWindow.h"
#include "settings/SettingsWindow.h"
#include "store/Config.h"
#include "store/Database.h"
#include "store/Session.h"
#include "ui_SalesWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QStandardPaths>

namespace tillora {

namespace {

constexpr int kClockInterval = 999;

const QString kAboutText
    = QStringLiteral("Tillora 3.2\n\n一台收银机的小店收银软件：销售录入、找零、小票打印、销售统计与导出。");
const QString kContactAddress = QStringLiteral("mailto:support@tillora.example");

// The desktop's own calculator and text editor, whichever is installed.
const QStringList kCalculators
    = { QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator"),
          QStringLiteral("mate-calc"), QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc") };
const QStringList kTextEditors = { QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"),
    QStringLiteral("kate"), QStringLiteral("kwrite"), QStringLiteral("mousepad"), QStringLiteral("pluma"),
    QStringLiteral("xed"), QStringLiteral("leafpad") };

// Starts the first program of the list found on the search path; a failure is
// not reported.
void startFirstAvailable(Shell& shell, const QStringList& programs)
{
    for (const QString& program : programs) {
        const QString path = QStandardPaths::findExecutable(program);
        if (!path.isEmpty()) {
            shell.startProgram(path, {});
            return;
        }
    }
}

bool isPlainKey(const QKeyEvent* key, int wanted)
{
    return key->key() == wanted && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

SalesWindow::SalesWindow(Services services, Printers& printers, QWidget* parent)
    : QMainWindow(parent)
    , m_ui(std::make_unique<Ui::SalesWindow>())
    , m_services(services)
    , m_printers(printers)
    , m_orderNumbers(services.db, services.prompter, services.clock)
    , m_logo(services.db, services.prompter)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    m_entry = new SaleEntryPanel(*m_ui, services, m_sale, this);
    m_payment = new PaymentPanel(*m_ui, services, m_sale, this);
    setUpSalesList();
    connectMenus();
    connectControls();
    initialize();
}

SalesWindow::~SalesWindow()
{
    qApp->removeEventFilter(this);
}

void SalesWindow::setUpSalesList()
{
    ReportList::setColumns(m_ui->超级列表框1, { 50, 210, 80, 80, 100, 95 },
        { Qt::AlignLeft, Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignHCenter,
            Qt::AlignHCenter });
}

void SalesWindow::connectMenus()
{
    Shell& shell = m_services.shell;
    connect(
        m_ui->菜单_计算器, &QAction::triggered, this, [&shell] { startFirstAvailable(shell, kCalculators); });
    connect(
        m_ui->菜单_记事本, &QAction::triggered, this, [&shell] { startFirstAvailable(shell, kTextEditors); });
    connect(m_ui->菜单_联系作者, &QAction::triggered, this, [&shell] { shell.openAddress(kContactAddress); });
    connect(m_ui->菜单_软件设置, &QAction::triggered, this, &SalesWindow::openSettings);
    connect(m_ui->菜单_统计销售, &QAction::triggered, this, &SalesWindow::openRecords);
    connect(m_ui->菜单_关于, &QAction::triggered, this, [this] {
        m_services.prompter.message(kAboutText, QStringLiteral("关于"), Prompter::Icon::Information, this);
    });
}

void SalesWindow::connectControls()
{
    connect(&m_clockTimer, &QTimer::timeout, this, &SalesWindow::showTime);
    connect(m_ui->选择框_修改时间, &QCheckBox::clicked, this, &SalesWindow::changeTimeClicked);
    connect(m_ui->按钮_打印小票, &QPushButton::clicked, this, &SalesWindow::PrintReceiptButton);
    connect(m_ui->按钮_打印预览, &QPushButton::clicked, this, &SalesWindow::OpenPreview);
    connect(m_ui->按钮_仅保存小票, &QPushButton::clicked, this, &SalesWindow::SaveSale);
    connect(m_ui->按钮_付款方式, &QPushButton::clicked, this, &SalesWindow::openPaymentMethods);
    connect(m_ui->按钮_设置客户, &QPushButton::clicked, this, &SalesWindow::openCustomers);
}

// What opening the window loads and sets, in this order.
void SalesWindow::initialize()
{
    Session& session = m_services.session;
    Config config(m_services.db, m_services.prompter);
    lookUpRole();
    qApp->installEventFilter(this);
    setWindowTitle(QStringLiteral("Tillorav3.2          收银员：") + session.currentUser + QLatin1Char('(')
        + session.currentRole + QLatin1Char(')'));
    m_ui->编辑框_收银员->setText(session.currentUser);
    applyRoleRestrictions();
    m_orderNumbers.readMode(session.orderNumberMode);
    m_payment->FillPaymentDropDown();
    m_ui->编辑框_付款方式->setText(QStringLiteral("现金"));
    m_ui->编辑框_备注->setText(config.readText(QStringLiteral("备注")));
    m_ui->编辑框_店名->setText(config.readText(QStringLiteral("店名")));
    m_ui->编辑框_单号->setText(m_orderNumbers.startNumber(session.orderNumberMode));
    applyStoredChoices(config);
    loadSettings(config);
    m_ui->按钮_删除->setEnabled(false);
    m_ui->按钮_修改->setEnabled(false);
    // The cashier types the product name into the box that lies over the drop-down.
    m_ui->编辑框_名称->setFocus();
    fillCashierList();
    m_clockTimer.start(kClockInterval);
}

void SalesWindow::reportQueryFailure()
{
    m_services.prompter.info(QStringLiteral("查询失败！"), this);
}

void SalesWindow::lookUpRole()
{
    Session& session = m_services.session;
    const auto rows = m_services.db.query(
        QStringLiteral("SELECT * FROM 用户登录 WHERE 用户名=?"), { session.currentUser });
    session.currentRole.clear();
    if (!rows) {
        reportQueryFailure();
        return;
    }
    for (const Row& row : *rows)
        session.currentRole = row.text(QStringLiteral("权限"));
}

void SalesWindow::applyRoleRestrictions()
{
    const bool administrator = m_services.session.isAdministrator();
    m_ui->编辑框_收银员->setEnabled(administrator);
    m_ui->组合框_收银员->setEnabled(administrator);
    m_ui->按钮_仅保存小票->setEnabled(administrator);
}

void SalesWindow::fillCashierList()
{
    QComboBox* box = m_ui->组合框_收银员;
    box->clear();
    const auto rows = m_services.db.query(QStringLiteral("SELECT * FROM 用户登录"));
    if (!rows) {
        reportQueryFailure();
        return;
    }
    for (const Row& row : *rows)
        box->addItem(row.text(QStringLiteral("用户名")), row.integer(QStringLiteral("ID")));
}

// The telephone, customer, discount and payment-method choices as stored.
// Any value but "真" or "假" leaves a choice as the form has it.
void SalesWindow::applyStoredChoices(Config& config)
{
    const auto stored = [&config](const char* column, const QString& value) {
        return config.readText(QString::fromUtf8(column)) == value;
    };
    // Ticks or clears a choice and enables or disables its controls with it.
    const auto show = [](QCheckBox* box, bool on, std::initializer_list<QWidget*> controls) {
        box->setChecked(on);
        for (QWidget* control : controls)
            control->setEnabled(on);
    };
    Ui::SalesWindow& ui = *m_ui;
    if (stored("电话", Config::no()))
        show(ui.选择框_电话, false, { ui.编辑框_电话, ui.组合框_电话 });
    if (stored("电话", Config::yes())) {
        show(ui.选择框_电话, true, { ui.编辑框_电话, ui.组合框_电话 });
        m_payment->telephoneChoiceClicked();
    }
    if (stored("客户", Config::no()))
        show(ui.选择框_客户, false, { ui.编辑框_客户, ui.组合框_客户 });
    if (stored("客户", Config::yes())) {
        show(ui.选择框_客户, true, { ui.组合框_客户 });
        ui.编辑框_客户->setEnabled(false);
        m_payment->customerChoiceClicked();
    }
    if (stored("折扣", Config::no()))
        show(ui.选择框_折扣, false, { ui.组合框_折扣 });
    if (stored("折扣", Config::yes()))
        show(ui.选择框_折扣, true, { ui.组合框_折扣 });
    if (stored("付款方式的选中", Config::no()))
        show(ui.选择框_付款方式, false, { ui.编辑框_付款方式, ui.组合框_付款方式 });
    if (stored("付款方式的选中", Config::yes()))
        show(ui.选择框_付款方式, true, { ui.编辑框_付款方式, ui.组合框_付款方式 });
}

void SalesWindow::loadSettings(Config& config)
{
    Session& session = m_services.session;
    PrintOptions& options = session.printOptions;
    options.showPrintedNotice = config.readYesNo(QStringLiteral("显示打印完毕"));
    options.askReprint = config.readYesNo(QStringLiteral("提示再次打印"));
    options.printUnitPrice = config.readYesNo(QStringLiteral("打印单价"));
    session.saveSalesRecords = config.readYesNo(QStringLiteral("保存销售记录"));
    options.printLogo = config.readPrintLogo();
    options.paperMargin = config.readDistance(QStringLiteral("纸张边距"));
    options.printOffset = config.readDistance(QStringLiteral("打印偏差"));
}

// The payment methods may change there: the drop-down follows when it closes.
void SalesWindow::openPaymentMethods()
{
    PaymentMethodWindow window(m_services, this);
    window.setOnClosed([this] { m_payment->FillPaymentDropDown(); });
    window.exec();
}

void SalesWindow::openSettings()
{
    createSettingsWindow()->exec();
}

std::unique_ptr<SettingsWindow> SalesWindow::createSettingsWindow()
{
    SalesWindowLink link;
    link.orderNumber = m_ui->编辑框_单号->text();
    link.shopSaved = [this](const QString& shop, const QString& remark) {
        m_ui->编辑框_店名->setText(shop);
        m_ui->编辑框_备注->setText(remark);
    };
    link.productsChanged = [this] { m_entry->fillNameDropDown(); };
    link.orderNumberReset = [this](const QString& number) { m_ui->编辑框_单号->setText(number); };
    link.logoGeometry = &m_logoGeometry;
    return std::make_unique<SettingsWindow>(m_services, m_printers, std::move(link), this);
}

void SalesWindow::openRecords()
{
    RecordsWindow window(m_services, this);
    window.setOnRestart(m_onRestart);
    window.exec();
}

void SalesWindow::openCustomers()
{
    CustomerWindow window(m_services, this);
    window.exec();
}

void SalesWindow::showTime()
{
    m_ui->编辑框_时间->setText(DateTimeText(m_services.clock.now()));
}

// Ticked: the clock stops and the time can be typed; cleared: the clock runs again.
void SalesWindow::changeTimeClicked()
{
    const bool editable = m_ui->选择框_修改时间->isChecked();
    m_ui->编辑框_时间->setReadOnly(!editable);
    if (editable)
        m_clockTimer.stop();
    else
        m_clockTimer.start(kClockInterval);
}

void SalesWindow::AddSaleLine()
{
    m_entry->AddSaleLine();
}

void SalesWindow::PrintReceiptButton()
{
    if (m_sale.isEmpty()) {
        m_services.prompter.info(QStringLiteral("没有可以打印的数据！"), this);
        return;
    }
    PrintReceipt();
    // The sale has been paid: it is saved whether or not the receipt came out.
    SaveSale();
}

void SalesWindow::PrintReceipt()
{
    Prompter& prompter = m_services.prompter;
    const PrintOptions& options = m_services.session.printOptions;
    const QString notice = QStringLiteral("提示:");
    for (;;) {
        ReceiptPrinter printer(m_printers);
        if (!printer.print(receiptContent(), options, m_logoGeometry, m_logo,
                QStringLiteral("receipt") + m_ui->编辑框_单号->text())) {
            prompter.message(
                QStringLiteral("小票没有打印出来：%1。\n这笔销售照常保存，请检查打印机后再打印。")
                    .arg(printer.problem()),
                notice, Prompter::Icon::Warning, this);
            return;
        }
        if (options.showPrintedNotice)
            prompter.message(QStringLiteral("打印完毕"), notice, Prompter::Icon::None, this);
        if (!options.askReprint
            || !prompter.askYesNo(
                QStringLiteral("打印完毕,是否再次打印！"), notice, Prompter::Icon::None, this))
            return;
    }
}

void SalesWindow::OpenPreview()
{
    if (m_sale.isEmpty()) {
        m_services.prompter.info(QStringLiteral("没有可以预览的数据！"), this);
        return;
    }
    PreviewWindow preview(receiptContent(), m_services.session.printOptions, m_logoGeometry, m_logo, this);
    preview.exec();
}

ReceiptContent SalesWindow::receiptContent() const
{
    const Ui::SalesWindow& ui = *m_ui;
    ReceiptContent content;
    content.storeName = ui.编辑框_店名->text();
    content.orderNumber = ui.编辑框_单号->text();
    content.time = ui.编辑框_时间->text();
    for (const SaleLine& line : m_sale.lines())
        content.items.push_back({ line[SaleLine::Name], line[SaleLine::Quantity], line[SaleLine::UnitPrice],
            line[SaleLine::Amount] });
    content.totalQuantity = ui.标签_总量->text();
    content.totalAmount = ui.标签_总金额->text();
    content.discountedTotal = ui.标签_打折后->text();
    content.cashReceived = ui.编辑框_实收->text();
    content.change = ui.编辑框_找零->text();
    content.cashier = ui.编辑框_收银员->text();
    content.paymentMethod = ui.编辑框_付款方式->text();
    content.remark = ui.编辑框_备注->text();
    return content;
}

void SalesWindow::SaveSale()
{
    if (m_sale.isEmpty()) {
        m_services.prompter.info(QStringLiteral("没有可以保存的数据！"), this);
        return;
    }
    Session& session = m_services.session;
    m_ui->编辑框_单号->setText(m_orderNumbers.advance(m_ui->编辑框_单号->text(), session.orderNumberMode));
    if (session.saveSalesRecords) {
        const SaleRecord record { m_ui->编辑框_单号->text(), m_services.clock.now(), m_sale.totalQuantity(),
            m_sale.totalAmount(), m_ui->编辑框_收银员->text(), m_ui->编辑框_备注->text(), m_sale.lines() };
        // Nothing of a failed sale is stored: it stays in the list to be saved again.
        if (storeSale(m_services.db, record) == 0) {
            m_services.prompter.info(QStringLiteral("添加失败！"), this);
            return;
        }
    }
    m_entry->clearSale();
}

// Enter adds the typed line and F5 prints, whatever control has the focus,
// while this window is the active one (no dialog or message box in front).
bool SalesWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !isActiveWindow() || QApplication::activeModalWidget())
        return QMainWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (isPlainKey(key, Qt::Key_Return) || isPlainKey(key, Qt::Key_Enter)) {
        AddSaleLine();
        return true;
    }
    if (isPlainKey(key, Qt::Key_F5)) {
        PrintReceiptButton();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void SalesWindow::closeEvent(QCloseEvent* event)
{
    qApp->removeEventFilter(this);
    m_clockTimer.stop();
    m_services.db.close();
    event->accept();
    if (m_onClosed)
        m_onClosed();
}

} // namespace tillora
