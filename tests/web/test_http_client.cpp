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

const vx::HttpLimits kNoLimits{};

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
        EXPECT_THROW(client.get(server.url(r.path), kNoLimits), HttpError);
    } else {
        EXPECT_EQ(client.get(server.url(r.path), kNoLimits), r.body);
    }

    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("out.bin")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    if (r.fails)
        EXPECT_THROW(client.getInto(server.url(r.path), file, kNoLimits), HttpError);
    else
        client.getInto(server.url(r.path), file, kNoLimits);
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

// ---- limits: a site that never answers, trickles or sends too much ends the request, not the program

using Way = LocalHttpServer::Way;

struct LimitRow {
    const char* name;
    Reply reply;
    vx::HttpLimits limits;
    bool fails;
};
void PrintTo(const LimitRow& r, std::ostream* os) { *os << r.name; }

const QByteArray kKiloBytes(8 * 1024, 'k');

const LimitRow kLimitRows[] = {
    {"SilentServerEndsAtTheTotalLimit", {200, {}, "never sent", Way::Silent}, {2000, 300, 0, 0, 0}, true},
    {"TricklingServerEndsAtTheTotalLimit", {200, {}, QByteArray(1000, 't'), Way::Trickle, 50, 1},
     {2000, 300, 0, 0, 0}, true},
    {"TricklingServerEndsWhenTooLittleArrives", {200, {}, QByteArray(1000, 't'), Way::Trickle, 50, 1},
     {2000, 0, 0, 1024, 300}, true},
    // No total limit: a transfer that keeps bringing enough may take longer than the stall window.
    {"SteadyTransferOutlastsTheStallWindow", {200, {}, kKiloBytes, Way::Trickle, 100, 2048},
     {2000, 0, 0, 1024, 300}, false},
    {"BodyAtTheCapKept", {200, {}, QByteArray(1000, 'c')}, {2000, 2000, 1000, 0, 0}, false},
    {"BodyOverTheCapRaised", {200, {}, QByteArray(1001, 'c')}, {2000, 2000, 1000, 0, 0}, true},
    {"UnannouncedBodyOverTheCapRaised", {200, {}, QByteArray(5000, 'u'), Way::Whole, 0, 1, false},
     {2000, 2000, 1000, 0, 0}, true},
};

class HttpLimit : public ::testing::TestWithParam<LimitRow> {};

TEST_P(HttpLimit, EndsTheRequestAsAFailure)
{
    const LimitRow& r = GetParam();
    for (bool intoFile : {false, true}) {
        LocalHttpServer server({{"/x", r.reply}});
        CurlHttpClient client;
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QByteArray body;
        bool failed = false;
        try {
            if (intoFile)
                client.getInto(server.url("/x"), out, r.limits);
            else
                body = client.get(server.url("/x"), r.limits);
        } catch (const HttpError&) {
            failed = true;
        }
        EXPECT_EQ(failed, r.fails) << (intoFile ? "into a file" : "into text");
        if (!r.fails) {
            EXPECT_EQ(intoFile ? out.data() : body, r.reply.body);
        }
        // Nothing beyond the cap is ever taken.
        if (r.limits.maxBytes > 0) {
            EXPECT_LE(out.data().size(), r.limits.maxBytes);
        }
        // The client gave up, not the server: without the limit it would still be waiting.
        const auto requests = server.answeredRequests();
        ASSERT_EQ(requests.size(), 1u);
        if (r.reply.way != Way::Whole) {
            EXPECT_EQ(requests[0].clientLeft, r.fails) << (intoFile ? "into a file" : "into text");
        }
    }
}
INSTANTIATE_TEST_SUITE_P(Rows, HttpLimit, ::testing::ValuesIn(kLimitRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HttpClient, PostCarriesBodyAndHeadersThatStay)
{
    LocalHttpServer server(site());
    CurlHttpClient client;
    client.setHeader("User-Agent", "Agent/1.0 (test)");
    client.setHeader("Content-Type", "application/x-www-form-urlencoded");
    client.setHeader("Connection", "keep-alive");
    const QByteArray body = "id=Lc%3C_kAE?&&in=p_vn&&to_page=http://x.example/?a=1&b=2";
    EXPECT_EQ(client.post(server.url("/post"), body, kNoLimits), QByteArray("thanks"));
    EXPECT_EQ(client.get(server.url("/text"), kNoLimits), QByteArray("line one\r\nline two"));

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
    EXPECT_THROW(client.post(server.url("/broken"), "a=b", kNoLimits), HttpError);
}

TEST(HttpClient, CookiesKeptForTheRun)
{
    LocalHttpServer server(site());
    CurlHttpClient client;
    client.get(server.url("/cookie"), kNoLimits);
    client.get(server.url("/text"), kNoLimits);
    CurlHttpClient other; // a fresh run has none
    other.get(server.url("/text"), kNoLimits);

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
    EXPECT_THROW(client.get(url, kNoLimits), HttpError);
    EXPECT_THROW(client.getInto(url, out, kNoLimits), HttpError);
    EXPECT_TRUE(out.data().isEmpty());
}

} // namespace
