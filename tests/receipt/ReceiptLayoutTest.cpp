#include "receipt/ReceiptLayout.h"

#include "support/RecordingSurface.h"

#include <gtest/gtest.h>

using namespace tillora;
using namespace tillora::test;

namespace {

class FixedLogo final : public LogoSource {
public:
    void readGeometry(LogoGeometry& geometry) override
    {
        ++reads;
        if (!failing)
            geometry = stored;
    }
    QImage loadImage() override
    {
        QImage image(10, 10, QImage::Format_RGB32);
        image.fill(Qt::red);
        return hasImage ? image : QImage();
    }
    LogoGeometry stored { 120, 200, 200 };
    bool failing = false;
    bool hasImage = true;
    int reads = 0;
};

ReceiptContent sample()
{
    ReceiptContent c;
    c.storeName = QStringLiteral("ABCD");
    c.orderNumber = QStringLiteral("0000000000001");
    c.time = QStringLiteral("2017-06-07  09:05:03");
    c.items = { { QStringLiteral("麦克风"), QStringLiteral("2"), QStringLiteral("10.00"),
        QStringLiteral("20.00") } };
    c.totalQuantity = QStringLiteral("2");
    c.totalAmount = QStringLiteral("20.00");
    c.discountedTotal = QStringLiteral("20.00");
    c.cashReceived = QStringLiteral("50.00");
    c.change = QStringLiteral("30.00");
    c.cashier = QStringLiteral("admin");
    c.paymentMethod = QStringLiteral("  现金");
    c.remark = QString();
    return c;
}

struct Drawn {
    RecordingSurface surface;
    FixedLogo logo;
    LogoGeometry geometry;
    bool result = false;
};

std::unique_ptr<Drawn> draw(const ReceiptContent& content, ReceiptVariant variant, PrintOptions options = {})
{
    auto d = std::make_unique<Drawn>();
    d->result = DrawReceipt(d->surface, variant, content, options, d->geometry, d->logo);
    return d;
}

constexpr ReceiptVariant kPrinterWithPrice { ReceiptTarget::Printer, true };
constexpr ReceiptVariant kPrinterNoPrice { ReceiptTarget::Printer, false };
constexpr ReceiptVariant kPreviewWithPrice { ReceiptTarget::Preview, true };
constexpr ReceiptVariant kPreviewNoPrice { ReceiptTarget::Preview, false };

std::string where(const RecordingSurface::Text* t)
{
    return t ? std::to_string(t->x) + "," + std::to_string(t->y) : std::string("not drawn");
}

} // namespace

TEST(ReceiptLayout, HeaderWithAndWithoutLogo)
{
    struct Case {
        ReceiptVariant variant;
        bool logo;
        int nameY;
    };
    const std::vector<Case> cases = {
        { kPrinterWithPrice, false, 10 },
        { kPrinterNoPrice, false, 10 },
        { kPreviewWithPrice, false, 10 },
        { kPrinterWithPrice, true, 210 },
        { kPrinterNoPrice, true, 210 },
        { kPreviewWithPrice, true, 220 },
        { kPreviewNoPrice, true, 210 },
    };
    for (const Case& c : cases) {
        PrintOptions options;
        options.printLogo = c.logo;
        const auto d = draw(sample(), c.variant, options);
        const auto* name = d->surface.find(QStringLiteral("ABCD"));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->x, 192);
        EXPECT_EQ(name->y, c.nameY) << int(c.variant.target) << c.variant.withUnitPrice << c.logo;
        EXPECT_EQ(name->points, 12);
        EXPECT_TRUE(name->bold);
        const int originY = c.nameY - 10;
        ASSERT_GE(d->surface.lines.size(), 2u);
        EXPECT_EQ(d->surface.lines[0].y1, originY + 60);
        EXPECT_EQ(d->surface.lines[0].x2, 480);
        EXPECT_EQ(d->surface.lines[1].y1, originY + 68);
        if (c.logo) {
            ASSERT_EQ(d->surface.images.size(), 1u);
            const auto& image = d->surface.images[0];
            EXPECT_EQ(std::make_tuple(image.x, image.y, image.width, image.height),
                std::make_tuple(120, 5, 200, 200));
        } else {
            EXPECT_TRUE(d->surface.images.empty());
        }
    }
}

TEST(ReceiptLayout, StoreNameIsCentredByItsBytes)
{
    ReceiptContent content = sample();
    content.storeName = QStringLiteral("八个汉字的店名啊");
    const auto d = draw(content, kPrinterWithPrice);
    EXPECT_EQ(d->surface.find(content.storeName)->x, 48);
}

TEST(ReceiptLayout, OrderNumberAndTimePerTarget)
{
    const auto printer = draw(sample(), kPrinterWithPrice);
    EXPECT_EQ(where(printer->surface.find(QStringLiteral("单号：0000000000001"))), "0,80");
    EXPECT_EQ(where(printer->surface.find(QStringLiteral("时间：2017-06-07  09:05:03"))), "0,120");
    const auto preview = draw(sample(), kPreviewWithPrice);
    EXPECT_EQ(where(preview->surface.find(QStringLiteral("单号："))), "0,80");
    EXPECT_EQ(where(preview->surface.find(QStringLiteral("0000000000001"))), "100,80");
    EXPECT_EQ(where(preview->surface.find(QStringLiteral("时间："))), "0,120");
    EXPECT_EQ(where(preview->surface.find(QStringLiteral("2017-06-07  09:05:03"))), "100,120");
}

TEST(ReceiptLayout, ColumnHeadingsPerVariant)
{
    const auto with = draw(sample(), kPrinterWithPrice);
    for (const auto& [text, x] :
        { std::pair { "名称", 0 }, { "数量", 165 }, { "单价", 255 }, { "金额", 370 } })
        EXPECT_EQ(where(with->surface.find(QString::fromUtf8(text))), std::to_string(x) + ",180") << text;
    const auto without = draw(sample(), kPrinterNoPrice);
    for (const auto& [text, x] : { std::pair { "名称", 0 }, { "数量", 250 }, { "金额", 360 } })
        EXPECT_EQ(where(without->surface.find(QString::fromUtf8(text))), std::to_string(x) + ",180") << text;
    EXPECT_EQ(without->surface.find(QStringLiteral("单价")), nullptr);
}

TEST(ReceiptLayout, ItemColumnsCutAndAlign)
{
    struct Case {
        ReceiptVariant variant;
        const char* quantity;
        const char* price;
        const char* amount;
        std::vector<std::pair<const char*, int>> expected; // text drawn, x
    };
    const std::vector<Case> cases = {
        { kPrinterWithPrice, "2", "10.00", "10.00", { { "2", 182 }, { "10.00", 252 }, { "10.00", 375 } } },
        { kPrinterWithPrice, "1234567", "123456789", "12345678901",
            { { "123456", 142 }, { "123456", 236 }, { "1234567890", 330 } } },
        { kPrinterWithPrice, "123456", "12345678", "1234567890",
            { { "123456", 142 }, { "12345678", 228 }, { "1234567890", 335 } } },
        { kPrinterNoPrice, "2", "10.00", "10.00", { { "2", 272 }, { "10.00", 375 } } },
        { kPrinterNoPrice, "123456789", "1", "12345678901", { { "12345678", 220 }, { "1234567890", 340 } } },
        { kPrinterNoPrice, "12345678", "1", "1", { { "12345678", 216 }, { "1", 407 } } },
        // Bytes, not characters: two Chinese characters are 4 bytes.
        { kPrinterWithPrice, "两个", "1", "1", { { "两个", 158 } } },
    };
    for (const Case& c : cases) {
        ReceiptContent content = sample();
        content.items = { { QStringLiteral("x"), QString::fromUtf8(c.quantity), QString::fromUtf8(c.price),
            QString::fromUtf8(c.amount) } };
        const auto d = draw(content, c.variant);
        for (const auto& [text, x] : c.expected) {
            bool found = false;
            for (const auto& t : d->surface.texts)
                found = found || (t.text == QString::fromUtf8(text) && t.x == x && t.y == 230);
            EXPECT_TRUE(found) << c.quantity << "/" << c.price << "/" << c.amount << ": " << text << " at "
                               << x;
        }
        // Name, quantity, (price,) amount: nothing else on the item's line.
        const auto onLine = std::count_if(d->surface.texts.begin(), d->surface.texts.end(),
            [](const RecordingSurface::Text& t) { return t.y == 230; });
        EXPECT_EQ(onLine, c.variant.withUnitPrice ? 4 : 3);
    }
}

TEST(ReceiptLayout, LongNamesTakeALineOfTheirOwn)
{
    struct Case {
        ReceiptVariant variant;
        const char* name;
        int numbersY; // where this item's numbers go
        int nextNameY; // where the next item starts
    };
    const std::vector<Case> cases = {
        { kPrinterWithPrice, "0123456789", 230, 270 },
        { kPrinterWithPrice, "01234567890", 270, 310 },
        { kPrinterNoPrice, "012345678901234", 230, 270 },
        { kPrinterNoPrice, "0123456789012345", 270, 310 },
        { kPrinterWithPrice, "五个汉字啊", 230, 270 },
        { kPrinterWithPrice, "六个汉字啊呀", 270, 310 },
    };
    for (const Case& c : cases) {
        ReceiptContent content = sample();
        content.items
            = { { QString::fromUtf8(c.name), QStringLiteral("7"), QStringLiteral("1"), QStringLiteral("1") },
                  { QStringLiteral("next"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1") } };
        const auto d = draw(content, c.variant);
        EXPECT_EQ(where(d->surface.find(QString::fromUtf8(c.name))), "0,230") << c.name;
        EXPECT_EQ(d->surface.find(QStringLiteral("7"))->y, c.numbersY) << c.name;
        EXPECT_EQ(d->surface.find(QStringLiteral("next"))->y, c.nextNameY) << c.name;
    }
}

TEST(ReceiptLayout, TotalsFollowTheItems)
{
    ReceiptContent content = sample();
    content.items.assign(
        3, { QStringLiteral("a"), QStringLiteral("1"), QStringLiteral("1.00"), QStringLiteral("1.00") });
    const auto printer = draw(content, kPrinterWithPrice);
    // Three short items: RowOffset 120.
    const auto& lines = printer->surface.lines;
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3].y1, 345);
    EXPECT_EQ(lines[4].y1, 530);
    EXPECT_EQ(lines[5].y1, 538);
    const std::vector<std::tuple<const char*, int, int>> printed = {
        { "合计数量:2", 0, 360 },
        { "总额:20.00", 250, 360 },
        { "折后总额:20.00", 0, 400 },
        { "实收现金:50.00", 0, 440 },
        { "找零:30.00", 250, 440 },
        { "收银员:admin", 0, 480 },
        { "付款方式:现金", 250, 480 },
    };
    for (const auto& [text, x, y] : printed)
        EXPECT_EQ(where(printer->surface.find(QString::fromUtf8(text))),
            std::to_string(x) + "," + std::to_string(y))
            << text;
    const auto preview = draw(content, kPreviewWithPrice);
    EXPECT_NE(preview->surface.find(QStringLiteral("合计数量：2")), nullptr);
    EXPECT_NE(preview->surface.find(QStringLiteral("付款方式：  现金")), nullptr);
    EXPECT_EQ(preview->surface.find(QStringLiteral("付款方式:现金")), nullptr);
}

TEST(ReceiptLayout, RemarkAndEndMark)
{
    struct Case {
        QString remark;
        int endY; // relative to OriginY + RowOffset
    };
    const std::vector<Case> cases = {
        { QString(), 450 },
        { QStringLiteral("1.第一行\r\n2.第二行"), 530 },
        { QStringLiteral("a\r\n"), 490 },
        { QStringLiteral("a\r\n\r\nb"), 570 },
    };
    for (const Case& c : cases) {
        ReceiptContent content = sample();
        content.remark = c.remark;
        const auto d = draw(content, kPrinterWithPrice);
        const auto& texts = d->surface.texts;
        ASSERT_GE(texts.size(), 2u);
        const auto& remark = texts[texts.size() - 2];
        EXPECT_EQ(remark.text, c.remark);
        EXPECT_EQ(remark.y, 40 + 440);
        const auto& end = texts.back();
        EXPECT_EQ(end.text, QStringLiteral("."));
        EXPECT_EQ(end.points, 1);
        EXPECT_EQ(end.y, 40 + c.endY) << c.remark.toStdString();
    }
}

TEST(ReceiptLayout, CountRemarkLines)
{
    const std::vector<std::pair<QString, int>> cases = {
        { QString(), 0 },
        { QStringLiteral("a"), 1 },
        { QStringLiteral("a\r\n"), 1 },
        { QStringLiteral("a\r\nb"), 2 },
        { QStringLiteral("\r\n"), 1 },
        { QStringLiteral("a\r\n\r\nb"), 3 },
        { QStringLiteral("a\nb"), 1 },
    };
    for (const auto& [text, count] : cases)
        EXPECT_EQ(CountRemarkLines(text), count) << text.toStdString();
}

TEST(ReceiptLayout, PrintOffsetMovesEverythingButTheRuleEnds)
{
    PrintOptions options;
    options.printOffset = -20;
    const auto d = draw(sample(), kPrinterWithPrice, options);
    EXPECT_EQ(d->surface.find(QStringLiteral("ABCD"))->x, 172);
    EXPECT_EQ(d->surface.find(QStringLiteral("名称"))->x, -20);
    EXPECT_EQ(d->surface.find(QStringLiteral("总额:20.00"))->x, 230);
    EXPECT_EQ(d->surface.find(QStringLiteral("2"))->x, 162);
    for (const auto& line : d->surface.lines) {
        EXPECT_EQ(line.x1, -20);
        EXPECT_EQ(line.x2, 480);
    }
    EXPECT_EQ(d->surface.margin, 0);
    options.paperMargin = 30;
    EXPECT_EQ(draw(sample(), kPrinterWithPrice, options)->surface.margin, 30);
}

TEST(ReceiptLayout, LogoGeometryPerTarget)
{
    PrintOptions options;
    options.printLogo = true;
    for (const ReceiptVariant variant : { kPrinterWithPrice, kPreviewNoPrice }) {
        RecordingSurface surface;
        FixedLogo logo;
        LogoGeometry geometry { 50, 60, 70 };
        logo.failing = true;
        DrawReceipt(surface, variant, sample(), options, geometry, logo);
        EXPECT_EQ(logo.reads, 1);
        // The printer starts from 0; the preview keeps the last values read.
        const bool printer = variant.target == ReceiptTarget::Printer;
        EXPECT_EQ(geometry.height, printer ? 0 : 70);
        EXPECT_EQ(surface.find(QStringLiteral("ABCD"))->y, printer ? 10 : 80);
    }
    // No picture: nothing drawn, but the room is kept.
    RecordingSurface surface;
    FixedLogo logo;
    logo.hasImage = false;
    LogoGeometry geometry;
    DrawReceipt(surface, kPrinterWithPrice, sample(), options, geometry, logo);
    EXPECT_TRUE(surface.images.empty());
    EXPECT_EQ(surface.find(QStringLiteral("ABCD"))->y, 210);
}

TEST(ReceiptLayout, NothingIsDrawnWhenTheTargetCannotStart)
{
    RecordingSurface surface;
    surface.beginResult = false;
    FixedLogo logo;
    LogoGeometry geometry;
    EXPECT_FALSE(DrawReceipt(surface, kPrinterWithPrice, sample(), {}, geometry, logo));
    EXPECT_TRUE(surface.texts.empty());
    EXPECT_TRUE(surface.lines.empty());
}
