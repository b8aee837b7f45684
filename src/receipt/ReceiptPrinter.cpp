#include "receipt/ReceiptPrinter.h"

#include "platform/Printers.h"
#include "receipt/PainterSurface.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <memory>
#include <optional>

namespace tillora {

namespace {

constexpr int kResolution = 600; // dots per inch of the PDF page

// The printer target: a PDF page of the printer's paper, the left margin added
// to every x. Without a printer the document never starts and nothing is drawn.
class PdfSurface final : public ReceiptSurface {
public:
    PdfSurface(const QString& path, QPageSize pageSize, bool hasPrinter)
        : m_path(path)
        , m_pageSize(std::move(pageSize))
        , m_hasPrinter(hasPrinter)
    {
    }

    bool begin() override
    {
        if (!m_hasPrinter)
            return false;
        m_writer = std::make_unique<QPdfWriter>(m_path);
        m_writer->setResolution(kResolution);
        m_writer->setPageSize(m_pageSize);
        m_writer->setPageMargins(QMarginsF(0, 0, 0, 0));
        m_painter = std::make_unique<QPainter>();
        if (!m_painter->begin(m_writer.get()))
            return false;
        m_surface.emplace(*m_painter, PainterSurface::dotsPerUnitAt(kResolution), QStringLiteral("宋体"));
        m_surface->setPaperMargin(m_margin);
        return true;
    }
    bool finish() { return m_painter && m_painter->end(); }

    void setPaperMargin(int margin) override { m_margin = margin; }
    void setFont(int points, bool bold) override { m_surface->setFont(points, bold); }
    void writeText(int x, int y, const QString& text) override { m_surface->writeText(x, y, text); }
    void drawLine(int x1, int y1, int x2, int y2) override { m_surface->drawLine(x1, y1, x2, y2); }
    void drawImage(const QImage& image, int x, int y, int width, int height) override
    {
        m_surface->drawImage(image, x, y, width, height);
    }
    void setWritePosition(int x, int y) override { m_surface->setWritePosition(x, y); }
    void writeLines(const QString& text) override { m_surface->writeLines(text); }
    void writeTextHere(const QString& text) override { m_surface->writeTextHere(text); }

private:
    QString m_path;
    QPageSize m_pageSize;
    bool m_hasPrinter;
    int m_margin = 0;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    std::optional<PainterSurface> m_surface;
};

} // namespace

ReceiptPrinter::ReceiptPrinter(Printers& printers)
    : m_printers(printers)
{
}

bool ReceiptPrinter::print(const ReceiptContent& content, const PrintOptions& options, LogoGeometry& geometry,
    LogoSource& logo, const QString& title)
{
    m_problem.clear();
    m_jobId = 0;
    m_printer = m_printers.defaultPrinter();
    QTemporaryDir folder;
    if (!folder.isValid()) {
        m_problem = QStringLiteral("无法写入临时文件");
        return false;
    }
    const std::optional<QSizeF> paper
        = m_printer.isEmpty() ? std::nullopt : m_printers.defaultPaperSize(m_printer);
    const QPageSize pageSize = paper ? QPageSize(*paper, QPageSize::Millimeter) : QPageSize(QPageSize::A4);
    const QString path = folder.filePath(QStringLiteral("receipt.pdf"));
    PdfSurface surface(path, pageSize, !m_printer.isEmpty());
    // The layout reads the logo as for every receipt, even when it cannot draw.
    const ReceiptVariant variant { ReceiptTarget::Printer, options.printUnitPrice };
    const bool drawn = DrawReceipt(surface, variant, content, options, geometry, logo);
    if (m_printer.isEmpty()) {
        m_problem = QStringLiteral("没有默认打印机");
        return false;
    }
    if (!drawn || !surface.finish()) {
        m_problem = QStringLiteral("无法生成打印文档");
        return false;
    }
    QString error;
    m_jobId = m_printers.printPdf(m_printer, path, title, &error);
    if (m_jobId == 0) {
        m_problem = QStringLiteral("打印机“%1”没有接受打印任务：%2").arg(m_printer, error);
        return false;
    }
    return true;
}

} // namespace tillora
