#include "store/TemplateLogo.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace tillora {

// A shop till under an awning, in shapes only (no text, so no font is needed).
QByteArray templateLogoJpeg()
{
    constexpr int kSize = 430;
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x5f, 0x8b));
        p.drawEllipse(QRectF(15, 15, 400, 400));
        p.setBrush(Qt::white);
        // Awning: alternating stripes with a scalloped edge.
        for (int i = 0; i < 6; ++i) {
            p.setBrush(i % 2 ? QColor(0xe8, 0x4a, 0x3c) : Qt::white);
            p.drawRect(QRectF(95 + i * 40, 110, 40, 60));
            p.drawEllipse(QRectF(95 + i * 40, 150, 40, 40));
        }
        // Till body, display and keys.
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(120, 215, 190, 120), 12, 12);
        p.setBrush(QColor(0x1f, 0x5f, 0x8b));
        p.drawRect(QRectF(140, 232, 150, 30));
        for (int row = 0; row < 2; ++row) {
            for (int col = 0; col < 4; ++col)
                p.drawRect(QRectF(142 + col * 38, 275 + row * 26, 26, 16));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

} // namespace tillora
