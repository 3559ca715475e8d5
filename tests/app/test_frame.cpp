// The frame of the main window: the command row's print, calculator and about commands, the lock of
// the row, the show and activation handlers, the banner with its expiry date and slide, and the print
// sheet of the curved ports with its drawing. Timers never run on their own here: their handlers are
// called with a fixed clock; the printer is a fake that keeps the pages, or a PDF file read back to
// measure the printed scale.
#include "app/TF_Main.h"

#include "app/PrintService.h"
#include "app/Windows.h"
#include "platform/QtTranslation.h"
#include "projects/ProgramFolder.h"
#include "tools/TF_Calc.h"
#include "tools/TF_Print.h"
#include "FakePrinting.h"
#include "FixedClock.h"
#include "ProgramFiles.h"
#include "RecordingDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using vx::test::FakePrinting;
using vx::test::FixedClock;
using vx::test::RecordingDialogs;

constexpr const char* kLocked[] = {"BoButNew", "BoButOpen", "BoButSave", "BoButPrint", "BoButDel",
                                   "BoButHlp", "BoButCalc", "Label92",   "EditVs",     "SBCarSound"};

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vx::test::makeProgramFolder(m_dir));
        clock.at = QDateTime(QDate(2014, 2, 1), QTime(12, 0));
        w = std::make_unique<TF_Main>();
        F_Main = w.get();
        print = std::make_unique<TF_Print>(w.get());
        F_Print = print.get();
    }
    void TearDown() override
    {
        F_Print = nullptr;
        print.reset();
        F_Main = nullptr;
        w.reset();
        vx::setProgramFolder(QString());
    }

    void showWindow()
    {
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    QWidget* part(const char* name) const { return w->component(name); }
    QAbstractButton* button(const char* name) const { return qobject_cast<QAbstractButton*>(part(name)); }
    QString status() const { return qobject_cast<QLabel*>(part("StatusBar1"))->text(); }
    QRect cover() const { return part("Panel6")->geometry(); }
    QRect banner() const { return part("Image12")->geometry(); }
    // The banner's date check with the clock at the given time.
    void bannerTick(const QDateTime& at)
    {
        clock.at = at;
        w->Timer1Timer();
    }
    void slideToTheEnd()
    {
        for (int i = 0; i < 100 && w->timer2()->isActive(); ++i)
            w->Timer2Timer();
    }

    RecordingDialogs dialogs;
    FakePrinting printer;
    FixedClock clock;
    QTemporaryDir m_dir;
    std::unique_ptr<TF_Main> w;
    std::unique_ptr<TF_Print> print;
};

// ---- the command row and its lock

TEST_F(FrameTest, AboutPanelLocksTheRowExceptTheAdvertButton)
{
    showWindow();
    ASSERT_TRUE(part("Panel5")->isHidden());
    button("BoButHlp")->click();
    EXPECT_FALSE(part("Panel5")->isHidden());
    for (const char* name : kLocked)
        EXPECT_FALSE(part(name)->isEnabled()) << name;
    EXPECT_TRUE(part("BoButAdv")->isEnabled());
    // The panel covers everything below the command row, the input panel and the port panel alike.
    for (const char* covered : {"EditFb", "SBut1", "StatusBar1"}) {
        QWidget* under = part(covered);
        const QPoint centre = under->mapToGlobal(under->rect().center());
        QWidget* top = QApplication::widgetAt(centre);
        const bool onPanel = top == part("Panel5") || part("Panel5")->isAncestorOf(top);
        EXPECT_EQ(onPanel, std::string(covered) != "StatusBar1") << covered;
    }
    const QPalette brands = part("SBCarSound")->palette();
    EXPECT_NE(brands.color(QPalette::Disabled, QPalette::ButtonText),
              brands.color(QPalette::Active, QPalette::ButtonText))
        << "the locked brands button looks locked";

    button("Button1")->click();
    EXPECT_TRUE(part("Panel5")->isHidden());
    for (const char* name : kLocked)
        EXPECT_TRUE(part(name)->isEnabled()) << name;
    EXPECT_TRUE(part("BoButAdv")->isEnabled());
}

TEST_F(FrameTest, EnableButtonsSwitchesTheRowBothWays)
{
    for (const bool ind : {false, true, false, true}) {
        w->EnableButtons(ind);
        for (const char* name : kLocked)
            EXPECT_EQ(part(name)->isEnabled(), ind) << name << (ind ? " on" : " off");
        EXPECT_TRUE(part("BoButAdv")->isEnabled());
    }
}

TEST_F(FrameTest, CalculatorButtonShowsTheCalculatorModally)
{
    auto calc = std::make_unique<TF_Calc>(w.get());
    F_Calc = calc.get();
    bool sawModal = false;
    QTimer::singleShot(0, calc.get(), [&] {
        sawModal = QApplication::activeModalWidget() == F_Calc && F_Calc->isVisible();
        F_Calc->reject();
    });
    button("BoButCalc")->click();
    EXPECT_TRUE(sawModal);
    EXPECT_FALSE(calc->isVisible());
    F_Calc = nullptr;
}

// ---- printing the window

struct WindowPrintRow {
    const char* name;
    bool confirm;
    std::size_t pages;
};

void PrintTo(const WindowPrintRow& r, std::ostream* os) { *os << r.name; }

class WindowPrintTest : public FrameTest, public ::testing::WithParamInterface<WindowPrintRow> {};

TEST_P(WindowPrintTest, RecomputesThenPrintsTheWindowAtScreenSizeWhenConfirmed)
{
    const WindowPrintRow& row = GetParam();
    showWindow();
    ASSERT_FALSE(w->text("EditTubL").empty());
    // The tube's length as the user types it: the pending edit is committed and the results follow it.
    auto* editor = qobject_cast<QLineEdit*>(part("EditFb"));
    editor->setFocus();
    w->setText("EditTubL", "");
    printer.answers = {row.confirm};
    button("BoButPrint")->click();
    EXPECT_EQ(w->focusWidget(), part("EditVs"));
    EXPECT_FALSE(w->text("EditTubL").empty()) << "the geometry runs before the dialog";
    EXPECT_EQ(printer.dialogsShown, 1);
    ASSERT_EQ(printer.pages.size(), row.pages);
    if (row.pages) {
        EXPECT_EQ(printer.pages[0].size(), QSize(688, 478));
    }
}

INSTANTIATE_TEST_SUITE_P(Dialog, WindowPrintTest,
                         ::testing::Values(WindowPrintRow{"Confirmed", true, 1}, WindowPrintRow{"Cancelled", false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Qt's own dialogs in the user's language

struct TranslationRow {
    const char* name;
    QLocale locale;
    bool translated;
};

void PrintTo(const TranslationRow& r, std::ostream* os) { *os << r.name; }

class QtTranslationTest : public ::testing::TestWithParam<TranslationRow> {
protected:
    void TearDown() override
    {
        if (m_installed) {
            QCoreApplication::removeTranslator(m_installed);
            delete m_installed;
        }
    }
    static QString printerDialogTitle()
    {
        QPrinter printer;
        QPrintDialog dialog(&printer);
        return dialog.windowTitle();
    }
    QTranslator* m_installed = nullptr;
};

bool hasCyrillic(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.script() == QChar::Script_Cyrillic; });
}

TEST_P(QtTranslationTest, PrinterDialogSpeaksTheLocalesLanguageWhereQtHasIt)
{
    const TranslationRow& row = GetParam();
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (row.translated && !QFile::exists(folder + QStringLiteral("/qtbase_ru.qm")))
        GTEST_SKIP() << "Qt's Russian translation is not installed in " << folder.toStdString()
                     << " (Debian package qt6-translations-l10n)";
    const QString untranslated = printerDialogTitle();
    ASSERT_FALSE(hasCyrillic(untranslated));

    m_installed = vx::installQtTranslation(row.locale);
    EXPECT_EQ(m_installed != nullptr, row.translated);
    const QString title = printerDialogTitle();
    if (row.translated)
        EXPECT_TRUE(hasCyrillic(title)) << title.toStdString();
    else
        EXPECT_EQ(title, untranslated);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, QtTranslationTest,
    ::testing::Values(TranslationRow{"Russian", QLocale(QLocale::Russian, QLocale::Russia), true},
                      TranslationRow{"GreekHasNone", QLocale(QLocale::Greek, QLocale::Greece), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameTest, PrintedWindowCarriesTheResultsOnScreen)
{
    showWindow();
    button("BoButPrint")->click();
    ASSERT_EQ(printer.pages.size(), 1u);
    EXPECT_EQ(printer.pages[0], w->grab().toImage());
}

// ---- show and activation

TEST_F(FrameTest, ShowingTheWindowStampsTheInputTick)
{
    clock.tick = 4294967000u; // close to the wrap of the 32-bit tick
    showWindow();
    EXPECT_EQ(w->lastInputTick(), clock.tick);
}

// ---- the banner

struct ExpiryRow {
    const char* name;
    QDateTime at;
    bool slides;
};

void PrintTo(const ExpiryRow& r, std::ostream* os) { *os << r.name; }

class BannerExpiryTest : public FrameTest, public ::testing::WithParamInterface<ExpiryRow> {};

TEST_P(BannerExpiryTest, TheDateDecidesWhetherTheCoverSlidesAway)
{
    const ExpiryRow& row = GetParam();
    showWindow();
    EXPECT_EQ(cover(), banner());
    EXPECT_FALSE(part("Panel6")->isHidden());
    w->timer1()->start();
    bannerTick(row.at);
    EXPECT_FALSE(w->timer1()->isActive());
    EXPECT_EQ(w->timer2()->isActive(), row.slides);
    EXPECT_EQ(w->timer2()->interval(), 30);
    slideToTheEnd();
    EXPECT_EQ(part("Panel6")->isHidden(), row.slides);
    EXPECT_EQ(w->timer1()->isActive(), row.slides);
    if (!row.slides) {
        EXPECT_EQ(cover(), banner()) << "covered for good";
        // Hovering the covered banner never reaches it: the cover takes the pointer.
        EXPECT_EQ(QApplication::widgetAt(w->mapToGlobal(part("Panel3")->mapTo(w.get(), banner().center()))),
                  part("Panel6"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Dates, BannerExpiryTest,
    ::testing::Values(ExpiryRow{"LongBefore", QDateTime(QDate(2013, 6, 1), QTime(8, 0)), true},
                      ExpiryRow{"LastMinuteBefore", QDateTime(QDate(2014, 2, 28), QTime(23, 59, 59)), true},
                      ExpiryRow{"AtMidnight", QDateTime(QDate(2014, 3, 1), QTime(0, 0)), false},
                      ExpiryRow{"Today", QDateTime(QDate(2026, 12, 10), QTime(9, 0)), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameTest, CoverSlidesOffInFifteenStepsOfTwentyPixels)
{
    showWindow();
    const QRect full = banner();
    bannerTick(clock.at);
    for (int step = 1; step <= 14; ++step) {
        w->Timer2Timer();
        EXPECT_EQ(cover().left(), full.left() + 20 * step) << step;
        EXPECT_EQ(cover().right(), full.right()) << "the right edge stays put, step " << step;
        EXPECT_FALSE(part("Panel6")->isHidden()) << step;
        EXPECT_TRUE(w->timer2()->isActive()) << step;
    }
    w->Timer2Timer();
    EXPECT_TRUE(part("Panel6")->isHidden());
    EXPECT_FALSE(w->timer2()->isActive());
    EXPECT_TRUE(w->timer1()->isActive());
    EXPECT_EQ(w->timer1()->interval(), 5000);
}

TEST_F(FrameTest, TheWindowsTimersFireOnTime)
{
    const std::pair<const char*, QTimer*> timers[] = {
        {"banner", w->timer1()}, {"slide", w->timer2()}, {"advert idle check", w->timer3()}};
    for (const auto& [name, timer] : timers)
        EXPECT_EQ(timer->timerType(), Qt::PreciseTimer) << name << ": on time, not within 5 %";
}

TEST_F(FrameTest, UncoveredBannerIsRecheckedAndStopsOnceTheDatePasses)
{
    showWindow();
    bannerTick(clock.at);
    slideToTheEnd();
    // Before the date: one idle slide tick that arms the check again.
    bannerTick(QDateTime(QDate(2014, 2, 28), QTime(23, 59, 55)));
    ASSERT_TRUE(w->timer2()->isActive());
    w->Timer2Timer();
    EXPECT_FALSE(w->timer2()->isActive());
    EXPECT_TRUE(w->timer1()->isActive());
    EXPECT_TRUE(part("Panel6")->isHidden());
    // The date passes during the run: the next check stops the timer for good.
    bannerTick(QDateTime(QDate(2014, 3, 1), QTime(0, 0, 0)));
    EXPECT_FALSE(w->timer1()->isActive());
    EXPECT_FALSE(w->timer2()->isActive());
    EXPECT_TRUE(part("Panel6")->isHidden()) << "a banner once uncovered stays so";
}

TEST_F(FrameTest, ActivationDuringTheSlideLaysTheFullCoverBack)
{
    showWindow();
    bannerTick(clock.at);
    for (int i = 0; i < 5; ++i)
        w->Timer2Timer();
    ASSERT_NE(cover(), banner());
    w->FormActivate();
    EXPECT_EQ(cover(), banner());
    EXPECT_TRUE(w->timer2()->isActive());
    int ticks = 0;
    while (w->timer2()->isActive() && ticks < 100) {
        w->Timer2Timer();
        ++ticks;
    }
    EXPECT_EQ(ticks, 15) << "the slide goes on from the full cover";
    w->FormActivate();
    EXPECT_TRUE(part("Panel6")->isHidden()) << "after the slide activation changes nothing visible";
}

void movePointer(QWidget* target, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
}

// A point of the port panel outside all of its child controls.
QPoint barePanelPoint(QWidget* panel)
{
    for (int y = 2; y < panel->height(); y += 3)
        for (int x = 2; x < panel->width(); x += 3)
            if (!panel->childAt(x, y))
                return {x, y};
    ADD_FAILURE() << "the port panel has no bare point";
    return {};
}

TEST_F(FrameTest, HoveringTheBannerShowsTheFrameAndTheLinkUntilThePointerLeaves)
{
    showWindow();
    bannerTick(clock.at);
    slideToTheEnd();
    const QRect around = banner().adjusted(-2, -2, 2, 2);
    movePointer(part("Image12"), {10, 10});
    EXPECT_FALSE(part("RectSel")->isHidden());
    EXPECT_EQ(part("RectSel")->geometry(), around);
    EXPECT_TRUE(status().startsWith(QLatin1Char(' ')));
    EXPECT_GT(status().size(), 1);
    const QString link = status();
    movePointer(part("Image12"), {20, 12});
    EXPECT_EQ(status(), link);

    movePointer(part("Panel3"), barePanelPoint(part("Panel3")));
    EXPECT_TRUE(part("RectSel")->isHidden());
    EXPECT_EQ(status(), QString()) << "empty, not back to the design text";
}

struct LinkLabelRow {
    const char* name;
    int dx, dy; // from the link label's top left corner
    bool staysRed;
};

void PrintTo(const LinkLabelRow& r, std::ostream* os) { *os << r.name; }

class LinkLabelTest : public FrameTest, public ::testing::WithParamInterface<LinkLabelRow> {};

TEST_P(LinkLabelTest, LeavingTheRedLinkLabelTurnsItBlue)
{
    const LinkLabelRow& row = GetParam();
    auto* label = qobject_cast<QLabel*>(part("LbURL0"));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor(255, 0, 0));
    label->setPalette(p);
    qobject_cast<QLabel*>(part("StatusBar1"))->setText(QStringLiteral(" http://brand.example/"));
    const QRect r = label->geometry();
    w->Panel3MouseMove(r.left() + row.dx, r.top() + row.dy);
    const QColor expected = row.staysRed ? QColor(255, 0, 0) : QColor(0, 0, 255);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), expected);
    EXPECT_EQ(status().isEmpty(), !row.staysRed);
}

INSTANTIATE_TEST_SUITE_P(Points, LinkLabelTest,
                         ::testing::Values(LinkLabelRow{"Inside", 5, 5, true},
                                           LinkLabelRow{"OnTheRightEdge", 222, 18, true},
                                           LinkLabelRow{"JustRight", 223, 5, false},
                                           LinkLabelRow{"JustAbove", 5, -1, false},
                                           LinkLabelRow{"FarAway", -300, -100, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the section print buttons

TEST_F(FrameTest, EverySectionPrintClickChangesTheWidthAndPrintsOnce)
{
    w->SBut5Click();
    ASSERT_NE(print->width(), 800);
    const char* buttons[] = {"SBConePrint", "SBFlatPrint", "SBConePrint", "SBConePrint"};
    int expectedWidth = 800;
    std::size_t expectedPages = 0;
    for (const char* name : buttons) {
        button(name)->click();
        ++expectedPages;
        EXPECT_EQ(print->width(), expectedWidth) << name;
        EXPECT_EQ(printer.pages.size(), expectedPages) << name;
        expectedWidth = expectedWidth == 800 ? 801 : 800;
    }
    EXPECT_FALSE(print->isVisible()) << "the sheet is never shown";
    // Nothing changed between the clicks: the same drawing each time.
    EXPECT_EQ(printer.pages[2], printer.pages[3]);
}

TEST_F(FrameTest, SectionPrintRecomputesBeforeDrawingAndACancelPrintsNothing)
{
    w->state().SBut = vx::CURVECONE;
    w->state().CurveConD1 = 0;
    printer.answers = {false};
    button("SBConePrint")->click();
    EXPECT_GT(w->state().CurveConD1, 0) << "the geometry ran first";
    EXPECT_EQ(printer.dialogsShown, 1);
    EXPECT_TRUE(printer.pages.empty());
    EXPECT_FALSE(print->Image1().isNull()) << "the drawing stays on the hidden picture";
}

// ---- a printer that cannot be started

// Both print commands: when the chosen printer refuses to start, a warning says so instead of nothing at
// all; the rest of the command is as with a printer that works.
struct RefusedPrintRow {
    const char* name;
    const char* button;
    bool togglesSheet; // the section print changes the sheet's width on every click
};

void PrintTo(const RefusedPrintRow& r, std::ostream* os) { *os << r.name; }

class RefusedPrintTest : public FrameTest, public ::testing::WithParamInterface<RefusedPrintRow> {};

TEST_P(RefusedPrintTest, PrinterThatRefusesToBeginGivesTheWarning)
{
    showWindow();
    w->SBut5Click();
    dialogs.boxes.clear();
    const int width = print->width();
    const int toggled = width == 800 ? 801 : 800;
    printer.begins = false;
    button(GetParam().button)->click();
    EXPECT_EQ(print->width(), GetParam().togglesSheet ? toggled : width);
    EXPECT_EQ(printer.dialogsShown, 1);
    EXPECT_TRUE(printer.pages.empty());
    ASSERT_EQ(dialogs.boxes.size(), 1u) << dialogs.texts().join(u'\n').toStdString();
    EXPECT_EQ(dialogs.boxes[0].type, vx::MsgType::Warning);
    EXPECT_EQ(dialogs.boxes[0].buttons, vx::MsgButtons::Ok);
    EXPECT_EQ(dialogs.boxes[0].text.toStdString(), "Не удалось начать печать");

    // The printer works again: the same command prints, and says nothing.
    printer.begins = true;
    button(GetParam().button)->click();
    EXPECT_EQ(printer.dialogsShown, 2);
    EXPECT_EQ(printer.pages.size(), 1u);
    EXPECT_EQ(dialogs.boxes.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Commands, RefusedPrintTest,
                         ::testing::Values(RefusedPrintRow{"Window", "BoButPrint", false},
                                           RefusedPrintRow{"Section", "SBConePrint", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The real page: a printer whose output cannot be opened does not start; one that can gets its page.
TEST(PrintImageOn, TellsWhetherThePrinterStarted)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::black);
    struct Row {
        const char* file;
        bool starts;
    };
    for (const Row& row : {Row{"missing-folder/page.pdf", false}, Row{"page.pdf", true}}) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QString::fromLatin1(row.file)));
        EXPECT_EQ(vx::printImageOn(printer, image), row.starts) << row.file;
        EXPECT_EQ(QFileInfo(printer.outputFileName()).size() > 0, row.starts) << row.file;
    }
}

// ---- the section drawing

bool dark(const QImage& img, int x, int y)
{
    return x >= 0 && y >= 0 && x < img.width() && y < img.height() && qGray(img.pixel(x, y)) < 128;
}

int rightmostDark(const QImage& img, int y)
{
    for (int x = img.width() - 1; x >= 0; --x) {
        if (dark(img, x, y))
            return x;
    }
    return -1;
}

bool anyDark(const QImage& img, const QRect& r)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (dark(img, x, y))
                return true;
    return false;
}

int px(double mm) { return static_cast<int>(std::lrint(mm * 3.78)); }

class SectionDrawingTest : public FrameTest {
protected:
    // A kept round curved port and its curve settings, drawn as the print button's width change does.
    QImage drawRound(double L, double throat, double outlet, int func, int multiplier)
    {
        w->state().CurveConL = L;
        w->state().CurveConD1 = throat;
        w->state().CurveConD = outlet;
        w->setSelectorIndex("CBCurveType", func);
        w->setSpinValue("SEdDiv", multiplier);
        print->FormResize();
        return print->Image1();
    }
};

TEST_F(SectionDrawingTest, WorkedRoundPortLandsOnItsPixels)
{
    const QImage img = drawRound(100, 60, 90, vx::Cosh, 30);
    ASSERT_EQ(img.size(), QSize(760, 950));
    // Mouths 340 pixels wide at y = 0 and y = 378.
    for (const int y : {0, 378}) {
        for (const int x : {0, 100, 170, 339, 340})
            EXPECT_TRUE(dark(img, x, y)) << x << "," << y;
        EXPECT_FALSE(dark(img, 344, y)) << y;
    }
    // The axis at x = 170 and the throat line at y = 189, both dashed: ink and gaps along them.
    int axisInk = 0, throatInk = 0;
    for (int y = 1; y < 378; ++y)
        axisInk += dark(img, 170, y);
    for (int x = 0; x <= 340; ++x)
        throatInk += dark(img, x, 189);
    EXPECT_GT(axisInk, 50);
    EXPECT_LT(axisInk, 377);
    EXPECT_GT(throatInk, 30);
    EXPECT_LT(throatInk, 341);
    // The walls pass the throat at half its size from the axis: 30 mm → 113 pixels.
    EXPECT_TRUE(dark(img, 170 + 113, 189));
    EXPECT_TRUE(dark(img, 170 - 113, 189));
    EXPECT_FALSE(dark(img, 170 + 120, 189 + 1));
    // The profile is mirrored about the axis and about the throat line.
    for (const int d : {20, 60, 100, 150, 185}) {
        const int below = 189 + d, above = 189 - d;
        const int right = rightmostDark(img, below);
        EXPECT_GT(right, 170 + 113) << d;
        EXPECT_TRUE(dark(img, 340 - right, below)) << d;
        EXPECT_EQ(rightmostDark(img, above), right) << d;
    }
    // The wall widens steadily from the throat to the mouth.
    EXPECT_LT(rightmostDark(img, 189 + 50), rightmostDark(img, 189 + 150));
    // Nothing beyond the section.
    EXPECT_FALSE(anyDark(img, QRect(345, 40, 400, 900)));
    EXPECT_FALSE(anyDark(img, QRect(0, 380, 345, 560)));
}

TEST_F(SectionDrawingTest, TextsStartLeftOfTheAxisForAWideOutletElseAtFour)
{
    struct Row {
        double throat, outlet;
        int multiplier; // the one that opens the throat to the outlet over 100 mm
        int textX;
    };
    const Row rows[] = {{60, 90, 30, 170 - 117}, {40, 60, 20, 4}, {40, 61, 21, px(30.5) - 117}};
    for (const Row& r : rows) {
        const QImage img = drawRound(100, r.throat, r.outlet, vx::Cosh, r.multiplier);
        const int start = std::max(r.textX, 0);
        EXPECT_TRUE(anyDark(img, QRect(start, 6, 40, 12))) << r.outlet;
        // Left of the texts, above where the wall comes in from the mouth's corner.
        if (r.textX > 20) {
            EXPECT_FALSE(anyDark(img, QRect(14, 6, r.textX - 14, 7))) << "nothing left of the texts, " << r.outlet;
        }
    }
}

struct FunctionLineRow {
    const char* name;
    int func, multiplier;
    const char* line; // with "." for the system's separator
};

void PrintTo(const FunctionLineRow& r, std::ostream* os) { *os << r.name; }

class FunctionLineTest : public SectionDrawingTest, public ::testing::WithParamInterface<FunctionLineRow> {};

TEST_P(FunctionLineTest, NamesTheFunctionAndItsFactorWithTheSystemSeparator)
{
    const FunctionLineRow& row = GetParam();
    const QImage img = drawRound(100, 60, 90, row.func, row.multiplier);
    // The same line written alone where the sheet writes it: left of the axis, in the sheet's font.
    QString line = QString::fromUtf8(row.line);
    line.replace(QLatin1Char('.'), QLatin1Char(w->decimalSeparator()));
    QImage expected(img.size(), img.format());
    expected.fill(Qt::white);
    {
        QPainter p(&expected);
        p.setFont(print->font());
        p.setPen(Qt::black);
        p.drawText(QRect(53, 6, 760, 950), Qt::AlignLeft | Qt::AlignTop, line);
    }
    const QRect band(53, 6, 170 - 53, 13); // up to the axis, which crosses the line
    EXPECT_EQ(img.copy(band), expected.copy(band));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FunctionLineTest,
    ::testing::Values(FunctionLineRow{"Cosh", vx::Cosh, 30, "Функция:  Cosh x 0.3"},
                      FunctionLineRow{"Circle", vx::Circle, 25, "Функция:  Круг x 0.25"},
                      FunctionLineRow{"NoItemIsCosh", -1, 50, "Функция:  Cosh x 0.5"},
                      FunctionLineRow{"SmallestFactor", vx::Circle, 10, "Функция:  Круг x 0.1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SectionDrawingTest, CircleProfileStaysCloserToTheThroatThanCosh)
{
    const QImage cosh = drawRound(100, 60, 90, vx::Cosh, 30);
    const QImage circle = drawRound(100, 60, 90, vx::Circle, 30);
    const int quarter = 189 + 94;
    EXPECT_LT(rightmostDark(circle, quarter), rightmostDark(cosh, quarter));
    EXPECT_GT(rightmostDark(circle, quarter), 170 + 113);
}

TEST_F(SectionDrawingTest, NoBaseFunctionDrawsCosh)
{
    const QImage cosh = drawRound(100, 60, 90, vx::Cosh, 30);
    const QImage none = drawRound(100, 60, 90, -1, 30);
    EXPECT_EQ(none, cosh);
}

TEST_F(SectionDrawingTest, MultiplierComesFromTheEditorNotTheKeptValue)
{
    w->state().CurveConDiv = 30;
    const QImage img = drawRound(100, 60, 90, vx::Cosh, 10);
    // k = 0.1: the wall reaches 30 + 5 mm from the axis at the mouth, inside the 45 mm mouth.
    const int wall = rightmostDark(img, 3);
    EXPECT_NEAR(wall, 170 + px(35), 2);
}

TEST_F(SectionDrawingTest, SlotPageDrawsTheKeptSlotWidths)
{
    auto* pages = qobject_cast<QStackedWidget*>(part("PageCWork"));
    pages->setCurrentIndex(vx::CURVEFLAT);
    w->state().CurveConL = 100;
    w->state().CurveConD1 = 60;
    w->state().CurveConD = 90;
    w->state().CurveFlatL = 60;
    w->state().CurveFlatW1 = 40;
    w->state().CurveFlatW = 52;
    w->setSpinValue("SEFdiv", 20);
    w->setSelectorIndex("CBFcurveType", vx::Circle);
    print->FormResize();
    const QImage img = print->Image1();
    const int right = px(52), bottom = px(60);
    EXPECT_TRUE(dark(img, right, 0));
    EXPECT_TRUE(dark(img, right, bottom));
    EXPECT_FALSE(dark(img, right + 4, 0));
    EXPECT_FALSE(dark(img, right + 4, bottom));
    EXPECT_TRUE(dark(img, px(26) + px(20), px(30)));
    EXPECT_TRUE(anyDark(img, QRect(4, 6, 40, 12))) << "a narrow outlet puts the texts at x = 4";
}

TEST_F(SectionDrawingTest, APortWithoutLengthDrawsNoProfile)
{
    const QImage img = drawRound(0, 60, 90, vx::Cosh, 30);
    EXPECT_TRUE(dark(img, 340, 0));
    EXPECT_FALSE(anyDark(img, QRect(345, 50, 400, 899)));
}

// ---- the section's rows to the pixel

// Round(mm · 3.78) worked out exactly for the double mm, halves to the even neighbour: mm · 378 is exact
// in a long double (53 + 9 bits), and so is its remainder over 100.
int exactPx(double mm)
{
    const long double hundredths = static_cast<long double>(mm) * 378;
    const long double rest = std::fmod(hundredths, 100.0L);
    const auto whole = static_cast<long long>((hundredths - rest) / 100);
    if (rest < 50)
        return static_cast<int>(whole);
    if (rest > 50)
        return static_cast<int>(whole + 1);
    return static_cast<int>(whole % 2 == 0 ? whole : whole + 1);
}

int darkInRow(const QImage& img, int y, int from, int to)
{
    int n = 0;
    for (int x = from; x <= to; ++x)
        n += dark(img, x, y);
    return n;
}

struct SectionRowsRow {
    const char* name;
    int length;   // mm
    int throatY;  // Round(L/2 · 3.78): 283.5 → 284 and 236.25 → 236
    int bottomY;  // Round(L · 3.78): 661.5 → 662, 472.5 → 472
};

void PrintTo(const SectionRowsRow& r, std::ostream* os) { *os << r.name; }

class SectionRowsTest : public FrameTest, public ::testing::WithParamInterface<SectionRowsRow> {};

// The whole road of a user's print: the design typed, the round curved page, the print button.
TEST_P(SectionRowsTest, ThroatLineAndMouthsLieOnTheirRows)
{
    const SectionRowsRow& row = GetParam();
    const std::pair<const char*, const char*> inputs[] = {{"EditFb", "30"}, {"EditVb", "45"}, {"EditDd", "210"},
                                                          {"EditNd", "1"},  {"EditXmax", "7"}, {"EditVs", "344"}};
    for (const auto& [field, text] : inputs)
        w->setText(field, text);
    w->setSpinValue("SpinEdNPorts", 1);
    w->SBut5Click();
    ASSERT_EQ(w->state().SBut, vx::CURVECONE);
    w->setText("EditCurveConL", std::to_string(row.length));
    w->setSelectorIndex("CBCurveType", vx::Cosh);
    w->setSpinValue("SEdDiv", 10);
    dialogs.boxes.clear(); // what start-up reported is not this test's business
    button("SBConePrint")->click();
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(printer.pages.size(), 1u);
    ASSERT_EQ(w->state().CurveConL, row.length);
    const double outlet = w->state().CurveConD;
    ASSERT_GT(outlet, w->state().CurveConD1);

    // The rows the drawing must use, worked out from the length alone.
    ASSERT_EQ(exactPx(row.length / 2.0), row.throatY);
    ASSERT_EQ(exactPx(row.length), row.bottomY);
    const int right = exactPx(outlet);
    const int axis = exactPx(outlet / 2);

    const QImage img = print->Image1();
    // The solid mouths: every pixel from 0 to the outlet's width, nothing beyond; the wall that meets
    // them from inside leaves only a few pixels on the rows next to them.
    for (const int y : {0, row.bottomY}) {
        EXPECT_EQ(darkInRow(img, y, 0, right), right + 1) << "mouth at " << y;
        EXPECT_FALSE(dark(img, right + 1, y)) << "mouth at " << y;
    }
    EXPECT_LT(darkInRow(img, row.bottomY - 1, 0, right), 8);
    // The walls end Round(L/2 · 3.78) below the throat line: when that half rounds up (L = 150: 284 + 284)
    // their last pixels lie one row below the mouth (567). Nothing at all below that.
    const int lowest = std::max(row.bottomY, 2 * row.throatY);
    EXPECT_LE(darkInRow(img, row.bottomY + 1, 0, img.width() - 1), lowest > row.bottomY ? 4 : 0);
    EXPECT_EQ(darkInRow(img, lowest + 1, 0, img.width() - 1), 0);
    // The dashed throat line: ink along its row, only the walls and the axis on the rows beside it.
    EXPECT_GT(darkInRow(img, row.throatY, 0, right), right / 4);
    for (const int beside : {row.throatY - 1, row.throatY + 1})
        EXPECT_LT(darkInRow(img, beside, 0, right), 8) << beside;
    // The walls pass the throat line symmetrically about the axis.
    const int wall = exactPx(w->state().CurveConD1 / 2);
    EXPECT_TRUE(dark(img, axis + wall, row.throatY));
    EXPECT_TRUE(dark(img, axis - wall, row.throatY));
}

INSTANTIATE_TEST_SUITE_P(Lengths, SectionRowsTest,
                         ::testing::Values(SectionRowsRow{"L150ThroatHalfUp", 150, 284, 567},
                                           SectionRowsRow{"L175BottomHalfUp", 175, 331, 662},
                                           SectionRowsRow{"L125BottomHalfDown", 125, 236, 472}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SectionDrawingTest, SheetImageHoldsThePictureAtEighteen)
{
    drawRound(100, 60, 90, vx::Cosh, 30);
    const QImage sheet = print->sheetImage();
    EXPECT_EQ(sheet.size(), QSize(792, 736));
    // Around the picture, the system's window colour: the field of an enabled editor, not the button face.
    QLineEdit field;
    EXPECT_EQ(sheet.pixel(5, 5), field.palette().color(QPalette::Active, QPalette::Base).rgb());
    EXPECT_EQ(sheet.pixel(785, 730), field.palette().color(QPalette::Active, QPalette::Base).rgb());
    EXPECT_EQ(sheet.copy(18, 18, 760, 718), print->Image1().copy(0, 0, 760, 718).convertToFormat(sheet.format()));
    printer.pages.clear();
    print->setSheetWidth(800);
    ASSERT_EQ(printer.pages.size(), 1u);
    EXPECT_EQ(printer.pages[0], sheet);
}

} // namespace

// ---- the printed scale: a template the builder cuts wood from

namespace {

constexpr int kRenderDpi = 254; // the printed page read back at 10 pixels to the millimetre
constexpr double kScreenMmPerPx = 25.4 / 96;
constexpr double kToleranceMm = 0.3;

double renderedPx(double mm) { return mm * kRenderDpi / 25.4; }

// Prints the page through the program's own page routine into a PDF file, on a printer of the given
// resolution, and reads the page back as the paper would show it.
class PdfPrinting : public vx::PrintService {
public:
    PdfPrinting(const QString& folder, int dpi) : m_pdf(folder + "/page.pdf"), m_picture(folder + "/page"), m_dpi(dpi)
    {
        vx::setPrinting(this);
    }
    ~PdfPrinting() override { vx::setPrinting(nullptr); }
    PdfPrinting(const PdfPrinting&) = delete;
    PdfPrinting& operator=(const PdfPrinting&) = delete;

    bool execDialog(QWidget*) override { return true; }
    bool printImage(const QImage& image) override
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setResolution(m_dpi);
        EXPECT_EQ(printer.resolution(), m_dpi);
        ++printed;
        return vx::printImageOn(printer, image);
    }

    // The top of the printed page, where both prints lie, in grey levels at kRenderDpi, rendered by
    // poppler's pdftoppm.
    QImage paper() const
    {
        constexpr int kWidthMm = 210, kHeightMm = 180;
        const QString widthPx = QString::number(std::lrint(renderedPx(kWidthMm)));
        const QString heightPx = QString::number(std::lrint(renderedPx(kHeightMm)));
        QProcess render;
        render.start(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-r"), QString::number(kRenderDpi), QStringLiteral("-W"), widthPx,
                      QStringLiteral("-H"), heightPx, QStringLiteral("-gray"), QStringLiteral("-png"),
                      QStringLiteral("-singlefile"), m_pdf, m_picture});
        EXPECT_TRUE(render.waitForFinished(10000)) << "pdftoppm (poppler-utils) renders the page";
        EXPECT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
        return QImage(m_picture + ".png").convertToFormat(QImage::Format_Grayscale8);
    }

    int printed = 0;

private:
    QString m_pdf, m_picture;
    int m_dpi;
};

double renderedMm(double pixels) { return pixels * 25.4 / kRenderDpi; }

// The longest run of ink (darker than mid grey) in each row of the page.
std::vector<int> longestInkRuns(const QImage& page)
{
    std::vector<int> runs(static_cast<std::size_t>(page.height()), 0);
    for (int y = 0; y < page.height(); ++y) {
        const uchar* row = page.constScanLine(y);
        int run = 0;
        for (int x = 0; x < page.width(); ++x) {
            run = row[x] < 128 ? run + 1 : 0;
            runs[static_cast<std::size_t>(y)] = std::max(runs[static_cast<std::size_t>(y)], run);
        }
    }
    return runs;
}

// A solid horizontal line as printed: the rows it covers and the length of its run of ink.
struct PrintedLine {
    int top = 0, bottom = 0; // rows of the page, inclusive
    int length = 0;          // pixels
    double centre() const { return (top + bottom) / 2.0; }
    int thickness() const { return bottom - top + 1; }
};

// The solid lines across the page: bands of rows whose ink runs at least half as long as the longest.
// The dashed axis and throat line, the texts and the slanting walls have no such runs.
std::vector<PrintedLine> solidLines(const QImage& page)
{
    const std::vector<int> runs = longestInkRuns(page);
    const int longest = runs.empty() ? 0 : *std::max_element(runs.begin(), runs.end());
    std::vector<PrintedLine> lines;
    for (int y = 0; y < static_cast<int>(runs.size()); ++y) {
        const int run = runs[static_cast<std::size_t>(y)];
        if (longest == 0 || run * 2 < longest)
            continue;
        if (!lines.empty() && lines.back().bottom == y - 1) {
            lines.back().bottom = y;
            lines.back().length = std::max(lines.back().length, run);
        } else {
            lines.push_back({y, y, run});
        }
    }
    return lines;
}

// What is printed of the window: the rectangle of everything darker than half-way between the
// window's face and the white paper.
QRect printedWindow(const QImage& page, int face)
{
    const int threshold = (face + 255) / 2;
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        const uchar* row = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x) {
            if (row[x] < threshold) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = y;
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

struct PrintScaleRow {
    const char* name;
    int dpi;
};

void PrintTo(const PrintScaleRow& r, std::ostream* os) { *os << r.name; }

class PrintScaleTest : public SectionDrawingTest, public ::testing::WithParamInterface<PrintScaleRow> {
protected:
    QTemporaryDir m_out;
};

} // namespace

TEST_P(PrintScaleTest, SectionSheetPrintsAHundredMillimetresAsAHundred)
{
    ASSERT_TRUE(m_out.isValid());
    PdfPrinting pdf(m_out.path(), GetParam().dpi);
    // A port 100 mm long whose mouths are 100 mm wide: the mouth lines stand 100 mm apart and are 100 mm
    // long, from the centre of one end to the centre of the other.
    drawRound(100, 60, 100, vx::Cosh, 30);
    ASSERT_EQ(pdf.printed, 1);
    const QImage paper = pdf.paper();
    ASSERT_FALSE(paper.isNull());
    const std::vector<PrintedLine> mouths = solidLines(paper);
    ASSERT_EQ(mouths.size(), 2u) << "the two mouth lines";
    EXPECT_NEAR(renderedMm(mouths[1].centre() - mouths[0].centre()), 100.0, kToleranceMm) << "along the port";
    // A line one screen pixel thick is as thick as it is long beyond the centres of its ends.
    EXPECT_NEAR(renderedMm(mouths[0].length - mouths[0].thickness()), 100.0, kToleranceMm) << "across the mouth";
}

TEST_P(PrintScaleTest, WindowPrintsAtItsScreenSize)
{
    ASSERT_TRUE(m_out.isValid());
    showWindow();
    PdfPrinting pdf(m_out.path(), GetParam().dpi);
    button("BoButPrint")->click();
    ASSERT_EQ(pdf.printed, 1);
    const QImage paper = pdf.paper();
    ASSERT_FALSE(paper.isNull());
    // 96 pixels to the inch: 100 mm of the window on screen are 100 mm on paper.
    const QRect printed = printedWindow(paper, qGray(w->palette().color(QPalette::Window).rgb()));
    EXPECT_NEAR(renderedMm(printed.width()) / (w->width() * kScreenMmPerPx) * 100, 100.0, kToleranceMm);
    EXPECT_NEAR(renderedMm(printed.height()) / (w->height() * kScreenMmPerPx) * 100, 100.0, kToleranceMm);
}

INSTANTIATE_TEST_SUITE_P(Printers, PrintScaleTest,
                         ::testing::Values(PrintScaleRow{"Dpi300", 300}, PrintScaleRow{"Dpi1200", 1200}),
                         [](const auto& info) { return std::string(info.param.name); });
