#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class PrinterWindow;
}

namespace tillora {

class Printers;
class Prompter;

// Chooses the printer receipts go to: lists the system's printers, preselects
// the user's default printer and, on 保存, makes the chosen one the user's
// default. Nothing is stored in the database; 退出 has no action, the window is
// closed from its title bar.
class PrinterWindow : public QDialog {
    Q_OBJECT
public:
    PrinterWindow(Printers& printers, Prompter& prompter, QWidget* parent = nullptr);
    ~PrinterWindow() override;

    Ui::PrinterWindow& ui() { return *m_ui; }

    void FillPrinterList();
    void savePrinter();

private:
    void selectDefaultPrinter();

    std::unique_ptr<Ui::PrinterWindow> m_ui;
    Printers& m_printers;
    Prompter& m_prompter;
};

} // namespace tillora
