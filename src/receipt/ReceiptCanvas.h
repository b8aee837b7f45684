#pragma once

#include <QImage>
#include <QWidget>

namespace tillora {

// A white drawing canvas that keeps what was drawn on it: the receipt is drawn
// once into its picture, and painting only shows that picture.
class ReceiptCanvas : public QWidget {
    Q_OBJECT
public:
    explicit ReceiptCanvas(QWidget* parent = nullptr);

    // Clears the picture to white at the canvas's size and returns it to draw on.
    QImage& clear();
    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

} // namespace tillora

using tillora::ReceiptCanvas;
