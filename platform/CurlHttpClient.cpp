#include "platform/CurlHttpClient.h"

#include <QIODevice>

#include <curl/curl.h>

#include <chrono>
#include <memory>

namespace vx {

namespace {

CurlHttpClient& curlClient()
{
    static CurlHttpClient client;
    return client;
}

HttpClient* g_client = nullptr;
const WebLimits* g_limits = nullptr;

struct HeaderList {
    curl_slist* list = nullptr;
    ~HeaderList() { curl_slist_free_all(list); }
};

using Clock = std::chrono::steady_clock;

} // namespace

HttpClient& http() { return g_client ? *g_client : curlClient(); }
void setHttp(HttpClient* client) { g_client = client; }

const WebLimits& webLimits() { return g_limits ? *g_limits : kWebLimits; }
void setWebLimits(const WebLimits* limits) { g_limits = limits; }

// Where a body goes: into memory or an open device. A body of an answer that is not a success is
// never written: the transfer stops at its first byte. So does a body that grows beyond its cap, and
// a transfer that has brought too little for too long.
struct CurlHttpClient::Sink {
    CURL* curl = nullptr;
    QByteArray* memory = nullptr;
    QIODevice* device = nullptr;
    qint64 maxBytes = 0;
    qint64 received = 0;
    bool refused = false; // the answer's status was not a success
    bool writeFailed = false;
    bool tooBig = false;
    bool stalled = false;
    bool stopped = false; // by the one told of the progress
    HttpProgress onProgress;
    // The stall watch: the bytes and the time at which the current window began.
    qint64 stallBytes = 0;
    Clock::duration stallTime{};
    qint64 windowBytes = 0;
    Clock::time_point windowStart = Clock::now();

    static size_t write(char* data, size_t size, size_t count, void* user)
    {
        auto* s = static_cast<Sink*>(user);
        const size_t n = size * count;
        long status = 0;
        curl_easy_getinfo(s->curl, CURLINFO_RESPONSE_CODE, &status);
        if (status < 200 || status >= 300) {
            s->refused = true;
            return 0;
        }
        if (s->maxBytes > 0 && s->received + qint64(n) > s->maxBytes) {
            s->tooBig = true;
            return 0;
        }
        s->received += qint64(n);
        if (s->memory) {
            s->memory->append(data, qsizetype(n));
            return n;
        }
        if (s->device->write(data, qint64(n)) != qint64(n)) {
            s->writeFailed = true;
            return 0;
        }
        return n;
    }

    // Called by libcurl while the transfer runs (at least about once a second, also when nothing
    // arrives); a non-zero result ends the transfer.
    static int progress(void* user, curl_off_t announced, curl_off_t downloaded, curl_off_t, curl_off_t)
    {
        auto* s = static_cast<Sink*>(user);
        if (s->onProgress && !s->onProgress(qint64(downloaded), qint64(announced))) {
            s->stopped = true;
            return 1;
        }
        if (s->stallBytes <= 0)
            return 0;
        const Clock::time_point now = Clock::now();
        if (qint64(downloaded) - s->windowBytes >= s->stallBytes) {
            s->windowBytes = qint64(downloaded);
            s->windowStart = now;
            return 0;
        }
        if (now - s->windowStart >= s->stallTime) {
            s->stalled = true;
            return 1;
        }
        return 0;
    }
};

CurlHttpClient::CurlHttpClient()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    m_curl = curl_easy_init();
    auto* curl = static_cast<CURL*>(m_curl);
    if (!curl)
        return;
    curl_easy_setopt(curl, CURLOPT_COOKIEFILE, ""); // cookies in memory, for the run
    // Web addresses only, also where a redirect leads: never a file, an FTP server or a mail server.
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    // A name lookup runs in a thread of its own. When a limit ends the transfer during the lookup,
    // libcurl would otherwise wait for that thread, as long as the name server takes to answer
    // (half a minute and more on a machine without a network); now it leaves the thread behind.
    curl_easy_setopt(curl, CURLOPT_QUICK_EXIT, 1L);
}

CurlHttpClient::~CurlHttpClient()
{
    if (m_curl)
        curl_easy_cleanup(static_cast<CURL*>(m_curl));
}

void CurlHttpClient::setHeader(const QByteArray& name, const QByteArray& value)
{
    if (value.isEmpty())
        m_headers.erase(name);
    else
        m_headers[name] = value;
}

void CurlHttpClient::setFollowRedirects(bool follow, int maxRedirects)
{
    m_follow = follow;
    m_maxRedirects = maxRedirects;
}

void CurlHttpClient::perform(const QString& url, const QByteArray* postBody, const HttpLimits& limits, Sink& sink)
{
    auto* curl = static_cast<CURL*>(m_curl);
    if (!curl)
        throw HttpError("HTTP client not available");
    sink.curl = curl;
    sink.maxBytes = limits.maxBytes;
    sink.stallBytes = limits.stallMs > 0 ? limits.stallBytes : 0;
    sink.stallTime = std::chrono::milliseconds(limits.stallMs);
    sink.windowStart = Clock::now();

    const QByteArray address = url.toUtf8();
    QByteArray agent;
    HeaderList headers;
    for (const auto& [name, value] : m_headers) {
        if (name.compare("User-Agent", Qt::CaseInsensitive) == 0) {
            agent = value;
            continue;
        }
        const QByteArray line = name + ": " + value;
        headers.list = curl_slist_append(headers.list, line.constData());
    }

    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.isEmpty() ? nullptr : agent.constData());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.list);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, m_follow ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, long(m_maxRedirects));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Sink::write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Sink::progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &sink);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(limits.connectMs));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(limits.totalMs));
    // An announced length beyond the cap fails before any byte of the body is taken.
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.maxBytes));
    if (postBody) {
        curl_easy_setopt(curl, CURLOPT_POST, 1L);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, postBody->constData());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, long(postBody->size()));
    } else {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    }

    const CURLcode rc = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (sink.writeFailed)
        throw HttpError("Cannot write the received data");
    if (sink.stopped)
        throw HttpError("The transfer was stopped");
    if (sink.tooBig || rc == CURLE_FILESIZE_EXCEEDED)
        throw HttpError("The answer is larger than " + std::to_string(limits.maxBytes) + " bytes");
    if (sink.stalled)
        throw HttpError("The transfer stalled: less than " + std::to_string(limits.stallBytes) + " bytes in " +
                        std::to_string(limits.stallMs) + " ms");
    if (rc != CURLE_OK && !sink.refused)
        throw HttpError(curl_easy_strerror(rc));
    // An empty body of an error or redirect answer never reaches the sink: the status decides.
    if (sink.refused || status < 200 || status >= 300)
        throw HttpError("HTTP/1.1 " + std::to_string(status));
}

QByteArray CurlHttpClient::get(const QString& url, const HttpLimits& limits)
{
    QByteArray body;
    Sink sink;
    sink.memory = &body;
    perform(url, nullptr, limits, sink);
    return body;
}

void CurlHttpClient::getInto(const QString& url, QIODevice& out, const HttpLimits& limits,
                             const HttpProgress& progress)
{
    Sink sink;
    sink.device = &out;
    sink.onProgress = progress;
    perform(url, nullptr, limits, sink);
}

QByteArray CurlHttpClient::post(const QString& url, const QByteArray& body, const HttpLimits& limits)
{
    QByteArray reply;
    Sink sink;
    sink.memory = &reply;
    perform(url, &body, limits, sink);
    return reply;
}

} // namespace vx
