#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>
#include <optional>

namespace tillora {

// The system's printers: which there are, which is the user's default, and
// handing a finished document to a printer. Every call gives up after a short
// time, so that a hung print server never freezes the program.
class Printers {
public:
    virtual ~Printers() = default;

    // The printers' names in the system's order; std::nullopt when they cannot be listed.
    virtual std::optional<QStringList> names() = 0;
    // The user's default printer; empty when there is none or it cannot be asked.
    virtual QString defaultPrinter() = 0;
    // Makes printer the user's default (per user, as `lpoptions -d` does).
    virtual bool setDefaultPrinter(const QString& printer) = 0;
    // The default paper size of a printer in millimetres; std::nullopt when unknown.
    virtual std::optional<QSizeF> defaultPaperSize(const QString& printer) = 0;
    // Sends a PDF file to a printer as one job. Returns the job's ID, or 0 with a
    // reason in error when the printer does not take the job.
    virtual int printPdf(const QString& printer, const QString& pdfPath, const QString& title, QString* error) = 0;
};

// The printers of CUPS, through libcups, each request limited to timeoutMs.
class CupsPrinters final : public Printers {
public:
    explicit CupsPrinters(int timeoutMs = 2000);
    std::optional<QStringList> names() override;
    QString defaultPrinter() override;
    bool setDefaultPrinter(const QString& printer) override;
    std::optional<QSizeF> defaultPaperSize(const QString& printer) override;
    int printPdf(const QString& printer, const QString& pdfPath, const QString& title, QString* error) override;

private:
    int m_timeoutMs;
};

} // namespace tillora
