#include "platform/UpdateCheck.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace UpdateCheck = tillora::UpdateCheck;

namespace {

// ---------------------------------------------------------------------------------------
// The version text of a page

struct VersionCase {
    const char* page;
    const char* version;
};

TEST(UpdateCheckVersionFromPage, ReadsTheTextBetweenTheMarkers)
{
    const VersionCase cases[] = {
        { "xp=3.2=dy", "3.2" },
        { "XP=3.2=DY", "3.2" },
        { "Xp=3.2=dY", "3.2" },
        { "<html><body>latest: xp=3.3.1=dy, released</body></html>", "3.3.1" },
        { "xp=3.2=dy xp=9.9=dy", "3.2" }, // the first pair counts
        { "xp=3.2xp=4=dy", "3.2xp=4" }, // the end marker is searched after the first start
        { "xp==dy", "" }, // nothing between the markers
        { "xp=dy", "" }, // "=dy" may not reuse the "=" of "xp="
        { "xp=3.2", "" }, // no end marker
        { "3.2=dy", "" }, // no start marker
        { "=dy xp=3.2", "" }, // the end marker only before the start
        { "=dy xp=3.2=dy", "3.2" },
        { "", "" },
        { "xp=版本 3=dy", "版本 3" }, // the page is read as UTF-8
        { "xp=\n3.2\n=dy", "\n3.2\n" },
    };
    for (const VersionCase& c : cases)
        EXPECT_EQ(UpdateCheck::versionFromPage(QByteArray(c.page)), QString::fromUtf8(c.version)) << c.page;
}

struct NoticeCase {
    std::optional<QByteArray> page;
    const char* ownVersion;
    bool due;
};

TEST(UpdateCheckNoticeDue, IsDueUnlessThePageNamesExactlyThisVersion)
{
    const NoticeCase cases[] = {
        { QByteArray("xp=3.2=dy"), "3.2", false },
        { QByteArray("<p>XP=3.2=DY</p>"), "3.2", false },
        { std::nullopt, "3.2", true }, // no page at all
        { QByteArray("xp=3.3=dy"), "3.2", true }, // a newer version
        { QByteArray("xp=3.1=dy"), "3.2", true }, // any other text counts
        { QByteArray("xp= 3.2=dy"), "3.2", true }, // exact text, no trimming
        { QByteArray("xp=3.20=dy"), "3.2", true },
        { QByteArray("no markers"), "3.2", true },
        { QByteArray(""), "3.2", true },
    };
    for (const NoticeCase& c : cases) {
        EXPECT_EQ(UpdateCheck::noticeDue(c.page, QString::fromUtf8(c.ownVersion)), c.due)
            << (c.page ? c.page->constData() : "(no page)") << " / " << c.ownVersion;
    }
}

// ---------------------------------------------------------------------------------------
// A loopback HTTP server on a thread of its own: raw POSIX sockets, 127.0.0.1 only.

bool sleepUnlessStopped(int ms, const std::atomic<bool>& stop)
{
    for (int waited = 0; waited < ms && !stop; waited += 5)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return !stop;
}

bool sendAll(int fd, const QByteArray& bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

class LoopbackServer {
public:
    // Called for each connection once the request head is in; the connection is
    // closed when it returns.
    using Answer = std::function<void(int fd, const std::atomic<bool>& stop)>;

    explicit LoopbackServer(Answer answer)
        : m_answer(std::move(answer))
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || ::listen(m_fd, 8) != 0
            || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("cannot listen on 127.0.0.1");
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { run(); });
    }

    ~LoopbackServer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }

    quint16 port() const { return m_port; }
    QUrl url(const QString& path = QStringLiteral("/")) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path));
    }
    QByteArray request() const
    {
        const std::lock_guard guard(m_mutex);
        return m_request;
    }

private:
    void run()
    {
        while (!m_stop) {
            pollfd listening { m_fd, POLLIN, 0 };
            if (::poll(&listening, 1, 10) <= 0)
                continue;
            const int client = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                continue;
            QByteArray head;
            while (!m_stop && !head.contains("\r\n\r\n")) {
                pollfd readable { client, POLLIN, 0 };
                if (::poll(&readable, 1, 10) <= 0)
                    continue;
                char buffer[4096];
                const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                head.append(buffer, n);
            }
            {
                const std::lock_guard guard(m_mutex);
                m_request = head;
            }
            if (head.contains("\r\n\r\n"))
                m_answer(client, m_stop);
            ::close(client);
        }
    }

    Answer m_answer;
    int m_fd = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop { false };
    mutable std::mutex m_mutex;
    QByteArray m_request;
    std::thread m_thread;
};

// Sends the pieces one after the other, gapMs apart, then closes.
LoopbackServer::Answer sendPieces(QList<QByteArray> pieces, int gapMs = 0)
{
    return [pieces, gapMs](int fd, const std::atomic<bool>& stop) {
        for (const QByteArray& piece : pieces) {
            if (!sendAll(fd, piece) || (gapMs > 0 && !sleepUnlessStopped(gapMs, stop)))
                return;
        }
    };
}

// A peer that misbehaves stops after this long, so that a client without a working
// deadline makes its test fail instead of hanging it.
constexpr int misbehaveMs = 10000;

// Keeps the connection open without a word until the client gives up.
LoopbackServer::Answer neverAnswer()
{
    return [](int fd, const std::atomic<bool>& stop) {
        for (int waited = 0; !stop && waited < misbehaveMs; waited += 10) {
            pollfd readable { fd, POLLIN, 0 };
            if (::poll(&readable, 1, 10) > 0) {
                char byte;
                if (::recv(fd, &byte, 1, 0) <= 0)
                    return;
            }
        }
    };
}

// Sends `start`, then `filler`, one byte every 100 ms, for as long as the client listens.
LoopbackServer::Answer trickle(QByteArray start, char filler)
{
    return [start, filler](int fd, const std::atomic<bool>& stop) {
        for (qsizetype i = 0; i < misbehaveMs / 100; ++i) {
            const char byte = i < start.size() ? start.at(i) : filler;
            if (!sendAll(fd, QByteArray(1, byte)) || !sleepUnlessStopped(100, stop))
                return;
        }
    };
}

QList<QByteArray> splitEvery(const QByteArray& bytes, qsizetype size)
{
    QList<QByteArray> pieces;
    for (qsizetype i = 0; i < bytes.size(); i += size)
        pieces.append(bytes.mid(i, size));
    return pieces;
}

// ---------------------------------------------------------------------------------------
// Reading answers

const QByteArray chunkedAnswer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                 "4\r\nxp=3\r\n5;name=value\r\n.2=dy\r\n0\r\nX-Trailer: 1\r\n\r\n";
const QByteArray oneMiB(1024 * 1024, 'a');

struct AnswerCase {
    const char* name;
    QList<QByteArray> pieces;
    int gapMs;
    std::optional<QByteArray> body;
};

void PrintTo(const AnswerCase& c, std::ostream* os)
{
    *os << c.name;
}

class UpdateCheckFetchAnswer : public ::testing::TestWithParam<AnswerCase> { };

TEST_P(UpdateCheckFetchAnswer, GivesTheBodyOfACompleteSuccessfulAnswerOnly)
{
    const AnswerCase& c = GetParam();
    LoopbackServer server(sendPieces(c.pieces, c.gapMs));
    const std::optional<QByteArray> body = UpdateCheck::fetch(server.url(), 5000);
    ASSERT_EQ(body.has_value(), c.body.has_value());
    if (body) {
        EXPECT_EQ(*body, *c.body);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, UpdateCheckFetchAnswer,
    ::testing::Values(AnswerCase { "ContentLength",
                          { "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nxp=3.2=dy" }, 0, "xp=3.2=dy" },
        AnswerCase { "ContentLengthIgnoresExtraBytes",
            { "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nxp=3.2=dy" }, 0, "xp=3" },
        AnswerCase {
            "Http10LowerCaseField", { "HTTP/1.0 200 OK\r\ncontent-length: 3\r\n\r\nabc" }, 0, "abc" },
        AnswerCase { "BareLineFeeds", { "HTTP/1.1 200 OK\nContent-Length: 3\n\nabc" }, 0, "abc" },
        AnswerCase { "Chunked", { chunkedAnswer }, 0, "xp=3.2=dy" },
        AnswerCase { "ChunkedInSmallPieces", splitEvery(chunkedAnswer, 3), 5, "xp=3.2=dy" },
        AnswerCase { "ChunkedWinsOverLength",
            { "HTTP/1.1 200 OK\r\nContent-Length: 100\r\nTransfer-Encoding: Chunked\r\n\r\n"
              "3\r\nabc\r\n0\r\n\r\n" },
            0, "abc" },
        AnswerCase { "ReadToClose", { "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n<p>xp=3.2=dy</p>" },
            0, "<p>xp=3.2=dy</p>" },
        AnswerCase { "ReadToCloseInPieces", { "HTTP/1.1 200 OK\r\n\r\nxp=3", ".2=dy" }, 50, "xp=3.2=dy" },
        AnswerCase { "EmptyBody", { "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n" }, 0, "" },
        AnswerCase { "NoContent", { "HTTP/1.1 204 No Content\r\n\r\n" }, 0, "" },
        AnswerCase { "InterimAnswerFirst",
            { "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok" }, 0, "ok" },
        AnswerCase { "ReadToCloseAtTheLimit", { "HTTP/1.1 200 OK\r\n\r\n", oneMiB }, 0, oneMiB },
        AnswerCase {
            "NotFound", { "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nxp=3.2=dy" }, 0, std::nullopt },
        AnswerCase { "ServerError", { "HTTP/1.1 500 Oops\r\nContent-Length: 0\r\n\r\n" }, 0, std::nullopt },
        AnswerCase { "Redirect", { "HTTP/1.1 301 Moved\r\nLocation: /x\r\nContent-Length: 0\r\n\r\n" }, 0,
            std::nullopt },
        AnswerCase { "NotHttp", { "xp=3.2=dy\r\n\r\n" }, 0, std::nullopt },
        AnswerCase { "NothingAtAll", {}, 0, std::nullopt },
        AnswerCase { "HeadCutShort", { "HTTP/1.1 200 OK\r\nContent-Le" }, 0, std::nullopt },
        AnswerCase {
            "LengthCutShort", { "HTTP/1.1 200 OK\r\nContent-Length: 20\r\n\r\nxp=3.2=dy" }, 0, std::nullopt },
        AnswerCase { "ChunksCutShort",
            { "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nxp=3\r\n" }, 0, std::nullopt },
        AnswerCase { "BadChunkSize",
            { "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nxp\r\n0\r\n\r\n" }, 0,
            std::nullopt },
        AnswerCase { "ChunkLongerThanDeclared",
            { "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nxp=3\r\n0\r\n\r\n" }, 0,
            std::nullopt },
        AnswerCase { "CompressedBody",
            { "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n" }, 0,
            std::nullopt },
        AnswerCase { "ConflictingLengths",
            { "HTTP/1.1 200 OK\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\nabcd" }, 0, std::nullopt },
        AnswerCase { "BadLength", { "HTTP/1.1 200 OK\r\nContent-Length: -3\r\n\r\nabc" }, 0, std::nullopt },
        AnswerCase { "DeclaredLengthOverTheLimit", { "HTTP/1.1 200 OK\r\nContent-Length: 1048577\r\n\r\n" },
            0, std::nullopt },
        AnswerCase { "ReadToCloseOverTheLimit", { "HTTP/1.1 200 OK\r\n\r\n", oneMiB, "b" }, 0, std::nullopt },
        AnswerCase { "ChunkOverTheLimit",
            { "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n100001\r\n", oneMiB }, 0, std::nullopt },
        AnswerCase { "HugeChunkSize",
            { "HTTP/1.1 200 OK\r\nTransfer-Encoding: "
              "chunked\r\n\r\nffffffffffffffffffff\r\nabc\r\n0\r\n\r\n" },
            0, std::nullopt }),
    [](const ::testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

TEST(UpdateCheckFetch, SendsOneGetWithHostAndConnectionClose)
{
    LoopbackServer server(sendPieces({ "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok" }));
    QUrl url = server.url(QStringLiteral("/version/page.html?a=1&b=x y"));
    url.setFragment(QStringLiteral("part"));
    ASSERT_EQ(UpdateCheck::fetch(url, 5000), QByteArray("ok"));

    const QList<QByteArray> lines = server.request().split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.front(), "GET /version/page.html?a=1&b=x%20y HTTP/1.1\r");
    EXPECT_TRUE(lines.contains("Host: 127.0.0.1:" + QByteArray::number(server.port()) + '\r'));
    EXPECT_TRUE(lines.contains("Connection: close\r"));
    EXPECT_TRUE(server.request().endsWith("\r\n\r\n"));
}

TEST(UpdateCheckFetch, ResolvesHostNames)
{
    // "localhost" may name ::1 first, where nothing listens; the next address is tried.
    LoopbackServer server(sendPieces({ "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nxp=3.2=dy" }));
    const QUrl url(QStringLiteral("http://localhost:%1/").arg(server.port()));
    EXPECT_EQ(UpdateCheck::fetch(url, 5000), QByteArray("xp=3.2=dy"));
    EXPECT_TRUE(
        server.request().contains("\r\nHost: localhost:" + QByteArray::number(server.port()) + "\r\n"));
}

TEST(UpdateCheckFetch, RefusesAddressesItCannotFetch)
{
    const char* addresses[]
        = { "", "ftp://127.0.0.1/version", "file:///etc/hostname", "http://", "version.txt" };
    for (const char* address : addresses)
        EXPECT_EQ(UpdateCheck::fetch(QUrl(QString::fromUtf8(address)), 1000), std::nullopt) << address;
}

// ---------------------------------------------------------------------------------------
// The deadline

// A port on 127.0.0.1 where nothing listens: bound once, then closed again.
quint16 closedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// A listening socket whose accept queue is full, so that a further connection attempt
// gets no answer at all (its SYN is dropped) and stays pending.
class FullListener {
public:
    FullListener()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_fd, 0);
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        for (int i = 0; i < 3; ++i) {
            const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
            m_fillers.push_back(filler);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~FullListener()
    {
        for (const int fd : m_fillers)
            ::close(fd);
        ::close(m_fd);
    }
    quint16 port() const { return m_port; }

private:
    int m_fd = -1;
    quint16 m_port = 0;
    std::vector<int> m_fillers;
};

enum class Peer { ClosedPort, ConnectPending, AcceptsSilently, TricklesHead, TricklesBody };

struct DeadlineCase {
    const char* name;
    Peer peer;
    int timeoutMs;
    qint64 minElapsedMs;
    qint64 maxElapsedMs;
};

void PrintTo(const DeadlineCase& c, std::ostream* os)
{
    *os << c.name;
}

class UpdateCheckFetchDeadline : public ::testing::TestWithParam<DeadlineCase> { };

TEST_P(UpdateCheckFetchDeadline, GivesUpWithinTheTimeout)
{
    const DeadlineCase& c = GetParam();
    std::unique_ptr<LoopbackServer> server;
    std::unique_ptr<FullListener> full;
    quint16 port = 0;
    switch (c.peer) {
    case Peer::ClosedPort:
        port = closedPort();
        break;
    case Peer::ConnectPending:
        full = std::make_unique<FullListener>();
        port = full->port();
        break;
    case Peer::AcceptsSilently:
        server = std::make_unique<LoopbackServer>(neverAnswer());
        break;
    case Peer::TricklesHead:
        server = std::make_unique<LoopbackServer>(trickle("HTTP/1.1 200 OK\r\nX-Padding: ", 'a'));
        break;
    case Peer::TricklesBody:
        server = std::make_unique<LoopbackServer>(trickle("HTTP/1.1 200 OK\r\n\r\n", 'x'));
        break;
    }
    if (server)
        port = server->port();

    QElapsedTimer timer;
    timer.start();
    const auto body = UpdateCheck::fetch(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)), c.timeoutMs);
    const qint64 elapsed = timer.elapsed();

    EXPECT_EQ(body, std::nullopt);
    EXPECT_GE(elapsed, c.minElapsedMs);
    EXPECT_LE(elapsed, c.maxElapsedMs);
}

INSTANTIATE_TEST_SUITE_P(Peers, UpdateCheckFetchDeadline,
    ::testing::Values(
        // A refused connection fails at once, without using up the time allowed.
        DeadlineCase { "ConnectionRefused", Peer::ClosedPort, 3000, 0, 1000 },
        DeadlineCase { "ConnectionNeverCompletes", Peer::ConnectPending, 500, 400, 1500 },
        DeadlineCase { "AcceptsAndNeverAnswers", Peer::AcceptsSilently, 500, 400, 1500 },
        DeadlineCase { "TricklesAnEndlessHead", Peer::TricklesHead, 500, 400, 1500 },
        DeadlineCase { "TricklesAnEndlessBody", Peer::TricklesBody, 500, 400, 1500 }),
    [](const ::testing::TestParamInfo<DeadlineCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// https, against a python3 TLS server with a certificate made for the test

const char tlsServerScript[] = R"(
import socket, ssl, sys
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(sys.argv[1], sys.argv[2])
server = socket.socket()
server.bind(("127.0.0.1", 0))
server.listen(4)
print(server.getsockname()[1], flush=True)
body = b"xp=9.1=dy"
while True:
    connection, _ = server.accept()
    try:
        with context.wrap_socket(connection, server_side=True) as tls:
            head = b""
            while b"\r\n\r\n" not in head:
                data = tls.recv(4096)
                if not data:
                    break
                head += data
            tls.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % len(body) + body)
    except (ssl.SSLError, OSError):
        pass
)";

TEST(UpdateCheckFetch, HttpsChecksTheCertificateAndTheHostName)
{
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (openssl.isEmpty() || python.isEmpty() || !QSslSocket::supportsSsl())
        GTEST_SKIP() << "needs openssl, python3 and Qt's TLS support";

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString cert = dir.filePath(QStringLiteral("cert.pem"));
    const QString key = dir.filePath(QStringLiteral("key.pem"));
    QProcess make;
    make.start(openssl,
        { "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout",
            key, "-out", cert, "-days", "2", "-subj", "/CN=tillora-test", "-addext",
            "subjectAltName=IP:127.0.0.1" });
    ASSERT_TRUE(make.waitForFinished(20000));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().constData();

    const QString script = dir.filePath(QStringLiteral("tls_server.py"));
    {
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(tlsServerScript);
    }
    QProcess server;
    server.start(python, { script, cert, key });
    ASSERT_TRUE(server.waitForStarted(10000));
    while (!server.canReadLine() && server.waitForReadyRead(10000)) { }
    const int port = server.readLine().trimmed().toInt();
    ASSERT_GT(port, 0) << server.readAllStandardError().constData();
    const QUrl byAddress(QStringLiteral("https://127.0.0.1:%1/version").arg(port));
    const QUrl byName(QStringLiteral("https://localhost:%1/version").arg(port));

    // Not trusted yet.
    EXPECT_EQ(UpdateCheck::fetch(byAddress, 5000), std::nullopt);

    const QSslConfiguration saved = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = saved;
    trusting.addCaCertificates(cert);
    QSslConfiguration::setDefaultConfiguration(trusting);

    EXPECT_EQ(UpdateCheck::fetch(byAddress, 5000), QByteArray("xp=9.1=dy"));
    // Trusted, but made for 127.0.0.1 only: the name in the address must match.
    EXPECT_EQ(UpdateCheck::fetch(byName, 5000), std::nullopt);

    QSslConfiguration::setDefaultConfiguration(saved);
    server.kill();
    server.waitForFinished(5000);
}

} // namespace
