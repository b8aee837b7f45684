#include "settings/LogoWindow.h"

#include "receipt/ReceiptLogo.h"
#include "store/Session.h"
#include "store/TemplateLogo.h"
#include "support/ControlTable.h"
#include "support/DataDir.h"
#include "support/RecordingPrompter.h"
#include "support/RecordingSurface.h"
#include "support/Seams.h"
#include "support/WindowHarness.h"
#include "ui_LogoWindow.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace tillora;
using namespace tillora::test;

namespace {

const QString kRenameTable = QStringLiteral("ALTER TABLE 配置文件 RENAME TO 配置文件_旧");
const QString kInfoTitle = QStringLiteral("信息：");

QByteArray pngBytes(const QSize& size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A fresh data directory and the window over its database, on recording seams.
struct LogoHarness : WindowHarness {
    void open() { window = std::make_unique<LogoWindow>(services(), geometry); }
    Ui::LogoWindow& ui() { return window->ui(); }

    // The configuration row as stored, read through a second connection.
    Row stored()
    {
        Database other;
        dir.openSecondConnection(other);
        const auto rows = other.query(
            QStringLiteral("SELECT *, typeof(logo偏差) AS t1, typeof(logo高度) AS t2, typeof(logo宽度) AS t3 "
                           "FROM 配置文件 WHERE ID=1"));
        if (!rows || rows->empty())
            throw std::runtime_error("configuration row not read");
        return rows->front();
    }
    // The three numbers as stored, as "offset/height/width", each checked to be a whole number.
    QString storedNumbers()
    {
        const Row row = stored();
        for (const char* type : { "t1", "t2", "t3" })
            EXPECT_EQ(row.text(QString::fromLatin1(type)), QStringLiteral("integer"));
        return QStringLiteral("%1/%2/%3")
            .arg(row.text(QStringLiteral("logo偏差")), row.text(QStringLiteral("logo高度")),
                row.text(QStringLiteral("logo宽度")));
    }
    // A file of the given bytes in a temporary folder of the test's own.
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = QDir(files.path()).filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            throw std::runtime_error("file not written");
        return path;
    }
    bool pictureShown() { return !ui().图片框1->pixmap().isNull(); }
    void setNumbers(const QString& offset, const QString& height, const QString& width)
    {
        ui().编辑框_偏差->setText(offset);
        ui().编辑框_高度->setText(height);
        ui().编辑框_宽度->setText(width);
    }

    LogoGeometry geometry { 1, 2, 3 };
    QTemporaryDir files;
    std::unique_ptr<LogoWindow> window;
};

class Logo : public ::testing::Test, protected LogoHarness {
protected:
    void SetUp() override { open(); }
};

void expectMessages(const RecordingPrompter& prompter, const std::vector<QString>& texts, Prompter::Icon icon)
{
    ASSERT_EQ(prompter.calls.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(prompter.calls[i].kind, RecordingPrompter::Kind::Message);
        EXPECT_EQ(prompter.calls[i].text, texts[i]);
        EXPECT_EQ(prompter.calls[i].title, kInfoTitle);
        EXPECT_EQ(prompter.calls[i].icon, icon);
    }
}

} // namespace

TEST(LogoWindow, OpensWithTheStoredLogoAndNumbers)
{
    LogoHarness h;
    h.session.printOptions.printLogo = true; // replaced by the stored switch
    h.open();
    EXPECT_EQ(h.window->windowTitle(), QStringLiteral("Tillora"));
    EXPECT_EQ(h.window->minimumSize(), QSize(412, 525));
    EXPECT_EQ(h.window->maximumSize(), QSize(412, 525));
    EXPECT_EQ(h.window->pictureBytes(), templateLogoJpeg());
    ASSERT_TRUE(h.pictureShown());
    // The 430 x 430 picture is scaled down to fit the box.
    EXPECT_EQ(h.ui().图片框1->pixmap().size(), QSize(284, 284));
    EXPECT_EQ(h.ui().编辑框_偏差->text(), QStringLiteral("120"));
    EXPECT_EQ(h.ui().编辑框_高度->text(), QStringLiteral("200"));
    EXPECT_EQ(h.ui().编辑框_宽度->text(), QStringLiteral("200"));
    EXPECT_FALSE(h.ui().选择框1->isChecked());
    EXPECT_FALSE(h.session.printOptions.printLogo);
    EXPECT_EQ(h.geometry.offset, 120);
    EXPECT_EQ(h.geometry.height, 200);
    EXPECT_EQ(h.geometry.width, 200);
    EXPECT_TRUE(h.prompter.calls.empty());
}

TEST(LogoWindow, OpeningTicksTheBoxFromTheStoredSwitch)
{
    const std::vector<std::pair<QString, bool>> cases = {
        { QStringLiteral("真"), true },
        { QStringLiteral("假"), false },
        { QString(), false },
    };
    for (const auto& [text, ticked] : cases) {
        SCOPED_TRACE(text.toStdString());
        LogoHarness h;
        h.execute(QStringLiteral("UPDATE 配置文件 SET 是否打印logo=?"), { text });
        h.session.printOptions.printLogo = !ticked;
        h.open();
        EXPECT_EQ(h.ui().选择框1->isChecked(), ticked);
        EXPECT_EQ(h.session.printOptions.printLogo, ticked);
    }
}

TEST(LogoWindow, UnreadableRecordReportsEachReadAndKeepsTheGeometry)
{
    LogoHarness h;
    h.execute(kRenameTable);
    h.session.printOptions.printLogo = true;
    h.open();
    // The picture, the three numbers and the switch: one message per read.
    expectMessages(
        h.prompter, std::vector<QString>(5, QStringLiteral("logo数据打开失败！")), Prompter::Icon::Error);
    EXPECT_FALSE(h.pictureShown());
    EXPECT_TRUE(h.window->pictureBytes().isEmpty());
    EXPECT_EQ(h.ui().编辑框_偏差->text(), QStringLiteral("1"));
    EXPECT_EQ(h.ui().编辑框_高度->text(), QStringLiteral("3"));
    EXPECT_EQ(h.ui().编辑框_宽度->text(), QStringLiteral("2"));
    EXPECT_FALSE(h.ui().选择框1->isChecked());
    EXPECT_FALSE(h.session.printOptions.printLogo);
}

TEST_F(Logo, ControlsStandWhereTheFormPutsThem)
{
    const std::vector<ControlSpec> controls = {
        { "标签5", QRect(53, 8, 300, 300), "" },
        { "图片框1", QRect(61, 16, 284, 284), nullptr },
        { "标签2", QRect(8, 320, 392, 72),
            "1.导入图片可以是任意格式\r\n\r\n2.图片尺寸宽度高度，建议自行调整\r\n\r\n3."
            "偏差输入负数向左，正数向右移动" },
        { "标签1", QRect(10, 408, 58, 16), "图像偏差：" },
        { "编辑框_偏差", QRect(82, 405, 58, 19), nullptr },
        { "标签3", QRect(151, 408, 56, 16), "图像高度：" },
        { "编辑框_高度", QRect(207, 408, 58, 19), nullptr },
        { "标签4", QRect(287, 408, 56, 16), "图像宽度：" },
        { "编辑框_宽度", QRect(343, 408, 58, 19), nullptr },
        { "选择框1", QRect(26, 453, 70, 24), "打印logo" },
        { "按钮_更改logo", QRect(132, 453, 70, 24), "更改logo" },
        { "按钮_保存", QRect(228, 453, 70, 24), "保存" },
        { "按钮2", QRect(316, 453, 70, 24), "退出" },
    };
    ASSERT_NO_FATAL_FAILURE(expectControls(*window, controls));
    // The frame lies behind the picture.
    EXPECT_LT(window->children().indexOf(ui().标签5), window->children().indexOf(ui().图片框1));
}

// The labels' texts are drawn whole: the hint on its five lines, the captions
// up to the ink of their closing full-width colon, which fills only the left
// half of its cell.
TEST_F(Logo, LabelTextsFitTheirLabels)
{
    QLabel* hint = ui().标签2;
    EXPECT_EQ(hint->text().split(QStringLiteral("\r\n")).size(), 5);
    const QRect needed = hint->fontMetrics().boundingRect(
        QRect(QPoint(0, 0), hint->size()), int(hint->alignment()), hint->text());
    EXPECT_LE(needed.width(), hint->width());
    EXPECT_LE(needed.height(), hint->height());
    for (QLabel* label : { ui().标签1, ui().标签3, ui().标签4 }) {
        SCOPED_TRACE(label->objectName().toStdString());
        const QFontMetrics metrics = label->fontMetrics();
        const QString colon = QStringLiteral("：");
        ASSERT_TRUE(label->text().endsWith(colon));
        EXPECT_LE(metrics.horizontalAdvance(label->text().chopped(1)) + metrics.horizontalAdvance(colon) / 2,
            label->width());
        EXPECT_LE(metrics.height(), label->height());
    }
}

TEST_F(Logo, TickingTheBoxStoresTheSwitch)
{
    ui().选择框1->click();
    EXPECT_TRUE(prompter.calls.empty());
    EXPECT_EQ(stored().text(QStringLiteral("是否打印logo")), QStringLiteral("真"));
    EXPECT_TRUE(session.printOptions.printLogo);
    ui().选择框1->click();
    EXPECT_TRUE(prompter.calls.empty());
    EXPECT_EQ(stored().text(QStringLiteral("是否打印logo")), QStringLiteral("假"));
    EXPECT_FALSE(session.printOptions.printLogo);
}

TEST_F(Logo, AFailedSwitchUpdateKeepsTheSwitchInMemory)
{
    execute(kRenameTable);
    ui().选择框1->click();
    expectMessages(prompter, { QStringLiteral("数据修改失败") }, Prompter::Icon::None);
    EXPECT_FALSE(session.printOptions.printLogo);
    EXPECT_TRUE(ui().选择框1->isChecked()) << "the box keeps its new tick";
}

TEST_F(Logo, CancellingTheFileDialogStoresThePictureShown)
{
    execute(QStringLiteral("UPDATE 配置文件 SET logo=?"), { QByteArray("replaced meanwhile") });
    ui().按钮_更改logo->click();
    ASSERT_EQ(prompter.calls.size(), 2u);
    EXPECT_EQ(prompter.calls[0].kind, RecordingPrompter::Kind::OpenFile);
    EXPECT_EQ(prompter.calls[0].owner, window.get());
    EXPECT_EQ(prompter.calls[0].dialog.filter, QStringLiteral("*.* (*)"));
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("数据添加成功！"));
    EXPECT_EQ(prompter.calls[1].title, kInfoTitle);
    EXPECT_EQ(prompter.calls[1].icon, Prompter::Icon::Information);
    EXPECT_EQ(stored().bytes(QStringLiteral("logo")), templateLogoJpeg());
    EXPECT_TRUE(pictureShown());
}

// Whatever the file holds is stored byte for byte; only a picture is shown.
TEST(LogoWindow, AChosenFileIsStoredExactlyAsRead)
{
    struct Case {
        const char* what;
        QString name;
        QByteArray bytes;
        bool shown;
    };
    const std::vector<Case> cases = {
        { "PNG picture", QStringLiteral("logo.png"), pngBytes(QSize(40, 20), Qt::red), true },
        { "PNG under another name", QStringLiteral("标志.dat"), pngBytes(QSize(8, 8), Qt::blue), true },
        { "no picture", QStringLiteral("notes.txt"), QByteArray("not a picture\0\x01\xff", 16), false },
        { "empty file", QStringLiteral("empty.bmp"), QByteArray(), false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LogoHarness h;
        h.open();
        h.prompter.files.push_back(h.writeFile(c.name, c.bytes));
        h.ui().按钮_更改logo->click();
        ASSERT_EQ(h.prompter.calls.size(), 2u);
        EXPECT_EQ(h.prompter.calls[1].text, QStringLiteral("数据添加成功！"));
        EXPECT_EQ(h.prompter.calls[1].icon, Prompter::Icon::Information);
        EXPECT_EQ(h.stored().bytes(QStringLiteral("logo")), c.bytes);
        EXPECT_EQ(h.window->pictureBytes(), c.bytes);
        EXPECT_EQ(h.pictureShown(), c.shown);
    }
}

// A file that cannot be read is not taken for an empty picture.
TEST_F(Logo, AnUnreadableFileChangesNothing)
{
    prompter.files.push_back(QDir(files.path()).filePath(QStringLiteral("gone.png")));
    ui().按钮_更改logo->click();
    ASSERT_EQ(prompter.calls.size(), 2u);
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("数据添加失败！"));
    EXPECT_EQ(prompter.calls[1].icon, Prompter::Icon::Error);
    EXPECT_EQ(stored().bytes(QStringLiteral("logo")), templateLogoJpeg());
    EXPECT_EQ(window->pictureBytes(), templateLogoJpeg());
    EXPECT_TRUE(pictureShown());
}

TEST_F(Logo, AFailedPictureUpdateIsReported)
{
    execute(kRenameTable);
    ui().按钮_更改logo->click();
    ASSERT_EQ(prompter.calls.size(), 2u);
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("数据添加失败！"));
    EXPECT_EQ(prompter.calls[1].title, kInfoTitle);
    EXPECT_EQ(prompter.calls[1].icon, Prompter::Icon::Error);
}

// The three updates run in order and stop at the first one the database
// refuses; those before it stay stored. Only a full save refreshes the geometry.
TEST(LogoWindow, SaveStoresTheNumbersUpToTheFirstRefusedOne)
{
    struct Case {
        const char* what;
        QString offset, height, width;
        QString stored; // offset/height/width afterwards
        bool saved;
    };
    const std::vector<Case> cases = {
        { "all whole numbers", QStringLiteral("-30"), QStringLiteral("300"), QStringLiteral("250"),
            QStringLiteral("-30/300/250"), true },
        { "unchanged", QStringLiteral("120"), QStringLiteral("200"), QStringLiteral("200"),
            QStringLiteral("120/200/200"), true },
        { "letters as width", QStringLiteral("-30"), QStringLiteral("300"), QStringLiteral("abc"),
            QStringLiteral("-30/300/200"), false },
        { "fraction as height", QStringLiteral("-30"), QStringLiteral("2.5"), QStringLiteral("250"),
            QStringLiteral("-30/200/200"), false },
        { "quote in offset", QStringLiteral("1'"), QStringLiteral("300"), QStringLiteral("250"),
            QStringLiteral("120/200/200"), false },
        { "empty offset", QString(), QStringLiteral("300"), QStringLiteral("250"),
            QStringLiteral("120/200/200"), false },
        { "width beyond the 32-bit range", QStringLiteral("-30"), QStringLiteral("300"),
            QStringLiteral("3000000000"), QStringLiteral("-30/300/200"), false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LogoHarness h;
        h.open();
        h.setNumbers(c.offset, c.height, c.width);
        h.ui().按钮_保存->click();
        EXPECT_EQ(h.storedNumbers(), c.stored);
        if (c.saved) {
            EXPECT_TRUE(h.prompter.calls.empty());
            EXPECT_EQ(QStringLiteral("%1/%2/%3")
                          .arg(h.geometry.offset)
                          .arg(h.geometry.height)
                          .arg(h.geometry.width),
                c.stored);
        } else {
            expectMessages(h.prompter, { QStringLiteral("数据添加失败！") }, Prompter::Icon::Error);
            EXPECT_EQ(h.geometry.offset, 120);
            EXPECT_EQ(h.geometry.height, 200);
            EXPECT_EQ(h.geometry.width, 200);
        }
    }
}

TEST_F(Logo, ExitClosesAndDiscardsUnsavedNumbers)
{
    window->show();
    setNumbers(QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"));
    ui().按钮2->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(storedNumbers(), QStringLiteral("120/200/200"));
    EXPECT_TRUE(prompter.calls.empty());
}

// What the window stores is what the next receipt draws: the switch, the
// geometry and the picture, without reopening anything.
TEST(LogoWindow, TheNextReceiptUsesTheNewLogo)
{
    struct Case {
        const char* what;
        bool tick;
        QByteArray picture; // none: the stored picture stays
        int images;
    };
    const std::vector<Case> cases = {
        { "ticked", true, QByteArray(), 1 },
        { "ticked, new picture", true, pngBytes(QSize(60, 30), Qt::black), 1 },
        { "ticked, no picture in the file", true, QByteArray("plain text"), 0 },
        { "not ticked", false, QByteArray(), 0 },
    };
    std::optional<int> headerWithLogo;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LogoHarness h;
        h.open();
        if (c.tick)
            h.ui().选择框1->click();
        if (!c.picture.isEmpty()) {
            h.prompter.files.push_back(h.writeFile(QStringLiteral("logo"), c.picture));
            h.ui().按钮_更改logo->click();
        }
        h.setNumbers(QStringLiteral("-30"), QStringLiteral("150"), QStringLiteral("180"));
        h.ui().按钮_保存->click();
        h.window.reset();
        h.prompter.clear();

        RecordingSurface surface;
        DatabaseLogoSource logo(h.db, h.prompter);
        ReceiptContent content;
        content.storeName = QStringLiteral("Corvane");
        ASSERT_TRUE(
            DrawReceipt(surface, ReceiptVariant {}, content, h.session.printOptions, h.geometry, logo));
        EXPECT_TRUE(h.prompter.calls.empty());
        ASSERT_EQ(surface.images.size(), size_t(c.images));
        if (c.images == 1) {
            EXPECT_EQ(surface.images[0].x, -30);
            EXPECT_EQ(surface.images[0].y, 5);
            EXPECT_EQ(surface.images[0].width, 180);
            EXPECT_EQ(surface.images[0].height, 150);
        }
        // A file that is no picture still keeps the logo's space.
        const RecordingSurface::Text* header = surface.find(QStringLiteral("Corvane"));
        ASSERT_NE(header, nullptr);
        if (c.tick) {
            if (!headerWithLogo)
                headerWithLogo = header->y;
            EXPECT_EQ(header->y, *headerWithLogo);
        } else {
            ASSERT_TRUE(headerWithLogo);
            EXPECT_EQ(header->y, *headerWithLogo - 150);
        }
    }
}

TEST_F(Logo, Screenshot)
{
    const QString folder = QStringLiteral(SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(folder));
    ui().选择框1->click();
    EXPECT_TRUE(window->grab().save(folder + QStringLiteral("/LogoWindow.png")));
}
