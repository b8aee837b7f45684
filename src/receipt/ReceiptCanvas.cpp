#include "receipt/ReceiptCanvas.h"

#include <QPaintEvent>
#include <QPainter>

namespace tillora {

ReceiptCanvas::ReceiptCanvas(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage& ReceiptCanvas::clear()
{
    m_picture = QImage(size(), QImage::Format_RGB32);
    m_picture.fill(Qt::white);
    // Text drawn on the picture takes the screen's resolution, as the canvas does.
    m_picture.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    m_picture.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    update();
    return m_picture;
}

void ReceiptCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.drawImage(QPoint(0, 0), m_picture);
}

} // namespace tillora
