#include "receipt/PreviewWindow.h"

#include "support/SalesFixture.h"
#include "ui_PreviewWindow.h"

#include <QDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tillora;
using namespace tillora::test;

namespace {

class Preview : public ::testing::Test, protected OpenSales {
protected:
    void SetUp() override { open(); }
    void sell(int lines)
    {
        for (int i = 0; i < lines; ++i) {
            ui().编辑框_名称->setText(QStringLiteral("mkf-麦克风"));
            ui().编辑框_数量->setText(QStringLiteral("2"));
            ui().编辑框_单价->setText(QStringLiteral("10"));
            window().AddSaleLine();
        }
    }
    // Opens the preview through its button and runs check on it before it closes.
    void withPreview(const std::function<void(PreviewWindow&)>& check)
    {
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto* preview = qobject_cast<PreviewWindow*>(QApplication::activeModalWidget());
            opened = preview != nullptr;
            if (preview) {
                check(*preview);
                preview->close();
            }
        });
        ui().按钮_打印预览->click();
        EXPECT_TRUE(opened);
    }
    // The lowest row of the canvas picture with anything drawn on it.
    static int lowestInk(const QImage& picture)
    {
        for (int y = picture.height() - 1; y >= 0; --y) {
            for (int x = 0; x < picture.width(); ++x) {
                if (qGray(picture.pixel(x, y)) < 128)
                    return y;
            }
        }
        return -1;
    }
};

} // namespace

TEST_F(Preview, AnEmptySaleHasNothingToPreview)
{
    window().OpenPreview();
    EXPECT_EQ(h.prompter.texts(), std::vector<QString> { QStringLiteral("没有可以预览的数据！") });
}

TEST_F(Preview, AFewItemsFitTheFrameAndTheWindowStandsAsHighAsTheSalesWindow)
{
    sell(3);
    withPreview([&](PreviewWindow& preview) {
        Ui::PreviewWindow& p = preview.ui();
        EXPECT_EQ(preview.windowTitle(), QStringLiteral("Tillora"));
        EXPECT_EQ(preview.height(), window().height());
        EXPECT_EQ(p.画板1->geometry(), QRect(17, 8, 192, 1300));
        EXPECT_EQ(p.标签1->text(), QStringLiteral("打印小票，返回主界面，点击打印即可"));
        const int lowest = lowestInk(p.画板1->picture());
        EXPECT_GT(lowest, 200) << "the receipt is drawn";
        EXPECT_LT(lowest + p.画板1->y(), p.图片框1->height()) << "and fits the frame";
        // The layout's 48 mm take about 181 of the canvas's 192 pixels.
        EXPECT_EQ(qRound(480 * p.画板1->logicalDpiX() / 254.0), 181);
        const QString folder = QStringLiteral(SCREENSHOT_DIR);
        QDir().mkpath(folder);
        EXPECT_TRUE(preview.grab().save(folder + QStringLiteral("/PreviewWindow.png")));
    });
    // Nothing is printed or saved from the preview.
    EXPECT_EQ(window().sale().lines().size(), 3u);
    EXPECT_TRUE(h.prompter.calls.empty());
}

TEST_F(Preview, MarginMovesTheCanvasAndTheScrollBarMovesItUp)
{
    h.app->session().printOptions.paperMargin = 40;
    sell(1);
    withPreview([](PreviewWindow& preview) {
        Ui::PreviewWindow& p = preview.ui();
        EXPECT_EQ(p.画板1->x(), 57);
        EXPECT_EQ(p.纵向滚动条1->minimum(), 1);
        EXPECT_EQ(p.纵向滚动条1->maximum(), 1300);
        EXPECT_EQ(p.纵向滚动条1->pageStep(), 10);
        p.纵向滚动条1->setValue(1300);
        EXPECT_EQ(p.画板1->y(), -1290);
        p.纵向滚动条1->setValue(1);
        EXPECT_EQ(p.画板1->y(), 9);
    });
}

TEST_F(Preview, TheLogoLowersTheNameBy1mmWithTheUnitPriceColumn)
{
    h.app->session().printOptions.printLogo = true;
    sell(1);
    int withPrice = 0, without = 0;
    withPreview([&](PreviewWindow& preview) { withPrice = lowestInk(preview.ui().画板1->picture()); });
    h.app->session().printOptions.printUnitPrice = false;
    withPreview([&](PreviewWindow& preview) { without = lowestInk(preview.ui().画板1->picture()); });
    // 10 units (1 mm) are about 4 pixels at 96 dots per inch.
    EXPECT_NEAR(withPrice - without, 4, 1);
}
