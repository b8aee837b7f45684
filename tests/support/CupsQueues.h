#pragma once

// The real print server and the two PDF queues that scripts/start-cups sets up,
// for the tests of the printers seam and of the windows that use it.

#include "platform/Printers.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QThread>
#include <map>
#include <optional>
#include <thread>
#include <utility>

namespace tillora::test {

inline const QString kQueueA = QStringLiteral("TilloraA");
inline const QString kQueueB = QStringLiteral("TilloraB");

// Where cups-pdf writes each queue's jobs, as job_<job id>-<title>.pdf.
inline QString queueFolder(const QString& queue)
{
    return QStringLiteral("/var/spool/tillora-pdf/") + queue;
}

struct ToolRun {
    int exitCode = -1;
    QString output; // standard output and standard error
};

inline ToolRun runTool(const QString& program, const QStringList& arguments, int timeoutMs = 10000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.output = program + QStringLiteral(" did not finish");
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromLocal8Bit(process.readAll());
    return run;
}

// Asks the local scheduler through lpstat, a process of its own, so that this
// process's libcups has not read its settings yet.
inline bool schedulerRunning()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("CUPS_SERVER"));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("lpstat"), { QStringLiteral("-r") });
    return process.waitForFinished(5000)
        && process.readAllStandardOutput().startsWith("scheduler is running");
}

inline const char* kNoScheduler = "no CUPS scheduler runs here (lpstat -r); scripts/start-cups starts one";

// Sets environment variables for one test and puts the old values back after it.
class EnvGuard {
public:
    EnvGuard() = default;
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;
    ~EnvGuard()
    {
        for (const auto& [name, value] : m_saved) {
            if (value)
                qputenv(name.constData(), *value);
            else
                qunsetenv(name.constData());
        }
    }
    void set(const char* name, const QByteArray& value)
    {
        remember(name);
        qputenv(name, value);
    }
    void unset(const char* name)
    {
        remember(name);
        qunsetenv(name);
    }

private:
    void remember(const char* name)
    {
        if (m_saved.count(name))
            return;
        m_saved[name] = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
    }
    std::map<QByteArray, std::optional<QByteArray>> m_saved;
};

// A fresh home folder, so that the user's default printer (kept in
// $HOME/.cups/lpoptions) starts out unset and stays with this test, and the
// local scheduler, whatever the caller's environment names.
struct CupsUser {
    CupsUser()
    {
        env.set("HOME", home.path().toUtf8());
        env.unset("CUPS_SERVER");
        env.unset("LPDEST");
        env.unset("PRINTER");
    }
    QString lpoptionsPath() const { return home.path() + QStringLiteral("/.cups/lpoptions"); }

    QTemporaryDir home;
    EnvGuard env;
};

// libcups reads HOME and CUPS_SERVER once per thread. Running each call on a
// thread of its own makes it see the environment as the test has set it, even
// when the cases of a test program run in one process.
template <typename F> auto onFreshThread(F f) -> decltype(f())
{
    std::optional<decltype(f())> result;
    std::thread thread([&] { result.emplace(f()); });
    thread.join();
    return std::move(*result);
}

// CupsPrinters with every call on a fresh thread, for windows under test.
class FreshThreadPrinters final : public Printers {
public:
    explicit FreshThreadPrinters(int timeoutMs = 5000)
        : m_printers(timeoutMs)
    {
    }
    std::optional<QStringList> names() override
    {
        return onFreshThread([this] { return m_printers.names(); });
    }
    QString defaultPrinter() override
    {
        return onFreshThread([this] { return m_printers.defaultPrinter(); });
    }
    bool setDefaultPrinter(const QString& printer) override
    {
        return onFreshThread([&] { return m_printers.setDefaultPrinter(printer); });
    }
    std::optional<QSizeF> defaultPaperSize(const QString& printer) override
    {
        return onFreshThread([&] { return m_printers.defaultPaperSize(printer); });
    }
    int printPdf(
        const QString& printer, const QString& pdfPath, const QString& title, QString* error) override
    {
        return onFreshThread([&] { return m_printers.printPdf(printer, pdfPath, title, error); });
    }

private:
    CupsPrinters m_printers;
};

// The PDF that cups-pdf wrote for a job, waiting for it up to timeoutMs; the
// empty text when none came. cups-pdf names it job_<job id>-<title>.pdf (for a
// title of letters and digits; it puts "_" for other characters). A file is
// taken once its size stops changing.
inline QString waitForJobPdf(const QString& queue, int jobId, const QString& title, int timeoutMs = 15000)
{
    const QDir folder(queueFolder(queue));
    const QStringList pattern { QStringLiteral("job_%1-%2.pdf").arg(jobId).arg(title) };
    QElapsedTimer timer;
    timer.start();
    qint64 lastSize = -1;
    while (timer.elapsed() < timeoutMs) {
        const QFileInfoList found = folder.entryInfoList(pattern, QDir::Files, QDir::Time);
        if (!found.isEmpty()) {
            const qint64 size = found.first().size();
            if (size > 0 && size == lastSize)
                return found.first().absoluteFilePath();
            lastSize = size;
        }
        QThread::msleep(100);
    }
    return {};
}

} // namespace tillora::test
