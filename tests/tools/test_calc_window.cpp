// The calculator window as a user works it: typing with key events, Tab and Enter, the radio buttons
// and the button, under both decimal separators. The main window supplies the speed of sound and the
// separator.
#include "tools/TF_Calc.h"

#include "app/TF_Main.h"
#include "app/Windows.h"
#include "projects/ProgramFolder.h"
#include "RecordingDialogs.h"
#include "SeparatorMain.h"
#include "Typing.h"

#include "ChildWidget.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <tuple>

using vx::test::typeOver;
using vx::test::typeText;

namespace {

constexpr char kSeparators[] = {'.', ','};

// Row texts are written with "." for the system's separator and "~" for the other one.
QString local(const char* text, char sep)
{
    QString s = QString::fromUtf8(text);
    const QChar other = sep == '.' ? QLatin1Char(',') : QLatin1Char('.');
    s.replace(QLatin1Char('.'), QLatin1Char(sep));
    s.replace(QLatin1Char('~'), other);
    return s;
}

std::string sepName(char sep)
{
    return sep == '.' ? "point" : "comma";
}

// The calculator's widgets, found by their names in its form.
struct CalcForm {
    explicit CalcForm(const QWidget& w)
        : PageControl1(vx::test::child<QTabWidget>(w, "PageControl1"))
        , TabSheet1(vx::test::child<QWidget>(w, "TabSheet1"))
        , EditFreq(vx::test::child<QLineEdit>(w, "EditFreq"))
        , EditWavLen(vx::test::child<QLineEdit>(w, "EditWavLen"))
        , TabSheet2(vx::test::child<QWidget>(w, "TabSheet2"))
        , EdBoxVol(vx::test::child<QLineEdit>(w, "EdBoxVol"))
        , EdPortL(vx::test::child<QLineEdit>(w, "EdPortL"))
        , RBPortD(vx::test::child<QRadioButton>(w, "RBPortD"))
        , EdPortD(vx::test::child<QLineEdit>(w, "EdPortD"))
        , RBPortW(vx::test::child<QRadioButton>(w, "RBPortW"))
        , EdPortW(vx::test::child<QLineEdit>(w, "EdPortW"))
        , EdPortH(vx::test::child<QLineEdit>(w, "EdPortH"))
        , EdPortN(vx::test::child<QLineEdit>(w, "EdPortN"))
        , EdFreq(vx::test::child<QLineEdit>(w, "EdFreq"))
        , SbCRecalcRes(vx::test::child<QToolButton>(w, "SbCRecalcRes"))
        , StatusBar1(vx::test::child<QStatusBar>(w, "StatusBar1"))
    {
    }
    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QLineEdit* EditFreq;
    QLineEdit* EditWavLen;
    QWidget* TabSheet2;
    QLineEdit* EdBoxVol;
    QLineEdit* EdPortL;
    QRadioButton* RBPortD;
    QLineEdit* EdPortD;
    QRadioButton* RBPortW;
    QLineEdit* EdPortW;
    QLineEdit* EdPortH;
    QLineEdit* EdPortN;
    QLineEdit* EdFreq;
    QToolButton* SbCRecalcRes;
    QStatusBar* StatusBar1;
};

// The program as the calculator meets it: a main window with the speed of sound as accepted there, and
// the calculator created hidden.
class CalcRig {
public:
    explicit CalcRig(char sep)
    {
        EXPECT_TRUE(m_dir.isValid());
        vx::setProgramFolder(m_dir.path() + QLatin1Char('/'));
        main = std::make_unique<vx::test::SeparatorMain>();
        main->sep = sep;
        main->state().Us = 344;
        F_Main = main.get();
        calc = std::make_unique<TF_Calc>(main.get());
        F_Calc = calc.get();
        boxes.boxes.clear();
    }
    ~CalcRig()
    {
        F_Calc = nullptr;
        calc.reset();
        F_Main = nullptr;
        main.reset();
        vx::setProgramFolder(QString());
    }

    // Opens the window as the main window's button does, with it active and its focus in place.
    void open()
    {
        calc->show();
        waitActive();
    }
    // Activates the window as a window manager would. Over an active main window the window counts as
    // active at once, but only becomes the application's active window, with its focus, a moment later.
    void waitActive()
    {
        calc->activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == calc.get(); }));
    }
    void close() { calc->reject(); }

    CalcForm ui() const { return CalcForm(*calc); }
    QLineEdit* edit(const char* name)
    {
        auto* e = calc->findChild<QLineEdit*>(name);
        EXPECT_NE(e, nullptr) << name;
        return e;
    }
    QWidget* focus() const { return QApplication::focusWidget(); }

    vx::test::RecordingDialogs boxes;
    std::unique_ptr<vx::test::SeparatorMain> main;
    std::unique_ptr<TF_Calc> calc;

private:
    QTemporaryDir m_dir;
};

class CalcTest : public testing::Test {
protected:
    CalcRig rig{'.'};
};

class SeparatorTest : public testing::TestWithParam<char> {
protected:
    char sep() const { return GetParam(); }
    CalcRig rig{GetParam()};
};

} // namespace

// ---- the window's layout

namespace {

struct Caption {
    const char* name;
    const char* text;
};

const Caption kCaptions[] = {
    {"Label1", "Тут можно рассчитать длину волны звукового сигнала по его частоте,"},
    {"Label2", "или частоту, задав длину волны."},
    {"Label3", "Введите в соответствующем боксе нужное значение"},
    {"Label4", "Частота"},
    {"Label5", "Гц"},
    {"Label6", "Длина волны"},
    {"Label7", "м"},
    {"Label8", "Тут можно рассчитать частоту настройки имеющегося фазоинвертора."},
    {"Label9", "Введите соответствующие значения и нажмите  [Enter]"},
    {"Label10", "Внутренний объём ящика"},
    {"Label11", "л"},
    {"Label12", "Длина порта"},
    {"Label13", "мм"},
    {"RBPortD", "Диаметр порта"},
    {"Label14", "мм"},
    {"RBPortW", "Ширина порта"},
    {"Label15", "мм"},
    {"Label16", "Высота порта"},
    {"Label17", "мм"},
    {"Label18", "Количество портов"},
    {"Label19", "Частота настройки"},
    {"Label20", "Гц"},
};

void PrintTo(const Caption& c, std::ostream* os)
{
    *os << c.name;
}

class CaptionTest : public testing::TestWithParam<Caption> {
protected:
    CalcRig rig{'.'};
};

} // namespace

TEST_P(CaptionTest, ShowsItsTextWhollyInsideItsTab)
{
    const Caption& c = GetParam();
    auto* w = rig.calc->findChild<QWidget*>(c.name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->property("text").toString(), QString::fromUtf8(c.text));
    const QRect page = w->parentWidget()->rect();
    EXPECT_TRUE(page.contains(w->geometry())) << "cut off by its tab";
    EXPECT_GE(w->width(), w->sizeHint().width()) << "its text does not fit";
}

INSTANTIATE_TEST_SUITE_P(Captions, CaptionTest, testing::ValuesIn(kCaptions),
                         [](const testing::TestParamInfo<Caption>& info) { return std::string(info.param.name); });

TEST_F(CalcTest, FrameTabsAndResultField)
{
    TF_Calc& w = *rig.calc;
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8(" Калькулятор"));
    EXPECT_EQ(w.size(), QSize(434, 368));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.isModal());

    QTabWidget* tabs = rig.ui().PageControl1;
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QString::fromUtf8("Длина волны"));
    EXPECT_EQ(tabs->tabText(1), QString::fromUtf8("Настройка ФИ"));
    EXPECT_EQ(tabs->currentIndex(), 1) << "the first opening shows the tuning tab";
    EXPECT_TRUE(rig.ui().StatusBar1->currentMessage().isEmpty());

    QLineEdit* result = rig.ui().EdFreq;
    EXPECT_TRUE(result->isReadOnly());
    EXPECT_FALSE(result->focusPolicy() & Qt::TabFocus) << "no tab stop";
    EXPECT_EQ(result->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Button));

    QToolButton* button = rig.ui().SbCRecalcRes;
    EXPECT_EQ(button->toolTip(), "Calculate");
    EXPECT_TRUE(button->text().isEmpty());
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(rig.ui().RBPortD->isChecked());
}

namespace {

// The editors reached by pressing Tab from the box volume until it comes round again.
QStringList tabbedEditors(CalcRig& rig)
{
    QStringList seen;
    rig.ui().EdBoxVol->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 20; ++i) {
        QWidget* w = rig.focus();
        if (qobject_cast<QLineEdit*>(w))
            seen << w->objectName();
        QTest::keyClick(w, Qt::Key_Tab);
        if (rig.focus() == rig.ui().EdBoxVol)
            break;
    }
    return seen;
}

} // namespace

TEST_F(CalcTest, TabGoesThroughTheEditorsOfTheChosenKindInOrder)
{
    rig.open();
    EXPECT_EQ(tabbedEditors(rig), QStringList({"EdBoxVol", "EdPortL", "EdPortD", "EdPortN"}));
    QTest::mouseClick(rig.ui().RBPortW, Qt::LeftButton);
    EXPECT_EQ(tabbedEditors(rig), QStringList({"EdBoxVol", "EdPortL", "EdPortW", "EdPortH", "EdPortN"}));
}

// ---- wavelength and frequency

namespace {

struct ConversionRow {
    const char* editor; // typed into
    const char* typed;
    const char* shown;  // the typed editor afterwards
    const char* other;  // the other editor
};

const ConversionRow kConversions[] = {
    {"EditFreq", "344", "344", "1"},
    {"EditWavLen", "0.5", "0.5", "688"},
    {"EditFreq", "3", "3", "114.667"},
    {"EditFreq", "1~5", "1.5", "229.333"},      // the other separator becomes the system's as it is typed
    {"EditFreq", "1.5.", "1.5", "229.333"},     // a second separator is dropped at once
    {"EditFreq", "1.5~2", "1.52", "226.316"},
    {"EditWavLen", "~25", "0.25", "1376"},      // a leading separator gets its zero
    {"EditWavLen", "-2e1", "21", "16.381"},     // no sign, no exponent
    {"EditFreq", "0", "0", ""},                 // zero converts to nothing
    {"EditWavLen", "0.000", "0.000", ""},
    {"EditFreq", "abc", "", ""},
    {"EditFreq", "Гц", "", ""},
    {"EditFreq", "0.0000001", "0.0000001", "3440000000"},
};

void PrintTo(const ConversionRow& r, std::ostream* os)
{
    *os << r.editor << " \"" << r.typed << '"';
}

class ConversionTest : public testing::TestWithParam<std::tuple<ConversionRow, char>> {
protected:
    const ConversionRow& row() const { return std::get<0>(GetParam()); }
    char sep() const { return std::get<1>(GetParam()); }
    CalcRig rig{std::get<1>(GetParam())};
};

} // namespace

TEST_P(ConversionTest, TypingInOneFieldFillsTheOther)
{
    rig.open();
    QMetaObject::invokeMethod(rig.ui().PageControl1, "setCurrentIndex", Q_ARG(int, 0));
    QLineEdit* typed = rig.edit(row().editor);
    QLineEdit* other = typed == rig.ui().EditFreq ? rig.ui().EditWavLen : rig.ui().EditFreq;
    typeOver(typed, local(row().typed, sep()));
    EXPECT_EQ(typed->text(), local(row().shown, sep()));
    EXPECT_EQ(typed->cursorPosition(), typed->text().size()) << "the caret stays at the end";
    EXPECT_EQ(other->text(), local(row().other, sep()));
    EXPECT_TRUE(rig.boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, ConversionTest,
                         testing::Combine(testing::ValuesIn(kConversions), testing::ValuesIn(kSeparators)));

TEST_P(SeparatorTest, DeletingEverythingEmptiesTheOtherField)
{
    rig.open();
    rig.ui().PageControl1->setCurrentIndex(0);
    QLineEdit* freq = rig.ui().EditFreq;
    typeOver(freq, QStringLiteral("344"));
    ASSERT_EQ(rig.ui().EditWavLen->text(), "1");
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(freq, Qt::Key_Backspace);
    EXPECT_TRUE(freq->text().isEmpty());
    EXPECT_TRUE(rig.ui().EditWavLen->text().isEmpty());
}

TEST_P(SeparatorTest, ConversionUsesTheMainWindowsSpeedOfSound)
{
    rig.main->state().Us = 330;
    rig.open();
    rig.ui().PageControl1->setCurrentIndex(0);
    typeOver(rig.ui().EditWavLen, local("0.5", sep()));
    EXPECT_EQ(rig.ui().EditFreq->text(), "660");
    typeOver(rig.ui().EditFreq, QStringLiteral("7"));
    EXPECT_EQ(rig.ui().EditWavLen->text(), local("47.143", sep()));
}

TEST_P(SeparatorTest, ArrowKeysRefilterButKeepTheConversion)
{
    rig.open();
    rig.ui().PageControl1->setCurrentIndex(0);
    typeOver(rig.ui().EditWavLen, local("2", sep()));
    QTest::keyClick(rig.ui().EditWavLen, Qt::Key_Left);
    EXPECT_EQ(rig.ui().EditWavLen->text(), "2");
    EXPECT_EQ(rig.ui().EditFreq->text(), "172");
}

INSTANTIATE_TEST_SUITE_P(Separators, SeparatorTest, testing::ValuesIn(kSeparators),
                         [](const testing::TestParamInfo<char>& info) { return sepName(info.param); });

// ---- opening and what survives it

TEST_F(CalcTest, FirstOpeningShowsTheTuningTabWithCountOne)
{
    rig.open();
    EXPECT_EQ(rig.ui().PageControl1->currentWidget(), rig.ui().TabSheet2);
    EXPECT_EQ(rig.focus(), rig.ui().EdBoxVol);
    EXPECT_EQ(rig.ui().EdPortN->text(), "1");
    for (QLineEdit* e : {rig.ui().EditFreq, rig.ui().EditWavLen, rig.ui().EdBoxVol, rig.ui().EdPortL,
                         rig.ui().EdPortD, rig.ui().EdPortW, rig.ui().EdPortH, rig.ui().EdFreq})
        EXPECT_TRUE(e->text().isEmpty()) << e->objectName().toStdString();
    EXPECT_TRUE(rig.ui().EdPortD->isEnabled());
    EXPECT_FALSE(rig.ui().EdPortW->isEnabled());
    EXPECT_FALSE(rig.ui().EdPortH->isEnabled());
}

TEST_F(CalcTest, EveryOpeningEmptiesTheEditors)
{
    rig.open();
    typeOver(rig.ui().EdBoxVol, QStringLiteral("50"));
    typeOver(rig.ui().EdPortL, QStringLiteral("200"));
    typeOver(rig.ui().EdPortD, QStringLiteral("100"));
    QTest::keyClick(rig.ui().EdPortD, Qt::Key_Return);
    ASSERT_EQ(rig.ui().EdFreq->text(), "40.9");
    rig.ui().PageControl1->setCurrentIndex(0);
    typeOver(rig.ui().EditFreq, QStringLiteral("344"));
    rig.ui().PageControl1->setCurrentIndex(1);
    rig.close();

    rig.open();
    for (QLineEdit* e : {rig.ui().EditFreq, rig.ui().EditWavLen, rig.ui().EdBoxVol, rig.ui().EdPortL,
                         rig.ui().EdPortD, rig.ui().EdFreq})
        EXPECT_TRUE(e->text().isEmpty()) << e->objectName().toStdString();
    EXPECT_EQ(rig.ui().EdPortN->text(), "1");
}

TEST_F(CalcTest, TheTabLeftOpenIsShownNextTime)
{
    rig.open();
    rig.ui().PageControl1->setCurrentIndex(0);
    rig.close();

    rig.open();
    EXPECT_EQ(rig.ui().PageControl1->currentWidget(), rig.ui().TabSheet1);
    EXPECT_EQ(rig.focus(), rig.ui().EditFreq);
    EXPECT_TRUE(rig.ui().EdPortN->text().isEmpty()) << "the count is filled only on the tuning tab";

    // The next calculation fills the count.
    rig.ui().PageControl1->setCurrentIndex(1);
    typeOver(rig.ui().EdBoxVol, QStringLiteral("50"));
    typeOver(rig.ui().EdPortL, QStringLiteral("200"));
    typeOver(rig.ui().EdPortD, QStringLiteral("100"));
    QTest::keyClick(rig.ui().EdPortD, Qt::Key_Return);
    EXPECT_EQ(rig.ui().EdPortN->text(), "1");
    EXPECT_EQ(rig.ui().EdFreq->text(), "40.9");
}

// ---- port kind

TEST_F(CalcTest, RadioButtonsSwitchTheEditorsAndTheFocus)
{
    rig.open();
    const QColor window = QApplication::palette().color(QPalette::Base);
    const QColor face = QApplication::palette().color(QPalette::Button);
    struct Kind {
        QRadioButton* button;
        QLineEdit* focused;
        bool round;
    };
    const Kind kinds[] = {{rig.ui().RBPortW, rig.ui().EdPortW, false},
                          {rig.ui().RBPortD, rig.ui().EdPortD, true},
                          {rig.ui().RBPortW, rig.ui().EdPortW, false}};
    for (const Kind& k : kinds) {
        QTest::mouseClick(k.button, Qt::LeftButton);
        EXPECT_TRUE(k.button->isChecked());
        EXPECT_EQ(rig.focus(), k.focused);
        EXPECT_EQ(rig.ui().EdPortD->isEnabled(), k.round);
        EXPECT_EQ(rig.ui().EdPortW->isEnabled(), !k.round);
        EXPECT_EQ(rig.ui().EdPortH->isEnabled(), !k.round);
        EXPECT_EQ(rig.ui().EdPortD->palette().color(QPalette::Base), k.round ? window : face);
        EXPECT_EQ(rig.ui().EdPortW->palette().color(QPalette::Base), k.round ? face : window);
        EXPECT_EQ(rig.ui().EdPortH->palette().color(QPalette::Base), k.round ? face : window);
    }
}

TEST_F(CalcTest, TheSlotChoiceSurvivesTheNextOpening)
{
    rig.open();
    QTest::mouseClick(rig.ui().RBPortW, Qt::LeftButton);
    rig.close();
    rig.open();
    EXPECT_TRUE(rig.ui().RBPortW->isChecked());
    EXPECT_TRUE(rig.ui().EdPortW->isEnabled());
    EXPECT_TRUE(rig.ui().EdPortH->isEnabled());
    EXPECT_FALSE(rig.ui().EdPortD->isEnabled());
    EXPECT_EQ(rig.focus(), rig.ui().EdBoxVol);
}

// ---- leaving an editor of the tuning tab

namespace {

struct LeaveRow {
    const char* editor;
    const char* typed;
    const char* left; // the text after Tab
};

const LeaveRow kLeaves[] = {
    {"EdBoxVol", "abc", ""},       {"EdBoxVol", "12~5", "12.5"}, {"EdBoxVol", "-3", "3"},
    {"EdPortL", "1.2.3", "1.23"},  {"EdPortL", "1~2~3", "1.23"}, // later separators of either kind go
    {"EdPortL", ".", "0."},        {"EdPortD", "100 мм", "100"},
    {"EdPortN", "x", "1"},         {"EdPortN", "", "1"},         {"EdPortN", "2.5", "2.5"},
    {"EdPortN", "3", "3"},
};

void PrintTo(const LeaveRow& r, std::ostream* os)
{
    *os << r.editor << " \"" << r.typed << '"';
}

class LeaveTest : public testing::TestWithParam<std::tuple<LeaveRow, char>> {
protected:
    const LeaveRow& row() const { return std::get<0>(GetParam()); }
    char sep() const { return std::get<1>(GetParam()); }
    CalcRig rig{std::get<1>(GetParam())};
};

} // namespace

TEST_P(LeaveTest, LeavingFiltersAndRepairs)
{
    rig.open();
    QLineEdit* e = rig.edit(row().editor);
    typeOver(e, local(row().typed, sep()));
    QTest::keyClick(e, Qt::Key_Tab);
    ASSERT_NE(rig.focus(), e);
    EXPECT_EQ(e->text(), local(row().left, sep()));
    EXPECT_TRUE(rig.ui().EdFreq->text().isEmpty()) << "leaving computes nothing";
    EXPECT_TRUE(rig.boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, LeaveTest,
                         testing::Combine(testing::ValuesIn(kLeaves), testing::ValuesIn(kSeparators)));

// ---- tuning frequency

namespace {

struct TuningRow {
    bool round;
    const char *vol, *len, *d, *w, *h, *count;
    const char* freq;  // the result shown
    const char* after; // the count afterwards
};

const TuningRow kTunings[] = {
    {true, "50", "200", "100", "", "", "1", "40.9", "1"},
    {false, "50", "200", "", "200", "50", "1", "45.3", "1"},
    {false, "50.0", "200", "abc", "200", "50", "1", "45.3", "1"}, // the diameter is not looked at
    {true, "50", "200", "100", "", "0", "1", "40.9", "1"},         // nor the slot's sides
    {true, "50", "200", "100", "", "", "0", "0", "0"},
    {true, "50", "200", "100", "", "", "2.5", "40.9", "1"},
    {true, "50", "200", "100", "", "", "", "40.9", "1"},
    {true, "50", "200", "100", "", "", "4.", "40.9", "1"},          // a separator makes no whole number
    {true, "50", "200", "100", "", "", "4", "81.7", "4"},          // twice the frequency of one port
    {true, "-5e0", "2 0 0", "1-0-0", "", "", "1", "40.9", "1"},    // filtered as they are read
    {false, "50", "200", "", "200", "50", "9", "135.8", "9"},
};

void PrintTo(const TuningRow& r, std::ostream* os)
{
    *os << (r.round ? "round " : "slot ") << r.vol << '/' << r.len << '/' << r.d << '/' << r.w << '/' << r.h
        << '/' << r.count;
}

// The editors of the tuning tab in tab order, each a place where Enter can be pressed.
constexpr const char* kInputs[] = {"EdBoxVol", "EdPortL", "EdPortD", "EdPortW", "EdPortH", "EdPortN"};

class TuningTest : public testing::TestWithParam<std::tuple<TuningRow, char>> {
protected:
    const TuningRow& row() const { return std::get<0>(GetParam()); }
    char sep() const { return std::get<1>(GetParam()); }
    CalcRig rig{std::get<1>(GetParam())};

    void fill()
    {
        rig.open();
        if (!row().round)
            QTest::mouseClick(rig.ui().RBPortW, Qt::LeftButton);
        const char* texts[] = {row().vol, row().len, row().d, row().w, row().h, row().count};
        for (int i = 0; i < 6; ++i) {
            QLineEdit* e = rig.edit(kInputs[i]);
            if (e->isEnabled())
                typeOver(e, local(texts[i], sep()));
            else
                e->setText(local(texts[i], sep())); // left over from the other kind
        }
    }
};

} // namespace

TEST_P(TuningTest, EnterInAnyEditorShowsTheFrequency)
{
    for (const char* input : kInputs) {
        fill();
        QLineEdit* e = rig.edit(input);
        if (!e->isEnabled())
            continue;
        e->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(e, Qt::Key_Return);
        EXPECT_EQ(rig.ui().EdFreq->text(), local(row().freq, sep())) << input;
        EXPECT_EQ(rig.ui().EdPortN->text(), local(row().after, sep())) << input;
        EXPECT_TRUE(rig.boxes.boxes.empty()) << input;
        rig.close();
    }
}

TEST_P(TuningTest, TheButtonShowsTheFrequency)
{
    fill();
    QTest::mouseClick(rig.ui().SbCRecalcRes, Qt::LeftButton);
    EXPECT_EQ(rig.ui().EdFreq->text(), local(row().freq, sep()));
    EXPECT_TRUE(rig.boxes.boxes.empty());
}

TEST_P(TuningTest, OtherKeysComputeNothing)
{
    fill();
    QLineEdit* last = rig.ui().EdPortN;
    QTest::keyClick(last, Qt::Key_Return);
    const QString shown = rig.ui().EdFreq->text();
    ASSERT_FALSE(shown.isEmpty());
    typeOver(rig.ui().EdPortL, QStringLiteral("1"));
    QTest::keyClick(rig.ui().EdPortL, Qt::Key_Right);
    EXPECT_EQ(rig.ui().EdFreq->text(), shown) << "the last result stays until the next Enter";
}

INSTANTIATE_TEST_SUITE_P(Rows, TuningTest,
                         testing::Combine(testing::ValuesIn(kTunings), testing::ValuesIn(kSeparators)));

// ---- the checks

namespace {

struct CheckRow {
    bool round;
    const char *vol, *len, *d, *w, *h;
    const char* enterIn;
    const char* message;
    const char* focus;
};

const CheckRow kChecks[] = {
    {true, "", "abc", "", "", "", "EdPortN", "Неверное значение объёма ящика", "EdBoxVol"},
    {true, "", "200", "100", "", "", "EdBoxVol", "Неверное значение объёма ящика", "EdBoxVol"},
    {false, "0", "0", "", "0", "0", "EdPortH", "Неверное значение объёма ящика", "EdBoxVol"},
    {true, "x", "200", "100", "", "", "EdPortL", "Неверное значение объёма ящика", "EdBoxVol"},
    {true, "50", "", "100", "", "", "EdPortD", "Неверное значение длины порта", "EdPortL"},
    {true, "50", "0.0", "", "", "", "EdBoxVol", "Неверное значение длины порта", "EdPortL"},
    {true, "50", ".", "100", "", "", "EdPortN", "Неверное значение длины порта", "EdPortL"},
    {true, "50", "200", "", "200", "50", "EdBoxVol", "Неверное значение диаметра порта", "EdPortD"},
    {true, "50", "200", "0", "", "", "EdPortL", "Неверное значение диаметра порта", "EdPortD"},
    {false, "50", "200", "100", "", "50", "EdPortH", "Неверное значение ширины порта", "EdPortW"},
    {false, "50", "200", "100", "0", "0", "EdPortN", "Неверное значение ширины порта", "EdPortW"},
    {false, "50", "200", "", "200", "", "EdPortW", "Неверное значение высоты порта", "EdPortH"},
    {false, "50", "200", "", "200", "0.00", "EdBoxVol", "Неверное значение высоты порта", "EdPortH"},
};

void PrintTo(const CheckRow& r, std::ostream* os)
{
    *os << (r.round ? "round " : "slot ") << r.vol << '/' << r.len << '/' << r.d << '/' << r.w << '/' << r.h
        << " Enter in " << r.enterIn;
}

class CheckTest : public testing::TestWithParam<std::tuple<CheckRow, char>> {
protected:
    const CheckRow& row() const { return std::get<0>(GetParam()); }
    char sep() const { return std::get<1>(GetParam()); }
    CalcRig rig{std::get<1>(GetParam())};
};

} // namespace

TEST_P(CheckTest, OnePlainBoxAndTheFocusOnTheEditorToCorrect)
{
    rig.open();
    if (!row().round)
        QTest::mouseClick(rig.ui().RBPortW, Qt::LeftButton);
    const char* texts[] = {row().vol, row().len, row().d, row().w, row().h};
    for (int i = 0; i < 5; ++i) {
        QLineEdit* e = rig.edit(kInputs[i]);
        if (e->isEnabled())
            typeOver(e, local(texts[i], sep()));
        else
            e->setText(local(texts[i], sep()));
    }
    // A result from before goes when the check fails.
    rig.ui().EdFreq->setText(QStringLiteral("99"));
    QLineEdit* enterIn = rig.edit(row().enterIn);
    enterIn->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(enterIn, Qt::Key_Return);

    ASSERT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes.boxes[0].type, vx::MsgType::Plain);
    EXPECT_EQ(rig.boxes.boxes[0].buttons, vx::MsgButtons::Ok);
    EXPECT_EQ(rig.boxes.boxes[0].text, QString::fromUtf8(row().message));
    ASSERT_NE(rig.focus(), nullptr);
    EXPECT_EQ(rig.focus()->objectName(), row().focus);
    EXPECT_TRUE(rig.ui().EdFreq->text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Rows, CheckTest,
                         testing::Combine(testing::ValuesIn(kChecks), testing::ValuesIn(kSeparators)));

TEST_P(SeparatorTest, CorrectingTheNamedEditorThenEnterGivesTheResult)
{
    rig.open();
    typeOver(rig.ui().EdBoxVol, QStringLiteral("50"));
    typeOver(rig.ui().EdPortD, QStringLiteral("100"));
    QTest::keyClick(rig.ui().EdPortD, Qt::Key_Return);
    ASSERT_EQ(rig.boxes.texts(), QStringList({QString::fromUtf8("Неверное значение длины порта")}));
    ASSERT_EQ(rig.focus(), rig.ui().EdPortL);
    typeText(rig.ui().EdPortL, QStringLiteral("200"));
    QTest::keyClick(rig.ui().EdPortL, Qt::Key_Enter); // the keypad's Enter as well
    EXPECT_EQ(rig.ui().EdFreq->text(), local("40.9", sep()));
    EXPECT_EQ(rig.boxes.boxes.size(), 1u);
}

namespace {

void releaseKey(QWidget* target, Qt::Key key)
{
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

} // namespace

TEST_P(SeparatorTest, TheEnterThatClosesTheBoxDoesNotBringItBack)
{
    rig.open();
    typeOver(rig.ui().EdPortL, QStringLiteral("200"));
    QTest::keyClick(rig.ui().EdPortL, Qt::Key_Return);
    ASSERT_EQ(rig.boxes.boxes.size(), 1u);
    ASSERT_EQ(rig.focus(), rig.ui().EdBoxVol);

    // The box took the press of Enter; its release arrives in the editor the check focused.
    releaseKey(rig.ui().EdBoxVol, Qt::Key_Return);
    EXPECT_EQ(rig.boxes.boxes.size(), 1u);

    // A new Enter in that editor asks again.
    QTest::keyClick(rig.ui().EdBoxVol, Qt::Key_Return);
    EXPECT_EQ(rig.boxes.boxes.size(), 2u);
    EXPECT_EQ(rig.boxes.texts().last(), QString::fromUtf8("Неверное значение объёма ящика"));
}

TEST_P(SeparatorTest, AnEnterPressedInAnotherEditorDoesNotCount)
{
    rig.open();
    typeOver(rig.ui().EdBoxVol, QStringLiteral("50"));
    typeOver(rig.ui().EdPortL, QStringLiteral("200"));
    typeOver(rig.ui().EdPortD, QStringLiteral("100"));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(rig.ui().EdPortD, &press);
    releaseKey(rig.ui().EdPortL, Qt::Key_Return);
    EXPECT_TRUE(rig.ui().EdFreq->text().isEmpty()) << "the stroke ended elsewhere";
    QTest::keyClick(rig.ui().EdPortD, Qt::Key_Return);
    EXPECT_EQ(rig.ui().EdFreq->text(), local("40.9", sep()));
}

TEST_F(CalcTest, OpensModallyCentredOverTheMainWindow)
{
    rig.main->move(120, 80);
    rig.main->show();
    rig.main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(rig.main.get()));
    bool ran = false;
    QTimer::singleShot(0, rig.calc.get(), [&] {
        ran = true;
        rig.waitActive();
        EXPECT_EQ(QApplication::activeModalWidget(), rig.calc.get());
        const QPoint offset = rig.calc->frameGeometry().center() - rig.main->frameGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 40) << "centred over the main window";
        EXPECT_EQ(rig.focus(), rig.ui().EdBoxVol);
        typeOver(rig.ui().EdBoxVol, QStringLiteral("50"));
        rig.calc->reject();
    });
    rig.calc->exec();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(rig.calc->isVisible());
    EXPECT_TRUE(rig.boxes.boxes.empty());
}

namespace {

struct TabRow {
    const char* from; // typed into, then left with Tab
    const char* typed;
    const char* other; // the other field, converted and rounded
};

// Converted back, each rounded result would give another figure than the one typed.
const TabRow kTabRows[] = {
    {"EditFreq", "15000", "0.023"},
    {"EditWavLen", "0.0123", "27967.48"},
};

void PrintTo(const TabRow& r, std::ostream* os)
{
    *os << r.from << " \"" << r.typed << '"';
}

class TabOverTest : public testing::TestWithParam<std::tuple<TabRow, char>> {
protected:
    const TabRow& row() const { return std::get<0>(GetParam()); }
    char sep() const { return std::get<1>(GetParam()); }
    CalcRig rig{std::get<1>(GetParam())};
};

} // namespace

TEST_P(TabOverTest, TheTabThatLeavesAFieldKeepsWhatWasTyped)
{
    rig.open();
    rig.ui().PageControl1->setCurrentIndex(0);
    QLineEdit* from = rig.edit(row().from);
    typeOver(from, local(row().typed, sep()));
    // The press of Tab moves the focus; its release arrives in the field that now has it.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(from, &press);
    ASSERT_NE(rig.focus(), from);
    releaseKey(rig.focus(), Qt::Key_Tab);
    EXPECT_EQ(from->text(), local(row().typed, sep()));
    EXPECT_EQ(rig.edit(row().from == std::string("EditFreq") ? "EditWavLen" : "EditFreq")->text(),
              local(row().other, sep()));
}

INSTANTIATE_TEST_SUITE_P(Rows, TabOverTest,
                         testing::Combine(testing::ValuesIn(kTabRows), testing::ValuesIn(kSeparators)));
