#include "support/CupsQueues.h"
#include "platform/Printers.h"
#include "support/Printers.h"

#include <QCoreApplication>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <arpa/inet.h>
#include <functional>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace tillora;
using namespace tillora::test;

namespace {

// A one-page A4 PDF with a line of Latin and a line of Chinese text.
bool writePdf(const QString& path, const QStringList& lines)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    QFont font = painter.font();
    font.setPointSize(14);
    painter.setFont(font);
    int y = 72;
    for (const QString& line : lines) {
        painter.drawText(72, y, line);
        y += 30;
    }
    return painter.end();
}

// Titles of letters and digits only, unique per run, so that cups-pdf keeps
// them unchanged in the file name.
QString uniqueTitle(const char* what)
{
    static int counter = 0;
    return QStringLiteral("%1%2x%3")
        .arg(QLatin1String(what))
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The real scheduler, the queues TilloraA and TilloraB and a home of the test's own.
class CupsPrintersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(user.home.isValid());
        if (!schedulerRunning())
            GTEST_SKIP() << kNoScheduler;
    }

    CupsUser user;
    CupsPrinters printers { 5000 };
};

} // namespace

TEST_F(CupsPrintersTest, ListsEachQueueOnceInTheServersOrder)
{
    // An lpoptions instance of a printer is no printer of its own.
    ASSERT_TRUE(QDir(user.home.path()).mkpath(QStringLiteral(".cups")));
    QFile lpoptions(user.lpoptionsPath());
    ASSERT_TRUE(lpoptions.open(QIODevice::WriteOnly));
    lpoptions.write("Dest TilloraA/receipt copies=2\n");
    lpoptions.close();

    const auto names = onFreshThread([&] { return printers.names(); });
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(names->count(kQueueA), 1) << names->join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(names->count(kQueueB), 1);
    EXPECT_LT(names->indexOf(kQueueA), names->indexOf(kQueueB));
    for (const QString& name : *names)
        EXPECT_FALSE(name.contains(QLatin1Char('/'))) << name.toStdString();
}

TEST_F(CupsPrintersTest, SetDefaultPrinterMakesItTheUsersDefault)
{
    struct Case {
        QString requested;
        QString expected;
    };
    const std::vector<Case> cases = {
        { kQueueB, kQueueB }, { kQueueA, kQueueA },
        { QStringLiteral("tillorab"), kQueueB }, // CUPS compares names without case
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requested.toStdString());
        EXPECT_TRUE(onFreshThread([&] { return printers.setDefaultPrinter(c.requested); }));
        EXPECT_EQ(onFreshThread([&] { return printers.defaultPrinter(); }), c.expected);
        EXPECT_TRUE(fileText(user.lpoptionsPath())
                        .split(QLatin1Char('\n'))
                        .contains(QStringLiteral("Default ") + c.expected))
            << fileText(user.lpoptionsPath()).toStdString();
        // CUPS's own tools see the same default for this user.
        const ToolRun lpstat = runTool(QStringLiteral("lpstat"), { QStringLiteral("-d") });
        EXPECT_TRUE(lpstat.output.trimmed().endsWith(QStringLiteral(": ") + c.expected))
            << lpstat.output.toStdString();
    }
}

TEST_F(CupsPrintersTest, UnknownOrEmptyPrinterIsNotMadeTheDefault)
{
    ASSERT_TRUE(onFreshThread([&] { return printers.setDefaultPrinter(kQueueA); }));
    for (const QString& name :
        { QStringLiteral("NoSuchTilloraQueue"), QString(), QStringLiteral("TilloraA/receipt") }) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(onFreshThread([&] { return printers.setDefaultPrinter(name); }));
        EXPECT_EQ(onFreshThread([&] { return printers.defaultPrinter(); }), kQueueA);
        EXPECT_EQ(fileText(user.lpoptionsPath()), QStringLiteral("Default TilloraA\n"));
    }
}

TEST_F(CupsPrintersTest, DefaultPaperSizeIsTheQueuesDefaultMediaUnlessTheUserChoseOne)
{
    struct Case {
        const char* what;
        QByteArray lpoptions;
        QString printer;
        std::optional<QSizeF> expected; // millimetres
    };
    const std::vector<Case> cases = {
        { "A4 queue", {}, kQueueA, QSizeF(210, 297) },
        // cups-pdf's PPD gives A5 as 421 x 595 points.
        { "A5 queue", {}, kQueueB, QSizeF(148.5, 209.9) },
        { "the user's media option", "Dest TilloraA media=A5\n", kQueueA, QSizeF(148, 210) },
        { "unknown printer", {}, QStringLiteral("NoSuchTilloraQueue"), std::nullopt },
    };
    ASSERT_TRUE(QDir(user.home.path()).mkpath(QStringLiteral(".cups")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile lpoptions(user.lpoptionsPath());
        ASSERT_TRUE(lpoptions.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lpoptions.write(c.lpoptions);
        lpoptions.close();
        const auto size = onFreshThread([&] { return printers.defaultPaperSize(c.printer); });
        ASSERT_EQ(size.has_value(), c.expected.has_value());
        if (size) {
            EXPECT_NEAR(size->width(), c.expected->width(), 0.2);
            EXPECT_NEAR(size->height(), c.expected->height(), 0.2);
        }
    }
}

TEST_F(CupsPrintersTest, PrintedPdfComesOutOfTheQueueWithItsText)
{
    const QString pdf = user.home.filePath(QStringLiteral("receipt.pdf"));
    ASSERT_TRUE(writePdf(pdf, { QStringLiteral("Tillora receipt 12.50"), QStringLiteral("收银小票 合计") }));
    for (const QString& queue : { kQueueA, kQueueB }) {
        SCOPED_TRACE(queue.toStdString());
        const QString title = uniqueTitle("PrintTest");
        QString error = QStringLiteral("stale");
        const int job = onFreshThread([&] { return printers.printPdf(queue, pdf, title, &error); });
        ASSERT_GT(job, 0) << error.toStdString();
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();

        const QString out = waitForJobPdf(queue, job, title);
        ASSERT_FALSE(out.isEmpty()) << "no PDF for job " << job << " in " << queueFolder(queue).toStdString();
        const ToolRun text
            = runTool(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), out, QStringLiteral("-") });
        ASSERT_EQ(text.exitCode, 0) << text.output.toStdString();
        for (const char* word : { "Tillora", "receipt", "12.50", "收银小票", "合计" })
            EXPECT_TRUE(text.output.contains(QString::fromUtf8(word))) << word;

        // The page comes out on the queue's own default paper.
        const ToolRun info = runTool(QStringLiteral("pdfinfo"), { out });
        const QRegularExpressionMatch size
            = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts"))
                  .match(info.output);
        ASSERT_TRUE(size.hasMatch()) << info.output.toStdString();
        const auto paper = onFreshThread([&] { return printers.defaultPaperSize(queue); });
        ASSERT_TRUE(paper.has_value());
        EXPECT_NEAR(size.captured(1).toDouble() * 25.4 / 72, paper->width(), 1.0);
        EXPECT_NEAR(size.captured(2).toDouble() * 25.4 / 72, paper->height(), 1.0);
        QFile::remove(out);
    }
}

// A queue of the test's own, removed again after it, so that the shared test
// queues are never stopped or made to reject jobs.
class RefusingQueueTest : public CupsPrintersTest {
protected:
    void SetUp() override
    {
        CupsPrintersTest::SetUp();
        if (IsSkipped())
            return;
        if (::geteuid() != 0)
            GTEST_SKIP() << "adding a print queue with lpadmin needs root";
        const ToolRun added = runTool(QStringLiteral("lpadmin"),
            { QStringLiteral("-p"), queue, QStringLiteral("-v"), QStringLiteral("cups-pdf:/") + queue,
                QStringLiteral("-P"), QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd"),
                QStringLiteral("-E") });
        ASSERT_EQ(added.exitCode, 0) << added.output.toStdString();
        m_added = true;
    }
    void TearDown() override
    {
        if (m_added)
            runTool(QStringLiteral("lpadmin"), { QStringLiteral("-x"), queue });
    }
    // The jobs still held for the queue.
    QString jobsLeft()
    {
        return runTool(QStringLiteral("lpstat"), { QStringLiteral("-o"), queue }).output.trimmed();
    }

    const QString queue = QStringLiteral("TilloraRefuse%1").arg(QCoreApplication::applicationPid());

private:
    bool m_added = false;
};

TEST_F(RefusingQueueTest, JobsThatArePrintedNowhereReturnNoJobAndAReason)
{
    const QString pdf = user.home.filePath(QStringLiteral("receipt.pdf"));
    ASSERT_TRUE(writePdf(pdf, { QStringLiteral("refused") }));
    struct Case {
        const char* what;
        QStringList commands; // run before printing, each "program arguments..."
        QString printer;
        QString file;
    };
    const std::vector<Case> cases = {
        { "queue rejecting jobs", { QStringLiteral("cupsreject ") + queue }, queue, pdf },
        { "stopped queue", { QStringLiteral("cupsaccept ") + queue, QStringLiteral("cupsdisable ") + queue },
            queue, pdf },
        { "unknown printer", {}, QStringLiteral("NoSuchTilloraQueue"), pdf },
        { "missing file", {}, kQueueA, user.home.filePath(QStringLiteral("missing.pdf")) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString& command : c.commands) {
            QStringList words = command.split(QLatin1Char(' '));
            const ToolRun run = runTool(words.takeFirst(), words);
            ASSERT_EQ(run.exitCode, 0) << command.toStdString() << ": " << run.output.toStdString();
        }
        QString error;
        EXPECT_EQ(onFreshThread(
                      [&] { return printers.printPdf(c.printer, c.file, uniqueTitle("Refused"), &error); }),
            0);
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(jobsLeft(), QString());
    }
}

namespace {

// A print server that takes connections and never answers: a loopback socket
// that listens and never accepts, so the kernel completes each connect and the
// requests sit unread.
class SilentServer {
public:
    SilentServer()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), length) != 0
            || ::listen(m_fd, 64) != 0
            || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("no loopback listener");
        m_port = ntohs(address.sin_port);
    }
    ~SilentServer() { ::close(m_fd); }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    QByteArray address() const { return "127.0.0.1:" + QByteArray::number(m_port); }

private:
    int m_fd = -1;
    int m_port = 0;
};

// Every call of the seam, each saying whether it reported failure as it should.
struct SeamCall {
    const char* name;
    std::function<bool(Printers&, const QString& pdf)> fails;
};

const std::vector<SeamCall> kSeamCalls = {
    { "names", [](Printers& p, const QString&) { return !p.names().has_value(); } },
    { "defaultPrinter", [](Printers& p, const QString&) { return p.defaultPrinter().isEmpty(); } },
    { "setDefaultPrinter", [](Printers& p, const QString&) { return !p.setDefaultPrinter(kQueueA); } },
    { "defaultPaperSize",
        [](Printers& p, const QString&) { return !p.defaultPaperSize(kQueueA).has_value(); } },
    { "printPdf",
        [](Printers& p, const QString& pdf) {
            QString error;
            return p.printPdf(kQueueA, pdf, QStringLiteral("NoServer"), &error) == 0 && !error.isEmpty();
        } },
};

// A scheduler of the test's own with no printers, listening only on a socket in
// a temporary folder; all its files stay in that folder.
class EmptyScheduler {
public:
    EmptyScheduler()
    {
        const QString root = m_dir.path();
        QFile::setPermissions(root,
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                | QFile::ReadOther | QFile::ExeOther);
        for (const char* sub : { "etc", "spool", "state", "cache", "tmp" })
            QDir(root).mkpath(QLatin1String(sub));
        writeFile(root + QStringLiteral("/etc/cups-files.conf"),
            QStringLiteral("ServerRoot %1/etc\nRequestRoot %1/spool\nStateDir %1/state\nCacheDir %1/cache\n"
                           "TempDir %1/tmp\nErrorLog %1/error_log\nAccessLog %1/access_log\n"
                           "PageLog %1/page_log\nPrintcap %1/printcap\n")
                .arg(root));
        writeFile(root + QStringLiteral("/etc/cupsd.conf"),
            QStringLiteral(
                "Listen %1\nBrowsing No\nLogLevel warn\n<Location />\n  Order allow,deny\n  Allow all\n"
                "</Location>\n")
                .arg(socket()));
        m_process.start(QStringLiteral("/usr/sbin/cupsd"),
            { QStringLiteral("-f"), QStringLiteral("-c"), root + QStringLiteral("/etc/cupsd.conf"),
                QStringLiteral("-s"), root + QStringLiteral("/etc/cups-files.conf") });
    }
    ~EmptyScheduler()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished();
    }
    EmptyScheduler(const EmptyScheduler&) = delete;
    EmptyScheduler& operator=(const EmptyScheduler&) = delete;

    QString socket() const { return m_dir.path() + QStringLiteral("/cupsd.sock"); }
    // Waits until it answers lpstat, up to ten seconds.
    bool ready()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CUPS_SERVER"), socket());
        for (int i = 0; i < 100 && m_process.state() != QProcess::NotRunning; ++i) {
            QProcess lpstat;
            lpstat.setProcessEnvironment(env);
            lpstat.start(QStringLiteral("lpstat"), { QStringLiteral("-r") });
            if (lpstat.waitForFinished(2000)
                && lpstat.readAllStandardOutput().startsWith("scheduler is running"))
                return true;
            QThread::msleep(100);
        }
        return false;
    }
    QString log() const { return fileText(m_dir.path() + QStringLiteral("/error_log")); }

private:
    static void writeFile(const QString& path, const QString& text)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
            throw std::runtime_error("cannot write " + path.toStdString());
    }

    QTemporaryDir m_dir;
    QProcess m_process;
};

} // namespace

// CUPS_SERVER is set before the calls' threads first use libcups.
TEST(CupsPrintersWithoutServer, EveryCallFailsAtOnceWhenNoServerListens)
{
    CupsUser user;
    const QString pdf = user.home.filePath(QStringLiteral("receipt.pdf"));
    ASSERT_TRUE(writePdf(pdf, { QStringLiteral("nobody prints this") }));
    user.env.set("CUPS_SERVER", user.home.filePath(QStringLiteral("no-such-cupsd.sock")).toUtf8());
    CupsPrinters printers(5000);
    for (const SeamCall& call : kSeamCalls) {
        SCOPED_TRACE(call.name);
        QElapsedTimer timer;
        timer.start();
        EXPECT_TRUE(onFreshThread([&] { return call.fails(printers, pdf); }));
        EXPECT_LT(timer.elapsed(), 1000);
    }
    EXPECT_FALSE(QFile::exists(user.lpoptionsPath()));
}

TEST(CupsPrintersWithoutServer, EveryCallGivesUpAfterItsTimeoutWhenTheServerHangs)
{
    CupsUser user;
    const QString pdf = user.home.filePath(QStringLiteral("receipt.pdf"));
    ASSERT_TRUE(writePdf(pdf, { QStringLiteral("nobody prints this") }));
    SilentServer server;
    user.env.set("CUPS_SERVER", server.address());
    constexpr int timeoutMs = 500;
    CupsPrinters printers(timeoutMs);
    for (const SeamCall& call : kSeamCalls) {
        SCOPED_TRACE(call.name);
        QElapsedTimer timer;
        timer.start();
        EXPECT_TRUE(onFreshThread([&] { return call.fails(printers, pdf); }));
        const qint64 elapsed = timer.elapsed();
        // It did reach the silent server and waited for it...
        EXPECT_GE(elapsed, timeoutMs - 50);
        // ...but no longer than its timeout and a little.
        EXPECT_LT(elapsed, timeoutMs + 400);
        std::cout << call.name << " against a hung server: " << elapsed << " ms\n";
    }
    EXPECT_FALSE(QFile::exists(user.lpoptionsPath()));
}

// CUPS answers "not found" when it has no printers: that is an empty list, not
// a failure to list them.
TEST(CupsPrintersEmptyServer, AServerWithoutPrintersListsNone)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "starting a scheduler of the test's own needs root";
    EmptyScheduler scheduler;
    ASSERT_TRUE(scheduler.ready()) << scheduler.log().toStdString();
    CupsUser user;
    user.env.set("CUPS_SERVER", scheduler.socket().toUtf8());
    CupsPrinters printers(5000);
    EXPECT_EQ(onFreshThread([&] { return printers.names(); }), QStringList());
    EXPECT_EQ(onFreshThread([&] { return printers.defaultPrinter(); }), QString());
    EXPECT_FALSE(onFreshThread([&] { return printers.setDefaultPrinter(kQueueA); }));
    EXPECT_FALSE(QFile::exists(user.lpoptionsPath()));
}
