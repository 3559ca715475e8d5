// The libcurl client against a tiny server on 127.0.0.1: GET into text and into a file, POST with its
// headers, cookies kept between requests, redirects raised or followed, error answers raised.
#include "platform/CurlHttpClient.h"

#include "LocalHttpServer.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

namespace {

using vx::CurlHttpClient;
using vx::HttpError;
using vx::test::LocalHttpServer;
using Reply = LocalHttpServer::Reply;

const QByteArray kBinary = QByteArray("\x00\x01\xFF\r\n\x7F end", 10);

std::map<QByteArray, Reply> site()
{
    return {
        {"/text", {200, {}, "line one\r\nline two"}},
        {"/binary", {200, {}, kBinary}},
        {"/empty", {200, {}, {}}},
        {"/cookie", {200, "Set-Cookie: sid=abc123; Path=/\r\n", "set"}},
        {"/moved", {302, "Location: /text\r\n", "moved"}},
        {"/post", {200, {}, "thanks"}},
        {"/broken", {500, {}, "server error body"}},
    };
}

struct GetRow {
    const char* name;
    const char* path;
    bool follow;
    bool fails;
    QByteArray body;
};
void PrintTo(const GetRow& r, std::ostream* os) { *os << r.name; }

const GetRow kGetRows[] = {
    {"Text", "/text", false, false, "line one\r\nline two"},
    {"Binary", "/binary", false, false, kBinary},
    {"Empty", "/empty", false, false, {}},
    {"NotFoundRaised", "/nowhere", false, true, {}},
    {"ServerErrorRaised", "/broken", false, true, {}},
    {"RedirectRaisedWhenNotFollowed", "/moved", false, true, {}},
    {"RedirectFollowed", "/moved", true, false, "line one\r\nline two"},
};

class HttpGet : public ::testing::TestWithParam<GetRow> {};

TEST_P(HttpGet, IntoTextAndIntoAFile)
{
    const GetRow& r = GetParam();
    LocalHttpServer server(site());
    CurlHttpClient client;
    client.setFollowRedirects(r.follow, 15);
    if (r.fails) {
        EXPECT_THROW(client.get(server.url(r.path)), HttpError);
    } else {
        EXPECT_EQ(client.get(server.url(r.path)), r.body);
    }

    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("out.bin")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    if (r.fails)
        EXPECT_THROW(client.getInto(server.url(r.path), file), HttpError);
    else
        client.getInto(server.url(r.path), file);
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // an error answer's body never lands in the file
    EXPECT_EQ(file.readAll(), r.fails ? QByteArray() : r.body);

    const auto requests = server.requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front().method, QByteArray("GET"));
    EXPECT_EQ(requests.front().path, QByteArray(r.path));
}
INSTANTIATE_TEST_SUITE_P(Rows, HttpGet, ::testing::ValuesIn(kGetRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HttpClient, PostCarriesBodyAndHeadersThatStay)
{
    LocalHttpServer server(site());
    CurlHttpClient client;
    client.setHeader("User-Agent", "Agent/1.0 (test)");
    client.setHeader("Content-Type", "application/x-www-form-urlencoded");
    client.setHeader("Connection", "keep-alive");
    const QByteArray body = "id=Lc%3C_kAE?&&in=p_vn&&to_page=http://x.example/?a=1&b=2";
    EXPECT_EQ(client.post(server.url("/post"), body), QByteArray("thanks"));
    EXPECT_EQ(client.get(server.url("/text")), QByteArray("line one\r\nline two"));

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, QByteArray("POST"));
    EXPECT_EQ(requests[0].body, body);
    for (const auto& r : requests) {
        EXPECT_EQ(r.headers.at("user-agent"), QByteArray("Agent/1.0 (test)")) << r.method.constData();
        EXPECT_EQ(r.headers.at("connection"), QByteArray("keep-alive")) << r.method.constData();
        EXPECT_EQ(r.headers.at("content-type"), QByteArray("application/x-www-form-urlencoded"));
    }
    EXPECT_EQ(requests[1].method, QByteArray("GET"));
}

TEST(HttpClient, PostErrorAnswerRaised)
{
    LocalHttpServer server(site());
    CurlHttpClient client;
    EXPECT_THROW(client.post(server.url("/broken"), "a=b"), HttpError);
}

TEST(HttpClient, CookiesKeptForTheRun)
{
    LocalHttpServer server(site());
    CurlHttpClient client;
    client.get(server.url("/cookie"));
    client.get(server.url("/text"));
    CurlHttpClient other; // a fresh run has none
    other.get(server.url("/text"));

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].headers.count("cookie"), 0u);
    EXPECT_EQ(requests[1].headers.at("cookie"), QByteArray("sid=abc123"));
    EXPECT_EQ(requests[2].headers.count("cookie"), 0u);
}

TEST(HttpClient, UnreachableHostRaisedAtOnce)
{
    CurlHttpClient client;
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    // a port nobody listens on: bind one, close it, then ask it
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    const QString url = QStringLiteral("http://127.0.0.1:%1/text").arg(port);
    EXPECT_THROW(client.get(url), HttpError);
    EXPECT_THROW(client.getInto(url, out), HttpError);
    EXPECT_TRUE(out.data().isEmpty());
}

} // namespace
