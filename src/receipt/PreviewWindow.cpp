#include "receipt/PreviewWindow.h"

#include "receipt/PainterSurface.h"
#include "ui_PreviewWindow.h"

#include <QPainter>

namespace tillora {

PreviewWindow::PreviewWindow(const ReceiptContent& content, const PrintOptions& options,
    LogoGeometry& geometry, LogoSource& logo, QWidget* salesWindow)
    : QDialog(salesWindow)
    , m_ui(std::make_unique<Ui::PreviewWindow>())
{
    m_ui->setupUi(this);
    if (salesWindow)
        setGeometry(x(), salesWindow->geometry().top(), width(), salesWindow->height());
    setFixedSize(size());
    connect(m_ui->纵向滚动条1, &QScrollBar::valueChanged, this, &PreviewWindow::scrollTo);

    ReceiptCanvas* canvas = m_ui->画板1;
    QPainter painter(&canvas->clear());
    painter.setRenderHint(QPainter::Antialiasing, false);
    PainterSurface surface(
        painter, PainterSurface::dotsPerUnitAt(canvas->logicalDpiX()), QStringLiteral("新宋体"));
    // On screen the margin moves the canvas to the right inside its frame.
    surface.setMarginHandler([canvas](int margin) { canvas->move(kCanvasLeft + margin, canvas->y()); });
    DrawReceipt(
        surface, { ReceiptTarget::Preview, options.printUnitPrice }, content, options, geometry, logo);
}

PreviewWindow::~PreviewWindow() = default;

// Moving the thumb down moves the drawing up, one pixel per step.
void PreviewWindow::scrollTo(int position)
{
    m_ui->画板1->move(m_ui->画板1->x(), 10 - position);
}

} // namespace tillora
