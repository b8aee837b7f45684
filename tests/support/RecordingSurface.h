#pragma once

#include "receipt/ReceiptSurface.h"
#include "support/Printers.h"

#include <QString>
#include <vector>

namespace tillora::test {

// Records what the receipt layout draws, in layout units, as the layout asked.
class RecordingSurface final : public ReceiptSurface {
public:
    struct Text {
        int x, y;
        QString text;
        int points;
        bool bold;
    };
    struct Line {
        int x1, y1, x2, y2;
    };
    struct Image {
        int x, y, width, height;
    };

    void setPaperMargin(int value) override { margin = value; }
    bool begin() override
    {
        ++begun;
        return beginResult;
    }
    void setFont(int p, bool b) override
    {
        points = p;
        bold = b;
    }
    void writeText(int x, int y, const QString& text) override
    {
        texts.push_back({ x, y, text, points, bold });
    }
    void drawLine(int x1, int y1, int x2, int y2) override { lines.push_back({ x1, y1, x2, y2 }); }
    void drawImage(const QImage&, int x, int y, int width, int height) override
    {
        images.push_back({ x, y, width, height });
    }
    void setWritePosition(int x, int y) override
    {
        writeX = x;
        writeY = y;
    }
    void writeLines(const QString& text) override { texts.push_back({ writeX, writeY, text, points, bold }); }
    void writeTextHere(const QString& text) override
    {
        texts.push_back({ writeX, writeY, text, points, bold });
    }

    // The first text drawn with exactly this content; nullptr when none.
    const Text* find(const QString& text) const
    {
        for (const Text& t : texts) {
            if (t.text == text)
                return &t;
        }
        return nullptr;
    }

    std::vector<Text> texts;
    std::vector<Line> lines;
    std::vector<Image> images;
    int margin = 0;
    int begun = 0;
    bool beginResult = true;

private:
    int points = 0;
    bool bold = false;
    int writeX = 0;
    int writeY = 0;
};

} // namespace tillora::test
