#include "receipt/ReceiptLayout.h"

#include "common/Text.h"
#include "receipt/ReceiptSurface.h"

namespace tillora {

namespace {

// The layout is 48 mm wide: every rule ends there, wherever the layout starts.
constexpr int kLayoutWidth = 480;
constexpr int kLineHeight = 40;
constexpr int kHeaderPoints = 12;
constexpr int kTextPoints = 8;
constexpr int kEndMarkPoints = 1;

struct Labels {
    QString orderNumber = QStringLiteral("单号：");
    QString time = QStringLiteral("时间：");
    QString totalQuantity, totalAmount, discountedTotal, cash, change, cashier, payment;
};

// The printer prints the totals with ASCII colons, the preview with full-width ones.
Labels labelsFor(ReceiptTarget target)
{
    const QString colon = target == ReceiptTarget::Printer ? QStringLiteral(":") : QStringLiteral("：");
    Labels labels;
    labels.totalQuantity = QStringLiteral("合计数量") + colon;
    labels.totalAmount = QStringLiteral("总额") + colon;
    labels.discountedTotal = QStringLiteral("折后总额") + colon;
    labels.cash = QStringLiteral("实收现金") + colon;
    labels.change = QStringLiteral("找零") + colon;
    labels.cashier = QStringLiteral("收银员") + colon;
    labels.payment = QStringLiteral("付款方式") + colon;
    return labels;
}

QString withoutLeadingSpaces(const QString& text)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start) == QLatin1Char(' '))
        ++start;
    return text.mid(start);
}

class Layout {
public:
    Layout(ReceiptSurface& surface, ReceiptVariant variant, const ReceiptContent& content)
        : m_surface(surface)
        , m_variant(variant)
        , m_content(content)
        , m_labels(labelsFor(variant.target))
    {
    }

    void setOrigin(int x, int y)
    {
        m_x = x;
        m_y = y;
    }
    int originX() const { return m_x; }

    void header()
    {
        m_surface.setFont(kHeaderPoints, true);
        m_surface.writeText(m_x + 240 - 12 * gbkLength(m_content.storeName), m_y + 10, m_content.storeName);
        m_surface.setFont(kTextPoints, false);
        rule(m_y + 60);
        rule(m_y + 68);
        labelled(m_labels.orderNumber, m_content.orderNumber, m_y + 80);
        labelled(m_labels.time, m_content.time, m_y + 120);
        rule(m_y + 155);
        columnHeadings(m_y + 180);
    }

    void items()
    {
        const int wrap = m_variant.withUnitPrice ? 10 : 15;
        m_rowOffset = 0;
        for (const ReceiptContent::Item& item : m_content.items) {
            m_surface.writeText(m_x, m_y + 230 + m_rowOffset, item.name);
            // A long name has its line to itself; its numbers go on the next line.
            if (gbkLength(item.name) > wrap)
                m_rowOffset += kLineHeight;
            numbers(item, m_y + 230 + m_rowOffset);
            m_rowOffset += kLineHeight;
        }
        rule(m_y + m_rowOffset + 225);
    }

    void totals()
    {
        const int y = m_y + m_rowOffset;
        const QString payment = m_variant.target == ReceiptTarget::Printer
            ? withoutLeadingSpaces(m_content.paymentMethod)
            : m_content.paymentMethod;
        m_surface.writeText(m_x, y + 240, m_labels.totalQuantity + m_content.totalQuantity);
        m_surface.writeText(m_x + 250, y + 240, m_labels.totalAmount + m_content.totalAmount);
        m_surface.writeText(m_x, y + 280, m_labels.discountedTotal + m_content.discountedTotal);
        m_surface.writeText(m_x, y + 320, m_labels.cash + m_content.cashReceived);
        m_surface.writeText(m_x + 250, y + 320, m_labels.change + m_content.change);
        m_surface.writeText(m_x, y + 360, m_labels.cashier + m_content.cashier);
        m_surface.writeText(m_x + 250, y + 360, m_labels.payment + payment);
        rule(y + 410);
        rule(y + 418);
    }

    // The remark, then a full stop that marks the bottom of the receipt.
    void remarkAndEndMark()
    {
        const int y = m_y + m_rowOffset;
        m_surface.setWritePosition(m_x, y + 440);
        m_surface.writeLines(m_content.remark);
        m_surface.setWritePosition(m_x, y + 450 + kLineHeight * CountRemarkLines(m_content.remark));
        m_surface.setFont(kEndMarkPoints, false);
        m_surface.writeTextHere(QStringLiteral("."));
    }

private:
    void rule(int y) { m_surface.drawLine(m_x, y, kLayoutWidth, y); }

    void labelled(const QString& label, const QString& value, int y)
    {
        if (m_variant.target == ReceiptTarget::Printer) {
            m_surface.writeText(m_x, y, label + value);
        } else {
            m_surface.writeText(m_x, y, label);
            m_surface.writeText(m_x + 100, y, value);
        }
    }

    void columnHeadings(int y)
    {
        m_surface.writeText(m_x, y, QStringLiteral("名称"));
        if (m_variant.withUnitPrice) {
            m_surface.writeText(m_x + 165, y, QStringLiteral("数量"));
            m_surface.writeText(m_x + 255, y, QStringLiteral("单价"));
            m_surface.writeText(m_x + 370, y, QStringLiteral("金额"));
        } else {
            m_surface.writeText(m_x + 250, y, QStringLiteral("数量"));
            m_surface.writeText(m_x + 360, y, QStringLiteral("金额"));
        }
    }

    // Short texts are right-aligned on an estimate of 8 units per byte; long
    // ones are cut to their first bytes at a fixed place.
    void numbers(const ReceiptContent::Item& item, int y)
    {
        const int quantity = gbkLength(item.quantity);
        const int amount = gbkLength(item.amount);
        if (m_variant.withUnitPrice) {
            const int price = gbkLength(item.unitPrice);
            cell(item.quantity, quantity <= 6, 190 - 8 * quantity, 6, 142, y);
            cell(item.unitPrice, price <= 8, 292 - 8 * price, 6, 236, y);
            cell(item.amount, amount <= 10, 415 - 8 * amount, 10, 330, y);
        } else {
            cell(item.quantity, quantity <= 8, 280 - 8 * quantity, 8, 300 - 8 * quantity - 8 * (quantity - 8),
                y);
            cell(item.amount, amount <= 10, 415 - 8 * amount, 10, 340, y);
        }
    }

    void cell(const QString& text, bool fits, int wholeX, int cutBytes, int cutX, int y)
    {
        if (fits)
            m_surface.writeText(m_x + wholeX, y, text);
        else
            m_surface.writeText(m_x + cutX, y, gbkLeft(text, cutBytes));
    }

    ReceiptSurface& m_surface;
    ReceiptVariant m_variant;
    const ReceiptContent& m_content;
    Labels m_labels;
    int m_x = 0;
    int m_y = 0;
    int m_rowOffset = 0;
};

} // namespace

int CountRemarkLines(const QString& text)
{
    if (text.isEmpty())
        return 0;
    const QStringList parts = text.split(QStringLiteral("\r\n"));
    return int(parts.size()) - (parts.last().isEmpty() ? 1 : 0);
}

bool DrawReceipt(ReceiptSurface& surface, ReceiptVariant variant, const ReceiptContent& content,
    const PrintOptions& options, LogoGeometry& geometry, LogoSource& logo)
{
    Layout layout(surface, variant, content);
    layout.setOrigin(0, 0);
    // The printer starts from nothing; the preview keeps the last values read,
    // so a failed read leaves those.
    if (variant.target == ReceiptTarget::Printer)
        geometry = LogoGeometry {};
    logo.readGeometry(geometry);
    if (options.printOffset != 0)
        layout.setOrigin(options.printOffset, 0);
    if (options.paperMargin != 0)
        surface.setPaperMargin(options.paperMargin);
    const QImage picture = options.printLogo ? logo.loadImage() : QImage();
    if (!surface.begin())
        return false;

    if (options.printLogo) {
        if (!picture.isNull())
            surface.drawImage(
                picture, layout.originX() + geometry.offset, 5, geometry.width, geometry.height);
        const bool lower = variant.target == ReceiptTarget::Preview && variant.withUnitPrice;
        layout.setOrigin(layout.originX(), geometry.height + (lower ? 10 : 0));
    }
    layout.header();
    layout.items();
    layout.totals();
    layout.remarkAndEndMark();
    return true;
}

} // namespace tillora
