#include "receipt/PainterSurface.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>

namespace tillora {

PainterSurface::PainterSurface(QPainter& painter, double dotsPerUnit, const QString& fontFamily)
    : m_painter(painter)
    , m_dotsPerUnit(dotsPerUnit)
    , m_font(fontFamily)
{
    QPen pen(Qt::black, 0, Qt::DotLine); // cosmetic: one device pixel wide
    m_painter.setPen(pen);
    m_painter.setBackgroundMode(Qt::TransparentMode);
    setFont(8, false);
}

QPointF PainterSurface::device(double x, double y) const
{
    return QPointF((x + m_margin) * m_dotsPerUnit, y * m_dotsPerUnit);
}

void PainterSurface::setPaperMargin(int margin)
{
    if (m_marginHandler)
        m_marginHandler(margin);
    else
        m_margin = margin;
}

void PainterSurface::setFont(int points, bool bold)
{
    m_font.setPointSizeF(points);
    m_font.setBold(bold);
    m_painter.setFont(m_font);
}

void PainterSurface::writeText(int x, int y, const QString& text)
{
    const QFontMetricsF metrics(m_painter.font(), m_painter.device());
    const QPointF topLeft = device(x, y);
    m_painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), text);
}

void PainterSurface::drawLine(int x1, int y1, int x2, int y2)
{
    m_painter.drawLine(device(x1, y1), device(x2, y2));
}

void PainterSurface::drawImage(const QImage& image, int x, int y, int width, int height)
{
    const QPointF topLeft = device(x, y);
    m_painter.drawImage(QRectF(topLeft, QSizeF(width * m_dotsPerUnit, height * m_dotsPerUnit)), image);
}

void PainterSurface::setWritePosition(int x, int y)
{
    m_writeX = x;
    m_writeY = y;
}

void PainterSurface::writeLines(const QString& text)
{
    const QFontMetricsF metrics(m_painter.font(), m_painter.device());
    const double lineHeight = metrics.lineSpacing() / m_dotsPerUnit;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    for (const QString& line : text.split(lineBreak)) {
        writeTextHere(line);
        m_writeY += lineHeight;
    }
}

void PainterSurface::writeTextHere(const QString& text)
{
    const QFontMetricsF metrics(m_painter.font(), m_painter.device());
    const QPointF topLeft = device(m_writeX, m_writeY);
    m_painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), text);
}

} // namespace tillora
