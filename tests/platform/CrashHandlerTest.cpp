#include "platform/CrashHandler.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(CrashHandler, MessageText)
{
    EXPECT_EQ(tillora::CrashHandler::messageText(),
        QString::fromUtf8("程序产生异常,已保存用户配置信息,请重新运行软件!"));
}

struct CrashCase {
    const char* name;
    const char* mode;
    const char* command; // "message", "missing" or "none"
    int signal;
};

void PrintTo(const CrashCase& c, std::ostream* os)
{
    *os << c.name;
}

class CrashHandlerCrash : public ::testing::TestWithParam<CrashCase> { };

TEST_P(CrashHandlerCrash, RunsTheMessageCommandThenDiesOfTheSignal)
{
    const CrashCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString marker = dir.filePath(QStringLiteral("message ran"));

    QProcess crasher;
    QElapsedTimer timer;
    timer.start();
    crasher.start(QStringLiteral(CRASHER_PATH),
        { QString::fromLatin1(c.mode), QString::fromLatin1(c.command), marker });
    ASSERT_TRUE(crasher.waitForFinished(20000)) << "the crashed process hangs";
    const qint64 elapsed = timer.elapsed();

    EXPECT_EQ(crasher.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(crasher.exitCode(), c.signal) << crasher.readAllStandardError().constData();

    const bool withMessage = std::strcmp(c.command, "message") == 0;
    // The command sleeps before it writes: finding the marker at once proves the
    // crashing process waited for it.
    QFile file(marker);
    EXPECT_EQ(file.exists(), withMessage);
    if (withMessage) {
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(file.readAll()), QString::fromUtf8("程序 crash message"));
        EXPECT_GE(elapsed, 250);
    }
}

INSTANTIATE_TEST_SUITE_P(Crashes, CrashHandlerCrash,
    ::testing::Values(CrashCase { "NullWrite", "segv", "message", SIGSEGV },
        CrashCase { "NullWriteInThread", "segv-thread", "message", SIGSEGV },
        CrashCase { "StackOverflow", "stack-overflow", "message", SIGSEGV },
        CrashCase { "Abort", "abort", "message", SIGABRT },
        CrashCase { "UncaughtException", "throw", "message", SIGABRT },
        CrashCase { "UncaughtExceptionInThread", "throw-thread", "message", SIGABRT },
        CrashCase { "DivideByZero", "fpe", "message", SIGFPE },
        CrashCase { "BusError", "bus", "message", SIGBUS },
        CrashCase { "IllegalInstruction", "ill", "message", SIGILL },
        CrashCase { "CommandMissing", "segv", "missing", SIGSEGV },
        CrashCase { "NoCommand", "abort", "none", SIGABRT }),
    [](const ::testing::TestParamInfo<CrashCase>& info) { return std::string(info.param.name); });

} // namespace
