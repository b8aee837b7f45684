#include "support/DataDir.h"

#include "store/TemplateDatabase.h"

#include <QDir>
#include <stdexcept>

namespace tillora::test {

DataDir::DataDir(Content content)
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary directory");
    if (content == Content::NewDatabase && !writeTemplateDatabase(databasePath()))
        throw std::runtime_error("template database not written");
}

QString DataDir::databasePath() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("HH.mdb"));
}

void DataDir::openSecondConnection(Database& db) const
{
    if (!db.open(databasePath(), QString::fromLatin1(kDatabasePassword)))
        throw std::runtime_error("HH.mdb does not open");
}

} // namespace tillora::test
