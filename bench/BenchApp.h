#pragma once

#include "app/Application.h"
#include "platform/Clock.h"
#include "platform/Printers.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"

#include <QTemporaryDir>
#include <memory>

namespace bench {

// Message boxes and dialogs answer at once: the benchmark measures the program.
class SilentPrompter final : public tillora::Prompter {
public:
    void message(const QString&, const QString&, Icon, QWidget*) override { ++messages; }
    bool askYesNo(const QString&, const QString&, Icon, QWidget*) override { return true; }
    QString openFile(const FileDialog&, QWidget*) override { return {}; }
    QString saveFile(const FileDialog&, QWidget*) override { return savePath; }
    QString savePath; // what the save dialog answers
    int messages = 0;
};

class NoShell final : public tillora::Shell {
public:
    bool startProgram(const QString&, const QStringList&) override { return true; }
    bool openAddress(const QString&) override { return true; }
    bool restartSelf(const QStringList&) override { return true; }
};

// Tillora on a database of its own, logged in automatically as admin.
struct BenchApp {
    BenchApp();
    bool start();
    QString databasePath() const;

    QTemporaryDir dir;
    SilentPrompter prompter;
    tillora::SystemClock clock;
    NoShell shell;
    tillora::CupsPrinters printers;
    std::unique_ptr<tillora::Application> app;
};

} // namespace bench
