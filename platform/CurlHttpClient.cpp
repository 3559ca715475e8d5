#include "platform/CurlHttpClient.h"

#include <QIODevice>

#include <curl/curl.h>

#include <memory>

namespace vx {

namespace {

CurlHttpClient& curlClient()
{
    static CurlHttpClient client;
    return client;
}

HttpClient* g_client = nullptr;

struct HeaderList {
    curl_slist* list = nullptr;
    ~HeaderList() { curl_slist_free_all(list); }
};

} // namespace

HttpClient& http() { return g_client ? *g_client : curlClient(); }
void setHttp(HttpClient* client) { g_client = client; }

// Where a body goes: into memory or an open device. A body of an answer that is not a success is
// never written: the transfer stops at its first byte.
struct CurlHttpClient::Sink {
    CURL* curl = nullptr;
    QByteArray* memory = nullptr;
    QIODevice* device = nullptr;
    bool refused = false;   // the answer's status was not a success
    bool writeFailed = false;

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
};

CurlHttpClient::CurlHttpClient()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    m_curl = curl_easy_init();
    if (m_curl)
        curl_easy_setopt(static_cast<CURL*>(m_curl), CURLOPT_COOKIEFILE, ""); // cookies in memory, for the run
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

void CurlHttpClient::perform(const QString& url, const QByteArray* postBody, Sink& sink)
{
    auto* curl = static_cast<CURL*>(m_curl);
    if (!curl)
        throw HttpError("HTTP client not available");
    sink.curl = curl;

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
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
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
    if (rc != CURLE_OK && !sink.refused)
        throw HttpError(curl_easy_strerror(rc));
    // An empty body of an error or redirect answer never reaches the sink: the status decides.
    if (sink.refused || status < 200 || status >= 300)
        throw HttpError("HTTP/1.1 " + std::to_string(status));
}

QByteArray CurlHttpClient::get(const QString& url)
{
    QByteArray body;
    Sink sink;
    sink.memory = &body;
    perform(url, nullptr, sink);
    return body;
}

void CurlHttpClient::getInto(const QString& url, QIODevice& out)
{
    Sink sink;
    sink.device = &out;
    perform(url, nullptr, sink);
}

QByteArray CurlHttpClient::post(const QString& url, const QByteArray& body)
{
    QByteArray reply;
    Sink sink;
    sink.memory = &reply;
    perform(url, &body, sink);
    return reply;
}

} // namespace vx
