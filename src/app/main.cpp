#include "app/Application.h"
#include "platform/Clock.h"
#include "platform/CrashHandler.h"
#include "platform/Printers.h"
#include "platform/QtPrompter.h"
#include "platform/Shell.h"
#include "platform/UpdateCheck.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QWidget>

using namespace tillora;

namespace {

const QString kShowCrashMessage = QStringLiteral("show-crash-message");
const QString kExitWhenShown = QStringLiteral("exit-when-shown");

// For the start-up benchmark: ends the program once its first window has been
// painted, printing nothing; the caller measures the time to the exit.
class ExitOnFirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->isWindow())
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return false;
    }
};

StartOptions parseOptions(const QApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tillora point of sale"));
    parser.addHelpOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"), QStringLiteral("Folder of HH.mdb."),
        QStringLiteral("DIR"), QCoreApplication::applicationDirPath());
    const QCommandLineOption updateUrl(QStringLiteral("update-url"),
        QStringLiteral("Page that holds the published version."), QStringLiteral("URL"));
    QCommandLineOption crashMessage(kShowCrashMessage);
    crashMessage.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption exitWhenShown(kExitWhenShown);
    exitWhenShown.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({ dataDir, updateUrl, crashMessage, exitWhenShown });
    parser.process(app);

    StartOptions options;
    options.dataDir = parser.value(dataDir);
    options.updateUrl = QUrl::fromUserInput(parser.value(updateUrl));
    options.restartArguments = app.arguments().mid(1);
    options.restartArguments.removeAll(QStringLiteral("--") + kExitWhenShown);
    options.exitWhenShown = parser.isSet(exitWhenShown);
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tillora"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The forms ask for the Windows families 宋体 and 新宋体; naming the CJK font
    // that stands in for them spares a fallback search for each.
    for (const QString& family : { QStringLiteral("宋体"), QStringLiteral("新宋体") })
        QFont::insertSubstitution(family, QStringLiteral("WenQuanYi Zen Hei"));

    // A crashed copy starts this program again only to show the crash message.
    if (app.arguments().contains(QStringLiteral("--") + kShowCrashMessage)) {
        QtPrompter().message(
            CrashHandler::messageText(), Prompter::defaultTitle(), Prompter::Icon::Warning, nullptr);
        return 0;
    }
    CrashHandler::install(
        { QCoreApplication::applicationFilePath(), QStringLiteral("--") + kShowCrashMessage });

    const StartOptions options = parseOptions(app);
    QtPrompter prompter;
    SystemClock clock;
    DesktopShell shell;
    CupsPrinters printers;
    Application tillora(
        prompter, clock, shell, printers, options, [](const QUrl& url) { return UpdateCheck::fetch(url); });
    ExitOnFirstPaint exitOnFirstPaint;
    if (options.exitWhenShown)
        app.installEventFilter(&exitOnFirstPaint);
    const int exitCode = tillora.start();
    if (exitCode >= 0)
        return exitCode;
    return QApplication::exec();
}
