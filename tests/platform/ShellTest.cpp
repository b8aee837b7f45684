#include "platform/Shell.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>

using tillora::DesktopShell;

namespace {

// Waits for a file written by a detached process; its contents, or nullopt.
std::optional<QByteArray> waitForFile(const QString& path, int timeoutMs = 15000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QFile file(path);
        if (file.exists() && file.size() > 0) {
            QThread::msleep(50); // let the writer finish
            if (file.open(QIODevice::ReadOnly))
                return file.readAll();
        }
        QThread::msleep(20);
    }
    return std::nullopt;
}

struct StartCase {
    const char* program;
    bool started;
};

TEST(DesktopShell, StartProgramReportsWhetherItStarted)
{
    const StartCase cases[] = {
        { "true", true }, // found on the search path
        { "/bin/true", true }, // by full path
        { "/nonexistent/tillora-no-such-program", false }, // missing
        { "tillora-no-such-program", false },
        { "", false },
    };
    DesktopShell shell;
    for (const StartCase& c : cases)
        EXPECT_EQ(shell.startProgram(QString::fromUtf8(c.program), {}), c.started) << c.program;
}

TEST(DesktopShell, StartProgramPassesTheArgumentsUnchanged)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("out"));
    DesktopShell shell;
    ASSERT_TRUE(shell.startProgram(QStringLiteral("/bin/sh"),
        { QStringLiteral("-c"), QStringLiteral("printf '%s|%s' \"$1\" \"$2\" > \"$0\""), out,
            QStringLiteral("a b"), QStringLiteral("销售 $HOME") }));
    EXPECT_EQ(waitForFile(out), QStringLiteral("a b|销售 $HOME").toUtf8());
}

TEST(DesktopShell, RestartSelfStartsThisProgramWithTheArguments)
{
    // The restarted copy is this test program: asked to run no test at all and to write
    // its (empty) report, which shows that it ran with these arguments.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString report = dir.filePath(QStringLiteral("report.json"));
    DesktopShell shell;
    ASSERT_TRUE(shell.restartSelf(
        { QStringLiteral("--gtest_filter=-*"), QStringLiteral("--gtest_output=json:") + report }));
    const auto written = waitForFile(report);
    ASSERT_TRUE(written.has_value());
    EXPECT_TRUE(written->contains("\"tests\": 0")) << written->constData();
}

// Stands in for the desktop's handler of web addresses.
class AddressRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

TEST(DesktopShell, OpenAddressTakesWhatAUserWouldType)
{
    struct Case {
        const char* typed;
        const char* opened; // nullptr: refused
    };
    const Case cases[] = {
        { "example.com/prices", "http://example.com/prices" },
        { "https://example.com/a?b=1", "https://example.com/a?b=1" },
        { "  http://example.com/  ", "http://example.com/" },
        { "", nullptr },
    };
    AddressRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    DesktopShell shell;
    for (const Case& c : cases) {
        recorder.opened.clear();
        const bool opened = shell.openAddress(QString::fromUtf8(c.typed));
        EXPECT_EQ(opened, c.opened != nullptr) << c.typed;
        if (c.opened) {
            EXPECT_EQ(recorder.opened, QList<QUrl> { QUrl(QString::fromUtf8(c.opened)) }) << c.typed;
        } else {
            EXPECT_TRUE(recorder.opened.isEmpty()) << c.typed;
        }
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

} // namespace

#include "ShellTest.moc"
