#include "app/Application.h"
#include "platform/Clock.h"
#include "platform/CrashHandler.h"
#include "platform/QtPrompter.h"
#include "platform/Shell.h"
#include "platform/UpdateCheck.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

using namespace tillora;

namespace
{

const QString kShowCrashMessage = QStringLiteral("show-crash-message");

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
    parser.addOptions({ dataDir, updateUrl, crashMessage });
    parser.process(app);

    StartOptions options;
    options.dataDir = parser.value(dataDir);
    options.updateUrl = QUrl::fromUserInput(parser.value(updateUrl));
    options.restartArguments = app.arguments().mid(1);
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tillora"));
    QApplication::setStyle(QStringLiteral("Fusion"));

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
    Application tillora(
        prompter, clock, shell, options, [](const QUrl& url) { return UpdateCheck::fetch(url); });
    const int exitCode = tillora.start();
    if (exitCode >= 0)
        return exitCode;
    return QApplication::exec();
}
