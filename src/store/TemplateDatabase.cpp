#include "store/TemplateDatabase.h"

#include "store/Database.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cstdio>

namespace tillora {

namespace {

bool buildInto(const QString& path)
{
    Database db;
    if (!db.open(path, QString::fromLatin1(kDatabasePassword), Database::OpenMode::CreateIfMissing))
        return false;
    Transaction transaction(db);
    return transaction.isActive() && Schema::create(db) && Schema::insertDefaultRows(db)
        && transaction.commit();
}

void removeWithJournal(const QString& path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

} // namespace

bool writeTemplateDatabase(const QString& path)
{
    const QFileInfo target(path);
    const QString temporary = target.absolutePath() + QStringLiteral("/.") + target.fileName()
        + QStringLiteral(".new-%1-%2")
              .arg(QCoreApplication::applicationPid())
              .arg(QRandomGenerator::global()->generate());
    removeWithJournal(temporary);
    const bool built = buildInto(temporary);
    // rename(2) replaces an existing target in one step.
    if (!built
        || std::rename(QFile::encodeName(temporary).constData(),
               QFile::encodeName(target.absoluteFilePath()).constData())
            != 0) {
        removeWithJournal(temporary);
        return false;
    }
    return true;
}

} // namespace tillora
