#pragma once
// The network as a test machine has it: every request fails at once. Widget tests put this in place for
// the whole run, so a window's start-up never waits on a name lookup of the real client.

#include "platform/HttpClient.h"

#include <QIODevice>

namespace vx::test {

class OfflineHttp : public HttpClient {
public:
    QByteArray get(const QString& url, const HttpLimits&) override { fail(url); }
    void getInto(const QString& url, QIODevice&, const HttpLimits&, const HttpProgress&) override { fail(url); }
    QByteArray post(const QString& url, const QByteArray&, const HttpLimits&) override { fail(url); }
    void setHeader(const QByteArray&, const QByteArray&) override {}
    void setFollowRedirects(bool, int) override {}

private:
    [[noreturn]] static void fail(const QString& url)
    {
        throw HttpError("Could not resolve host: " + url.toStdString());
    }
};

} // namespace vx::test
