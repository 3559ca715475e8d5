// The libcurl client against a tiny server on 127.0.0.1: GET into text and into a file, POST with its
// headers, cookies kept between requests, redirects raised or followed, error answers raised.
#include "platform/CurlHttpClient.h"
#include "web/FetchBudget.h"

#include "LocalHttpServer.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <ostream>
#include <thread>
#include <utility>
#include <vector>

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
    // Each piece is below the cap: only their sum is over it.
    {"UnannouncedBodyInSmallPiecesOverTheCapRaised", {200, {}, QByteArray(5000, 'u'), Way::Trickle, 5, 200, false},
     {2000, 2000, 1000, 0, 0}, true},
    // Its length says it is too large: not one byte of it is taken, even where it comes in pieces.
    {"AnnouncedBodyInSmallPiecesOverTheCapRaised", {200, {}, QByteArray(5000, 'a'), Way::Trickle, 5, 200},
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
        // Nothing beyond the cap is ever taken, and nothing at all of an answer announced over it.
        if (r.limits.maxBytes > 0) {
            EXPECT_LE(out.data().size(), r.limits.maxBytes);
            if (r.reply.announced && r.reply.body.size() > r.limits.maxBytes) {
                EXPECT_TRUE(out.data().isEmpty()) << out.data().size() << " bytes of it taken";
            }
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

// A server whose queue of connections is full: a listening socket with no room in its queue (backlog 0)
// that never takes the connections already waiting in it. The system then drops every further
// connection attempt, so only the connection limit ends the request.
TEST(HttpClient, ConnectionNobodyTakesEndsAtTheConnectionLimit)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    std::vector<int> waiting;
    for (int i = 0; i < 4; ++i) {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ASSERT_GE(s, 0);
        ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
        waiting.push_back(s);
    }
    ::usleep(200 * 1000); // the queue fills

    const QString url = QStringLiteral("http://127.0.0.1:%1/text").arg(ntohs(address.sin_port));
    // The total limit is only the test's backstop, far beyond the connection limit.
    const vx::HttpLimits limits{300, 20000, 0, 0, 0};
    CurlHttpClient client;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_THROW(client.get(url, limits), HttpError);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    EXPECT_LT(took.count(), 10000) << "the connection limit of 300 ms did not end it";

    for (int s : waiting)
        ::close(s);
    ::close(listener);
}

// The program's own limits, which the site tests replace with ones a tenth as long: every request has a
// connection limit (which the name lookup counts against) of 5 s, a byte cap and either a total limit or
// a stall check; the start-up waits 15 s for the index and for the index and the picture together.
TEST(WebLimits, EveryRequestOfTheProgramIsBounded)
{
    const vx::WebLimits& own = vx::kWebLimits;
    const std::pair<const char*, vx::HttpLimits> requests[] = {
        {"index", own.index}, {"picture", own.picture}, {"version", own.version}, {"report", own.report}};
    for (const auto& [name, l] : requests) {
        EXPECT_GT(l.connectMs, 0) << name;
        EXPECT_EQ(l.connectMs, 5000) << name;
        EXPECT_GT(l.maxBytes, 0) << name;
        EXPECT_TRUE(l.totalMs > 0 || (l.stallMs > 0 && l.stallBytes > 0)) << name;
    }
    EXPECT_GT(own.index.totalMs, 0);
    EXPECT_LE(own.index.totalMs, 15000);
    EXPECT_GT(own.startupMs, 0);
    EXPECT_LE(own.startupMs, 15000);
    EXPECT_EQ(own.startupMs, 15000);
    EXPECT_EQ(own.index.totalMs, 15000);
    EXPECT_EQ(own.picture.totalMs, 30000);
    // A picture larger than the index must still come: the picture has a cap of its own.
    EXPECT_GT(own.picture.maxBytes, own.index.maxBytes);
}

// ---- one time budget over several requests

// The limits a request run within the budget is given.
vx::HttpLimits limitsGiven(vx::FetchBudget& budget, const vx::HttpLimits& own)
{
    return budget.run(own, [](const vx::HttpLimits& cut) { return cut; });
}

TEST(FetchBudget, EachRequestGetsWhatTheEarlierOnesLeft)
{
    const vx::HttpLimits own{1000, 0, 100, 1, 2000};
    const auto expectOthersKept = [&own](const vx::HttpLimits& given) {
        EXPECT_EQ(given.maxBytes, own.maxBytes);
        EXPECT_EQ(given.stallBytes, own.stallBytes);
        EXPECT_EQ(given.stallMs, own.stallMs);
    };

    // Without a budget a request keeps its own limits, none included.
    vx::FetchBudget unbounded(0);
    const vx::HttpLimits free = limitsGiven(unbounded, own);
    EXPECT_EQ(free.connectMs, 1000);
    EXPECT_EQ(free.totalMs, 0);
    expectOthersKept(free);

    // A limit of its own below what is left stays; none at all becomes what is left.
    vx::FetchBudget budget(10000);
    const vx::HttpLimits first = limitsGiven(budget, own);
    EXPECT_EQ(first.connectMs, 1000);
    EXPECT_EQ(first.totalMs, 10000);
    expectOthersKept(first);

    // The time of a failed request counts too; a limit beyond what is left is cut to it.
    EXPECT_THROW(budget.run(own,
                            [](const vx::HttpLimits&) -> int {
                                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                                throw HttpError("no answer");
                            }),
                 HttpError);
    const vx::HttpLimits after = limitsGiven(budget, {20000, 20000, 100, 1, 2000});
    EXPECT_LE(after.connectMs, 9700);
    EXPECT_GT(after.connectMs, 0);
    EXPECT_EQ(after.totalMs, after.connectMs);
}

TEST(FetchBudget, NothingLeftRunsNoRequest)
{
    vx::FetchBudget budget(50);
    budget.run(vx::HttpLimits{}, [](const vx::HttpLimits&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        return 0;
    });
    bool ran = false;
    EXPECT_THROW(budget.run(vx::HttpLimits{}, [&ran](const vx::HttpLimits&) { return ran = true; }), HttpError);
    EXPECT_FALSE(ran);
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
