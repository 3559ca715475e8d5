// The start-up's web content against a small web site on 127.0.0.1 that the test runs itself: a site
// that never answers or trickles its answer, answers over their caps or cut off midway, names that
// point at the program's own files, and markup in the version line. The program's own limits are in
// place with their times shortened, so nothing here waits long.
#include "app/TF_Main.h"

#include "app/Windows.h"
#include "ChildProcess.h"
#include "CraftedJpeg.h"
#include "FolderEntries.h"
#include "platform/CurlHttpClient.h"
#include "platform/HttpLimits.h"
#include "platform/JpegImage.h"
#include "platform/SiteBase.h"
#include "projects/ProgramFolder.h"
#include "LocalHttpServer.h"
#include "RecordingBrowser.h"
#include "ProgramFiles.h"
#include "RecordingDialogs.h"
#include "web/DownloadProgress.h"
#include "web/TF_Pic.h"

#include "ChildWidget.h"
#include "MainTestAccess.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QScreen>
#include <QTcpServer>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <QtEndian>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <netdb.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <vector>

#include <sys/stat.h>

// A name server that never answers, for one name only: its lookup sleeps until the test that asks for
// it releases it (at the latest after a minute, as a real resolver gives up); every other name is
// looked up as usual. libcurl makes its lookups in a thread of its own, through this function.
namespace {
constexpr const char* kUnansweredHost = "unanswered.example";
std::mutex g_lookupMutex;
std::condition_variable g_lookupWake;
bool g_lookupReleased = false;

void releaseLookups()
{
    const std::lock_guard lock(g_lookupMutex);
    g_lookupReleased = true;
    g_lookupWake.notify_all();
}
} // namespace

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints, addrinfo** result)
{
    if (node && std::strcmp(node, kUnansweredHost) == 0) {
        std::unique_lock lock(g_lookupMutex);
        g_lookupWake.wait_for(lock, std::chrono::seconds(60), [] { return g_lookupReleased; });
        return EAI_AGAIN;
    }
    using Lookup = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto real = reinterpret_cast<Lookup>(::dlsym(RTLD_NEXT, "getaddrinfo"));
    return real(node, service, hints, result);
}

namespace {

using vx::test::child;
using vx::MsgAnswer;
using vx::MsgType;
using vx::test::LocalHttpServer;
using vx::test::RecordingDialogs;
using Reply = LocalHttpServer::Reply;
using Way = LocalHttpServer::Way;
using Files = vx::test::FolderEntries;

constexpr int kShortMs = 500;

// The program's limits with every time limit shortened; the new version's cap too, so that a version
// over it needs no 200 MB from the test site.
vx::WebLimits shortLimits()
{
    vx::WebLimits limits = vx::kWebLimits;
    for (vx::HttpLimits* l : {&limits.index, &limits.picture, &limits.report})
        l->totalMs = kShortMs;
    limits.version.stallMs = kShortMs;
    limits.version.maxBytes = 64 * vx::kKiB;
    return limits;
}

class SiteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vx::test::makeProgramFolder(m_program));
        // The program starts from its own folder, where its brands list is.
        m_previousFolder = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_program.path()));
        write(QStringLiteral("brands.csv"), "Alpha\thttp://alpha.example/\t\t1\r\n");
        write(QStringLiteral("x.png"), "the user's own picture");
        write(QStringLiteral("same.jpg"), "the user's own photo");
        m_offline = &vx::http();
        vx::setWebLimits(&m_limits);
    }
    void TearDown() override
    {
        F_Main = nullptr;
        w.reset();
        vx::setSiteBase(QString());
        vx::setHttp(m_offline);
        vx::setWebLimits(nullptr);
        vx::setProgramFolder(QString());
        QDir::setCurrent(m_previousFolder);
    }

    void write(const QString& name, const QByteArray& bytes)
    {
        QFile f(m_program.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    // Every entry of the program's folder (see FolderEntries.h).
    Files files() const { return vx::test::folderEntries(m_program.path()); }
    // Its permission bits (0: no such file).
    mode_t mode(const QString& name) const
    {
        struct stat st {};
        return ::lstat(QFile::encodeName(m_program.filePath(name)).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    QString folder() const { return vx::programFolder(); }

    // The advert window opened over the started program, showing the advert of link.
    std::unique_ptr<TF_Pic> openAdvert(const QString& link)
    {
        auto pic = std::make_unique<TF_Pic>(w.get());
        F_Pic = pic.get();
        TF_MainTestAccess::setAdvLink(*w, link);
        pic->show();
        return pic;
    }
    void closeAdvert(std::unique_ptr<TF_Pic>& pic)
    {
        pic->hide();
        F_Pic = nullptr;
        pic.reset();
    }
    static void click(QWidget* widget)
    {
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(widget, &up);
    }
    // LoadAdv's wall-clock time in milliseconds.
    qint64 timedLoadAdv()
    {
        const auto started = std::chrono::steady_clock::now();
        w->LoadAdv();
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started)
            .count();
    }

    // The program's start-up; online: against the test site, else offline as the other window tests.
    void start(LocalHttpServer& site, bool online)
    {
        vx::setSiteBase(site.url("/"));
        vx::setHttp(online ? static_cast<vx::HttpClient*>(&m_curl) : m_offline);
        w = std::make_unique<TF_Main>();
        F_Main = w.get();
        vx::setHttp(&m_curl);
        dialogs.boxes.clear();
    }

    RecordingDialogs dialogs;
    vx::CurlHttpClient m_curl;
    vx::WebLimits m_limits = shortLimits();
    vx::HttpClient* m_offline = nullptr;
    QTemporaryDir m_program;
    QString m_previousFolder;
    std::unique_ptr<TF_Main> w;
};

// ---- a site that holds the index: the start goes on at the limit

struct HoldRow {
    const char* name;
    Reply index;
};
void PrintTo(const HoldRow& r, std::ostream* os) { *os << r.name; }

const HoldRow kHoldRows[] = {
    {"Silent", {200, {}, "images/pic.jpg\tlink\r\n1.3\r\n..files/setup.zip", Way::Silent}},
    // A byte every 100 ms: half a minute for the whole index.
    {"Trickling", {200, {}, "images/pic.jpg\tlink\r\n1.3\r\n..files/setup.zip" + QByteArray(250, ' '), Way::Trickle, 100, 1}},
};

class HeldIndex : public SiteTest, public ::testing::WithParamInterface<HoldRow> {};

TEST_P(HeldIndex, StartGoesOnAtTheLimit)
{
    LocalHttpServer site({{"/images/adv.txt", GetParam().index}});
    start(site, true);

    const auto requests = site.answeredRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, QByteArray("/images/adv.txt"));
    EXPECT_TRUE(requests[0].clientLeft) << "the program gave up, not the site";
    // A failed index is silent and leaves no advert; the start-up went on past it.
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.texts().join(u'|').toStdString();
    EXPECT_TRUE(w->advLink().isEmpty());
    EXPECT_TRUE(w->advLocalFile().isEmpty());
    EXPECT_TRUE(w->timer3()->isActive());
    EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("Vornalex.ini")));
    EXPECT_FALSE(w->endRequested());
}
INSTANTIATE_TEST_SUITE_P(Rows, HeldIndex, ::testing::ValuesIn(kHoldRows),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the program's own limits, a tenth as long: the index and the picture together end within the
// start-up's time (the real values are checked in test_http_client.cpp)

// The program's limits with every time a tenth of its own: the index 1.5 s, the picture 3 s, the
// start-up 1.5 s for both, 0.5 s to find and reach the site.
vx::WebLimits tenthLimits()
{
    vx::WebLimits limits = vx::kWebLimits;
    for (vx::HttpLimits* l : {&limits.index, &limits.picture, &limits.version, &limits.report}) {
        l->connectMs /= 10;
        l->totalMs /= 10;
        l->stallMs /= 10;
    }
    limits.startupMs /= 10;
    return limits;
}

// What a loaded machine may add to the start-up's limit before the test calls it a fault: well below
// the picture's own limit, which a picture not held to the start-up's time would take in full.
constexpr qint64 kSlackMs = 1000;

// The index takes 1 s of its own 1.5 s, and the picture then trickles for minutes: the picture gets only
// what is left of the start-up's 1.5 s, not its own 3 s. So does the check of a picture already beside
// the program, which asks the site for its picture to compare.
struct SlowStartRow {
    const char* name;
    const char* present; // the picture's file already beside the program; null: none
};
void PrintTo(const SlowStartRow& r, std::ostream* os) { *os << r.name; }

const SlowStartRow kSlowStartRows[] = {
    {"PictureFetched", nullptr},
    {"PictureAlreadyThereCompared", "\xFF\xD8 a picture left by an earlier run"},
};

class SlowStart : public SiteTest, public ::testing::WithParamInterface<SlowStartRow> {};

TEST_P(SlowStart, IndexAndPictureEndWithinTheStartupLimit)
{
    const SlowStartRow& r = GetParam();
    m_limits = tenthLimits();
    const QByteArray index = "images/pic.jpg\thttp://shop.example/\r\n1.2\r\n";
    constexpr int kChunk = 3;
    const int gaps = int((index.size() + kChunk - 1) / kChunk) - 1;
    const int indexMs = m_limits.index.totalMs * 2 / 3;
    ASSERT_LT(m_limits.startupMs + kSlackMs, indexMs + m_limits.picture.totalMs);
    LocalHttpServer site({{"/images/adv.txt", {200, {}, index, Way::Trickle, indexMs / gaps, kChunk}},
                          {"/images/pic.jpg", {200, {}, QByteArray(100000, 'p'), Way::Trickle, 100, 1}}});
    if (r.present)
        write(QStringLiteral("pic.jpg"), r.present);
    start(site, false);
    const Files before = files();

    const qint64 took = timedLoadAdv();

    const auto requests = site.answeredRequests();
    ASSERT_EQ(requests.size(), 2u) << "the index came in time, the picture was asked for";
    EXPECT_EQ(requests[1].path, QByteArray("/images/pic.jpg"));
    EXPECT_TRUE(requests[1].clientLeft) << "the program gave up, not the site";
    EXPECT_GE(took, indexMs);
    EXPECT_LE(took, m_limits.startupMs + kSlackMs);
    EXPECT_EQ(w->advLink(), QStringLiteral("http://shop.example/"));
    EXPECT_EQ(files(), before);
}
INSTANTIATE_TEST_SUITE_P(Rows, SlowStart, ::testing::ValuesIn(kSlowStartRows),
                         [](const auto& info) { return std::string(info.param.name); });

// A name server that never answers: the lookup counts against the limits like the rest, and ends at
// the connection limit.
TEST_F(SiteTest, NameLookupThatNeverAnswersEndsWithinTheStartupLimit)
{
    m_limits = tenthLimits();
    LocalHttpServer site({{"/images/adv.txt", {200, {}, "images/pic.jpg\tlink\r\n1.2\r\n"}}});
    start(site, false);
    vx::setSiteBase(QStringLiteral("http://%1:%2/").arg(QLatin1String(kUnansweredHost)).arg(QUrl(site.url("/")).port()));

    const qint64 took = timedLoadAdv();
    releaseLookups();

    EXPECT_GE(took, m_limits.index.connectMs);
    EXPECT_LE(took, m_limits.startupMs + kSlackMs);
    EXPECT_TRUE(site.requests().empty());
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_TRUE(w->advLink().isEmpty());
    EXPECT_TRUE(w->timer3()->isActive());
}

// ---- caps, cut downloads and names: the fetch touches only its own files

const QByteArray kPicture = QByteArrayLiteral("\xFF\xD8 the advert picture");
const QByteArray kVersion = QByteArrayLiteral("PK the new version");
const QByteArray kSameVersion = "images/pic.jpg\thttp://shop.example/\r\n1.2\r\n";
const QByteArray kNewVersion = "images/pic.jpg\thttp://shop.example/\r\n1.3\r\nnew ..files/setup.zip";

const QByteArray kQtConf = "[Paths]\r\nPlugins=/nonexistent\r\n";
// The name of the running executable, which stands in for the program's own.
const QByteArray kProgramName = QFile::encodeName(QFileInfo(QString::fromLocal8Bit(
    QByteArray(program_invocation_name))).fileName());

QByteArray paddedTo(QByteArray text, qsizetype size) { return text + QByteArray(size - text.size(), ' '); }

struct SiteRow {
    const char* name;
    QByteArray index;
    std::map<QByteArray, Reply> served; // besides the index
    MsgAnswer answer;                   // to the offer of a new version
    std::vector<QByteArray> asked;      // the paths asked for after the index
    std::vector<MsgType> boxes;
    const char* link;                   // AdvLink
    const char* picture;                // AdvLocalFile's name; null: none
    Files added;                        // what the fetch leaves in the folder; everything else stays as it was
    Files present = {};                 // files in the folder before the start besides the usual ones
    std::map<QString, QString> links = {}; // links in the folder before the fetch, by name, with their targets
    const char* missing = nullptr;      // a file of the folder that is gone before the fetch
    std::vector<QByteArray> givenUp = {}; // paths whose transfer the program ended before the site did
};
void PrintTo(const SiteRow& r, std::ostream* os) { *os << r.name; }

const SiteRow kSiteRows[] = {
    {"PictureKept", kSameVersion, {{"/images/pic.jpg", {200, {}, kPicture}}}, MsgAnswer::No, {"/images/pic.jpg"}, {},
     "http://shop.example/", "pic.jpg", {{"pic.jpg", kPicture}}},
    {"IndexAtTheCap", paddedTo(kSameVersion, 64 * 1024), {{"/images/pic.jpg", {200, {}, kPicture}}}, MsgAnswer::No,
     {"/images/pic.jpg"}, {}, "http://shop.example/", "pic.jpg", {{"pic.jpg", kPicture}}},
    {"IndexOverTheCap", paddedTo(kNewVersion, 64 * 1024 + 1), {{"/images/pic.jpg", {200, {}, kPicture}}},
     MsgAnswer::Yes, {}, {}, "", nullptr, {}},
    {"PictureOverTheCap", kSameVersion, {{"/images/pic.jpg", {200, {}, QByteArray(10 * 1024 * 1024 + 1, 'p')}}},
     MsgAnswer::No, {"/images/pic.jpg"}, {}, "http://shop.example/", "pic.jpg", {}},
    {"PictureCutOff", kSameVersion, {{"/images/pic.jpg", {200, {}, kPicture, Way::Cut}}}, MsgAnswer::No,
     {"/images/pic.jpg"}, {}, "http://shop.example/", "pic.jpg", {}},
    {"PictureTrickling", kSameVersion, {{"/images/pic.jpg", {200, {}, QByteArray(200, 'p'), Way::Trickle, 50, 1}}},
     MsgAnswer::No, {"/images/pic.jpg"}, {}, "http://shop.example/", "pic.jpg", {}, {}, {}, nullptr, {"/images/pic.jpg"}},
    // Names the site may not give a picture: the program's files and what the advert window cannot load.
    {"PictureNamedLikeTheBrandsList", "brands.csv\thttp://shop.example/\r\n1.2\r\n",
     {{"/brands.csv", {200, {}, "Site\thttp://site.example/\t\t1\r\n"}}}, MsgAnswer::No, {}, {},
     "http://shop.example/", nullptr, {}},
    {"PictureNamedLikeTheSettingsFile", "images/Vornalex.INI\thttp://shop.example/\r\n1.2\r\n",
     {{"/images/Vornalex.INI", {200, {}, "[DEFAULT]\r\n"}}}, MsgAnswer::No, {}, {}, "http://shop.example/", nullptr, {}},
    {"PictureOfAFormatTheWindowCannotLoad", "images/x.png\thttp://shop.example/\r\n1.2\r\n",
     {{"/images/x.png", {200, {}, "the site's png"}}}, MsgAnswer::No, {}, {}, "http://shop.example/", nullptr, {}},
    // The new version.
    {"VersionKept", kNewVersion, {{"/files/setup.zip", {200, {}, kVersion}}, {"/images/pic.jpg", {200, {}, kPicture}}},
     MsgAnswer::Yes, {"/files/setup.zip", "/images/pic.jpg"}, {MsgType::Confirmation, MsgType::Information},
     "http://shop.example/", "pic.jpg", {{"setup.zip", kVersion}, {"pic.jpg", kPicture}}},
    // No limit on the whole: a download that keeps coming may take longer than the others' limits.
    {"VersionSlowButSteadyKept", kNewVersion,
     {{"/files/setup.zip", {200, {}, QByteArray(8 * 1024, 'v'), Way::Trickle, 200, 2048}},
      {"/images/pic.jpg", {200, {}, kPicture}}},
     MsgAnswer::Yes, {"/files/setup.zip", "/images/pic.jpg"}, {MsgType::Confirmation, MsgType::Information},
     "http://shop.example/", "pic.jpg", {{"setup.zip", QByteArray(8 * 1024, 'v')}, {"pic.jpg", kPicture}}},
    {"VersionTricklingGivenUp", kNewVersion,
     {{"/files/setup.zip", {200, {}, QByteArray(2000, 'v'), Way::Trickle, 50, 1}},
      {"/images/pic.jpg", {200, {}, kPicture}}},
     MsgAnswer::Yes, {"/files/setup.zip", "/images/pic.jpg"}, {MsgType::Confirmation, MsgType::Warning},
     "http://shop.example/", "pic.jpg", {{"pic.jpg", kPicture}}, {}, {}, nullptr, {"/files/setup.zip"}},
    // The stall rule counts from the last piece that brought enough, not from the start: a version that
    // stops after its first kilobyte, or comes a large piece at long intervals, is given up before its
    // next piece, although everything it sent so far is more than the rule asks for one window.
    {"VersionStoppingAfterItsFirstKilobyteGivenUp", kNewVersion,
     {{"/files/setup.zip", {200, {}, QByteArray(2 * 1024, 'v'), Way::Trickle, 2000, 1024}},
      {"/images/pic.jpg", {200, {}, kPicture}}},
     MsgAnswer::Yes, {"/files/setup.zip", "/images/pic.jpg"}, {MsgType::Confirmation, MsgType::Warning},
     "http://shop.example/", "pic.jpg", {{"pic.jpg", kPicture}}, {}, {}, nullptr, {"/files/setup.zip"}},
    {"VersionInLargePiecesAtLongIntervalsGivenUp", kNewVersion,
     {{"/files/setup.zip", {200, {}, QByteArray(4 * 1024, 'v'), Way::Trickle, 2000, 2048}},
      {"/images/pic.jpg", {200, {}, kPicture}}},
     MsgAnswer::Yes, {"/files/setup.zip", "/images/pic.jpg"}, {MsgType::Confirmation, MsgType::Warning},
     "http://shop.example/", "pic.jpg", {{"pic.jpg", kPicture}}, {}, {}, nullptr, {"/files/setup.zip"}},
    {"VersionCutOff", kNewVersion,
     {{"/files/setup.zip", {200, {}, kVersion, Way::Cut}}, {"/images/pic.jpg", {200, {}, kPicture}}}, MsgAnswer::Yes,
     {"/files/setup.zip", "/images/pic.jpg"}, {MsgType::Confirmation, MsgType::Warning}, "http://shop.example/",
     "pic.jpg", {{"pic.jpg", kPicture}}},
    {"VersionOverItsCap", kNewVersion,
     {{"/files/setup.zip", {200, {}, QByteArray(64 * 1024 + 1, 'v')}}, {"/images/pic.jpg", {200, {}, kPicture}}},
     MsgAnswer::Yes, {"/files/setup.zip", "/images/pic.jpg"}, {MsgType::Confirmation, MsgType::Warning},
     "http://shop.example/", "pic.jpg", {{"pic.jpg", kPicture}}},
    // A version that may not take its name makes no file: the fetch ends with the warning.
    {"VersionNamedLikeThePicture", "images/same.jpg\thttp://shop.example/\r\n1.3\r\n..files/same.jpg",
     {{"/files/same.jpg", {200, {}, kVersion}}, {"/images/same.jpg", {200, {}, kPicture}}}, MsgAnswer::Yes, {},
     {MsgType::Confirmation, MsgType::Warning}, "http://shop.example/", nullptr, {}},
    {"VersionNamedLikeTheBrandsListInCapitals", "images/pic.jpg\thttp://shop.example/\r\n1.3\r\n..files/BRANDS.CSV",
     {{"/files/BRANDS.CSV", {200, {}, kVersion}}, {"/images/pic.jpg", {200, {}, kPicture}}}, MsgAnswer::Yes, {},
     {MsgType::Confirmation, MsgType::Warning}, "http://shop.example/", nullptr, {}},
    // Names Qt reads beside the executable at every start: one naming no plugins would keep the program
    // from ever starting again.
    {"VersionNamedQtConf", "images/pic.jpg\thttp://shop.example/\r\n1.3\r\nnew..files/qt.conf",
     {{"/files/qt.conf", {200, {}, kQtConf}}, {"/images/pic.jpg", {200, {}, kPicture}}}, MsgAnswer::Yes, {},
     {MsgType::Confirmation, MsgType::Warning}, "http://shop.example/", nullptr, {}},
    {"VersionNamedQt6ConfInCapitals", "images/pic.jpg\thttp://shop.example/\r\n1.3\r\nnew..files/QT6.CONF",
     {{"/files/QT6.CONF", {200, {}, kQtConf}}, {"/images/pic.jpg", {200, {}, kPicture}}}, MsgAnswer::Yes, {},
     {MsgType::Confirmation, MsgType::Warning}, "http://shop.example/", nullptr, {}},
    // The program itself (the test's own executable stands in for it).
    {"VersionNamedLikeTheProgram", "images/pic.jpg\thttp://shop.example/\r\n1.3\r\nnew..files/" + kProgramName,
     {{"/files/" + kProgramName, {200, {}, kVersion}}, {"/images/pic.jpg", {200, {}, kPicture}}}, MsgAnswer::Yes, {},
     {MsgType::Confirmation, MsgType::Warning}, "http://shop.example/", nullptr, {}},
    // A NUL ends the name early in the file layer: the name checked is not the one written. Here the
    // files of those names are not there yet, as on a first start or after the user removed them.
    {"VersionNamedLikeTheSettingsFileWithANul",
     QByteArrayLiteral("images/pic.jpg\thttp://shop.example/\r\n1.3\r\nnew..files/Vornalex.ini\0"),
     {{"/files/Vornalex.ini", {200, {}, "PWNED"}}, {"/images/pic.jpg", {200, {}, kPicture}}}, MsgAnswer::Yes, {},
     {MsgType::Confirmation, MsgType::Warning}, "http://shop.example/", nullptr, {}, {}, {}, "Vornalex.ini"},
    {"VersionNamedLikeTheBrandsListWithANul",
     QByteArrayLiteral("images/pic.jpg\thttp://shop.example/\r\n1.3\r\nnew..files/brands.csv\0"),
     {{"/files/brands.csv", {200, {}, "Site\thttp://site.example/\t\t1\r\n"}},
      {"/images/pic.jpg", {200, {}, kPicture}}},
     MsgAnswer::Yes, {}, {MsgType::Confirmation, MsgType::Warning}, "http://shop.example/", nullptr, {}, {}, {},
     "brands.csv"},
    {"VersionNameWithAControlCharacter", "images/pic.jpg\thttp://shop.example/\r\n1.3\r\nnew..files/set\x01up.zip",
     {{"/files/set\x01up.zip", {200, {}, kVersion}}, {"/images/pic.jpg", {200, {}, kPicture}}},
     MsgAnswer::Yes, {}, {MsgType::Confirmation, MsgType::Warning}, "http://shop.example/", nullptr, {}},
    // A link at a download's name is never written through, never replaced, and stays after the closing.
    {"VersionAtALinkToTheSettingsFile", kNewVersion,
     {{"/files/setup.zip", {200, {}, kVersion}}, {"/images/pic.jpg", {200, {}, kPicture}}}, MsgAnswer::Yes, {},
     {MsgType::Confirmation, MsgType::Warning}, "http://shop.example/", nullptr, {}, {},
     {{"setup.zip", "Vornalex.ini"}}},
    {"VersionAtALinkToNowhere", kNewVersion,
     {{"/files/setup.zip", {200, {}, kVersion}}, {"/images/pic.jpg", {200, {}, kPicture}}}, MsgAnswer::Yes, {},
     {MsgType::Confirmation, MsgType::Warning}, "http://shop.example/", nullptr, {}, {},
     {{"setup.zip", "planted.sh"}}},
    {"PictureAtALinkToTheSettingsFile", "images/x.jpg\thttp://shop.example/\r\n1.2\r\n", {{"/images/x.jpg", {200, {}, kPicture}}}, MsgAnswer::No, {},
     {}, "http://shop.example/", nullptr, {}, {}, {{"x.jpg", "Vornalex.ini"}}},
    {"PictureAtALinkToNowhere", kSameVersion, {{"/images/pic.jpg", {200, {}, kPicture}}}, MsgAnswer::No, {}, {},
     "http://shop.example/", nullptr, {}, {}, {{"pic.jpg", "planted.sh"}}},
    // A file already beside the program under the picture's name is never replaced nor removed. The
    // advert is shown from it only when it holds the site's very picture, as one left by a run that
    // ended before its closing could remove it.
    {"PictureNamedLikeAUsersPhoto", "images/photo.jpg\thttp://shop.example/\r\n1.2\r\n",
     {{"/images/photo.jpg", {200, {}, kPicture}}}, MsgAnswer::No, {"/images/photo.jpg"}, {}, "http://shop.example/",
     nullptr, {}, {{"photo.jpg", "the user's own photo"}}},
    {"PictureLeftByAnEarlierRun", kSameVersion, {{"/images/pic.jpg", {200, {}, kPicture}}}, MsgAnswer::No,
     {"/images/pic.jpg"}, {}, "http://shop.example/", "pic.jpg", {}, {{"pic.jpg", kPicture}}},
    // A direction override in the version's name would show "Vornalex_1.3_exe.zip" for a program
    // "Vornalex_1.3_piz.exe": a refused name, as one with a control character.
    {"VersionNamedWithADirectionOverride",
     "images/pic.jpg\thttp://shop.example/\r\n1.3\r\nnew ..files/Vornalex_1.3_\u202Epiz.exe",
     {{"/files/Vornalex_1.3_%E2%80%AEpiz.exe", {200, {}, kVersion}}, {"/images/pic.jpg", {200, {}, kPicture}}},
     MsgAnswer::Yes, {}, {MsgType::Confirmation, MsgType::Warning}, "http://shop.example/", nullptr, {}},
    // A file already beside the program under the version's name is a refused name: it is not asked for.
    {"VersionNamedLikeAUsersFile", kNewVersion,
     {{"/files/setup.zip", {200, {}, kVersion}}, {"/images/pic.jpg", {200, {}, kPicture}}}, MsgAnswer::Yes, {},
     {MsgType::Confirmation, MsgType::Warning}, "http://shop.example/", nullptr, {}, {{"setup.zip", "the user's own"}}},
};

class SiteFetch : public SiteTest, public ::testing::WithParamInterface<SiteRow> {};

TEST_P(SiteFetch, TouchesOnlyItsOwnFiles)
{
    const SiteRow& r = GetParam();
    std::map<QByteArray, Reply> served = r.served;
    served["/images/adv.txt"] = {200, {}, r.index};
    LocalHttpServer site(served);
    for (const auto& [name, bytes] : r.present)
        write(name, bytes);
    start(site, false);
    dialogs.answers = {r.answer};
    ASSERT_TRUE(QFile::exists(folder() + QStringLiteral("Vornalex.ini")));
    for (const auto& [name, target] : r.links)
        ASSERT_TRUE(QFile::link(target, m_program.filePath(name)));
    if (r.missing) {
        ASSERT_TRUE(QFile::remove(m_program.filePath(QString::fromLatin1(r.missing))));
    }
    const Files before = files();

    w->LoadAdv();

    std::vector<QByteArray> paths;
    for (const auto& request : site.answeredRequests())
        paths.push_back(request.path);
    std::vector<QByteArray> expected{"/images/adv.txt"};
    expected.insert(expected.end(), r.asked.begin(), r.asked.end());
    EXPECT_EQ(paths, expected);
    for (const auto& request : site.answeredRequests())
        if (std::find(r.givenUp.begin(), r.givenUp.end(), request.path) != r.givenUp.end()) {
            EXPECT_TRUE(request.clientLeft) << request.path.constData() << ": the program gave up, not the site";
        }
    EXPECT_EQ(dialogs.types(), r.boxes) << dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(w->advLink(), QString::fromLatin1(r.link));
    EXPECT_EQ(w->advLocalFile(), r.picture ? folder() + QString::fromLatin1(r.picture) : QString());

    Files after = before;
    for (const auto& [name, bytes] : r.added) {
        after[name] = bytes;
        EXPECT_EQ(mode(name), mode_t(0644)) << name.toStdString();
    }
    EXPECT_EQ(files(), after);

    // The closing removes the picture this run wrote and nothing else.
    w->DeleteAdvFile();
    if (r.picture && r.added.count(QString::fromLatin1(r.picture)))
        after.erase(QString::fromLatin1(r.picture));
    EXPECT_EQ(files(), after);
}
INSTANTIATE_TEST_SUITE_P(Rows, SiteFetch, ::testing::ValuesIn(kSiteRows),
                         [](const auto& info) { return std::string(info.param.name); });

// A picture of exactly its cap, far beyond the index's: fetched under its own limits and shown.
TEST_F(SiteTest, PictureOfExactlyItsCapIsFetchedAndShown)
{
    m_limits.picture.totalMs = 10000; // ten megabytes through a loaded machine
    const QImage drawn = [] {
        QImage i(40, 30, QImage::Format_RGB32);
        i.fill(Qt::blue);
        return i;
    }();
    QByteArray picture = vx::JpegImage::encode(drawn);
    ASSERT_FALSE(picture.isEmpty());
    picture.append(QByteArray(vx::kWebLimits.picture.maxBytes - picture.size(), '\0')); // after its end marker
    LocalHttpServer site({{"/images/adv.txt", {200, {}, kSameVersion}}, {"/images/pic.jpg", {200, {}, picture}}});
    start(site, false);

    w->LoadAdv();

    EXPECT_EQ(files()[QStringLiteral("pic.jpg")].size(), vx::kWebLimits.picture.maxBytes);
    auto pic = openAdvert(w->advLink());
    EXPECT_FALSE(child<QLabel>(*pic, "ImgAdv")->isHidden());
    EXPECT_TRUE(child<QTextEdit>(*pic, "MemText")->isHidden());
    EXPECT_EQ(child<QLabel>(*pic, "ImgAdv")->pixmap().size(), drawn.size());
    closeAdvert(pic);
}

// ---- the new version's download: its progress window, stopped by the user; a disk that fills up

// The progress window of the running download, once it is on screen.
vx::DownloadProgress* progressWindow()
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<vx::DownloadProgress*>(top); window && window->isVisible())
            return window;
    return nullptr;
}

// A version that keeps the program waiting: the user ends it with "Отмена" in the progress window.
struct CancelRow {
    const char* name;
    Reply version;
    const char* shown; // the window's count of bytes when "Отмена" is pressed, as a pattern
};
void PrintTo(const CancelRow& r, std::ostream* os) { *os << r.name; }

const CancelRow kCancelRows[] = {
    // A byte every 100 ms never stalls a download that needs only one byte every half minute.
    {"Trickling", {200, {}, QByteArray(2000, 'v'), Way::Trickle, 100, 1}, "^Получено [1-9][0-9]* из 2000 байт$"},
    // Not even the head of the answer comes: the window is told of the transfer all the same.
    {"Silent", {200, {}, QByteArray(2000, 'v'), Way::Silent}, "^Получено 0 байт$"},
};

class VersionCancel : public SiteTest, public ::testing::WithParamInterface<CancelRow> {};

TEST_P(VersionCancel, EndsAtOnceAndLeavesNothing)
{
    const CancelRow& r = GetParam();
    // Only the user can end the download here: it would stall after half a minute without a byte.
    m_limits.version.stallBytes = 1;
    m_limits.version.stallMs = 30000;
    LocalHttpServer site({{"/images/adv.txt", {200, {}, kNewVersion}},
                          {"/files/setup.zip", r.version},
                          {"/images/pic.jpg", {200, {}, kPicture}}});
    start(site, false);
    dialogs.answers = {MsgAnswer::Yes};
    const Files before = files();

    // Lets the download run a while, then presses "Отмена" in its window.
    QString shown;
    QElapsedTimer sinceCancel;
    QElapsedTimer sinceShown;
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        vx::DownloadProgress* window = progressWindow();
        if (!window || sinceCancel.isValid())
            return;
        if (!sinceShown.isValid())
            sinceShown.start();
        if (sinceShown.elapsed() < 1500)
            return;
        shown = window->received()->text();
        sinceCancel.start();
        window->cancel()->click();
    });
    watch.start();
    w->LoadAdv();
    const qint64 afterCancelMs = sinceCancel.isValid() ? sinceCancel.elapsed() : -1;
    watch.stop();

    ASSERT_TRUE(sinceCancel.isValid()) << "no progress window while the version downloads";
    EXPECT_LT(afterCancelMs, 1000);
    EXPECT_TRUE(QRegularExpression(QString::fromUtf8(r.shown)).match(shown).hasMatch()) << shown.toStdString();
    EXPECT_EQ(progressWindow(), nullptr);
    const auto requests = site.answeredRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_TRUE(requests[1].clientLeft) << "the program gave up, not the site";
    // As after a failed download: the warning, nothing of the version left, the picture fetched.
    EXPECT_EQ(dialogs.types(), (std::vector<MsgType>{MsgType::Confirmation, MsgType::Warning}));
    Files after = before;
    after[QStringLiteral("pic.jpg")] = kPicture;
    EXPECT_EQ(files(), after);
    EXPECT_EQ(w->advLocalFile(), folder() + QStringLiteral("pic.jpg"));
    EXPECT_TRUE(w->timer3()->isActive());
    EXPECT_FALSE(w->endRequested());
}
INSTANTIATE_TEST_SUITE_P(Rows, VersionCancel, ::testing::ValuesIn(kCancelRows),
                         [](const auto& info) { return std::string(info.param.name); });

// A disk that fills up while the version is written (the download runs in a child process that may
// write no file beyond 4 kB): the cut-off file is not kept, and the user is told the download failed.
TEST_F(SiteTest, VersionThatCannotReachTheDiskIsNotKept)
{
    const QByteArray version(8 * 1024, 'v');
    LocalHttpServer site({{"/images/adv.txt", {200, {}, kNewVersion}},
                          {"/files/setup.zip", {200, {}, version}},
                          {"/images/pic.jpg", {200, {}, kPicture}}});
    start(site, false);
    dialogs.answers = {MsgAnswer::Yes};
    const Files before = files();

    const int code = vx::test::runInChild(
        [this] {
            w->LoadAdv();
            const bool warned = dialogs.boxes.size() == 2 && dialogs.boxes[1].type == MsgType::Warning;
            return warned ? 0 : 1;
        },
        vx::test::ChildSetup{.ordinaryUser = false, .maxFileBytes = rlim_t(4096)});

    EXPECT_EQ(code, 0) << "a cut-off version was announced as downloaded";
    Files after = before;
    after[QStringLiteral("pic.jpg")] = kPicture; // the child's picture; only its closing would remove it
    EXPECT_EQ(files(), after);
}

// ---- the click report

TEST_F(SiteTest, ClickReportToASilentSiteEndsAtItsLimitInTheErrorBox)
{
    LocalHttpServer site({{"/cd_adv.php", {200, {}, "thanks", Way::Silent}}});
    start(site, false);
    vx::test::RecordingBrowser browser;
    auto pic = openAdvert(QStringLiteral("http://shop.example/"));
    click(child<QLabel>(*pic, "ImgAdv"));

    const auto requests = site.answeredRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].clientLeft) << "the program gave up, not the site";
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].type, MsgType::Error);
    EXPECT_TRUE(pic->isVisible());
    EXPECT_TRUE(browser.starts.empty());
    closeAdvert(pic);
}

// A redirect of the report may lead only to another web address: never to an FTP server, to which the
// program would otherwise log in.
TEST_F(SiteTest, ClickReportRedirectedToFtpGoesNowhereAndEndsInTheErrorBox)
{
    QTcpServer ftp;
    ASSERT_TRUE(ftp.listen(QHostAddress::LocalHost, 0));
    const QByteArray location = "Location: ftp://127.0.0.1:" + QByteArray::number(ftp.serverPort()) + "/\r\n";
    LocalHttpServer site({{"/cd_adv.php", {302, location, "moved"}}});
    start(site, false);
    vx::test::RecordingBrowser browser;
    auto pic = openAdvert(QStringLiteral("http://shop.example/"));
    click(child<QLabel>(*pic, "ImgAdv"));

    EXPECT_EQ(site.answeredRequests().size(), 1u);
    EXPECT_FALSE(ftp.waitForNewConnection(300)) << "a connection reached the FTP port";
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].type, MsgType::Error);
    EXPECT_TRUE(pic->isVisible());
    EXPECT_TRUE(browser.starts.empty());
    closeAdvert(pic);
}

// ---- the real boxes on a small screen: text from the site shown as it is, each box centred on the size
// it has once shown, wholly on the screen with all its buttons

// A box of the program as it was on the screen: a message box or the download window.
struct SeenBox {
    bool message = false; // a message box; else the download window
    Qt::TextFormat format = Qt::AutoText, labelFormat = Qt::AutoText;
    QString text;
    QRect frame, available;
    std::vector<QRect> buttons; // those shown, on the screen
    bool clipped = false;       // the message needs more height than its label has
};

// LoadAdv with the real boxes: each box is recorded once it is on the screen, and each message box is
// answered at once, the offer of a new version with `offer`.
std::vector<SeenBox> loadAdvWithTheRealBoxes(TF_Main& w, QMessageBox::StandardButton offer)
{
    std::vector<SeenBox> seen;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&seen, offer] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || !box->isVisible() || box->property("vxSeen").toBool())
            return;
        box->setProperty("vxSeen", true);
        SeenBox s;
        s.frame = box->frameGeometry();
        s.available = box->screen()->availableGeometry();
        for (QAbstractButton* b : box->findChildren<QAbstractButton*>())
            if (b->isVisible())
                s.buttons.push_back(QRect(b->mapToGlobal(QPoint(0, 0)), b->size()));
        auto* message = qobject_cast<QMessageBox*>(box);
        if (message) {
            s.message = true;
            s.format = message->textFormat();
            s.text = message->text();
            if (auto* label = message->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
                s.labelFormat = label->textFormat();
                s.clipped = label->heightForWidth(label->width()) > label->height() ||
                            label->minimumSizeHint().width() > label->width();
            }
        }
        seen.push_back(s);
        if (message)
            (message->button(offer) ? message->button(offer) : message->button(QMessageBox::Ok))->click();
    });
    watch.start();
    vx::setDialogs(nullptr);
    w.LoadAdv();
    watch.stop();
    return seen;
}

QByteArray repeated(const char* utf8, int times) { return QByteArray(utf8).repeated(times); }

QByteArray manyLines()
{
    QByteArray lines = "1.3";
    for (int i = 0; i < 200; ++i)
        lines += "\rline " + QByteArray::number(i);
    return lines;
}

QByteArray tenWideLines()
{
    QByteArray lines = repeated("Ш", 49);
    for (int i = 1; i < 10; ++i)
        lines += "\r" + repeated("Ш", 49);
    return lines + "\rШ";
}

struct BoxRow {
    const char* name;
    QByteArray version;
    QByteArray versionPath; // on the site
    QMessageBox::StandardButton offer;
    std::vector<bool> boxes; // in their order: true for a message box, false for the download window
    const char* offerText;   // the offer's whole text, or, beginning with "…", how it ends
};
void PrintTo(const BoxRow& r, std::ostream* os) { *os << r.name; }

const char* const kCutOffer = "…" " Vornalex.\rСкачать?";
const QByteArray kMarkup =
    R"(<h1>9.9</h1><img src="file:///etc/passwd.png"><a href="http://elsewhere.example/">here</a>)";

const BoxRow kBoxRows[] = {
    {"MarkupShownAsItIs", kMarkup, "files/setup.zip", QMessageBox::No, {true},
     "Доступна версия <h1>9.9</h1><img src=\"file:///etc/passwd.png\"><a href=\"http://elsewhere.example/\">here</a>"
     " Vornalex.\rСкачать?"},
    // The site's direction override would turn the rest of the question around; it is dropped.
    {"DirectionOverrideInTheVersionLine", "1.3\u202EСКАЧАТЬ", "files/setup.zip",
     QMessageBox::No, {true}, "Доступна версия 1.3СКАЧАТЬ Vornalex.\rСкачать?"},
    {"ManyLines", manyLines(), "files/setup.zip", QMessageBox::No, {true}, kCutOffer},
    {"LongRunOfLatinLetters", QByteArray(5000, 'v'), "files/setup.zip", QMessageBox::No, {true}, kCutOffer},
    {"LongRunOfWideLetters", "1.3" + repeated("Ж", 5000), "files/setup.zip", QMessageBox::No, {true}, kCutOffer},
    {"LettersWithCombiningMarks", "1.3 " + repeated("e\xCC\x81", 400), "files/setup.zip", QMessageBox::No, {true},
     kCutOffer},
    {"LongRunOfEmoji", repeated("\xF0\x9F\x98\x80", 400), "files/setup.zip", QMessageBox::No, {true}, kCutOffer},
    {"ManySpaces", QByteArray(2000, ' ') + "1.3", "files/setup.zip", QMessageBox::No, {true}, kCutOffer},
    // Downloaded: the download window, then the box that names the file.
    {"NameOfWideLetters", "1.3", "files/" + repeated("Ж", 120) + ".zip", QMessageBox::Yes, {true, false, true},
     "Доступна версия 1.3 Vornalex.\rСкачать?"},
    // The most a box of site text can hold: a version line of ten full lines of wide letters, each one
    // wrapped, and the long name.
    {"TallestBox", tenWideLines(), "files/" + repeated("Ж", 120) + ".zip", QMessageBox::Yes, {true, false, true},
     kCutOffer},
};

class RealBox : public SiteTest, public ::testing::WithParamInterface<BoxRow> {};

TEST_P(RealBox, CentredOnTheScreenWithAllItsButtons)
{
    const BoxRow& r = GetParam();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    ASSERT_EQ(screen.size(), QSize(800, 600)) << "the site tests run on a small screen";
    // libcurl asks for a name of other than ASCII letters with their UTF-8 bytes as lower-case "%xx". The
    // version comes a kilobyte every 100 ms, long enough for its download window to be seen.
    const QByteArray url = QUrl(QString::fromUtf8("/" + r.versionPath)).toEncoded().toLower();
    LocalHttpServer site({{"/images/adv.txt", {200, {}, "\tlink\r\n" + r.version + "\r\n.." + r.versionPath}},
                          {url, {200, {}, QByteArray(3 * 1024, 'v'), Way::Trickle, 100, 1024}}});
    start(site, false);

    const std::vector<SeenBox> seen = loadAdvWithTheRealBoxes(*w, r.offer);
    vx::setDialogs(&dialogs);

    std::vector<bool> kinds;
    for (const SeenBox& box : seen)
        kinds.push_back(box.message);
    ASSERT_EQ(kinds, r.boxes);
    // The text as written, but for the invisible places the box may wrap at, and with no other format
    // character.
    const QString offerText = QString::fromUtf8(r.offerText);
    const QString shown = QString(seen[0].text).remove(QChar(u'\u200B'));
    if (offerText.startsWith(u'…')) {
        EXPECT_TRUE(shown.endsWith(offerText)) << "the version line was cut: " << shown.toStdString();
    } else {
        EXPECT_EQ(shown, offerText) << shown.toStdString();
    }
    for (const char32_t c : shown.toUcs4())
        EXPECT_NE(QChar::category(c), QChar::Other_Format) << "format character " << std::hex << unsigned(c);
    for (const SeenBox& box : seen) {
        const std::string which = box.message ? box.text.left(40).toStdString() : std::string("download window");
        EXPECT_TRUE(box.available.contains(box.frame)) << which;
        // Room besides for the title bar and the panels of a window system.
        EXPECT_LE(box.frame.height(), box.available.height() * 3 / 4) << which;
        EXPECT_LE(std::abs(box.frame.center().x() - box.available.center().x()), 1) << which;
        EXPECT_LE(std::abs(box.frame.center().y() - box.available.center().y()), 1) << which;
        if (box.message) {
            EXPECT_EQ(box.format, Qt::PlainText);
            EXPECT_EQ(box.labelFormat, Qt::PlainText);
            EXPECT_FALSE(box.clipped) << which << ": the text is cut off in its box";
        }
        const bool offer = &box == &seen.front();
        ASSERT_EQ(box.buttons.size(), offer ? 2u : 1u) << which;
        for (const QRect& button : box.buttons) {
            EXPECT_TRUE(box.frame.contains(button)) << which << ": a button outside the box";
            EXPECT_TRUE(box.available.contains(button)) << which << ": a button off the screen";
        }
    }
    if (r.offer == QMessageBox::Yes) {
        const QString name = QUrl::fromPercentEncoding(url).section(u'/', -1);
        EXPECT_EQ(files()[name], QByteArray(3 * 1024, 'v'));
        EXPECT_TRUE(seen.back().text.contains(name.left(20))) << seen.back().text.toStdString();
    }
}
INSTANTIATE_TEST_SUITE_P(Rows, RealBox, ::testing::ValuesIn(kBoxRows),
                         [](const auto& info) { return std::string(info.param.name); });

// The download window is modal: a click on the main window while a version downloads reaches nothing
// there. The same click after the download reaches the main window, so the click itself is sound.
TEST_F(SiteTest, MainWindowTakesNoClickWhileAVersionDownloads)
{
    LocalHttpServer site({{"/images/adv.txt", {200, {}, kNewVersion}},
                          {"/files/setup.zip", {200, {}, QByteArray(3 * 1024, 'v'), Way::Trickle, 200, 1024}},
                          {"/images/pic.jpg", {200, {}, kPicture}}});
    start(site, false);
    dialogs.answers = {MsgAnswer::Yes};
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QWindow* window = w->windowHandle();
    const QPoint inside = w->rect().center();

    // Presses that reach a widget of the main window.
    int presses = 0;
    struct PressCount : QObject {
        QWidget* main;
        int* count;
        bool eventFilter(QObject* target, QEvent* event) override
        {
            auto* widget = qobject_cast<QWidget*>(target);
            if (event->type() == QEvent::MouseButtonPress && widget && widget->window() == main)
                ++*count;
            return false;
        }
    } counter;
    counter.main = w.get();
    counter.count = &presses;
    qApp->installEventFilter(&counter);

    bool clicked = false;
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (clicked || !progressWindow())
            return;
        clicked = true;
        QTest::mouseClick(window, Qt::LeftButton, {}, inside);
    });
    watch.start();
    w->LoadAdv();
    watch.stop();

    ASSERT_TRUE(clicked) << "no progress window while the version downloads";
    EXPECT_EQ(presses, 0) << "the main window took a click while the version downloaded";
    EXPECT_EQ(dialogs.types(), (std::vector<MsgType>{MsgType::Confirmation, MsgType::Information}));
    QTest::mouseClick(window, Qt::LeftButton, {}, inside);
    EXPECT_GT(presses, 0) << "the click after the download did not reach the main window";
    qApp->removeEventFilter(&counter);
}

} // namespace

// ---- the advert picture as the site gives it

namespace {

QImage drawnPicture(QSize size)
{
    QImage i(size, QImage::Format_RGB32);
    i.fill(QColor(30, 120, 200));
    return i;
}

QByteArray written(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

// A BMP of width x height pixels of `bits` each, coded by `compression`, whose pixel data is `body`;
// a picture of 8 bits or fewer a pixel has its grey palette before the data.
QByteArray bmpFile(int width, int height, int bits, quint32 compression, const QByteArray& body)
{
    QByteArray palette;
    for (int i = 0; bits <= 8 && i < (1 << bits); ++i)
        palette.append(char(i)).append(char(i)).append(char(i)).append('\0');
    QByteArray b(54, '\0');
    const auto put32 = [&b](int at, quint32 v) { qToLittleEndian(v, b.data() + at); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, quint32(54 + palette.size() + body.size()));
    put32(10, quint32(54 + palette.size()));
    put32(14, 40);
    put32(18, quint32(width));
    put32(22, quint32(height));
    qToLittleEndian(quint16(1), b.data() + 26);
    qToLittleEndian(quint16(bits), b.data() + 28);
    put32(30, compression);
    return b + palette + body;
}

QByteArray cutBmp()
{
    const QByteArray whole = written(drawnPicture({16, 8}), "bmp");
    return whole.left(whole.size() * 3 / 5);
}

struct AdvertPictureRow {
    const char* name;
    const char* file;                // the picture's name on the site and beside the program
    QByteArray (*bytes)();
    QSize shown;                     // the picture shown; empty: a saying instead
};
void PrintTo(const AdvertPictureRow& r, std::ostream* os) { *os << r.name; }

const AdvertPictureRow kAdvertPictureRows[] = {
    // The format follows the extension; the content never picks another reader.
    {"TiffNamedTif", "adv.tif", [] { return written(drawnPicture({40, 30}), "tiff"); }, {40, 30}},
    {"TiffNamedTiffInCapitals", "adv.TIFF", [] { return written(drawnPicture({40, 30}), "tiff"); }, {40, 30}},
    {"JpegNamedTif", "adv.tif", [] { return vx::JpegImage::encode(drawnPicture({40, 30})); }, {}},
    {"PngNamedTif", "adv.tif", [] { return written(drawnPicture({40, 30}), "png"); }, {}},
    {"BmpNamedTif", "adv.tif", [] { return written(drawnPicture({40, 30}), "bmp"); }, {}},
    {"JpegNamedBmp", "adv.bmp", [] { return vx::JpegImage::encode(drawnPicture({40, 30})); }, {}},
    {"Jpeg", "adv.jpg", [] { return vx::JpegImage::encode(drawnPicture({40, 30})); }, {40, 30}},
    // A BMP shows only with all its pixels.
    {"Bmp", "adv.bmp", [] { return written(drawnPicture({16, 8}), "bmp"); }, {16, 8}},
    {"BmpCutShort", "adv.bmp", cutBmp, {}},
    {"BmpAnnouncingPixelsItHasNot", "adv.bmp", [] { return bmpFile(6280, 5000, 24, 0, QByteArray(16, '\0')); }, {}},
    {"SmallBmpWithoutPixels", "adv.bmp", [] { return bmpFile(200, 100, 24, 0, {}); }, {}},
    // Run-length coded, all there (it ends at once), but 5000 x 5000 takes more memory than a picture
    // may once it is scaled (100 MB), though less than Qt's own limit.
    {"BmpAnnouncingAHugeSize", "adv.bmp", [] { return bmpFile(5000, 5000, 8, 1, QByteArray("\0\1", 2)); }, {}},
    {"BmpRunsToTheirEnd", "adv.bmp", [] { return bmpFile(4, 2, 8, 1, QByteArray("\4\0\0\0\4\0\0\1", 8)); }, {4, 2}},
    {"BmpRunsCutShort", "adv.bmp", [] { return bmpFile(4, 2, 8, 1, QByteArray("\4\0\0\0\4\0", 6)); }, {}},
    // JPEG pictures beyond the decoder's caps.
    {"JpegOverThePixelCap", "adv.jpg", [] { return vx::test::CraftedJpeg{8200, 8200, {128}}.bytes(); }, {}},
    {"ProgressiveJpegOverTheDecoderMemory", "adv.jpg",
     [] { return vx::test::CraftedJpeg{6000, 6000, {128, 128, 128}, true}.bytes(); }, {}},
};

class SiteAdvertPicture : public SiteTest, public ::testing::WithParamInterface<AdvertPictureRow> {};

} // namespace

TEST_P(SiteAdvertPicture, ShownByItsFormatOrASaying)
{
    const AdvertPictureRow& r = GetParam();
    const QByteArray bytes = r.bytes();
    ASSERT_FALSE(bytes.isEmpty()) << "no writer for the picture";
    const QByteArray path = "/images/" + QByteArray(r.file);
    LocalHttpServer site({{"/images/adv.txt", {200, {}, "images/" + QByteArray(r.file) + "\thttp://shop.example/\r\n1.2\r\n"}},
                          {path, {200, {}, bytes}}});
    start(site, false);

    w->LoadAdv();
    ASSERT_EQ(w->advLocalFile(), folder() + QString::fromLatin1(r.file));
    ASSERT_EQ(files()[QString::fromLatin1(r.file)], bytes);

    auto pic = openAdvert(w->advLink());
    EXPECT_EQ(child<QLabel>(*pic, "ImgAdv")->isHidden(), r.shown.isEmpty());
    EXPECT_EQ(child<QTextEdit>(*pic, "MemText")->isHidden(), !r.shown.isEmpty());
    if (!r.shown.isEmpty()) {
        EXPECT_EQ(child<QLabel>(*pic, "ImgAdv")->pixmap().size(), r.shown);
    }
    closeAdvert(pic);
}
INSTANTIATE_TEST_SUITE_P(Rows, SiteAdvertPicture, ::testing::ValuesIn(kAdvertPictureRows),
                         [](const auto& info) { return std::string(info.param.name); });

// A picture one pixel wide, as tall as the screen allows: the window is still large enough to see and
// click it, with the picture in its middle.
TEST_F(SiteTest, OnePixelWidePictureGetsAWindowToBeSeenAndClicked)
{
    struct Row {
        const char* file;
        QByteArray bytes;
    };
    const Row rows[] = {
        {"thin.jpg", vx::JpegImage::encode(drawnPicture({1, 40}))},
        {"tall.jpg", vx::JpegImage::encode(drawnPicture({1, 65500}))},
        {"tall.bmp", written(drawnPicture({1, 100000}), "bmp")},
        {"flat.bmp", written(drawnPicture({30, 1}), "bmp")},
    };
    for (const Row& r : rows) {
        const QByteArray path = "/images/" + QByteArray(r.file);
        LocalHttpServer site({{"/images/adv.txt", {200, {}, "images/" + QByteArray(r.file) + "\tlink\r\n1.2\r\n"}},
                              {path, {200, {}, r.bytes}}});
        start(site, false);
        w->LoadAdv();
        auto pic = openAdvert(w->advLink());

        ASSERT_FALSE(child<QLabel>(*pic, "ImgAdv")->isHidden()) << r.file;
        const QSize shown = child<QLabel>(*pic, "ImgAdv")->pixmap().size();
        EXPECT_TRUE(shown.width() == 1 || shown.height() == 1) << r.file;
        EXPECT_TRUE(pic->screen()->availableGeometry().contains(pic->frameGeometry())) << r.file;
        EXPECT_GE(pic->width(), 64) << r.file;
        EXPECT_GE(pic->height(), 64) << r.file;
        // the picture in the middle of the window, the whole of which is the picture's to click
        const QRect box = child<QLabel>(*pic, "ImgAdv")->geometry();
        EXPECT_LE(std::abs(box.center().x() - pic->rect().center().x()), 2) << r.file;
        EXPECT_LE(std::abs(box.center().y() - pic->rect().center().y()), 2) << r.file;
        EXPECT_GE(box.width(), 59) << r.file;
        EXPECT_GE(box.height(), 59) << r.file;
        EXPECT_TRUE(child<QLabel>(*pic, "ImgAdv")->alignment() & Qt::AlignHCenter) << r.file;
        closeAdvert(pic);
        F_Main = nullptr;
        w.reset();
    }
}
