#include "receipt/ReceiptLogo.h"

#include "platform/Prompter.h"
#include "store/Database.h"

namespace tillora {

namespace {
// One column of the configuration row at a time: the picture is read only when it is drawn.
QString configColumn(const char* column)
{
    return QStringLiteral("SELECT [%1] FROM [配置文件] WHERE [ID]=1").arg(QString::fromUtf8(column));
}
}

DatabaseLogoSource::DatabaseLogoSource(Database& db, Prompter& prompter)
    : m_db(db)
    , m_prompter(prompter)
{
}

bool DatabaseLogoSource::readNumber(const char* column, int& value)
{
    const auto rows = m_db.query(configColumn(column));
    if (!rows) {
        m_prompter.message(
            QStringLiteral("logo数据打开失败！"), Prompter::defaultTitle(), Prompter::Icon::Error, nullptr);
        return false;
    }
    if (!rows->empty())
        value = int(rows->front().integer(1));
    return true;
}

void DatabaseLogoSource::readGeometry(LogoGeometry& geometry)
{
    readNumber("logo偏差", geometry.offset);
    readNumber("logo高度", geometry.height);
    readNumber("logo宽度", geometry.width);
}

QImage DatabaseLogoSource::loadImage()
{
    const auto rows = m_db.query(configColumn("logo"));
    if (!rows) {
        m_prompter.message(
            QStringLiteral("logo数据打开失败！"), Prompter::defaultTitle(), Prompter::Icon::Error, nullptr);
        return QImage();
    }
    return rows->empty() ? QImage() : QImage::fromData(rows->front().bytes(1));
}

} // namespace tillora
