#include "settings/PrinterWindow.h"

#include "platform/Printers.h"
#include "platform/Prompter.h"
#include "ui_PrinterWindow.h"

namespace tillora {

namespace {

// A listed name is the printer's name up to its first comma.
QString listedName(const QString& name)
{
    return name.section(QLatin1Char(','), 0, 0);
}

} // namespace

PrinterWindow::PrinterWindow(Printers& printers, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::PrinterWindow>())
    , m_printers(printers)
    , m_prompter(prompter)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    connect(m_ui->按钮_保存, &QPushButton::clicked, this, &PrinterWindow::savePrinter);
    FillPrinterList();
    selectDefaultPrinter();
}

PrinterWindow::~PrinterWindow() = default;

// Each entry shows the name cut at its first comma and keeps the printer's full
// name, which is what 保存 hands on: a cut name would name no printer at all.
void PrinterWindow::FillPrinterList()
{
    QComboBox* box = m_ui->组合框_打印机名称;
    box->clear();
    const std::optional<QStringList> names = m_printers.names();
    if (!names) {
        m_prompter.info(QStringLiteral("枚举打印机失败"), this);
        return;
    }
    for (const QString& name : *names)
        box->addItem(listedName(name), name);
}

// The first entry that begins with the default printer's name, ignoring case.
// An entry equal to that name comes first, so that a default printer "Bar" is
// never shown as "Bar2" listed before it. Without a default, or when none
// matches, the first entry stays chosen.
void PrinterWindow::selectDefaultPrinter()
{
    QComboBox* box = m_ui->组合框_打印机名称;
    if (box->count() == 0)
        return;
    const QString name = listedName(m_printers.defaultPrinter());
    if (name.isEmpty())
        return;
    int index = box->findText(name, Qt::MatchFixedString);
    if (index < 0)
        index = box->findText(name, Qt::MatchStartsWith);
    if (index >= 0)
        box->setCurrentIndex(index);
}

// The result is not examined and nothing is shown; the window stays open.
// With no entry chosen the empty name is passed, which names no printer.
void PrinterWindow::savePrinter()
{
    QComboBox* box = m_ui->组合框_打印机名称;
    const QString printer = box->currentIndex() >= 0 ? box->currentData().toString() : QString();
    m_printers.setDefaultPrinter(printer);
}

} // namespace tillora
