#pragma once

#include "receipt/ReceiptLayout.h"

#include <QString>

namespace tillora {

class Printers;

// Prints one receipt on the user's default printer: the receipt is drawn into a
// PDF document of the printer's paper size and handed to the printer as one job,
// whose acceptance is checked.
class ReceiptPrinter {
public:
    explicit ReceiptPrinter(Printers& printers);

    // True when the printer took the job; otherwise problem() says why.
    bool print(const ReceiptContent& content, const PrintOptions& options, LogoGeometry& geometry,
        LogoSource& logo, const QString& title);
    QString problem() const { return m_problem; }
    int jobId() const { return m_jobId; }
    QString printerName() const { return m_printer; }

private:
    Printers& m_printers;
    QString m_printer;
    QString m_problem;
    int m_jobId = 0;
};

} // namespace tillora
