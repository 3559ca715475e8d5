// The advert: the index fetched at start with its version offer and picture, the idle watch, the
// advert window with its sayings and picture, the click report, the client id and the closing clean-up.
// A fake HTTP client answers; timers never run on their own: their handlers run with a fixed clock.
#include "app/TF_Main.h"

#include "app/Windows.h"
#include "platform/HttpClient.h"
#include "platform/JpegImage.h"
#include "platform/SiteBase.h"
#include "projects/ClientId.h"
#include "projects/ProgramFolder.h"
#include "web/AdvSayings.h"
#include "web/BoxText.h"
#include "web/FormBody.h"
#include "web/InputWatch.h"
#include "web/TF_Pic.h"
#include "CraftedJpeg.h"
#include "FakeHttp.h"
#include "FixedClock.h"
#include "RecordingBrowser.h"
#include "ProgramFiles.h"
#include "RecordingDialogs.h"

#include "ChildWidget.h"
#include "MainTestAccess.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBoundaryFinder>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>
#include <ostream>

namespace {

using vx::test::child;
using vx::MsgAnswer;
using vx::MsgType;
using vx::test::FakeHttp;
using vx::test::FixedClock;
using vx::test::RecordingBrowser;
using vx::test::RecordingDialogs;

const QString kBase = vx::siteBase();
const QString kIndex = kBase + QStringLiteral("images/adv.txt");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

constexpr int kLargeSide = 8192; // the largest square picture the decoder accepts

// Runs the advert window's memory probe (AdvertMemoryProbe.cpp); its standard output, null when it
// failed.
QByteArray runProbe(const QStringList& arguments)
{
    QProcess probe;
    probe.start(QStringLiteral(VX_ADVERT_MEMORY_PROBE), arguments);
    if (!probe.waitForFinished(120000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return {};
    return probe.readAllStandardOutput() + ' ';
}

// A JPEG of kLargeSide pixels square at path: a single grey scan, or a progressive colour picture in
// 4:2:0, whose coefficients (192 MB) the decoder keeps while it decodes.
bool writeLargeJpeg(const QString& path, bool progressive = false)
{
    vx::test::CraftedJpeg jpeg{kLargeSide, kLargeSide, {90}};
    if (progressive)
        jpeg = {kLargeSide, kLargeSide, {90, 100, 160}, true, false, true};
    QFile f(path);
    const QByteArray bytes = jpeg.bytes();
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class AdvertTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vx::test::makeProgramFolder(m_dir));
        clock.at = QDateTime(QDate(2026, 3, 1), QTime(10, 5, 9, 123));
        clock.tick = 1000;
        w = std::make_unique<TF_Main>();
        F_Main = w.get();
        pic = std::make_unique<TF_Pic>(w.get());
        F_Pic = pic.get();
        dialogs.boxes.clear();
        http.requests.clear();
    }
    void TearDown() override
    {
        F_Pic = nullptr;
        pic.reset();
        F_Main = nullptr;
        w.reset();
        vx::setProgramFolder(QString());
    }
    QString folder() const { return vx::programFolder(); }

    // Runs what, closing the advert window at once should it open modally; tells whether it opened.
    template <typename F>
    bool opensAdvert(F what)
    {
        bool opened = false;
        w->timer3()->stop(); // only the handler runs here, never the real timer
        QTimer::singleShot(0, pic.get(), [this, &opened] {
            opened = pic->isVisible();
            pic->reject();
        });
        what();
        QApplication::processEvents();
        return opened;
    }

    FixedClock clock;
    RecordingDialogs dialogs;
    FakeHttp http;
    QTemporaryDir m_dir;
    std::unique_ptr<TF_Main> w;
    std::unique_ptr<TF_Pic> pic;
};

// ---- the index fetched at start

struct IndexRow {
    const char* name;
    std::optional<QByteArray> index;   // none: the index cannot be fetched
    MsgAnswer answer;                  // to the download offer
    bool versionServed;                // the new version's file is on the site
    QStringList paths;                 // requested after the index, relative to the site base
    std::optional<MsgType> box;        // the box after the offer, or the offer itself when declined
    const char* boxText;               // "%1" stands for the program folder
    const char* link;
    const char* localName;             // the advert picture beside the executable; null: none
    const char* versionFile;           // the new version beside the executable; null: none
};
void PrintTo(const IndexRow& r, std::ostream* os) { *os << r.name; }

const QByteArray kPicture = QByteArrayLiteral("\xFF\xD8 advert picture bytes");
const QByteArray kSetup = QByteArrayLiteral("PK new version");

const IndexRow kIndexRows[] = {
    {"SameVersionNoBoxPictureSaved", QByteArray("images/adv.jpg\thttp://shop.example/page\r\n1.2\r\nnew ..files/setup.zip"),
     MsgAnswer::No, true, {"images/adv.jpg"}, std::nullopt, "", "http://shop.example/page", "adv.jpg", nullptr},
    {"OtherVersionDeclined", QByteArray("images/adv.jpg\tlink\r\n1.3\r\nnew ..files/setup.zip"), MsgAnswer::No, true,
     {"images/adv.jpg"}, MsgType::Confirmation, "Доступна версия 1.3 Vornalex.\rСкачать?", "link", "adv.jpg", nullptr},
    {"OtherVersionAccepted", QByteArray("images/adv.jpg\tlink\r\n1.20\r\nnew ../files/setup.zip"), MsgAnswer::Yes, true,
     {"/files/setup.zip", "images/adv.jpg"}, MsgType::Information, "Версия 1.20 Vornalex находится в файле\r%1setup.zip",
     "link", "adv.jpg", "setup.zip"},
    {"DownloadFailureWarnsAndDeletes", QByteArray("images/adv.jpg\tlink\r\n1.1\r\n..files/setup.zip"), MsgAnswer::Yes,
     false, {"files/setup.zip", "images/adv.jpg"}, MsgType::Warning, "Не удалось скачать версию 1.1 Vornalex.", "link",
     "adv.jpg", nullptr},
    {"NoDotsNoFileNoPicture", QByteArray("images/adv.jpg\tlink\r\n1.2 \r\nfiles/setup.zip"), MsgAnswer::Yes, true, {},
     MsgType::Warning, "Не удалось скачать версию 1.2  Vornalex.", "link", nullptr, nullptr},
    {"NetworkFailureSilent", std::nullopt, MsgAnswer::Yes, true, {}, std::nullopt, "", "", nullptr, nullptr},
    {"LfAloneLosesLastCharacter", QByteArray("pic.jpg\tlinks\n1.2\n..x"), MsgAnswer::No, true, {"pic.jpg"},
     MsgType::Confirmation, "Доступна версия 1. Vornalex.\rСкачать?", "link", "pic.jpg", nullptr},
    {"NoTabWholeLineIsLink", QByteArray("http://only.example/\r\n1.2\r\n"), MsgAnswer::No, true, {}, std::nullopt, "",
     "http://only.example/", nullptr, nullptr},
    {"PicturePathFiltered", QByteArray("images/new adv-1.jpg\tlink\r\n1.2\r\n"), MsgAnswer::No, true,
     {"images/newadv1.jpg"}, std::nullopt, "", "link", "newadv1.jpg", nullptr},
    {"UnderscoreKeptInPicturePath", QByteArray("images/new_adv.jpg\tlink\r\n1.2\r\n"), MsgAnswer::No, true,
     {"images/new_adv.jpg"}, std::nullopt, "", "link", "new_adv.jpg", nullptr},
    // The program's own files beside the executable are never written over by a download.
    {"VersionNamedLikeTheSettingsFile", QByteArray("images/adv.jpg\tlink\r\n1.3\r\n..files/Vornalex.ini"),
     MsgAnswer::Yes, true, {}, MsgType::Warning, "Не удалось скачать версию 1.3 Vornalex.", "link", nullptr, nullptr},
    {"VersionNamedLikeTheSettingsFileInCapitals", QByteArray("images/adv.jpg\tlink\r\n1.3\r\n..files/VORNALEX.INI"),
     MsgAnswer::Yes, true, {}, MsgType::Warning, "Не удалось скачать версию 1.3 Vornalex.", "link", nullptr, nullptr},
    {"PictureNamedLikeTheSpriteSheet", QByteArray("images/Vornalex.BMP\tlink\r\n1.2\r\n"), MsgAnswer::No, true, {},
     std::nullopt, "", "link", nullptr, nullptr},
    {"PictureNamedLikeTheSpriteSheetInSmallLetters", QByteArray("images/vornalex.bmp\tlink\r\n1.2\r\n"),
     MsgAnswer::No, true, {}, std::nullopt, "", "link", nullptr, nullptr},
    {"NoLineEndEmptyVersion", QByteArray("garbage"), MsgAnswer::No, true, {}, MsgType::Confirmation,
     "Доступна версия  Vornalex.\rСкачать?", "", nullptr, nullptr},
};

class IndexFetch : public AdvertTest, public ::testing::WithParamInterface<IndexRow> {};

TEST_P(IndexFetch, OffersReadsAndSavesAsTheIndexSays)
{
    const IndexRow& r = GetParam();
    if (r.index)
        http.serve(QStringLiteral("images/adv.txt"), *r.index);
    for (const char* pic : {"images/adv.jpg", "pic.jpg", "images/newadv1.jpg", "images/new_adv.jpg",
                            "images/Vornalex.BMP", "images/vornalex.bmp"})
        http.serve(QString::fromLatin1(pic), kPicture);
    if (r.versionServed)
        for (const char* p : {"/files/setup.zip", "files/setup.zip", "files/Vornalex.ini", "files/VORNALEX.INI"})
            http.serve(QString::fromLatin1(p), kSetup);
    else
        http.breakOff(QStringLiteral("files/setup.zip"), "PK half");
    dialogs.answers = {r.answer};
    w->setAdvShown(true);
    w->timer3()->stop();
    clock.tick = 777;
    const QString sheet = folder() + QStringLiteral("Vornalex.BMP");
    const QString settings = folder() + QStringLiteral("Vornalex.ini");
    const QByteArray sheetBefore = readAll(sheet), settingsBefore = readAll(settings);
    ASSERT_FALSE(sheetBefore.isEmpty());

    w->LoadAdv();

    QStringList expected{kIndex};
    for (const QString& p : r.paths)
        expected << kBase + p;
    EXPECT_EQ(http.urls(), expected);
    EXPECT_EQ(w->advLink(), QString::fromUtf8(r.link));
    EXPECT_EQ(w->advLocalFile(), r.localName ? folder() + QString::fromLatin1(r.localName) : QString());
    if (r.localName) {
        EXPECT_EQ(readAll(w->advLocalFile()), kPicture);
    }
    if (r.versionFile) {
        EXPECT_EQ(readAll(folder() + QString::fromLatin1(r.versionFile)), kSetup);
    }
    EXPECT_FALSE(QFile::exists(folder() + QStringLiteral("setup.zip")) && !r.versionFile);
    EXPECT_EQ(readAll(sheet), sheetBefore);
    EXPECT_EQ(QFile::exists(settings), !settingsBefore.isNull());
    EXPECT_EQ(readAll(settings), settingsBefore);

    std::vector<RecordingDialogs::Box> boxes = dialogs.boxes;
    if (!boxes.empty() && boxes.front().type == MsgType::Confirmation && r.box != MsgType::Confirmation)
        boxes.erase(boxes.begin()); // the offer before its outcome
    if (r.box) {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].type, *r.box);
        EXPECT_EQ(boxes[0].text, QString::fromUtf8(r.boxText).replace(QStringLiteral("%1"), folder()));
    } else {
        EXPECT_TRUE(boxes.empty());
    }
    // The idle watch runs after every outcome.
    EXPECT_TRUE(w->timer3()->isActive());
    EXPECT_EQ(w->timer3()->interval(), 1000);
    EXPECT_FALSE(w->advShown());
    EXPECT_EQ(w->lastInputTick(), 777u);
}
INSTANTIATE_TEST_SUITE_P(Rows, IndexFetch, ::testing::ValuesIn(kIndexRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AdvertTest, BrokenPictureDownloadIsSilentAndLeavesNoPicture)
{
    http.serve(QStringLiteral("images/adv.txt"), "images/adv.jpg\tlink\r\n1.2\r\n");
    http.breakOff(QStringLiteral("images/adv.jpg"), "");
    w->LoadAdv();
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(w->advLocalFile(), folder() + QStringLiteral("adv.jpg"));
    pic->FormShow();
    EXPECT_FALSE(child<QTextEdit>(*pic, "MemText")->isHidden());
}

// ---- the idle watch

struct IdleRow {
    const char* name;
    std::uint32_t lastInput;
    std::uint32_t now;
    bool opens;
};
void PrintTo(const IdleRow& r, std::ostream* os) { *os << r.name; }

const IdleRow kIdleRows[] = {
    {"JustAMinute", 1000, 61000, false},
    {"MoreThanAMinute", 1000, 61001, true},
    {"AcrossTheWrapStillShort", 4294967000u, 59000, false},
    {"AcrossTheWrapLongEnough", 4294967000u, 60000, true},
    {"FreshInput", 5000, 5000, false},
};

class IdleCheck : public AdvertTest, public ::testing::WithParamInterface<IdleRow> {};

TEST_P(IdleCheck, OpensOnlyAfterMoreThanAMinuteWithoutInput)
{
    const IdleRow& r = GetParam();
    w->LoadAdv();
    w->setLastInputTick(r.lastInput);
    clock.tick = r.now;
    EXPECT_EQ(opensAdvert([this] { w->Timer3Timer(); }), r.opens);
    EXPECT_EQ(w->advShown(), r.opens);
    EXPECT_EQ(w->lastInputTick(), r.opens ? r.now : r.lastInput);
}
INSTANTIATE_TEST_SUITE_P(Rows, IdleCheck, ::testing::ValuesIn(kIdleRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AdvertTest, InputRestartsTheMinuteAndTheAdvertComesOnce)
{
    w->LoadAdv();
    EXPECT_EQ(w->lastInputTick(), 1000u);
    clock.tick = 60000;
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(w.get(), &key);
    EXPECT_EQ(w->lastInputTick(), 60000u);
    clock.tick = 120000;
    EXPECT_FALSE(opensAdvert([this] { w->Timer3Timer(); }));
    clock.tick = 120001;
    EXPECT_TRUE(opensAdvert([this] { w->Timer3Timer(); }));
    clock.tick = 500000;
    EXPECT_FALSE(opensAdvert([this] { w->Timer3Timer(); }));
}

TEST_F(AdvertTest, AfterTheButtonTheAdvertNeverComesByItself)
{
    w->LoadAdv();
    EXPECT_TRUE(opensAdvert([this] { w->BoButAdvClick(); }));
    EXPECT_TRUE(w->advShown());
    clock.tick = 1000000;
    EXPECT_FALSE(opensAdvert([this] { w->Timer3Timer(); }));
    // the button opens it as often as asked
    EXPECT_TRUE(opensAdvert([this] { w->BoButAdvClick(); }));
}

struct EventRow {
    QEvent::Type type;
    bool input;
};
const EventRow kEventRows[] = {
    {QEvent::KeyPress, true},          {QEvent::KeyRelease, true},           {QEvent::MouseMove, true},
    {QEvent::MouseButtonPress, true},  {QEvent::MouseButtonRelease, true},   {QEvent::MouseButtonDblClick, true},
    {QEvent::Wheel, true},             {QEvent::NonClientAreaMouseMove, false}, {QEvent::Paint, false},
    {QEvent::Timer, false},            {QEvent::FocusIn, false},             {QEvent::Enter, false},
};

TEST_F(AdvertTest, OnlyKeysAndPointerEventsCountAsInput)
{
    w->LoadAdv();
    for (const EventRow& r : kEventRows) {
        EXPECT_EQ(vx::InputWatch::isInput(r.type), r.input) << r.type;
    }
    // Events of any window reach the hook, the advert window's too.
    clock.tick = 4242;
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(child<QTextEdit>(*pic, "MemText"), &move);
    EXPECT_EQ(w->lastInputTick(), 4242u);
    clock.tick = 5000;
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(pic.get(), &enter);
    EXPECT_EQ(w->lastInputTick(), 4242u);
}

// ---- the advert window

struct SayingRow {
    std::uint32_t tick;
    int index;
    const char* background;
    const char* text;
};
const SayingRow kSayingRows[] = {
    {1, 1, "#cdfffe", "#0000ff"},
    {2, 2, "#ffffe3", "#ff00ff"},
    {3, 3, "#e4ffe3", "#808000"},
    {4294967295u, 31, "#e4ffe3", "#808000"},
    {100, 4, "#cdfffe", "#0000ff"},
};

class Sayings : public AdvertTest, public ::testing::WithParamInterface<SayingRow> {};

TEST_P(Sayings, WithoutAPictureASayingByTheTick)
{
    const SayingRow& r = GetParam();
    TF_MainTestAccess::setAdvLocalFile(*w, QString());
    clock.tick = r.tick;
    pic->FormShow();
    EXPECT_EQ(child<QTextEdit>(*pic, "MemText")->toPlainText(), vx::advQuote(std::uint32_t(r.index)));
    EXPECT_EQ(child<QTextEdit>(*pic, "MemText")->palette().color(QPalette::Base).name(), QString::fromLatin1(r.background));
    EXPECT_EQ(child<QTextEdit>(*pic, "MemText")->palette().color(QPalette::Text).name(), QString::fromLatin1(r.text));
    EXPECT_FALSE(child<QTextEdit>(*pic, "MemText")->isHidden());
    EXPECT_TRUE(child<QLabel>(*pic, "ImgAdv")->isHidden());
    EXPECT_EQ(pic->size(), QSize(484, 326));
    EXPECT_TRUE(w->advShown());
    EXPECT_EQ(w->lastInputTick(), r.tick);
}
INSTANTIATE_TEST_SUITE_P(Rows, Sayings, ::testing::ValuesIn(kSayingRows));

struct QuoteRow {
    int length;
    const char* begins;
};
const QuoteRow kQuotes[] = {
    {175, "Побеждает тот, кто ищет"}, {144, "Всё самое лучшее, что"}, {251, "Желаю Вам удачного дня."},
    {102, "Великая слава заключается не"}, {106, "Чтобы быть хорошим воином,"},
    {121, "Жизнь измеряется не количеством"}, {134, "Мы не осмеливаемся сделать"}, {107, "Вы получите всё, что"},
    {81, "Пока не поздно, не"}, {60, "Мир принадлежит оптимистам."}, {88, "Если вы хотите иметь"},
    {79, "Если вы недовольны тем"}, {85, "Даже если вы на"}, {82, "Никогда не оправдывайся!"},
    {78, "Для успеха в жизни"}, {73, "Нужно уметь прощать людям"}, {205, "В каждом из нас"},
    {56, "Сделай первый шаг, и ты поймешь, что не все так страшно."}, {78, "Если ты дважды подумаешь,"},
    {79, "Успех заключается в том,"}, {152, "Время - ваше величайшее"},
    {109, "Проблема, кажущаяся затруднительной"}, {177, "Бог знал, что он"}, {99, "Нельзя вернуться в прошлое"},
    {52, "Нет никаких ключей от"}, {227, "Начни день с улыбки,"}, {155, "Если вам нужны новые"},
    {125, "Молчание и улыбка —"}, {135, "Три вещи никогда не"}, {221, "Не нужно расстраиваться, если"},
    {227, "Кто из вас в"}, {102, "Когда кажется, что в"},
};

TEST(AdvSayings, ThirtyTwoSingleLinesOfTheirLengths)
{
    static_assert(std::size(kQuotes) == vx::kAdvQuoteCount);
    for (std::uint32_t i = 0; i < vx::kAdvQuoteCount; ++i) {
        const QString q = vx::advQuote(i);
        EXPECT_EQ(q.size(), kQuotes[i].length) << i;
        EXPECT_TRUE(q.startsWith(QString::fromUtf8(kQuotes[i].begins))) << i;
        EXPECT_FALSE(q.contains(u'\n') || q.contains(u'\r')) << i;
    }
}

struct GreetingRow {
    int hour, minute;
    const char* greeting;
};
const GreetingRow kGreetingRows[] = {
    {0, 0, "Доброй ночи"},  {5, 59, "Доброй ночи"},  {6, 0, "Доброе утро"},   {11, 59, "Доброе утро"},
    {12, 0, "Добрый день"}, {17, 59, "Добрый день"}, {18, 0, "Добрый вечер"}, {23, 59, "Добрый вечер"},
};

TEST_F(AdvertTest, CaptionGreetsByTheHour)
{
    for (const GreetingRow& r : kGreetingRows) {
        clock.at = QDateTime(QDate(2026, 5, 5), QTime(r.hour, r.minute));
        pic->FormShow();
        EXPECT_EQ(pic->windowTitle(), QStringLiteral(" ") + QString::fromUtf8(r.greeting) + QStringLiteral("!"))
            << r.hour << ":" << r.minute;
    }
}

struct PictureRow {
    const char* name;
    const char* file;
    bool valid; // a real picture of that format, not broken bytes
};
const PictureRow kPictureRows[] = {
    {"Bitmap", "adv.bmp", true},
    {"Jpeg", "adv.jpg", true},
    {"BrokenJpeg", "broken.jpg", false},
    {"UnknownExtension", "adv.png", true},
    {"Missing", "none.bmp", false},
};

TEST_F(AdvertTest, APictureSizesTheWindowAndAnythingElseGivesASaying)
{
    const QImage image = [] {
        QImage i(80, 70, QImage::Format_RGB32);
        i.fill(Qt::red);
        return i;
    }();
    for (const PictureRow& r : kPictureRows) {
        const QString path = folder() + QString::fromLatin1(r.file);
        const QString ext = QFileInfo(path).suffix();
        if (r.valid)
            ASSERT_TRUE(image.save(path, ext == QStringLiteral("jpg") ? "JPEG" : ext.toUpper().toLatin1().constData()))
                << r.name;
        else if (QString::fromLatin1(r.file).startsWith(QStringLiteral("broken"))) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("\xFF\xD8 not really");
        }
        TF_MainTestAccess::setAdvLocalFile(*w, path);
        pic->FormShow();
        const bool shows = r.valid && ext != QStringLiteral("png");
        EXPECT_EQ(child<QTextEdit>(*pic, "MemText")->isHidden(), shows) << r.name;
        EXPECT_EQ(child<QLabel>(*pic, "ImgAdv")->isHidden(), !shows) << r.name;
        if (shows) {
            EXPECT_EQ(child<QLabel>(*pic, "ImgAdv")->size(), QSize(80, 70)) << r.name;
            EXPECT_EQ(pic->size(), QSize(85, 74)) << r.name; // outer 93 x 108 with the frame
        } else {
            EXPECT_EQ(pic->size(), QSize(484, 326)) << r.name;
        }
    }
}

// A picture larger than the screen: the window with its frame fits into the screen's available area,
// the picture is shown smaller with its proportions, and it is decoded once, at the first showing.
TEST_F(AdvertTest, LargePictureFitsTheScreenAndIsDecodedOnce)
{
    const QString path = folder() + QStringLiteral("large.jpg");
    ASSERT_TRUE(writeLargeJpeg(path));
    TF_MainTestAccess::setAdvLocalFile(*w, path);

    pic->show();
    const QRect area = pic->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(pic->frameGeometry())) << "window " << pic->frameGeometry().width() << "x"
                                                     << pic->frameGeometry().height() << " on a screen of "
                                                     << area.width() << "x" << area.height();
    ASSERT_FALSE(child<QLabel>(*pic, "ImgAdv")->isHidden());
    const QPixmap shown = child<QLabel>(*pic, "ImgAdv")->pixmap();
    EXPECT_LT(shown.width(), kLargeSide);
    EXPECT_EQ(shown.width(), shown.height()) << "proportions kept";
    EXPECT_EQ(pic->size(), shown.size() + QSize(5, 4));
    pic->hide();

    // The second showing takes the picture already decoded: the file is not read again.
    ASSERT_TRUE(QFile::remove(path));
    pic->show();
    EXPECT_FALSE(child<QLabel>(*pic, "ImgAdv")->isHidden());
    EXPECT_EQ(child<QLabel>(*pic, "ImgAdv")->pixmap().cacheKey(), shown.cacheKey());
    pic->hide();
}

// The memory of the program showing that picture, the first and the second time, stays below 300 MB on
// screens up to 7680 x 4320; also for a progressive one, which the decoder holds whole while it decodes.
struct MemoryRow {
    const char* name;
    const char* screen; // the headless screen's size
    bool progressive;
};
void PrintTo(const MemoryRow& r, std::ostream* os) { *os << r.name; }

const MemoryRow kMemoryRows[] = {
    {"BaselineOn3840x2160", "3840x2160", false},
    {"ProgressiveOn3840x2160", "3840x2160", true},
    {"BaselineOn7680x4320", "7680x4320", false},
    {"ProgressiveOn7680x4320", "7680x4320", true},
};

class AdvertMemory : public AdvertTest, public ::testing::WithParamInterface<MemoryRow> {};

TEST_P(AdvertMemory, LargePictureShownTwiceWithinItsMemory)
{
    const MemoryRow& r = GetParam();
    const QString path = folder() + QStringLiteral("large.jpg");
    ASSERT_TRUE(writeLargeJpeg(path, r.progressive));
    const QByteArray out = runProbe({QStringLiteral("show"), path, QString::fromLatin1(r.screen)});
    ASSERT_FALSE(out.isNull()) << "the probe failed";
    const QList<QByteArray> lines = out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2) << out.constData();
    for (const QByteArray& line : lines) {
        const QList<QByteArray> words = line.split(' '); // showing N shown|none PEAK_KIB WxH
        ASSERT_EQ(words.size(), 5) << line.constData();
        EXPECT_EQ(words[2], QByteArray("shown")) << line.constData();
        const qint64 peakKiB = words[3].toLongLong();
        EXPECT_GT(peakKiB, 0) << line.constData();
        EXPECT_LT(peakKiB, 300000000 / 1024) << line.constData(); // 300 MB
    }
}
INSTANTIATE_TEST_SUITE_P(Rows, AdvertMemory, ::testing::ValuesIn(kMemoryRows),
                         [](const auto& info) { return std::string(info.param.name); });

// The picture shown on a large screen, then on a smaller one (the program's window moved there, or the
// screen's resolution lowered): the kept picture is scaled down again with its proportions.
TEST_F(AdvertTest, PictureKeepsItsProportionsWhenTheScreenShrinks)
{
    const QString path = folder() + QStringLiteral("wide.jpg");
    {
        QImage wide(2000, 1000, QImage::Format_RGB32);
        wide.fill(Qt::darkGreen);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_GT(f.write(vx::JpegImage::encode(wide)), 0);
    }
    const QByteArray out = runProbe({QStringLiteral("show"), path, QStringLiteral("1280x1024"), QStringLiteral("800x600")});
    ASSERT_FALSE(out.isNull()) << "the probe failed";
    const QList<QByteArray> lines = out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2) << out.constData();
    std::vector<QSize> shown;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> words = line.split(' ');
        ASSERT_EQ(words.size(), 5) << line.constData();
        EXPECT_EQ(words[2], QByteArray("shown")) << line.constData();
        const QList<QByteArray> sides = words[4].split('x');
        ASSERT_EQ(sides.size(), 2) << line.constData();
        shown.emplace_back(sides[0].toInt(), sides[1].toInt());
    }
    EXPECT_GT(shown[0].width(), 1000) << "the larger screen shows more of the picture";
    EXPECT_LE(shown[1].width(), 800 - 13);
    for (const QSize s : shown)
        EXPECT_NEAR(double(s.width()) / s.height(), 2.0, 0.01) << s.width() << "x" << s.height();
}

// ---- text from the site in a box

// Text of n characters: runs of 19 letters, each followed by a space, ending in a letter.
QString spaced(int n)
{
    QString s;
    for (int i = 0; i < n; ++i)
        s += i % 20 == 19 ? u' ' : u'a';
    return s;
}

QString times(const QString& piece, int n) { return piece.repeated(n); }

TEST(BoxText, AtMostTenLinesAndFiveHundredCharacters)
{
    const auto lines = [](int n, const QString& breakWith) {
        QStringList l;
        for (int i = 1; i <= n; ++i)
            l << QStringLiteral("line %1").arg(i);
        return l.join(breakWith);
    };
    const QString cut = QStringLiteral("…");
    const QString zwsp = QString(QChar(u'\u200B'));
    const QString mark = QStringLiteral("e\u0301"); // e and a combining acute accent: one character
    const QString bold = QString::fromUcs4(U"\U0001D400"); // a mathematical bold A, two UTF-16 units
    struct Row {
        const char* name;
        QString text, shown;
    };
    const Row rows[] = {
        {"ShortKept", QStringLiteral("1.3 beta"), QStringLiteral("1.3 beta")},
        {"EmptyKept", QString(), QString()},
        {"TenLinesKept", lines(10, QStringLiteral("\r")), lines(10, QStringLiteral("\r"))},
        {"EleventhLineCut", lines(11, QStringLiteral("\r")), lines(10, QStringLiteral("\r")) + cut},
        {"CrLfIsOneBreak", lines(11, QStringLiteral("\r\n")), lines(10, QStringLiteral("\r\n")) + cut},
        // Four breaks each; the cut's "…" follows the last line's text, not the breaks after it.
        {"EveryKindOfBreakCounts", lines(11, QStringLiteral("\n\v\f\u2028")),
         lines(3, QStringLiteral("\n\v\f\u2028")) + cut},
        {"FiveHundredCharactersKept", spaced(500), spaced(500)},
        {"FiveHundredAndFirstCut", QString(501, u' '), QString(500, u' ') + cut},
        // A line end is two characters: one that would make 501 is cut, with the line after it.
        {"CrLfPastTheLimitWithALineAfter", spaced(499) + QStringLiteral("\r\nb"), spaced(499) + cut},
        {"CrLfPastTheLimitAtTheEnd", spaced(499) + QStringLiteral("\r\n"), spaced(499) + cut},
        {"CrLfAtTheLimitKept", spaced(498) + QStringLiteral("\r\n"), spaced(498) + QStringLiteral("\r\n")},
        {"NoHalfCharacterAtTheCut", QString(499, u' ') + QStringLiteral("😀"), QString(499, u' ') + cut},
        {"NoMarkWithoutItsLetterAtTheCut", QString(499, u' ') + mark, QString(499, u' ') + cut},
        // A long run without a space gets a break opportunity, invisible, after every 20 characters.
        {"LongRunBreakable", QString(50, u'v'),
         QString(20, u'v') + zwsp + QString(20, u'v') + zwsp + QString(10, u'v')},
        {"LettersWithMarksBreakBetweenCharacters", times(mark, 25), times(mark, 20) + zwsp + times(mark, 5)},
        // Letters outside the basic plane that hold together as a word: the break opportunity goes between
        // two of them, never between the two halves of one.
        {"LettersOutsideTheBasicPlaneBreakBetweenCharacters", times(bold, 25), times(bold, 20) + zwsp + times(bold, 5)},
        // The box may already wrap between two emoji, or after a space or a hyphen: nothing is added there.
        {"EmojiKept", times(QStringLiteral("😀"), 25), times(QStringLiteral("😀"), 25)},
        {"HyphensKept", times(QStringLiteral("abcd-"), 10), times(QStringLiteral("abcd-"), 10)},
        {"NoBreakingSpaceIsNoSpace", QString(15, u'v') + QChar(0xA0) + QString(15, u'v'),
         QString(15, u'v') + QChar(0xA0) + QString(4, u'v') + zwsp + QString(11, u'v')},
        // Format characters from the site are dropped: they could reorder the program's words around the
        // text, or keep the box from wrapping it.
        {"DirectionOverrideDropped", QStringLiteral("1.3\u202EСКАЧАТЬ НЕ НАДО"), QStringLiteral("1.3СКАЧАТЬ НЕ НАДО")},
        {"EveryFormatCharacterDropped",
         QStringLiteral("a\u200Eb\u200Fc\u202Ad\u202Ce\u2066f\u2069g\u061Ch\uFEFFi\u2060j\u200Bk\u00ADl") +
             QString::fromUcs4(U"\U000E0041") + QStringLiteral("m"),
         QStringLiteral("abcdefghijklm")},
        {"LoneHalfOfACharacterDropped", QStringLiteral("1") + QChar(0xD83D) + QStringLiteral(".3"),
         QStringLiteral("1.3")},
    };
    for (const Row& r : rows)
        EXPECT_EQ(vx::boxText(r.text), r.shown) << r.name;
}

// Whatever the site sends, the box text keeps its limits, breaks only between whole characters, and
// holds no format character but its own break opportunities.
TEST(BoxText, LimitsHoldForAnyText)
{
    const QChar zwsp(u'\u200B');
    struct Row {
        const char* name;
        QString text;
    };
    const Row rows[] = {
        {"WideLetters", QString(5000, QChar(u'Ж'))},
        {"LettersWithMarks", times(QStringLiteral("e\u0301"), 400)},
        {"LettersWithManyMarks", times(QStringLiteral("a\u0301\u0302\u0303"), 200)},
        {"Emoji", times(QStringLiteral("😀"), 400)},
        {"LettersOutsideTheBasicPlane", times(QString::fromUcs4(U"\U0001D400"), 400)},
        {"LettersOutsideTheBasicPlaneAfterOneLetter",
         QStringLiteral("v") + times(QString::fromUcs4(U"\U0001D400"), 400)},
        {"EmojiAfterOneLetter", QStringLiteral("v") + times(QStringLiteral("😀"), 400)},
        {"Flags", times(QStringLiteral("🇷🇺"), 100)},
        {"MixedLineEnds", times(QStringLiteral("ab\r\n\n\rc\u2029"), 100)},
        {"LineEndsAroundTheCut", spaced(499) + QStringLiteral("\r\nb")},
        {"DirectionMarksEverywhere", times(QStringLiteral("\u202Ex\u2066y\u200F"), 300)},
        {"WordJoinersBetweenLetters", times(QStringLiteral("w\u2060"), 300)},
    };
    for (const Row& r : rows) {
        const QString shown = vx::boxText(r.text);
        const QString kept = shown.endsWith(u'…') ? shown.chopped(1) : shown;
        EXPECT_LE(kept.size(), vx::kBoxTextChars) << r.name;
        // The text without its break opportunities, and where they stood in it.
        QString plain;
        std::vector<qsizetype> breaks;
        for (const QChar c : kept) {
            if (c == zwsp)
                breaks.push_back(plain.size());
            else
                plain += c;
        }
        int lineBreaks = 0;
        QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, plain);
        for (qsizetype at = 0, next = 0; (next = characters.toNextBoundary()) > 0; at = next) {
            const QStringView character = QStringView(plain).mid(at, next - at);
            lineBreaks += QStringLiteral("\r\n\v\f\u0085\u2028\u2029").contains(character.front());
            EXPECT_FALSE(character.front().isLowSurrogate() || (character.back().isHighSurrogate()))
                << r.name << ": half a character at " << at;
            EXPECT_NE(character.front().category(), QChar::Other_Format) << r.name << ": format character at " << at;
        }
        EXPECT_LE(lineBreaks, vx::kBoxTextLines - 1) << r.name;
        for (const qsizetype at : breaks) {
            characters.setPosition(at);
            EXPECT_TRUE(characters.isAtBoundary()) << r.name << ": a break opportunity inside a character at " << at;
        }
        // Between two places the box may wrap at there are at most kBoxTextRun whole characters.
        QTextBoundaryFinder wrapPlaces(QTextBoundaryFinder::Line, kept);
        for (qsizetype at = 0, next = 0; (next = wrapPlaces.toNextBoundary()) > 0; at = next) {
            QTextBoundaryFinder runCharacters(QTextBoundaryFinder::Grapheme, kept.mid(at, next - at));
            int count = 0;
            while (runCharacters.toNextBoundary() > 0)
                ++count;
            EXPECT_LE(count, vx::kBoxTextRun + 1) << r.name << " at " << at; // a break opportunity ends a run
        }
        // It is the site's text less its format characters, cut between two whole characters.
        QString site;
        for (const char32_t c : r.text.toUcs4())
            if (QChar::category(c) != QChar::Other_Format)
                site += QString::fromUcs4(&c, 1);
        EXPECT_TRUE(site.startsWith(plain)) << r.name;
        QTextBoundaryFinder siteCharacters(QTextBoundaryFinder::Grapheme, site);
        siteCharacters.setPosition(plain.size());
        EXPECT_TRUE(siteCharacters.isAtBoundary()) << r.name << ": cut inside a character";
        EXPECT_EQ(shown.endsWith(u'…'), plain.size() < site.size()) << r.name;
    }
}

// ---- the click report

TEST(FormBody, ValuesEncodedNamesKept)
{
    struct Row {
        const char* value;
        const char* encoded;
    };
    const Row rows[] = {
        {"http://shop.example/a b?x=1&y=2", "http://shop.example/a%20b?x=1&y=2"},
        {"<*#%[]>", "%3C%2A%23%25%5B%5D%3E"},
        {"~!$'()+,;=@^`{|}", "~!$'()+,;=@^`{|}"},
        {"тест", "%D1%82%D0%B5%D1%81%D1%82"},
        {"a\tb\x7f", "a%09b\x7f"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(vx::encodeFormValue(QString::fromUtf8(r.value)), QByteArray(r.encoded)) << r.value;
    EXPECT_EQ(vx::formBody({QStringLiteral("id=a b"), QStringLiteral("&in=p_vn"), QStringLiteral("&to=x=y z")}),
              QByteArray("id=a%20b&&in=p_vn&&to=x=y%20z"));
}

struct ClickRow {
    const char* name;
    Qt::MouseButton button;
    bool postFails;
    bool opensLink;
};
void PrintTo(const ClickRow& r, std::ostream* os) { *os << r.name; }
const ClickRow kClickRows[] = {
    {"LeftOpensTheLink", Qt::LeftButton, false, true},
    {"RightOnlyReports", Qt::RightButton, false, false},
    {"FailedReportKeepsTheWindow", Qt::LeftButton, true, false},
};

class ClickReport : public AdvertTest, public ::testing::WithParamInterface<ClickRow> {};

TEST_P(ClickReport, PostsTheFormThenClosesAndOpens)
{
    const ClickRow& r = GetParam();
    RecordingBrowser browser;
    TF_MainTestAccess::setClientId(*w, vx::makeClientId(QDateTime(QDate(2026, 3, 1), QTime(10, 5, 9, 123))));
    TF_MainTestAccess::setAdvLink(*w, QStringLiteral("http://shop.example/a b?x=1&y=2"));
    if (!r.postFails)
        http.serve(QStringLiteral("cd_adv.php"), "thanks");
    pic->show();
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), r.button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(child<QLabel>(*pic, "ImgAdv"), &up);

    ASSERT_EQ(http.requests.size(), 1u);
    const FakeHttp::Request& post = http.requests[0];
    EXPECT_EQ(post.method, QStringLiteral("POST"));
    EXPECT_EQ(post.url, kBase + QStringLiteral("cd_adv.php"));
    EXPECT_EQ(post.body, QByteArray("id=Lc%3C_kAE?&&in=p_vn&&to_page=http://shop.example/a%20b?x=1&y=2"));
    EXPECT_EQ(post.headers.at("User-Agent"),
              QByteArray("Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
                         "Chrome/30.0.1599.13014 YaBrowser/13.12.1599.13014 Safari/537.36"));
    EXPECT_EQ(post.headers.at("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
    EXPECT_EQ(post.headers.at("Connection"), QByteArray("keep-alive"));
    EXPECT_TRUE(post.follow);
    EXPECT_EQ(post.maxRedirects, 15);
    // the settings stay on the client for the rest of the run
    EXPECT_TRUE(http.follow);
    EXPECT_EQ(http.headers.at("Connection"), QByteArray("keep-alive"));

    EXPECT_EQ(pic->isVisible(), r.postFails);
    EXPECT_EQ(browser.starts.size(), r.opensLink ? 1u : 0u);
    if (r.opensLink) {
        EXPECT_TRUE(browser.starts[0].arguments.join(u' ').contains(w->advLink()));
    }
    if (r.postFails) {
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].type, MsgType::Error);
        EXPECT_FALSE(dialogs.boxes[0].text.isEmpty());
    } else {
        EXPECT_TRUE(dialogs.boxes.empty());
    }
    pic->hide();
}
INSTANTIATE_TEST_SUITE_P(Rows, ClickReport, ::testing::ValuesIn(kClickRows),
                         [](const auto& info) { return std::string(info.param.name); });

struct AdvertLinkRow {
    const char* link;
    bool opens;
};
const AdvertLinkRow kAdvertLinkRows[] = {
    {"HTTPS://x.example/", true},  {"http://shop.example/a", true}, {"Http://mixed.example/", true},
    {"file:///etc/passwd", false}, {"/etc/passwd", false},          {"--help", false},
    {"", false},                   {" http://x.example/", false},   {"httpx://x.example/", false},
    {"javascript:alert(1)", false},
};

// The site names the advert's link: only a web address reaches the browser, as its one argument.
TEST_F(AdvertTest, AdvertLinkOpensOnlyAsAWebAddress)
{
    RecordingBrowser browser;
    http.serve(QStringLiteral("cd_adv.php"), "thanks");
    for (const AdvertLinkRow& r : kAdvertLinkRows) {
        browser.starts.clear();
        TF_MainTestAccess::setAdvLink(*w, QString::fromUtf8(r.link));
        pic->show();
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(child<QLabel>(*pic, "ImgAdv"), &up);
        EXPECT_FALSE(pic->isVisible()) << r.link;
        if (r.opens) {
            ASSERT_EQ(browser.starts.size(), 1u) << r.link;
            EXPECT_EQ(browser.starts[0].arguments, QStringList{QString::fromUtf8(r.link)});
        } else {
            EXPECT_TRUE(browser.starts.empty()) << r.link;
        }
    }
}

// ---- client id and closing

TEST_F(AdvertTest, ClientIdFromTheClock)
{
    struct Row {
        QDateTime at;
        const char* id;
    };
    const Row rows[] = {
        {QDateTime(QDate(2018, 3, 29), QTime(14, 5, 9, 123)), "DcX_oAE?"},
        {QDateTime(QDate(2026, 1, 1), QTime(0, 0, 0, 0)), "La<_a<<<"},
        {QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59, 999)), "LlZ_xwwc"},
    };
    for (const Row& r : rows) {
        clock.at = r.at;
        EXPECT_EQ(w->GetId(), QString::fromLatin1(r.id)) << r.id;
    }
}

TEST_F(AdvertTest, ClosingDeletesOnlyThePictureThisRunWrote)
{
    const QString advert = folder() + QStringLiteral("adv.jpg");
    const QString other = folder() + QStringLiteral("keep.jpg");
    for (const QString& p : {advert, other}) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("older");
    }
    TF_MainTestAccess::setAdvLocalFile(*w, QString());
    w->DeleteAdvFile();
    EXPECT_TRUE(QFile::exists(advert));

    // The picture this run downloaded goes, and nothing else. (A download takes only a free name.)
    ASSERT_TRUE(QFile::remove(advert));
    http.serve(QStringLiteral("images/adv.txt"), "images/adv.jpg\tlink\r\n1.2\r\n");
    http.serve(QStringLiteral("images/adv.jpg"), kPicture);
    w->LoadAdv();
    ASSERT_EQ(readAll(advert), kPicture);
    w->DeleteAdvFile();
    EXPECT_FALSE(QFile::exists(advert));
    EXPECT_EQ(readAll(other), QByteArray("older"));
    EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("Vornalex.BMP")));

    // A file of that name that was there before stays: it is not the site's picture, so it is not shown.
    QFile f(advert);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("older");
    f.close();
    http.breakOff(QStringLiteral("images/adv.jpg"), "half a picture");
    w->LoadAdv();
    EXPECT_TRUE(w->advLocalFile().isEmpty());
    EXPECT_EQ(readAll(advert), QByteArray("older"));
    w->DeleteAdvFile();
    EXPECT_EQ(readAll(advert), QByteArray("older"));
}

} // namespace
