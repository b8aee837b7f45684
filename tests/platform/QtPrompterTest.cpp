#include "platform/QtPrompter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using tillora::Prompter;
using tillora::QtPrompter;

namespace {

// Once a visible modal window of type T shows up, hands it to `act`, which answers it.
// A window that is not shown, or not closed by the answer, fails the test and is closed
// after a few seconds, so that a fault cannot hang the test program.
template <class T> void whenShown(std::function<void(T*)> act)
{
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, tries, act] {
        T* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window) {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (auto* candidate = qobject_cast<T*>(top); candidate && candidate->isVisible())
                    window = candidate;
            }
        }
        if (window) {
            timer->stop();
            timer->deleteLater();
            QPointer<T> answered(window);
            act(window);
            QTimer::singleShot(5000, [answered] {
                if (answered && answered->isVisible()) {
                    ADD_FAILURE() << "the answer did not close the " << T::staticMetaObject.className();
                    answered->reject();
                }
            });
        } else if (++*tries > 500) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no " << T::staticMetaObject.className() << " was shown";
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->reject();
        }
    });
    timer->start(10);
}

struct Shown {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QWidget* parent = nullptr;
    bool modal = false;
};

// Records the message box and answers it with `answer` (NoButton: closes it with Escape).
void answerBox(Shown& shown, QMessageBox::StandardButton answer)
{
    whenShown<QMessageBox>([&shown, answer](QMessageBox* box) {
        shown.text = box->text();
        shown.title = box->windowTitle();
        shown.icon = box->icon();
        shown.buttons = box->standardButtons();
        shown.parent = box->parentWidget();
        shown.modal = box->isModal();
        if (answer == QMessageBox::NoButton)
            box->reject();
        else
            box->button(answer)->click();
    });
}

struct IconCase {
    Prompter::Icon icon;
    QMessageBox::Icon shown;
};

const IconCase iconCases[] = {
    { Prompter::Icon::None, QMessageBox::NoIcon },
    { Prompter::Icon::Information, QMessageBox::Information },
    { Prompter::Icon::Warning, QMessageBox::Warning },
    { Prompter::Icon::Error, QMessageBox::Critical },
    { Prompter::Icon::Question, QMessageBox::Question },
};

TEST(QtPrompter, MessageShowsTextTitleIconAndAnOkButton)
{
    QtPrompter prompter;
    QWidget owner;
    for (const IconCase& c : iconCases) {
        Shown shown;
        answerBox(shown, QMessageBox::Ok);
        prompter.message(QStringLiteral("已保存。\nSaved."), QStringLiteral("标题"), c.icon, &owner);
        EXPECT_EQ(shown.text, QStringLiteral("已保存。\nSaved."));
        EXPECT_EQ(shown.title, QStringLiteral("标题"));
        EXPECT_EQ(shown.icon, c.shown) << int(c.icon);
        EXPECT_EQ(shown.buttons, QMessageBox::Ok);
        EXPECT_EQ(shown.parent, &owner);
        EXPECT_TRUE(shown.modal);
    }
}

TEST(QtPrompter, InfoUsesTheDefaultTitleWithoutIcon)
{
    QtPrompter prompter;
    Shown shown;
    answerBox(shown, QMessageBox::Ok);
    prompter.info(QStringLiteral("打印完毕"));
    EXPECT_EQ(shown.text, QStringLiteral("打印完毕"));
    EXPECT_EQ(shown.title, QStringLiteral("信息："));
    EXPECT_EQ(shown.icon, QMessageBox::NoIcon);
    EXPECT_EQ(shown.parent, nullptr);
}

struct AnswerCase {
    QMessageBox::StandardButton answer; // NoButton: Escape / closing the box
    bool yes;
};

TEST(QtPrompter, AskYesNoIsTrueOnlyForYes)
{
    QtPrompter prompter;
    QWidget owner;
    const AnswerCase cases[] = {
        { QMessageBox::Yes, true },
        { QMessageBox::No, false },
        { QMessageBox::NoButton, false },
    };
    for (const AnswerCase& c : cases) {
        for (const IconCase& icon : iconCases) {
            Shown shown;
            answerBox(shown, c.answer);
            const bool yes = prompter.askYesNo(
                QStringLiteral("删除这一行？"), QStringLiteral("确认"), icon.icon, &owner);
            EXPECT_EQ(yes, c.yes) << int(c.answer);
            EXPECT_EQ(shown.text, QStringLiteral("删除这一行？"));
            EXPECT_EQ(shown.title, QStringLiteral("确认"));
            EXPECT_EQ(shown.icon, icon.shown);
            EXPECT_EQ(shown.buttons, QMessageBox::Yes | QMessageBox::No);
            EXPECT_EQ(shown.parent, &owner);
        }
    }
}

struct FileCase {
    const char* name;
    bool save;
    QString proposed; // relative to the temporary folder, empty for none
    QString typed; // the name chosen in the dialog, relative to the folder; empty: keep
    bool accept;
    QString expected; // relative to the folder; empty: the empty text
};

TEST(QtPrompter, FileDialogsHonourFilterNameAndSuffix)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        QFile existing(dir.filePath(QStringLiteral("销售.xls")));
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    }
    const FileCase cases[] = {
        { "SaveAddsTheSuffix", true, QStringLiteral("daily.xls"), QStringLiteral("report"), true,
            QStringLiteral("report.xls") },
        { "SaveKeepsAGivenSuffix", true, {}, QStringLiteral("report.csv"), true,
            QStringLiteral("report.csv") },
        { "SaveTakesTheProposedName", true, QStringLiteral("daily.xls"), {}, true,
            QStringLiteral("daily.xls") },
        { "SaveCancelled", true, QStringLiteral("daily.xls"), {}, false, {} },
        { "OpenExisting", false, QStringLiteral("销售.xls"), {}, true, QStringLiteral("销售.xls") },
        { "OpenCancelled", false, {}, {}, false, {} },
    };
    QtPrompter prompter;
    QWidget owner;
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Prompter::FileDialog request { QStringLiteral("导出"), QStringLiteral("Excel (*.xls)"),
            c.proposed.isEmpty() ? QString() : dir.filePath(c.proposed), QStringLiteral("xls") };

        QString title;
        QStringList filters;
        QString suffix;
        QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
        QWidget* parent = nullptr;
        whenShown<QFileDialog>([&, c](QFileDialog* dialog) {
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            suffix = dialog->defaultSuffix();
            mode = dialog->acceptMode();
            parent = dialog->parentWidget();
            if (!c.accept) {
                dialog->reject();
                return;
            }
            if (!c.typed.isEmpty()) {
                // What a user types into the name field.
                auto* nameField = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                ASSERT_NE(nameField, nullptr);
                nameField->setText(QDir(dir.path()).filePath(c.typed));
            }
            static_cast<QDialog*>(dialog)->accept(); // public as a QDialog slot
        });
        const QString chosen
            = c.save ? prompter.saveFile(request, &owner) : prompter.openFile(request, &owner);

        EXPECT_EQ(chosen, c.expected.isEmpty() ? QString() : dir.filePath(c.expected));
        EXPECT_EQ(title, QStringLiteral("导出"));
        EXPECT_EQ(filters, QStringList { QStringLiteral("Excel (*.xls)") });
        EXPECT_EQ(suffix, QStringLiteral("xls"));
        EXPECT_EQ(mode, c.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        EXPECT_EQ(parent, &owner);
    }
}

} // namespace
