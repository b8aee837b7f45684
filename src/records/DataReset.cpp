#include "records/DataReset.h"

#include "common/DateTexts.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "store/Database.h"
#include "store/TemplateDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cstdio>

namespace tillora {

DataReset::DataReset(Services services, std::function<void()> restart)
    : m_services(services)
    , m_restart(std::move(restart))
{
}

bool DataReset::backUp(Database& db, const QString& target)
{
    const QFileInfo info(target);
    const QString temporary = info.absolutePath() + QStringLiteral("/.") + info.fileName()
        + QStringLiteral(".part-%1").arg(QRandomGenerator::global()->generate());
    bool copied = false;
    {
        // No write can happen while the file is copied.
        Transaction hold(db);
        copied = hold.isActive() && QFile::copy(db.path(), temporary);
    }
    bool sound = false;
    if (copied) {
        Database copy;
        if (copy.open(temporary, QString::fromLatin1(kDatabasePassword))) {
            const auto check = copy.query(QStringLiteral("PRAGMA integrity_check"));
            sound = check && !check->empty() && check->front().text(1) == QLatin1String("ok");
        }
    }
    if (!sound
        || std::rename(QFile::encodeName(temporary).constData(),
               QFile::encodeName(info.absoluteFilePath()).constData())
            != 0) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}

void DataReset::run(QWidget* owner)
{
    Prompter& prompter = m_services.prompter;
    if (!prompter.askYesNo(QStringLiteral("确定初始化吗,并备份数据吗 ？"), QStringLiteral("提示"),
            Prompter::Icon::None, owner))
        return;
    // The backup is chosen while the database is still open: a cancelled dialog
    // leaves the program working as before.
    Prompter::FileDialog dialog;
    dialog.filter = QStringLiteral("*.mdb (*)");
    dialog.proposedName = DateStamp(m_services.clock.now()) + QStringLiteral("查询结果");
    dialog.defaultSuffix = QStringLiteral("mdb");
    const QString target = prompter.saveFile(dialog, owner);
    if (target.isEmpty()) {
        prompter.info(QStringLiteral("保存失败！"), owner);
        return;
    }
    Database& db = m_services.db;
    const QString path = db.path();
    if (backUp(db, target)) {
        db.close();
        // The template replaces the file in one rename, only after a good backup.
        if (writeTemplateDatabase(path))
            prompter.info(QStringLiteral("初始化完成，并已备份！"), owner);
    } else {
        prompter.info(QStringLiteral("初始化错误！"), owner);
    }
    if (m_restart)
        m_restart();
}

} // namespace tillora
