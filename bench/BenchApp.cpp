#include "BenchApp.h"

#include "store/Database.h"
#include "store/TemplateDatabase.h"

#include <QDir>

namespace bench {

BenchApp::BenchApp()
{
    tillora::writeTemplateDatabase(databasePath());
}

QString BenchApp::databasePath() const
{
    return QDir(dir.path()).filePath(QStringLiteral("HH.mdb"));
}

bool BenchApp::start()
{
    {
        tillora::Database db;
        if (!db.open(databasePath(), QString::fromLatin1(tillora::kDatabasePassword))
            || !db.exec(QStringLiteral("UPDATE 配置文件 SET 直接登录='1', 用户登录='admin'")))
            return false;
    }
    tillora::StartOptions options;
    options.dataDir = dir.path();
    options.lockWaitMs = 0;
    app = std::make_unique<tillora::Application>(prompter, clock, shell, printers, options, nullptr);
    return app->start() == -1 && app->salesWindow() != nullptr;
}

} // namespace bench
