#include "UpdateCheck.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QList>
#include <QSslSocket>
#include <QTcpSocket>
#include <algorithm>
#include <climits>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <utility>

namespace tillora::UpdateCheck {

QString versionFromPage(const QByteArray& page)
{
    static const QString open = QStringLiteral("xp=");
    static const QString close = QStringLiteral("=dy");

    const QString text = QString::fromUtf8(page);
    const qsizetype a = text.indexOf(open, 0, Qt::CaseInsensitive);
    if (a < 0)
        return {};
    const qsizetype start = a + open.size();
    const qsizetype c = text.indexOf(close, start, Qt::CaseInsensitive);
    if (c < 0)
        return {};
    const qsizetype length = c - start;
    if (length <= 0)
        return {};
    return text.mid(start, length);
}

bool noticeDue(const std::optional<QByteArray>& page, const QString& ownVersion)
{
    if (!page)
        return true;
    return versionFromPage(*page) != ownVersion;
}

namespace {

constexpr qsizetype maxBody = 1024 * 1024;
constexpr qsizetype maxHead = 64 * 1024;
constexpr qsizetype maxChunkLine = 4096;

int remainingMs(const QDeadlineTimer& deadline)
{
    const qint64 left = deadline.remainingTime();
    if (left <= 0)
        return 0;
    return int(std::min<qint64>(left, INT_MAX));
}

// Reads one HTTP/1.x answer as its bytes come in. The answer is accepted only with a
// 2xx status and a complete body of at most maxBody bytes.
class ResponseParser {
public:
    enum class State { NeedMore, Done, Failed };

    State feed(const QByteArray& bytes)
    {
        if (m_state != State::NeedMore)
            return m_state;
        m_in.append(bytes);
        m_state = process();
        // Drop what has been read so that a long answer does not pile up twice.
        if (m_pos > 64 * 1024) {
            m_in.remove(0, m_pos);
            m_pos = 0;
        }
        return m_state;
    }

    // The server closed the connection.
    State finish()
    {
        if (m_state != State::NeedMore)
            return m_state;
        if (m_phase == Phase::BodyToClose) {
            m_body.append(m_in.mid(m_pos));
            m_pos = m_in.size();
            m_state = m_body.size() <= maxBody ? State::Done : State::Failed;
        } else {
            m_state = State::Failed; // the head, a declared length or the chunks were cut short
        }
        return m_state;
    }

    QByteArray body() const { return m_body; }

private:
    enum class Phase { Head, BodyLength, ChunkSize, ChunkData, ChunkDataEnd, Trailers, BodyToClose };

    // One line ending in LF (a CR before it is dropped); false when it is not complete yet.
    bool takeLine(QByteArray& line)
    {
        const qsizetype nl = m_in.indexOf('\n', m_pos);
        if (nl < 0)
            return false;
        line = m_in.mid(m_pos, nl - m_pos);
        if (line.endsWith('\r'))
            line.chop(1);
        m_pos = nl + 1;
        return true;
    }

    qsizetype pendingBytes() const { return m_in.size() - m_pos; }

    State process()
    {
        for (;;) {
            switch (m_phase) {
            case Phase::Head: {
                const State s = readHead();
                if (s != State::Done)
                    return s;
                break;
            }
            case Phase::BodyLength: {
                const qsizetype take = std::min(pendingBytes(), m_expected - m_body.size());
                m_body.append(m_in.constData() + m_pos, take);
                m_pos += take;
                return m_body.size() == m_expected ? State::Done : State::NeedMore;
            }
            case Phase::ChunkSize: {
                QByteArray line;
                if (!takeLine(line))
                    return pendingBytes() > maxChunkLine ? State::Failed : State::NeedMore;
                qint64 size = 0;
                if (!parseChunkSize(line, size))
                    return State::Failed;
                if (size == 0) {
                    m_phase = Phase::Trailers;
                    m_headBytes = 0;
                } else {
                    m_chunkLeft = size;
                    m_phase = Phase::ChunkData;
                }
                break;
            }
            case Phase::ChunkData: {
                const qsizetype take = qsizetype(std::min<qint64>(pendingBytes(), m_chunkLeft));
                m_body.append(m_in.constData() + m_pos, take);
                m_pos += take;
                m_chunkLeft -= take;
                if (m_chunkLeft > 0)
                    return State::NeedMore;
                m_phase = Phase::ChunkDataEnd;
                break;
            }
            case Phase::ChunkDataEnd: {
                QByteArray line;
                if (!takeLine(line))
                    return pendingBytes() > 2 ? State::Failed : State::NeedMore;
                if (!line.isEmpty())
                    return State::Failed;
                m_phase = Phase::ChunkSize;
                break;
            }
            case Phase::Trailers: {
                // Trailer fields are read and ignored, up to the empty line.
                QByteArray line;
                if (!takeLine(line))
                    return m_headBytes + pendingBytes() > maxHead ? State::Failed : State::NeedMore;
                m_headBytes += line.size() + 1;
                if (m_headBytes > maxHead)
                    return State::Failed;
                if (line.isEmpty())
                    return State::Done;
                break;
            }
            case Phase::BodyToClose:
                if (pendingBytes() + m_body.size() > maxBody)
                    return State::Failed;
                return State::NeedMore;
            }
        }
    }

    bool parseChunkSize(const QByteArray& line, qint64& size) const
    {
        qsizetype i = 0;
        size = 0;
        while (i < line.size()) {
            const char ch = line.at(i);
            int digit;
            if (ch >= '0' && ch <= '9')
                digit = ch - '0';
            else if (ch >= 'a' && ch <= 'f')
                digit = ch - 'a' + 10;
            else if (ch >= 'A' && ch <= 'F')
                digit = ch - 'A' + 10;
            else
                break;
            size = size * 16 + digit;
            if (size > maxBody - m_body.size())
                return false; // also keeps the sum far from overflowing
            ++i;
        }
        if (i == 0)
            return false;
        // Whitespace and chunk extensions (";name=value") may follow the size.
        while (i < line.size() && (line.at(i) == ' ' || line.at(i) == '\t'))
            ++i;
        return i == line.size() || line.at(i) == ';';
    }

    static bool parseStatusLine(const QByteArray& line, int& status)
    {
        // HTTP/1.x SP 3DIGIT [SP reason]
        if (!line.startsWith("HTTP/1."))
            return false;
        const qsizetype sp = line.indexOf(' ');
        if (sp < 0 || line.size() < sp + 4)
            return false;
        status = 0;
        for (qsizetype i = sp + 1; i < sp + 4; ++i) {
            const char ch = line.at(i);
            if (ch < '0' || ch > '9')
                return false;
            status = status * 10 + (ch - '0');
        }
        return line.size() == sp + 4 || line.at(sp + 4) == ' ';
    }

    static bool parseLength(const QByteArray& value, qint64& length)
    {
        const QByteArray digits = value.trimmed();
        if (digits.isEmpty() || digits.size() > 18)
            return false;
        length = 0;
        for (const char ch : digits) {
            if (ch < '0' || ch > '9')
                return false;
            length = length * 10 + (ch - '0');
        }
        return true;
    }

    // Done here means the head is complete and the body phase is set.
    State readHead()
    {
        QByteArray line;
        while (takeLine(line)) {
            m_headBytes += line.size() + 1;
            if (m_headBytes > maxHead)
                return State::Failed;
            if (m_status == 0) {
                if (!parseStatusLine(line, m_status))
                    return State::Failed;
                continue;
            }
            if (!line.isEmpty()) {
                if (line.front() == ' ' || line.front() == '\t') {
                    // An old-style continuation of the previous field's value.
                    if (m_fields.isEmpty())
                        return State::Failed;
                    m_fields.last().second += ' ' + line.trimmed();
                    continue;
                }
                const qsizetype colon = line.indexOf(':');
                if (colon <= 0)
                    return State::Failed;
                m_fields.append({ line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed() });
                continue;
            }
            // The empty line ends the head.
            if (m_status >= 100 && m_status < 200 && m_status != 101) {
                // An interim answer ("100 Continue"); the real one follows.
                m_status = 0;
                m_fields.clear();
                m_headBytes = 0;
                continue;
            }
            return startBody();
        }
        return m_headBytes + pendingBytes() > maxHead ? State::Failed : State::NeedMore;
    }

    State startBody()
    {
        if (m_status < 200 || m_status > 299)
            return State::Failed;
        if (m_status == 204) {
            m_phase = Phase::BodyLength;
            m_expected = 0;
            return State::Done;
        }

        QList<QByteArray> codings;
        bool haveLength = false;
        qint64 length = 0;
        for (const auto& [name, value] : std::as_const(m_fields)) {
            if (name == "transfer-encoding") {
                for (const QByteArray& coding : value.split(',')) {
                    const QByteArray c = coding.trimmed().toLower();
                    if (!c.isEmpty() && c != "identity")
                        codings.append(c);
                }
            } else if (name == "content-length") {
                for (const QByteArray& part : value.split(',')) {
                    qint64 n = 0;
                    if (!parseLength(part, n) || (haveLength && n != length))
                        return State::Failed;
                    haveLength = true;
                    length = n;
                }
            }
        }

        if (!codings.isEmpty()) {
            // Only plain chunked framing is understood; no compression was asked for.
            if (codings.size() != 1 || codings.front() != "chunked")
                return State::Failed;
            m_phase = Phase::ChunkSize;
        } else if (haveLength) {
            if (length > maxBody)
                return State::Failed;
            m_expected = qsizetype(length);
            m_phase = Phase::BodyLength;
        } else {
            m_phase = Phase::BodyToClose;
        }
        return State::Done;
    }

    State m_state = State::NeedMore;
    Phase m_phase = Phase::Head;
    QByteArray m_in;
    qsizetype m_pos = 0;
    qsizetype m_headBytes = 0;
    int m_status = 0;
    QList<std::pair<QByteArray, QByteArray>> m_fields;
    qsizetype m_expected = 0;
    qint64 m_chunkLeft = 0;
    QByteArray m_body;
};

// The addresses of a host name. The system resolver has no time limit of its own, so it
// runs in a helper thread; when the deadline passes first, the thread is left to finish
// on its own and its answer is dropped.
QList<QHostAddress> resolve(const QString& host, const QDeadlineTimer& deadline)
{
    QHostAddress literal;
    if (literal.setAddress(host))
        return { literal };

    struct Lookup {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        QList<QHostAddress> addresses;
    };
    auto lookup = std::make_shared<Lookup>();
    const QByteArray name = host.toLatin1(); // already in ACE form
    try {
        std::thread([lookup, name] {
            addrinfo hints {};
            hints.ai_family = AF_UNSPEC;
            hints.ai_socktype = SOCK_STREAM;
            addrinfo* result = nullptr;
            QList<QHostAddress> found;
            if (getaddrinfo(name.constData(), nullptr, &hints, &result) == 0) {
                for (addrinfo* p = result; p; p = p->ai_next) {
                    const QHostAddress address(p->ai_addr);
                    if (!address.isNull() && !found.contains(address))
                        found.append(address);
                }
                freeaddrinfo(result);
            }
            const std::lock_guard guard(lookup->mutex);
            lookup->addresses = found;
            lookup->finished = true;
            lookup->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return {};
    }

    std::unique_lock guard(lookup->mutex);
    lookup->done.wait_for(
        guard, std::chrono::milliseconds(remainingMs(deadline)), [&] { return lookup->finished; });
    if (!lookup->finished)
        return {};
    return lookup->addresses;
}

enum class Outcome { NoConnection, Failed, Done };

Outcome fetchFrom(const QHostAddress& address, const QUrl& url, bool secure, const QByteArray& request,
    const QDeadlineTimer& deadline, QByteArray& body)
{
    const quint16 port = quint16(url.port(secure ? 443 : 80));
    std::unique_ptr<QTcpSocket> socket;
    if (secure) {
        auto ssl = std::make_unique<QSslSocket>();
        // Connect to the resolved address, check the certificate against the host name.
        ssl->connectToHostEncrypted(address.toString(), port, url.host(QUrl::FullyEncoded));
        socket = std::move(ssl);
    } else {
        socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(address, port);
    }

    if (deadline.hasExpired() || !socket->waitForConnected(std::max(1, remainingMs(deadline)))) {
        socket->abort();
        return Outcome::NoConnection;
    }
    if (secure) {
        auto* ssl = static_cast<QSslSocket*>(socket.get());
        if (deadline.hasExpired() || !ssl->waitForEncrypted(std::max(1, remainingMs(deadline)))) {
            socket->abort();
            return Outcome::Failed;
        }
    }

    if (socket->write(request) != request.size()) {
        socket->abort();
        return Outcome::Failed;
    }
    while (socket->bytesToWrite() > 0) {
        if (deadline.hasExpired() || !socket->waitForBytesWritten(std::max(1, remainingMs(deadline)))) {
            socket->abort();
            return Outcome::Failed;
        }
    }

    ResponseParser parser;
    ResponseParser::State state = ResponseParser::State::NeedMore;
    for (;;) {
        state = parser.feed(socket->readAll());
        if (state != ResponseParser::State::NeedMore)
            break;
        if (socket->state() != QAbstractSocket::ConnectedState) {
            state = socket->error() == QAbstractSocket::RemoteHostClosedError ? parser.finish()
                                                                              : ResponseParser::State::Failed;
            break;
        }
        if (deadline.hasExpired()) {
            state = ResponseParser::State::Failed;
            break;
        }
        if (!socket->waitForReadyRead(std::max(1, remainingMs(deadline)))) {
            if (socket->error() == QAbstractSocket::SocketTimeoutError
                && socket->state() == QAbstractSocket::ConnectedState)
                continue; // the deadline check above ends the wait
            state = parser.feed(socket->readAll());
            if (state == ResponseParser::State::NeedMore)
                state = socket->error() == QAbstractSocket::RemoteHostClosedError
                    ? parser.finish()
                    : ResponseParser::State::Failed;
            break;
        }
    }
    socket->abort();
    if (state != ResponseParser::State::Done)
        return Outcome::Failed;
    body = parser.body();
    return Outcome::Done;
}

} // namespace

std::optional<QByteArray> fetch(const QUrl& url, int timeoutMs)
{
    const QDeadlineTimer deadline(std::max(0, timeoutMs));

    const QString scheme = url.scheme().toLower();
    const bool secure = scheme == QLatin1String("https");
    if (!url.isValid() || (!secure && scheme != QLatin1String("http")))
        return std::nullopt;
    const QString host = url.host(QUrl::FullyEncoded);
    if (host.isEmpty())
        return std::nullopt;
    if (secure && !QSslSocket::supportsSsl())
        return std::nullopt;

    // The request target; QUrl's encoded form has no spaces or line breaks, checked
    // again so that nothing can be slipped into the request head.
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    QByteArray hostField = host.contains(u':') ? '[' + host.toLatin1() + ']' : host.toLatin1();
    const int defaultPort = secure ? 443 : 80;
    if (url.port(defaultPort) != defaultPort)
        hostField += ':' + QByteArray::number(url.port());
    for (const QByteArray* part : { &target, &hostField }) {
        if (std::any_of(part->begin(), part->end(), [](char ch) { return uchar(ch) <= 0x20 || ch == 0x7f; }))
            return std::nullopt;
    }
    const QByteArray request = "GET " + target + " HTTP/1.1\r\nHost: " + hostField
        + "\r\nUser-Agent: Tillora\r\nAccept: */*\r\nConnection: close\r\n\r\n";

    for (const QHostAddress& address : resolve(host, deadline)) {
        if (deadline.hasExpired())
            break;
        QByteArray body;
        switch (fetchFrom(address, url, secure, request, deadline, body)) {
        case Outcome::Done:
            return body;
        case Outcome::Failed:
            return std::nullopt;
        case Outcome::NoConnection:
            break; // try the host's next address
        }
    }
    return std::nullopt;
}

} // namespace tillora::UpdateCheck
