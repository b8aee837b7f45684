#pragma once

#include "store/Session.h"

#include <QImage>
#include <QString>
#include <vector>

namespace tillora {

class ReceiptSurface;

// The texts of a receipt, exactly as the sales window shows them.
struct ReceiptContent {
    struct Item {
        QString name;
        QString quantity;
        QString unitPrice;
        QString amount;
    };
    QString storeName;
    QString orderNumber;
    QString time;
    std::vector<Item> items;
    QString totalQuantity;
    QString totalAmount;
    QString discountedTotal;
    QString cashReceived;
    QString change;
    QString cashier;
    QString paymentMethod;
    QString remark;
};

// Where the logo stands on the receipt, read from the configuration record
// before every drawing.
struct LogoGeometry {
    int offset = 0;
    int width = 0;
    int height = 0;
};

// Reads the logo's geometry and picture; reports its own failures.
class LogoSource {
public:
    virtual ~LogoSource() = default;
    // Each value is read by its own query and left as it is when the query fails.
    virtual void readGeometry(LogoGeometry& geometry) = 0;
    // The stored picture; a null image when there is none or it does not decode.
    virtual QImage loadImage() = 0;
};

enum class ReceiptTarget { Printer, Preview };

struct ReceiptVariant {
    ReceiptTarget target = ReceiptTarget::Printer;
    bool withUnitPrice = true;
};

// Draws the whole receipt on a surface. The printer target starts its document
// (ReceiptSurface::begin) after the margin is set and the logo loaded; false when
// it could not, and nothing is drawn then.
bool DrawReceipt(ReceiptSurface& surface, ReceiptVariant variant, const ReceiptContent& content,
    const PrintOptions& options, LogoGeometry& geometry, LogoSource& logo);

// Parts of a text cut at every CR LF; a last part counts only when not empty.
int CountRemarkLines(const QString& text);

} // namespace tillora
