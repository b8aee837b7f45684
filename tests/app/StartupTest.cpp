#include "app/LoginWindow.h"
#include "app/SalesWindow.h"
#include "platform/InstanceLock.h"
#include "store/TemplateDatabase.h"
#include "support/AppHarness.h"
#include "ui_LoginWindow.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tillora;
using namespace tillora::test;

namespace {

using Kind = RecordingPrompter::Kind;
const QString kMissing = QStringLiteral("连接数据库失败！是否置入新的数据库");

} // namespace

TEST(Startup, MissingDatabaseAnsweredYesWritesTheTemplateAndShowsLogin)
{
    AppHarness h(DataDir::Content::Empty);
    h.prompter.answers = { true };
    EXPECT_EQ(h.start(), -1);
    ASSERT_EQ(h.prompter.calls.size(), 2u);
    EXPECT_EQ(h.prompter.calls[0].kind, Kind::Question);
    EXPECT_EQ(h.prompter.calls[0].text, kMissing);
    EXPECT_EQ(h.prompter.calls[0].icon, Prompter::Icon::None);
    EXPECT_EQ(h.prompter.calls[1].text, QStringLiteral("初始化成功！"));
    EXPECT_TRUE(QFile::exists(h.dir.databasePath()));
    ASSERT_NE(h.app->loginWindow(), nullptr);
    EXPECT_TRUE(h.app->loginWindow()->isVisible());
    EXPECT_EQ(h.app->loginWindow()->ui().组合框_用户名->currentText(), QStringLiteral("admin"));
    EXPECT_TRUE(h.shell.calls.empty());
}

TEST(Startup, MissingDatabaseAnsweredNoRestartsTheProgram)
{
    AppHarness h(DataDir::Content::Empty);
    h.prompter.answers = { false };
    EXPECT_EQ(h.start(), 0);
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { kMissing });
    ASSERT_EQ(h.shell.calls.size(), 1u);
    EXPECT_EQ(h.shell.calls[0].what, QStringLiteral("restart"));
    EXPECT_EQ(h.shell.calls[0].arguments, (QStringList { QStringLiteral("--data-dir"), h.dir.path() }));
    EXPECT_FALSE(QFile::exists(h.dir.databasePath()));
    EXPECT_EQ(h.app->loginWindow(), nullptr);
    // The restarted copy must find the lock free at once.
    InstanceLock next(h.dir.path());
    EXPECT_TRUE(next.tryLock(0));
}

TEST(Startup, SecondCopyIsRefusedBeforeTouchingTheDatabase)
{
    AppHarness h(DataDir::Content::Empty);
    InstanceLock first(h.dir.path());
    ASSERT_TRUE(first.tryLock(0));
    EXPECT_EQ(h.start(), 1);
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("程序已经运行!") });
    EXPECT_EQ(h.prompter.calls[0].icon, Prompter::Icon::None);
    EXPECT_FALSE(QFile::exists(h.dir.databasePath()));
}

TEST(Startup, UnopenableDatabaseEndsWithAnError)
{
    struct Case {
        const char* what;
        std::function<void(const QString&)> spoil;
    };
    const std::vector<Case> cases = {
        { "damaged",
            [](const QString& path) {
                QFile file(path);
                file.open(QIODevice::ReadWrite);
                file.seek(0);
                file.write(QByteArray(4096, '\x5a'));
            } },
        { "keyed with another password",
            [](const QString& path) {
                QFile::remove(path);
                Database other;
                other.open(path, QStringLiteral("secret"), Database::OpenMode::CreateIfMissing);
                other.execScript(QStringLiteral("CREATE TABLE t (x)"));
            } },
        { "not a database",
            [](const QString& path) {
                QFile::remove(path);
                QFile file(path);
                file.open(QIODevice::WriteOnly);
                file.write("plain text");
            } },
    };
    for (const Case& c : cases) {
        AppHarness h;
        c.spoil(h.dir.databasePath());
        EXPECT_GT(h.start(), 0) << c.what;
        ASSERT_EQ(h.prompter.calls.size(), 1u) << c.what;
        EXPECT_EQ(h.prompter.calls[0].text, QStringLiteral("连接数据库失败！！"));
        EXPECT_EQ(h.prompter.calls[0].icon, Prompter::Icon::Error);
        EXPECT_EQ(h.app->loginWindow(), nullptr);
    }
}

TEST(Startup, UpdateNoticeOnlyWhenThePublishedVersionDiffers)
{
    const QUrl url(QStringLiteral("http://127.0.0.1:9/version"));
    struct Case {
        std::optional<QByteArray> page;
        bool notice;
    };
    const std::vector<Case> cases = {
        { QByteArray("<p>xp=3.2=dy</p>"), false },
        { QByteArray("XP=3.2=DY"), false },
        { QByteArray("xp=3.3=dy"), true },
        { QByteArray("no markers"), true },
        { std::nullopt, true },
    };
    for (const Case& c : cases) {
        AppHarness h;
        h.page = c.page;
        EXPECT_EQ(h.start(url), -1);
        ASSERT_EQ(h.fetched.size(), 1u);
        const bool shown = !h.prompter.calls.empty()
            && h.prompter.calls[0].text == QStringLiteral("当前版本已过旧，,请及时更新!");
        EXPECT_EQ(shown, c.notice) << c.page.value_or("(none)").toStdString();
    }
    AppHarness withoutAddress;
    EXPECT_EQ(withoutAddress.start(), -1);
    EXPECT_TRUE(withoutAddress.fetched.empty());
    EXPECT_TRUE(withoutAddress.prompter.calls.empty());
}

TEST(Startup, AutomaticLoginOpensTheSalesWindowWithoutAPassword)
{
    struct Case {
        QString direct;
        QString user;
        bool automatic;
    };
    const std::vector<Case> cases = {
        { QStringLiteral("1"), QStringLiteral("admin"), true },
        // Anything but exactly "0" counts as on.
        { QString(), QStringLiteral("admin"), true },
        { QStringLiteral("0"), QStringLiteral("admin"), false },
        { QStringLiteral("1"), QString(), false },
    };
    for (const Case& c : cases) {
        AppHarness h;
        h.configure(QStringLiteral("直接登录"), c.direct);
        h.configure(QStringLiteral("用户登录"), c.user);
        EXPECT_EQ(h.start(), -1);
        EXPECT_TRUE(h.prompter.calls.empty());
        LoginWindow* login = h.app->loginWindow();
        // The login form is only made when it is shown.
        EXPECT_EQ(login != nullptr && login->isVisible(), !c.automatic)
            << c.direct.toStdString() << "/" << c.user.toStdString();
        EXPECT_EQ(h.app->salesWindow() != nullptr, c.automatic);
        if (c.automatic) {
            EXPECT_EQ(h.app->salesWindow()->windowTitle(),
                QStringLiteral("Tillorav3.2          收银员：admin(管理员)"));
        } else {
            ASSERT_NE(login, nullptr);
            // The remembered name, or admin when there is none.
            EXPECT_EQ(login->ui().组合框_用户名->currentText(), QStringLiteral("admin"));
            EXPECT_FALSE(login->ui().组合框_用户名->isEditable());
        }
    }
}
