#pragma once
// The program's one HTTP/1.1 client, behind a small interface so tests put a fake in place. Request
// headers and the redirect setting stay for the rest of the run; cookies are kept for the run. No time
// limits are set. Every failure (no connection, an error or, while redirects are not followed, a
// redirect answer) is raised as HttpError.

#include <QByteArray>
#include <QString>

#include <stdexcept>

class QIODevice;

namespace vx {

// The maker's web site: every address of the web content is this base followed by a path. The host is
// a reserved name that never resolves, so nothing leaves a user's machine unasked.
inline constexpr const char* kSiteBase = "http://www.vornalex.example/";

class HttpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // The body of a GET.
    virtual QByteArray get(const QString& url) = 0;
    // The body of a GET written into an open device as it arrives; what was written stays on failure.
    virtual void getInto(const QString& url, QIODevice& out) = 0;
    // POST of an already encoded form body; returns the reply's body.
    virtual QByteArray post(const QString& url, const QByteArray& body) = 0;
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
