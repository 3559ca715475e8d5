#pragma once
// The program's one HTTP/1.1 client, behind a small interface so tests put a fake in place. Request
// headers and the redirect setting stay for the rest of the run; cookies are kept for the run. Every
// request carries its own limits (platform/HttpLimits.h). Every failure (no connection, an error or,
// while redirects are not followed, a redirect answer, a reached limit) is raised as HttpError.

#include "platform/HttpLimits.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <stdexcept>

class QIODevice;

namespace vx {

class HttpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Told how a transfer goes, at every piece that arrives and about once a second while nothing does: the
// bytes of the body received so far and its announced length (0: none announced). A false result stops
// the transfer, which then fails.
using HttpProgress = std::function<bool(qint64 received, qint64 announced)>;

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // The body of a GET.
    virtual QByteArray get(const QString& url, const HttpLimits& limits) = 0;
    // The body of a GET written into an open device as it arrives; what was written stays on failure.
    virtual void getInto(const QString& url, QIODevice& out, const HttpLimits& limits,
                         const HttpProgress& progress = {}) = 0;
    // POST of an already encoded form body; returns the reply's body.
    virtual QByteArray post(const QString& url, const QByteArray& body, const HttpLimits& limits) = 0;
    // A request header sent with every later request ("User-Agent", "Content-Type", "Connection", ...);
    // an empty value removes it.
    virtual void setHeader(const QByteArray& name, const QByteArray& value) = 0;
    // Redirect answers followed (at most maxRedirects in a row) or raised as failures.
    virtual void setFollowRedirects(bool follow, int maxRedirects) = 0;
};

// The client in use: the libcurl one unless a test has put its own in place.
HttpClient& http();
// Puts another client in place (nullptr restores the real one); the caller keeps ownership.
void setHttp(HttpClient* client);

} // namespace vx
