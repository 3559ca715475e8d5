#pragma once
// The HTTP client over libcurl: one handle for the run, so cookies and the open connection are kept.

#include "platform/HttpClient.h"

#include <map>

namespace vx {

class CurlHttpClient : public HttpClient {
public:
    CurlHttpClient();
    ~CurlHttpClient() override;
    CurlHttpClient(const CurlHttpClient&) = delete;
    CurlHttpClient& operator=(const CurlHttpClient&) = delete;

    QByteArray get(const QString& url, const HttpLimits& limits) override;
    void getInto(const QString& url, QIODevice& out, const HttpLimits& limits,
                 const HttpProgress& progress = {}) override;
    QByteArray post(const QString& url, const QByteArray& body, const HttpLimits& limits) override;
    void setHeader(const QByteArray& name, const QByteArray& value) override;
    void setFollowRedirects(bool follow, int maxRedirects) override;

private:
    struct Sink;
    void perform(const QString& url, const QByteArray* postBody, const HttpLimits& limits, Sink& sink);

    void* m_curl = nullptr;
    std::map<QByteArray, QByteArray> m_headers; // by name as given; "User-Agent" goes its own way
    bool m_follow = false;
    int m_maxRedirects = 0;
};

} // namespace vx
