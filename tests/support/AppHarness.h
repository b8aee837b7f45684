#pragma once

#include "app/Application.h"
#include "platform/Printers.h"
#include "support/DataDir.h"
#include "support/RecordingPrompter.h"
#include "support/Seams.h"

#include <memory>
#include <optional>
#include <vector>

namespace tillora::test {

// The whole program on recording seams and a temporary data directory.
struct AppHarness {
    explicit AppHarness(DataDir::Content content = DataDir::Content::NewDatabase)
        : dir(content)
    {
    }

    // Runs the start sequence; -1 when the windows are up.
    int start(const QUrl& updateUrl = {})
    {
        StartOptions options;
        options.dataDir = dir.path();
        options.updateUrl = updateUrl;
        options.lockWaitMs = 0;
        options.restartArguments = { QStringLiteral("--data-dir"), dir.path() };
        app = std::make_unique<Application>(
            prompter, clock, shell, *printers, options, [this](const QUrl& url) {
                fetched.push_back(url);
                return page;
            });
        return app->start();
    }

    // Sets configuration columns before the start, through a connection of its own.
    void configure(const QString& column, const QString& value)
    {
        Database db;
        dir.openSecondConnection(db);
        if (!db.exec(QStringLiteral("UPDATE 配置文件 SET [%1]=?").arg(column), { value }))
            throw std::runtime_error("configuration not written");
    }

    DataDir dir;
    RecordingPrompter prompter;
    FixedClock clock;
    RecordingShell shell;
    // The system's printers; each test has a HOME of its own (see TestMain).
    std::unique_ptr<Printers> printers = std::make_unique<CupsPrinters>();
    std::optional<QByteArray> page;
    std::vector<QUrl> fetched;
    std::unique_ptr<Application> app;
};

} // namespace tillora::test
