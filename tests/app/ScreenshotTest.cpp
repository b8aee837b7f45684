#include "app/LoginWindow.h"
#include "app/SalesWindow.h"
#include "support/AppHarness.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <gtest/gtest.h>

using namespace tillora;
using namespace tillora::test;

// Renders the start windows into PNG files of the build folder, for people to
// look at, and checks that a font with Chinese characters is in use.
TEST(Screenshots, StartWindowsAreRendered)
{
    const QString folder = QStringLiteral(SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(folder));
    AppHarness h;
    ASSERT_EQ(h.start(), -1);
    LoginWindow* login = h.app->loginWindow();
    EXPECT_TRUE(QFontDatabase::families(QFontDatabase::SimplifiedChinese).size() > 0);
    EXPECT_TRUE(QFontInfo(login->font()).exactMatch() || !QFontInfo(login->font()).family().isEmpty());
    EXPECT_TRUE(login->grab().save(folder + QStringLiteral("/LoginWindow.png")));
    login->login();
    ASSERT_NE(h.app->salesWindow(), nullptr);
    h.app->salesWindow()->showTime();
    EXPECT_TRUE(h.app->salesWindow()->grab().save(folder + QStringLiteral("/SalesWindow.png")));
}
