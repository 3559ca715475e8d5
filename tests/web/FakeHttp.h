#pragma once
// An HTTP client for tests: answers from a table of addresses, records every request with the headers
// and redirect setting it went out with, and never touches the network. An address not in the table
// fails as an unreachable host does.

#include "platform/HttpClient.h"
#include "platform/SiteBase.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <map>
#include <vector>

namespace vx::test {

class FakeHttp : public HttpClient {
public:
    struct Answer {
        QByteArray body;
        bool fails = false; // after writing body (a transfer broken off midway)
    };
    struct Request {
        QString method;
        QString url;
        QByteArray body;
        std::map<QByteArray, QByteArray> headers;
        bool follow = false;
        int maxRedirects = 0;
    };
    std::map<QString, Answer> answers;
    std::vector<Request> requests;
    std::map<QByteArray, QByteArray> headers;
    bool follow = false;
    int maxRedirects = 0;

    FakeHttp() : m_previous(&http()) { setHttp(this); }
    ~FakeHttp() override { setHttp(m_previous); }

    void serve(const QString& path, const QByteArray& body) { answers[siteBase() + path] = {body}; }
    void breakOff(const QString& path, const QByteArray& partial) { answers[siteBase() + path] = {partial, true}; }
    QStringList urls() const
    {
        QStringList out;
        for (const Request& r : requests)
            out << r.url;
        return out;
    }

    QByteArray get(const QString& url, const HttpLimits&) override { return answer("GET", url, {}); }
    void getInto(const QString& url, QIODevice& out, const HttpLimits&, const HttpProgress&) override
    {
        record("GET", url, {});
        const auto it = answers.find(url);
        if (it == answers.end())
            throw HttpError("Could not resolve host");
        out.write(it->second.body);
        if (it->second.fails)
            throw HttpError("Connection reset");
    }
    QByteArray post(const QString& url, const QByteArray& body, const HttpLimits&) override
    {
        return answer("POST", url, body);
    }
    void setHeader(const QByteArray& name, const QByteArray& value) override { headers[name] = value; }
    void setFollowRedirects(bool on, int max) override
    {
        follow = on;
        maxRedirects = max;
    }

private:
    HttpClient* m_previous; // the client in place before this one, put back when it goes

    void record(const char* method, const QString& url, const QByteArray& body)
    {
        requests.push_back({QString::fromLatin1(method), url, body, headers, follow, maxRedirects});
    }
    QByteArray answer(const char* method, const QString& url, const QByteArray& body)
    {
        record(method, url, body);
        const auto it = answers.find(url);
        if (it == answers.end() || it->second.fails)
            throw HttpError("Could not resolve host");
        return it->second.body;
    }
};

} // namespace vx::test
