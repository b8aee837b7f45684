#include "receipt/ReceiptLogo.h"

#include "platform/Prompter.h"
#include "store/Database.h"

namespace tillora {

namespace {
const QString kConfigRow = QStringLiteral("SELECT * FROM [配置文件] WHERE [ID]=1");
}

DatabaseLogoSource::DatabaseLogoSource(Database& db, Prompter& prompter)
    : m_db(db)
    , m_prompter(prompter)
{
}

bool DatabaseLogoSource::readNumber(const QString& column, int& value)
{
    const auto rows = m_db.query(kConfigRow);
    if (!rows) {
        m_prompter.message(
            QStringLiteral("logo数据打开失败！"), Prompter::defaultTitle(), Prompter::Icon::Error, nullptr);
        return false;
    }
    if (!rows->empty())
        value = int(rows->front().integer(column));
    return true;
}

void DatabaseLogoSource::readGeometry(LogoGeometry& geometry)
{
    readNumber(QStringLiteral("logo偏差"), geometry.offset);
    readNumber(QStringLiteral("logo高度"), geometry.height);
    readNumber(QStringLiteral("logo宽度"), geometry.width);
}

QImage DatabaseLogoSource::loadImage()
{
    const auto rows = m_db.query(kConfigRow);
    if (!rows) {
        m_prompter.message(
            QStringLiteral("logo数据打开失败！"), Prompter::defaultTitle(), Prompter::Icon::Error, nullptr);
        return QImage();
    }
    return rows->empty() ? QImage() : QImage::fromData(rows->front().bytes(QStringLiteral("logo")));
}

} // namespace tillora
