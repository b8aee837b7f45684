#pragma once

#include <QImage>
#include <QString>

namespace tillora {

// What the receipt layout needs of a drawing target. Every coordinate is a
// whole number in 0.1 mm, the origin at the top-left corner, y growing downward;
// a text position is the top-left corner of the text.
class ReceiptSurface {
public:
    virtual ~ReceiptSurface() = default;

    // The target's way of applying the paper margin (printer: added to every x).
    virtual void setPaperMargin(int margin) = 0;
    // Starts the document once the margin is known; false when the target cannot draw.
    virtual bool begin() { return true; }
    virtual void setFont(int points, bool bold) = 0;
    virtual void writeText(int x, int y, const QString& text) = 0;
    // A dotted line one device pixel wide.
    virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
    virtual void drawImage(const QImage& image, int x, int y, int width, int height) = 0;
    virtual void setWritePosition(int x, int y) = 0;
    // Text at the write position; CR LF, CR or LF start a new line at the same x,
    // and the write position ends below the last line.
    virtual void writeLines(const QString& text) = 0;
    // Text at the write position.
    virtual void writeTextHere(const QString& text) = 0;
};

} // namespace tillora
