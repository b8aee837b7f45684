#pragma once

#include "receipt/ReceiptSurface.h"

#include <QFont>
#include <QPointF>
#include <functional>

class QPainter;

namespace tillora {

// Draws a receipt through a QPainter, for the printed page and the on-screen
// preview alike. dotsPerUnit converts 0.1 mm to the device's pixels.
class PainterSurface : public ReceiptSurface {
public:
    PainterSurface(QPainter& painter, double dotsPerUnit, const QString& fontFamily);

    // By default the margin is added to every x, as a printer adds its left
    // margin; a target may apply it in its own way instead.
    void setMarginHandler(std::function<void(int)> handler) { m_marginHandler = std::move(handler); }

    void setPaperMargin(int margin) override;
    void setFont(int points, bool bold) override;
    void writeText(int x, int y, const QString& text) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void drawImage(const QImage& image, int x, int y, int width, int height) override;
    void setWritePosition(int x, int y) override;
    void writeLines(const QString& text) override;
    void writeTextHere(const QString& text) override;

    static double dotsPerUnitAt(double dotsPerInch) { return dotsPerInch / 254.0; }

private:
    QPointF device(double x, double y) const;

    QPainter& m_painter;
    double m_dotsPerUnit;
    QFont m_font;
    int m_margin = 0;
    double m_writeX = 0;
    double m_writeY = 0;
    std::function<void(int)> m_marginHandler;
};

} // namespace tillora
