#include "StartupBench.h"

#include "Stats.h"
#include "app/LoginWindow.h"
#include "app/SalesWindow.h"
#include "store/Database.h"
#include "store/Session.h"
#include "store/TemplateDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace bench {

namespace {

constexpr int kRuns = 15;

// Wall time from starting the program to its exit after the first paint.
std::vector<double> timeProcess(const QString& program, const QStringList& arguments)
{
    std::vector<double> samples;
    for (int i = 0; i < kRuns; ++i) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        process.start(program, arguments);
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            std::printf("  %s failed: %s\n", qPrintable(program), process.readAllStandardError().constData());
            return {};
        }
        samples.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return samples;
}

bool prepare(const QString& dir, bool automaticLogin)
{
    const QString path = QDir(dir).filePath(QStringLiteral("HH.mdb"));
    if (!tillora::writeTemplateDatabase(path))
        return false;
    if (!automaticLogin)
        return true;
    tillora::Database db;
    return db.open(path, QString::fromLatin1(tillora::kDatabasePassword))
        && db.exec(QStringLiteral("UPDATE 配置文件 SET 直接登录='1'"));
}

// In-process figures for where the time goes.
void breakdown(const QString& databasePath)
{
    std::vector<double> open;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        tillora::Database db;
        db.open(databasePath, QString::fromLatin1(tillora::kDatabasePassword));
        open.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    printRow("database open (key derivation, first page)", summarize(open));
}

} // namespace

void runStartup(const QString& tilloraExe, const QString& bareExe)
{
    std::printf("Start-up (offscreen, %d runs each, process start to first paint and exit)\n", kRuns);
    QTemporaryDir manual, automatic;
    if (!prepare(manual.path(), false) || !prepare(automatic.path(), true)) {
        std::printf("  cannot prepare data directories\n");
        return;
    }
    const Summary bare
        = summarize(timeProcess(bareExe, { QDir(manual.path()).filePath(QStringLiteral("HH.mdb")) }));
    const Summary login = summarize(timeProcess(
        tilloraExe, { QStringLiteral("--data-dir"), manual.path(), QStringLiteral("--exit-when-shown") }));
    const Summary sales = summarize(timeProcess(
        tilloraExe, { QStringLiteral("--data-dir"), automatic.path(), QStringLiteral("--exit-when-shown") }));
    printRow("bare Qt program: open database, show empty window", bare);
    printRow("Tillora to the login window", login);
    printRow("Tillora to the sales window (automatic login)", sales);
    if (bare.median > 0) {
        std::printf(
            "  ratio to the bare program (median): login %.2f, sales window %.2f (target <= 1.5, < 300 ms)\n",
            login.median / bare.median, sales.median / bare.median);
    }
    breakdown(QDir(manual.path()).filePath(QStringLiteral("HH.mdb")));
}

} // namespace bench
