#include "platform/Printers.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <cups/cups.h>
#include <cups/http.h>

namespace tillora {

namespace {

using SteadyClock = std::chrono::steady_clock;

// libcups waits for the server in steps of this length and asks after each step
// whether to go on waiting; a short step keeps a call close to its deadline even
// when one libcups function sends several requests one after the other.
constexpr int kWaitStepMs = 50;

// One connection to the print server for one call, with a deadline for the whole
// call. The connection is our own, not libcups's shared default one, so that the
// deadline holds for every request made on it, and a server that is absent
// fails the connect at once.
//
// libcups (2.4) waits a fixed second for a "100 Continue" after sending each
// request, without asking the timeout callback, so against a server that
// accepts connections and never answers every libcups request costs at least a
// second, and a call that makes two of them two. The connection therefore first
// asks the server for its default printer itself, without the Expect header and
// waiting only until the deadline: a server that does not answer that is given up
// before libcups sends anything.
class Connection {
public:
    explicit Connection(int timeoutMs)
        : m_timeoutMs(timeoutMs)
        , m_deadline(SteadyClock::now() + std::chrono::milliseconds(timeoutMs))
    {
        m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
            std::max(timeoutMs, 1), nullptr);
        if (!m_http) {
            m_error = QStringLiteral("Unable to connect to the print server %1.")
                          .arg(QString::fromUtf8(cupsServer()));
            return;
        }
        httpSetTimeout(m_http, std::min(timeoutMs, kWaitStepMs) / 1000.0, &Connection::keepWaiting, this);
        if (!serverAnswers()) {
            m_error = QStringLiteral("The print server %1 did not answer within %2 ms.")
                          .arg(QString::fromUtf8(cupsServer()))
                          .arg(m_timeoutMs);
            httpClose(m_http);
            m_http = nullptr;
        }
    }
    ~Connection()
    {
        if (m_http)
            httpClose(m_http);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Null when the server is absent or does not answer; error() tells which.
    http_t* http() const { return m_http; }
    const QString& error() const { return m_error; }
    bool expired() const { return SteadyClock::now() >= m_deadline; }

    // The reason of the last failed libcups request on this connection.
    QString lastError() const
    {
        if (expired())
            return QStringLiteral("The print server %1 did not answer within %2 ms.")
                .arg(QString::fromUtf8(cupsServer()))
                .arg(m_timeoutMs);
        const QString text = QString::fromUtf8(cupsLastErrorString());
        return text.isEmpty() ? QStringLiteral("The print server refused the request.") : text;
    }

private:
    // Called by libcups each time a wait step passed without an answer: 1 waits
    // another step, 0 gives the request up.
    static int keepWaiting(http_t*, void* self) { return static_cast<Connection*>(self)->expired() ? 0 : 1; }

    // Sends CUPS-Get-Default by hand (cupsSendRequest would add the Expect
    // header and its fixed wait) and reads the answer, whatever it says.
    bool serverAnswers()
    {
        ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_DEFAULT);
        ippAddString(
            request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
        httpClearFields(m_http);
        httpSetField(m_http, HTTP_FIELD_CONTENT_TYPE, "application/ipp");
        httpSetLength(m_http, ippLength(request));
        bool sent = httpPost(m_http, "/") == 0;
        for (ipp_state_t state = IPP_STATE_IDLE; sent && state != IPP_STATE_DATA;) {
            state = ippWrite(m_http, request);
            sent = state != IPP_STATE_ERROR;
        }
        ippDelete(request);
        if (!sent)
            return false;
        ipp_t* response = cupsGetResponse(m_http, "/");
        const bool answered = response || (!expired() && httpGetStatus(m_http) != HTTP_STATUS_ERROR);
        ippDelete(response);
        return answered;
    }

    int m_timeoutMs;
    SteadyClock::time_point m_deadline;
    http_t* m_http = nullptr;
    QString m_error;
};

// The destinations libcups lists: the server's printers and classes, the user's
// lpoptions instances and printers found on the network, with the user's
// default marked.
class Destinations {
public:
    explicit Destinations(http_t* http)
    {
        m_count = cupsGetDests2(http, &m_dests);
        // An empty list is only a list when the server said it has no printers;
        // any other error means the list could not be had.
        const ipp_status_t status = cupsLastError();
        m_ok = m_count > 0 || status <= IPP_STATUS_OK_EVENTS_COMPLETE || status == IPP_STATUS_ERROR_NOT_FOUND;
    }
    ~Destinations() { cupsFreeDests(m_count, m_dests); }
    Destinations(const Destinations&) = delete;
    Destinations& operator=(const Destinations&) = delete;

    bool ok() const { return m_ok; }
    int count() const { return m_count; }
    cups_dest_t* list() const { return m_dests; }
    // The printer itself (not one of its lpoptions instances); names compare
    // without regard to case, as CUPS compares them.
    cups_dest_t* find(const QString& name) const
    {
        if (name.isEmpty())
            return nullptr;
        return cupsGetDest(name.toUtf8().constData(), nullptr, m_count, m_dests);
    }

private:
    int m_count = 0;
    cups_dest_t* m_dests = nullptr;
    bool m_ok = false;
};

// The size of a media name in hundredths of millimetres: a PWG self-describing
// name ("iso_a4_210x297mm"), an IPP or PPD name ("A4"), or one the printer lists.
bool mediaSize(http_t* http, cups_dest_t* dest, cups_dinfo_t* info, const char* name, cups_size_t* size)
{
    const pwg_media_t* media = pwgMediaForPWG(name);
    if (!media)
        media = pwgMediaForLegacy(name);
    if (!media)
        media = pwgMediaForPPD(name);
    if (media && media->width > 0 && media->length > 0) {
        size->width = media->width;
        size->length = media->length;
        return true;
    }
    return cupsGetDestMediaByName(http, dest, info, name, 0, size) && size->width > 0 && size->length > 0;
}

// Owns a destination's information from cupsCopyDestInfo.
struct DestInfo {
    explicit DestInfo(cups_dinfo_t* info)
        : info(info)
    {
    }
    ~DestInfo()
    {
        if (info)
            cupsFreeDestInfo(info);
    }
    DestInfo(const DestInfo&) = delete;
    DestInfo& operator=(const DestInfo&) = delete;
    cups_dinfo_t* info;
};

} // namespace

CupsPrinters::CupsPrinters(int timeoutMs)
    : m_timeoutMs(timeoutMs)
{
}

std::optional<QStringList> CupsPrinters::names()
{
    Connection connection(m_timeoutMs);
    if (!connection.http())
        return std::nullopt;
    const Destinations dests(connection.http());
    if (!dests.ok())
        return std::nullopt;
    QStringList names;
    for (int i = 0; i < dests.count(); ++i) {
        const cups_dest_t& dest = dests.list()[i];
        if (!dest.instance)
            names << QString::fromUtf8(dest.name);
    }
    return names;
}

// libcups looks for the default in $LPDEST and $PRINTER, then in the user's
// ~/.cups/lpoptions, then in /etc/cups/lpoptions, and last asks the server; it
// then checks with the server that the printer exists. Every request goes over
// our connection, so a hung server only costs the timeout.
QString CupsPrinters::defaultPrinter()
{
    Connection connection(m_timeoutMs);
    if (!connection.http())
        return {};
    cups_dest_t* dest = cupsGetNamedDest(connection.http(), nullptr, nullptr);
    if (!dest)
        return {};
    const QString name = QString::fromUtf8(dest->name);
    cupsFreeDests(1, dest);
    return name;
}

// As `lpoptions -d` does: the list with the user's options, the new default
// marked, written back to the user's lpoptions file.
bool CupsPrinters::setDefaultPrinter(const QString& printer)
{
    Connection connection(m_timeoutMs);
    if (!connection.http())
        return false;
    const Destinations dests(connection.http());
    const cups_dest_t* dest = dests.find(printer);
    if (!dest)
        return false;
    cupsSetDefaultDest(dest->name, nullptr, dests.count(), dests.list());
    return cupsSetDests2(connection.http(), dests.count(), dests.list()) == 0;
}

// The user's media option for the printer (lpoptions -p NAME -o media=...), else
// the queue's media-default. cupsGetDestMediaDefault is not used: the libcups of
// Debian 12 answers US Letter for every queue whose default is set on the server.
std::optional<QSizeF> CupsPrinters::defaultPaperSize(const QString& printer)
{
    Connection connection(m_timeoutMs);
    http_t* http = connection.http();
    if (!http)
        return std::nullopt;
    const Destinations dests(http);
    cups_dest_t* dest = dests.find(printer);
    if (!dest)
        return std::nullopt;
    const DestInfo info(cupsCopyDestInfo(http, dest));
    if (!info.info)
        return std::nullopt;
    const char* name = cupsGetOption("media", dest->num_options, dest->options);
    if (!name) {
        ipp_attribute_t* media = cupsFindDestDefault(http, dest, info.info, "media");
        name = media ? ippGetString(media, 0, nullptr) : nullptr;
    }
    cups_size_t size {};
    if (!name || !mediaSize(http, dest, info.info, name, &size))
        return std::nullopt;
    return QSizeF(size.width / 100.0, size.length / 100.0);
}

int CupsPrinters::printPdf(
    const QString& printer, const QString& pdfPath, const QString& title, QString* error)
{
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return 0;
    };
    if (error)
        error->clear();

    QFile file(pdfPath);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Unable to read %1: %2").arg(pdfPath, file.errorString()));

    Connection connection(m_timeoutMs);
    http_t* http = connection.http();
    if (!http)
        return fail(connection.error());
    const Destinations dests(http);
    if (!dests.ok())
        return fail(connection.lastError());
    cups_dest_t* dest = dests.find(printer);
    if (!dest)
        return fail(QStringLiteral("The printer \"%1\" does not exist.").arg(printer));

    // A stopped queue would keep the job without printing it, and nobody would
    // learn that the receipt never came out: refuse it instead.
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    if (state && QByteArray(state).toInt() == IPP_PSTATE_STOPPED)
        return fail(QStringLiteral("The printer \"%1\" is stopped.").arg(QString::fromUtf8(dest->name)));

    const DestInfo info(cupsCopyDestInfo(http, dest));
    if (!info.info)
        return fail(connection.lastError());

    int jobId = 0;
    const QByteArray jobTitle = title.toUtf8();
    if (cupsCreateDestJob(http, dest, info.info, &jobId, jobTitle.constData(), 0, nullptr)
            > IPP_STATUS_OK_EVENTS_COMPLETE
        || jobId <= 0)
        return fail(connection.lastError());

    // From here on a failure leaves a job on the server: cancel it, so that a
    // half-sent document never prints later on.
    auto abandon = [&](const QString& reason) {
        if (!connection.expired())
            cupsCancelDestJob(http, dest, jobId);
        return fail(reason);
    };

    const QByteArray documentName = QFileInfo(pdfPath).fileName().toUtf8();
    if (cupsStartDestDocument(
            http, dest, info.info, jobId, documentName.constData(), CUPS_FORMAT_PDF, 0, nullptr, 1)
        != HTTP_STATUS_CONTINUE)
        return abandon(connection.lastError());

    char buffer[64 * 1024];
    for (;;) {
        const qint64 read = file.read(buffer, sizeof buffer);
        if (read < 0) {
            const QString reason = QStringLiteral("Unable to read %1: %2").arg(pdfPath, file.errorString());
            cupsFinishDestDocument(http, dest, info.info);
            return abandon(reason);
        }
        if (read == 0)
            break;
        if (cupsWriteRequestData(http, buffer, static_cast<size_t>(read)) != HTTP_STATUS_CONTINUE) {
            const QString reason = connection.lastError();
            cupsFinishDestDocument(http, dest, info.info);
            return abandon(reason);
        }
    }
    if (cupsFinishDestDocument(http, dest, info.info) > IPP_STATUS_OK_EVENTS_COMPLETE)
        return abandon(connection.lastError());
    return jobId;
}

} // namespace tillora
