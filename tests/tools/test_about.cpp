// The splash window: its picture and layout, its closing timer, every way of closing it, and the hand-over
// to the main window's banner timer.
#include "tools/TF_About.h"

#include "app/TF_Main.h"
#include "app/Windows.h"
#include "platform/JpegImage.h"
#include "RecordingDialogs.h"

#include <QLabel>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace {

// Components by their names, as the layout names them.
QLabel* label(const TF_About& w, const char* name)
{
    auto* l = w.findChild<QLabel*>(name);
    EXPECT_NE(l, nullptr) << name;
    return l;
}

QToolButton* button(const TF_About& w)
{
    auto* b = w.findChild<QToolButton*>("SpeedButton1");
    EXPECT_NE(b, nullptr);
    return b;
}

// A main window as the program has it when the splash comes up: created, banner timer off.
class SplashTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_main = std::make_unique<TF_Main>();
        F_Main = m_main.get();
        F_Main->timer1()->stop();
        m_about = std::make_unique<TF_About>();
        F_About = m_about.get();
    }
    void TearDown() override
    {
        F_About = nullptr;
        m_about.reset();
        F_Main = nullptr;
        m_main.reset();
    }

    vx::test::RecordingDialogs m_dialogs; // start-up messages of the main window go here
    std::unique_ptr<TF_Main> m_main;
    std::unique_ptr<TF_About> m_about;
};

} // namespace

TEST_F(SplashTest, TimerClosesAfter7000MsOnceAndRunsFromCreation)
{
    EXPECT_EQ(m_about->Timer1->interval(), 7000);
    EXPECT_TRUE(m_about->Timer1->isSingleShot());
    EXPECT_EQ(m_about->Timer1->timerType(), Qt::PreciseTimer) << "on time, not within 5 %";
    EXPECT_TRUE(m_about->Timer1->isActive()) << "the timer counts from the window's creation";
}

TEST_F(SplashTest, FrameAndLayout)
{
    EXPECT_EQ(m_about->objectName(), "TF_About");
    EXPECT_EQ(m_about->windowTitle(), QString::fromUtf8(" О программе"));
    EXPECT_EQ(m_about->size(), QSize(400, 225));
    EXPECT_EQ(m_about->minimumSize(), m_about->maximumSize()) << "the user cannot resize it";
    EXPECT_FALSE(m_about->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(m_about->windowFlags() & Qt::WindowMaximizeButtonHint);

    EXPECT_EQ(label(*m_about, "Label1")->text(), "Vornalex");
    EXPECT_EQ(label(*m_about, "Label1")->pos(), QPoint(264, 36));
    EXPECT_TRUE(label(*m_about, "Label1")->font().bold());
    EXPECT_EQ(label(*m_about, "Label1")->font().pixelSize(), 24);
    EXPECT_EQ(label(*m_about, "Label4")->text(), "ver. 1.21");
    EXPECT_EQ(label(*m_about, "Label4")->pos(), QPoint(294, 69));
    EXPECT_TRUE(label(*m_about, "Label4")->font().bold());

    QToolButton* speed = button(*m_about);
    EXPECT_EQ(speed->geometry(), QRect(280, 168, 75, 27));
    EXPECT_TRUE(speed->text().isEmpty());
    EXPECT_FALSE(speed->icon().isNull());
    EXPECT_EQ(speed->iconSize(), QSize(75, 24));
    EXPECT_EQ(speed->focusPolicy(), Qt::NoFocus);
}

TEST_F(SplashTest, PictureIsTheDecodedJpegFillingTheWindow)
{
    QLabel* image = label(*m_about, "Image1");
    EXPECT_EQ(image->geometry(), QRect(0, 0, 400, 225));
    const QPixmap shown = image->pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.size(), QSize(400, 225));

    const QImage decoded = vx::JpegImage::load(":/splash.jpg");
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_RGB32), decoded.convertToFormat(QImage::Format_RGB32));
    // The labels stand over the picture: it lies beneath them.
    EXPECT_EQ(m_about->childAt(270, 40), label(*m_about, "Label1"));
    EXPECT_EQ(m_about->childAt(10, 10), image);
}

namespace {

// The ways the splash window closes.
struct Closing {
    const char* name;
    std::function<void(TF_About&)> act;
};

void PrintTo(const Closing& c, std::ostream* os)
{
    *os << c.name;
}

const Closing kClosings[] = {
    {"TimerHandler", [](TF_About& w) { w.Timer1Timer(); }},
    {"TimerTick",
     [](TF_About& w) {
         // The real tick, brought forward: the connection from the timer to its handler is what is tested.
         w.Timer1->start(1);
         QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 2000);
     }},
    {"ButtonHandler", [](TF_About& w) { w.SpeedButton1Click(); }},
    {"ButtonClick", [](TF_About& w) { QTest::mouseClick(button(w), Qt::LeftButton); }},
    {"CloseBox", [](TF_About& w) { w.close(); }},
    {"Escape", [](TF_About& w) { QTest::keyClick(&w, Qt::Key_Escape); }},
};

class SplashClosing : public SplashTest, public testing::WithParamInterface<Closing> {};

} // namespace

TEST_P(SplashClosing, ClosesAndStartsTheBannerTimer)
{
    m_about->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_about.get()));
    m_about->activateWindow();
    ASSERT_FALSE(F_Main->timer1()->isActive());

    GetParam().act(*m_about);

    EXPECT_FALSE(m_about->isVisible());
    EXPECT_FALSE(m_about->Timer1->isActive()) << "the own timer is switched off";
    EXPECT_TRUE(F_Main->timer1()->isActive()) << "the banner timer counts from the splash's closing";
}

INSTANTIATE_TEST_SUITE_P(Ways, SplashClosing, testing::ValuesIn(kClosings),
                         [](const testing::TestParamInfo<Closing>& info) { return std::string(info.param.name); });

TEST_F(SplashTest, ModalShowingEndsWhenTheButtonIsPressed)
{
    QTimer::singleShot(50, m_about.get(), [this] { QTest::mouseClick(button(*m_about), Qt::LeftButton); });
    m_about->exec();
    EXPECT_FALSE(m_about->isVisible());
    EXPECT_TRUE(F_Main->timer1()->isActive());
}

TEST_F(SplashTest, BannerTimerStaysOffWhileTheSplashIsOpen)
{
    m_about->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_about.get()));
    QTest::qWait(50);
    EXPECT_FALSE(F_Main->timer1()->isActive());
}

TEST_F(SplashTest, ClosingWithoutMainWindowOnlyStopsItsOwnTimer)
{
    F_Main = nullptr;
    m_about->show();
    m_about->close();
    EXPECT_FALSE(m_about->isVisible());
    EXPECT_FALSE(m_about->Timer1->isActive());
    F_Main = m_main.get();
    EXPECT_FALSE(F_Main->timer1()->isActive());
}
