#include "settings/PrinterWindow.h"

#include "support/ControlTable.h"
#include "support/CupsQueues.h"
#include "support/Printers.h"
#include "support/RecordingPrompter.h"
#include "ui_PrinterWindow.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using namespace tillora;
using namespace tillora::test;

namespace {

QStringList entries(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// A printer list given by the test; records what 保存 hands on.
class FakePrinters final : public Printers {
public:
    std::optional<QStringList> names() override { return list; }
    QString defaultPrinter() override { return defaultName; }
    bool setDefaultPrinter(const QString& printer) override
    {
        madeDefault << printer;
        return list && list->contains(printer);
    }
    std::optional<QSizeF> defaultPaperSize(const QString&) override { return std::nullopt; }
    int printPdf(const QString&, const QString&, const QString&, QString* error) override
    {
        if (error)
            *error = QStringLiteral("not a printer");
        return 0;
    }

    std::optional<QStringList> list;
    QString defaultName;
    QStringList madeDefault;
};

// The window over the real print server and its test queues, in a home of
// the test's own.
class PrinterWindowOnCups : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(user.home.isValid());
        if (!schedulerRunning())
            GTEST_SKIP() << kNoScheduler;
    }
    void open() { window = std::make_unique<PrinterWindow>(printers, prompter); }
    QComboBox* box() { return window->ui().组合框_打印机名称; }
    QString lpoptions()
    {
        QFile file(user.lpoptionsPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    CupsUser user;
    FreshThreadPrinters printers;
    RecordingPrompter prompter;
    std::unique_ptr<PrinterWindow> window;
};

} // namespace

TEST_F(PrinterWindowOnCups, ControlsStandWhereTheFormPutsThem)
{
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tillora"));
    EXPECT_EQ(window->minimumSize(), QSize(354, 210));
    EXPECT_EQ(window->maximumSize(), QSize(354, 210));
    const std::vector<ControlSpec> controls = {
        { "分组框1", QRect(8, 32, 320, 64), "请选择使用的打印设备" },
        { "组合框_打印机名称", QRect(32, 24, 256, 20), nullptr },
        { "按钮_保存", QRect(24, 120, 104, 40), "保存" },
        { "按钮1", QRect(192, 120, 96, 40), "退出" },
    };
    ASSERT_NO_FATAL_FAILURE(expectControls(*window, controls));
    EXPECT_EQ(box()->parentWidget(), window->ui().分组框1);
    EXPECT_FALSE(box()->isEditable());
}

TEST_F(PrinterWindowOnCups, ListsThePrintersAndPreselectsTheUsersDefault)
{
    for (const QString& queue : { kQueueB, kQueueA }) {
        SCOPED_TRACE(queue.toStdString());
        ASSERT_TRUE(printers.setDefaultPrinter(queue));
        open();
        const auto names = printers.names();
        ASSERT_TRUE(names.has_value());
        EXPECT_EQ(entries(box()), *names);
        EXPECT_TRUE(names->contains(kQueueA) && names->contains(kQueueB));
        EXPECT_EQ(box()->currentText(), queue);
        EXPECT_TRUE(prompter.calls.empty());
    }
}

TEST_F(PrinterWindowOnCups, SaveMakesTheChosenPrinterTheUsersDefaultAndStaysOpen)
{
    ASSERT_TRUE(printers.setDefaultPrinter(kQueueA));
    open();
    window->show();
    box()->setCurrentIndex(box()->findText(kQueueB));
    window->ui().按钮_保存->click();

    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(prompter.calls.empty());
    EXPECT_EQ(lpoptions(), QStringLiteral("Default TilloraB\n"));
    FreshThreadPrinters fresh;
    EXPECT_EQ(fresh.defaultPrinter(), kQueueB);
    // Opened again, the window shows the new default.
    open();
    EXPECT_EQ(box()->currentText(), kQueueB);
}

TEST_F(PrinterWindowOnCups, ExitDoesNothing)
{
    ASSERT_TRUE(printers.setDefaultPrinter(kQueueB));
    open();
    window->show();
    box()->setCurrentIndex(box()->findText(kQueueA));
    window->ui().按钮1->click();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->result(), 0);
    EXPECT_EQ(box()->currentText(), kQueueA);
    EXPECT_EQ(FreshThreadPrinters().defaultPrinter(), kQueueB);
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(PrinterWindowOnCups, Screenshot)
{
    ASSERT_TRUE(printers.setDefaultPrinter(kQueueB));
    open();
    const QString folder = QStringLiteral(SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(window->grab().save(folder + QStringLiteral("/PrinterWindow.png")));
}

TEST(PrinterWindow, PreselectsTheFirstEntryBeginningWithTheDefaultIgnoringCase)
{
    struct Case {
        QStringList printers;
        QString defaultName;
        QString selected;
    };
    const std::vector<Case> cases = {
        { { "Kitchen", "TilloraB", "TilloraA" }, "tillora", "TilloraB" },
        { { "Kitchen", "TilloraB", "TilloraA" }, "TILLORAA", "TilloraA" },
        // An entry that is the default's whole name wins over a longer one before it.
        { { "Bar2", "Bar" }, "bar", "Bar" },
        // The default with a comma is compared up to it, as the entries are.
        { { "Front", "Kitchen,Bar" }, "Kitchen,Bar", "Kitchen" },
        // No default, or one that is not listed: the first entry stays chosen.
        { { "Kitchen", "Front" }, "", "Kitchen" },
        { { "Kitchen", "Front" }, "Gone", "Kitchen" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.defaultName.toStdString());
        FakePrinters printers;
        printers.list = c.printers;
        printers.defaultName = c.defaultName;
        RecordingPrompter prompter;
        PrinterWindow window(printers, prompter);
        EXPECT_EQ(window.ui().组合框_打印机名称->currentText(), c.selected);
        EXPECT_TRUE(prompter.calls.empty());
    }
}

// The list shows each name up to its first comma; saving hands on the printer's
// whole name, since the cut one names no printer.
TEST(PrinterWindow, NamesWithACommaAreListedCutAndSavedWhole)
{
    FakePrinters printers;
    printers.list = QStringList { "Kitchen,Bar", "Front", "Back,1,2" };
    RecordingPrompter prompter;
    PrinterWindow window(printers, prompter);
    QComboBox* box = window.ui().组合框_打印机名称;
    EXPECT_EQ(entries(box), (QStringList { "Kitchen", "Front", "Back" }));
    box->setCurrentIndex(2);
    window.ui().按钮_保存->click();
    box->setCurrentIndex(1);
    window.ui().按钮_保存->click();
    EXPECT_EQ(printers.madeDefault, (QStringList { "Back,1,2", "Front" }));
    EXPECT_TRUE(prompter.calls.empty());
}

TEST(PrinterWindow, PrintersThatCannotBeListedAreReportedAndTheListStaysEmpty)
{
    FakePrinters printers;
    printers.defaultName = QStringLiteral("Front");
    RecordingPrompter prompter;
    PrinterWindow window(printers, prompter);
    ASSERT_EQ(prompter.calls.size(), 1u);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("枚举打印机失败"));
    EXPECT_EQ(prompter.calls[0].icon, Prompter::Icon::None);
    EXPECT_EQ(prompter.calls[0].owner, &window);
    EXPECT_EQ(window.ui().组合框_打印机名称->count(), 0);
    // Saving with nothing listed passes the empty name, which names no printer.
    window.ui().按钮_保存->click();
    EXPECT_EQ(printers.madeDefault, QStringList { QString() });
    EXPECT_EQ(prompter.calls.size(), 1u);
}

TEST(PrinterWindow, NoPrintersIsAnEmptyListWithoutAMessage)
{
    FakePrinters printers;
    printers.list = QStringList();
    RecordingPrompter prompter;
    PrinterWindow window(printers, prompter);
    EXPECT_EQ(window.ui().组合框_打印机名称->count(), 0);
    EXPECT_TRUE(prompter.calls.empty());
}
