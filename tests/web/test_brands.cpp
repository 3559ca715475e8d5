// The brands navigator over the main window: the list read from "brands.csv" in the current folder,
// the grid it fills, the link labels that follow the selected row, and the links that clicks and keys
// open; the site-address labels with their hover colour and status-bar text. A recording browser stands
// in for the real one, so nothing is ever started.
#include "app/TF_Main.h"

#include "app/Windows.h"
#include "projects/ProgramFolder.h"
#include "web/BrandsList.h"
#include "RecordingBrowser.h"
#include "ProgramFiles.h"
#include "RecordingDialogs.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using vx::test::RecordingBrowser;
using vx::test::RecordingDialogs;

constexpr const char* kMissing = "Файл брендов не найден.";
// The program's page on the site the build was configured with.
constexpr const char* kSiteLink = VX_CONFIGURED_SITE_BASE "vornalexmaster/";
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

class BrandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_current.isValid());
        ASSERT_TRUE(vx::test::makeProgramFolder(m_program));
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_current.path()));
    }
    void TearDown() override
    {
        F_Main = nullptr;
        w.reset();
        vx::setProgramFolder(QString());
        QDir::setCurrent(m_previous);
    }

    // The window's start-up with this brands list in the current folder (none when nullopt).
    void startWith(const std::optional<QByteArray>& list)
    {
        if (list) {
            QFile f(m_current.filePath(QStringLiteral("brands.csv")));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(*list);
        }
        w = std::make_unique<TF_Main>();
        F_Main = w.get();
    }
    void showWindow()
    {
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    void openNavigator()
    {
        showWindow();
        button("SBCarSound")->click();
    }

    QWidget* part(const char* name) const { return w->component(name); }
    QAbstractButton* button(const char* name) const { return qobject_cast<QAbstractButton*>(part(name)); }
    QLabel* label(const char* name) const { return qobject_cast<QLabel*>(part(name)); }
    QTableWidget* grid() const { return qobject_cast<QTableWidget*>(part("SGBrands")); }
    QString cell(int row, int column) const
    {
        const QTableWidgetItem* item = grid()->item(row, column);
        return item ? item->text() : QString();
    }
    QPoint cellCentre(int row) const { return grid()->visualRect(grid()->model()->index(row, 0)).center(); }
    // Row 0 is the fixed header row: a click on it is a click on the grid's header.
    void clickRow(int row)
    {
        if (row == 0)
            QTest::mouseClick(grid()->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(20, 8));
        else
            QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(row));
    }
    QStringList startedLinks() const
    {
        QStringList out;
        for (const auto& s : browser.starts)
            out << (s.arguments.isEmpty() ? QString() : s.arguments.join(QLatin1Char('|')));
        return out;
    }
    QColor colour(const char* name) const { return label(name)->palette().color(QPalette::WindowText); }
    QString status() const { return label("StatusBar1")->text(); }

    RecordingDialogs dialogs;
    RecordingBrowser browser;
    QTemporaryDir m_program, m_current;
    QString m_previous;
    std::unique_ptr<TF_Main> w;
};

// ---- the list read at start-up

struct ListRow {
    const char* what;
    QByteArray file;
    int rowCount;
    std::vector<std::vector<const char*>> rows; // the data rows from row 1 on, three columns each
};

std::ostream& operator<<(std::ostream& os, const ListRow& r) { return os << r.what; }

const ListRow kListRows[] = {
    {"flags 1, 0, 1: listed brands first, an empty row for the skipped one",
     "Alpha\thttp://alpha/\thttp://alpha/sub\t1\nBeta\thttp://beta/\thttp://beta/sub\t0\n"
     "Gamma\thttp://gamma/\thttp://gamma/sub\t1\n",
     4, {{"Alpha", "http://alpha/", "http://alpha/sub"}, {"Gamma", "http://gamma/", "http://gamma/sub"}, {"", "", ""}}},
    {"only two TABs: listed with an empty subwoofer page", "Brand\tmain\t1\n", 2, {{"Brand", "main", ""}}},
    {"CR LF line ends and no line end after the last line",
     "One\thttp://one/\thttp://one/s\t1\r\nTwo\thttp://two/\thttp://two/s\t1", 3,
     {{"One", "http://one/", "http://one/s"}, {"Two", "http://two/", "http://two/s"}}},
    {"a flag that is no whole number, an empty line and flags other than 1 are skipped",
     "A\ta\tas\tx\n\nB\tb\tbs\t2\nC\tc\tcs\t-1\nD\td\tds\t1\nE\te\tes\t1.0\n", 7,
     {{"D", "d", "ds"}, {"", "", ""}, {"", "", ""}, {"", "", ""}, {"", "", ""}, {"", "", ""}}},
    {"Cyrillic names in UTF-8", "Урал\thttp://ural/\thttp://ural/sab\t1\n", 2,
     {{"Урал", "http://ural/", "http://ural/sab"}}},
    {"Cyrillic names in Windows-1251", "\xd3\xf0\xe0\xeb\thttp://ural/\thttp://ural/sab\t1\r\n"
     "\xcc\xe8\xf1\xf2\xe5\xf0\xe8\xff \xc7\xe2\xf3\xea\xe0\thttp://mz/\t\t1\r\n", 3,
     {{"Урал", "http://ural/", "http://ural/sab"}, {"Мистерия Звука", "http://mz/", ""}}},
    {"a byte that is no UTF-8 makes the whole file Windows-1251", "Br\xff" "and\thttp://br/\thttp://br/s\t1\n"
     "\xd0\xa3\tu\tus\t1\n", 3, {{"Brяand", "http://br/", "http://br/s"}, {"РЈ", "u", "us"}}},
    {"an empty file keeps the header and one empty row", "", 2, {{"", "", ""}}},
    {"a character cut off at the end is no UTF-8: the whole file is Windows-1251 and the cut line a row",
     "\xd0\xa3\tu\tus\t1\n\xd0", 3, {{"РЈ", "u", "us"}, {"", "", ""}}},
};

// A list cut inside its last character, down to a single byte, still has that last line.
TEST(BrandsList, CharacterCutOffAtTheEndStillMakesALine)
{
    const struct {
        QByteArray file;
        std::size_t lines;
        const char* lastName;
    } rows[] = {
        {"\xcb", 1, ""}, // no TAB: the letter stands where the flag would
        {"A\ta\tas\t1\nB\tb\tbs\t\xd0", 2, "B"},
        {"A\ta\tas\t1\r\nB\tb\tbs\t1\xe2\x82", 2, "B"}, // "1" and a cut character: no flag 1
    };
    for (const auto& r : rows) {
        const std::vector<vx::BrandLine> lines = vx::readBrandsList(r.file);
        ASSERT_EQ(lines.size(), r.lines) << r.file.toHex().toStdString();
        EXPECT_EQ(lines.back().name.toStdString(), r.lastName);
        EXPECT_FALSE(lines.back().listed);
    }
}

class BrandsListTest : public BrandsTest, public ::testing::WithParamInterface<ListRow> {};

TEST_P(BrandsListTest, ListFillsTheGrid)
{
    const ListRow& r = GetParam();
    startWith(r.file);
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(grid()->rowCount(), r.rowCount);
    ASSERT_EQ(grid()->columnCount(), 3);
    for (size_t i = 0; i < r.rows.size(); ++i) {
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(cell(static_cast<int>(i) + 1, c).toStdString(), r.rows[i][static_cast<size_t>(c)])
                << "row " << i + 1 << " column " << c;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, BrandsListTest, ::testing::ValuesIn(kListRows));

TEST_F(BrandsTest, MissingListIsToldInAPlainBoxAndStartUpGoesOn)
{
    startWith(std::nullopt);
    ASSERT_EQ(dialogs.boxes.size(), 1u) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialogs.boxes[0].type, vx::MsgType::Plain);
    EXPECT_EQ(dialogs.boxes[0].buttons, vx::MsgButtons::Ok);
    EXPECT_EQ(dialogs.boxes[0].text, QString::fromUtf8(kMissing));
    EXPECT_EQ(grid()->rowCount(), 2);
    EXPECT_TRUE(QFile::exists(m_program.filePath(QStringLiteral("Vornalex.ini")))) << "the start-up went on";
    EXPECT_FALSE(w->endRequested());
}

TEST_F(BrandsTest, GridLayout)
{
    startWith(QByteArray("A\ta\tas\t1\n"));
    const int widths[] = {190, 64, 64};
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(grid()->columnWidth(c), widths[c]) << c;
    EXPECT_EQ(grid()->rowHeight(1), 17);
    EXPECT_EQ(grid()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(grid()->size(), QSize(213, 201));
    EXPECT_TRUE(part("Panel12")->isHidden()) << "hidden until opened";
}

// ---- opening and closing the navigator

TEST_F(BrandsTest, NavigatorLocksTheRowUntilClosed)
{
    const char* locked[] = {"BoButNew", "BoButOpen", "BoButSave", "BoButPrint", "BoButDel",
                            "BoButHlp", "BoButCalc", "SBCarSound"};
    startWith(QByteArray("A\ta\tas\t1\n"));
    openNavigator();
    EXPECT_FALSE(part("Panel12")->isHidden());
    EXPECT_EQ(cell(0, 0), QStringLiteral("Audio brands"));
    // The header row stays in view above the data rows.
    EXPECT_TRUE(grid()->isRowHidden(0));
    ASSERT_NE(grid()->horizontalHeaderItem(0), nullptr);
    EXPECT_EQ(grid()->horizontalHeaderItem(0)->text(), QStringLiteral("Audio brands"));
    EXPECT_TRUE(grid()->horizontalHeader()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), grid());
    for (const char* name : locked)
        EXPECT_FALSE(part(name)->isEnabled()) << name;
    EXPECT_TRUE(part("BoButAdv")->isEnabled());

    button("ButP12Cloce")->click();
    EXPECT_TRUE(part("Panel12")->isHidden());
    for (const char* name : locked)
        EXPECT_TRUE(part(name)->isEnabled()) << name;
}

// ---- rows, link labels and the links they open

constexpr const char* kThree = "Alpha\thttp://alpha/\thttp://alpha/sub\t1\nBeta\thttp://beta/\thttp://beta/sub\t0\n"
                               "Gamma\thttp://gamma/\thttp://gamma/sub\t1\n";

TEST_F(BrandsTest, MouseUpOnARowShowsItsLinksAndTheHeaderRowChangesNothing)
{
    startWith(QByteArray(kThree));
    openNavigator();
    struct Step {
        int row;
        const char* main;
        const char* sub;
    };
    const Step steps[] = {{2, "http://gamma/", "http://gamma/sub"},
                          {0, "http://gamma/", "http://gamma/sub"},
                          {1, "http://alpha/", "http://alpha/sub"},
                          {3, "", ""}};
    for (const Step& s : steps) {
        clickRow(s.row);
        EXPECT_EQ(label("Label133")->text().toStdString(), s.main) << "row " << s.row;
        EXPECT_EQ(label("Label134")->text().toStdString(), s.sub) << "row " << s.row;
    }
    EXPECT_TRUE(browser.starts.empty()) << "selecting opens nothing";
}

// A link of the list that holds markup is shown as it is written: every character of it on the label,
// nothing of it read as a picture, a link or a heading.
TEST_F(BrandsTest, LinksWithMarkupAreShownAsTheyAreWritten)
{
    const QString main = QStringLiteral("<h1>http://bold/</h1>");
    const QString sub = QStringLiteral(R"(<img src="file:///x.png"><a href="http://elsewhere/">sub</a>)");
    startWith("Markup\t" + main.toUtf8() + "\t" + sub.toUtf8() + "\t1\n");
    openNavigator();
    clickRow(1);
    for (const auto& [name, text] : {std::pair{"Label133", main}, std::pair{"Label134", sub}}) {
        QLabel* l = label(name);
        EXPECT_EQ(l->text(), text) << name;
        EXPECT_EQ(l->textFormat(), Qt::PlainText) << name;
        // Drawn as plain text, the label needs the width of all its characters.
        EXPECT_GE(l->sizeHint().width(), l->fontMetrics().horizontalAdvance(text)) << name;
    }
}

TEST_F(BrandsTest, KeysMoveTheSelectionAndTheLinksFollow)
{
    startWith(QByteArray(kThree));
    openNavigator();
    clickRow(1);
    QTest::keyClick(grid(), Qt::Key_Down);
    EXPECT_EQ(label("Label133")->text(), QStringLiteral("http://gamma/"));
    EXPECT_EQ(label("Label134")->text(), QStringLiteral("http://gamma/sub"));
    QTest::keyClick(grid(), Qt::Key_Up);
    EXPECT_EQ(label("Label133")->text(), QStringLiteral("http://alpha/"));
    // The header row is out of the keys' reach.
    QTest::keyClick(grid(), Qt::Key_Up);
    EXPECT_EQ(grid()->currentRow(), 1);
    EXPECT_EQ(label("Label133")->text(), QStringLiteral("http://alpha/"));
    // Row 0 as the current row, however it came to be, changes no link.
    grid()->setCurrentCell(0, 0);
    w->SGBrandsKeyUp();
    EXPECT_EQ(label("Label133")->text(), QStringLiteral("http://alpha/"));
    EXPECT_EQ(label("Label134")->text(), QStringLiteral("http://alpha/sub"));
}

TEST_F(BrandsTest, DoubleClickOpensTheRowsMainPage)
{
    struct Row {
        int row;
        const char* link; // "" : the empty row, which opens nothing
    };
    for (const Row& r : {Row{2, "http://gamma/"}, Row{1, "http://alpha/"}, Row{3, ""}}) {
        if (!w) {
            startWith(QByteArray(kThree));
            openNavigator();
        }
        browser.starts.clear();
        clickRow(r.row);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(r.row));
        if (!*r.link) {
            EXPECT_TRUE(browser.starts.empty()) << r.row;
            continue;
        }
        ASSERT_FALSE(browser.starts.empty()) << r.row;
        EXPECT_EQ(browser.starts.back().program, QStringLiteral("C:\\Web\\browser.exe"));
        EXPECT_EQ(startedLinks().back().toStdString(), r.link) << r.row;
    }
}

TEST_F(BrandsTest, LinkLabelsOpenOnTheLeftButtonOnly)
{
    startWith(QByteArray(kThree));
    openNavigator();
    clickRow(1);
    struct Row {
        const char* label;
        Qt::MouseButton button;
        const char* opened; // nullptr: nothing starts
    };
    const Row rows[] = {
        {"Label133", Qt::LeftButton, "http://alpha/"}, {"Label133", Qt::RightButton, nullptr},
        {"Label133", Qt::MiddleButton, nullptr},       {"Label134", Qt::LeftButton, "http://alpha/sub"},
        {"Label134", Qt::RightButton, nullptr},
    };
    for (const Row& r : rows) {
        browser.starts.clear();
        QLabel* l = label(r.label);
        // The subwoofer label is hidden on the panel: its handler is reached by its events all the same.
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), l->mapToGlobal(QPointF(2, 2)), r.button,
                          r.button, {});
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), l->mapToGlobal(QPointF(2, 2)), r.button,
                            {}, {});
        QApplication::sendEvent(l, &press);
        QApplication::sendEvent(l, &release);
        if (r.opened) {
            ASSERT_EQ(browser.starts.size(), 1u) << r.label;
            EXPECT_EQ(startedLinks().front().toStdString(), r.opened);
        } else {
            EXPECT_TRUE(browser.starts.empty()) << r.label << " button " << r.button;
        }
    }
}

TEST_F(BrandsTest, CommandWithoutAProgramOpensNothingAndSaysNothing)
{
    startWith(QByteArray(kThree));
    openNavigator();
    clickRow(1);
    for (const char* command : {"", R"("C:\Web\Browser.Exe" "%1")", "/nowhere/at/all"}) {
        browser.command = QString::fromUtf8(command);
        dialogs.boxes.clear();
        const int reads = browser.commandReads;
        w->Label133MouseUp(Qt::LeftButton);
        w->SGBrandsDblClick();
        EXPECT_TRUE(browser.starts.empty()) << command;
        EXPECT_TRUE(dialogs.boxes.empty()) << command;
        EXPECT_EQ(browser.commandReads, reads + 2) << "the command is read at every use";
    }
}

// ---- the site-address labels

TEST_F(BrandsTest, SiteLabelsLightUpAndOpenTheProgramsPage)
{
    startWith(QByteArray(kThree));
    showWindow();
    for (const char* name : {"LbURL", "LbURL0"}) {
        QLabel* l = label(name);
        ASSERT_EQ(colour(name), kBlue) << name;
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), l->mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                         Qt::NoButton, {});
        QApplication::sendEvent(l, &move);
        EXPECT_EQ(colour(name), kRed) << name;
        EXPECT_EQ(status(), QLatin1Char(' ') + l->text()) << name;
        // While red, further moves change nothing.
        label("StatusBar1")->setText(QStringLiteral("other"));
        QApplication::sendEvent(l, &move);
        EXPECT_EQ(status(), QStringLiteral("other")) << name;

        for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton, Qt::LeftButton}) {
            browser.starts.clear();
            QTest::mouseClick(l, b, {}, QPoint(3, 3));
            if (b == Qt::LeftButton) {
                ASSERT_EQ(browser.starts.size(), 1u) << name;
                EXPECT_EQ(startedLinks().front(), QString::fromLatin1(kSiteLink));
            } else {
                EXPECT_TRUE(browser.starts.empty()) << name;
            }
        }
    }
}

TEST_F(BrandsTest, AboutPanelTurnsTheLabelBlueOutsideItsRectangleEdgesIncluded)
{
    startWith(QByteArray(kThree));
    showWindow();
    const QRect r = label("LbURL")->geometry();
    struct Point {
        int x, y;
        bool staysRed;
    };
    const Point points[] = {
        {r.left(), r.top(), true},
        {r.left() + r.width(), r.top() + r.height(), true},
        {r.left() + r.width() / 2, r.top() + r.height(), true},
        {r.left() - 1, r.top(), false},
        {r.left() + r.width() + 1, r.top(), false},
        {r.left(), r.top() - 1, false},
        {r.left(), r.top() + r.height() + 1, false},
    };
    for (const Point& p : points) {
        w->LbURLMouseMove();
        ASSERT_EQ(colour("LbURL"), kRed);
        w->Panel5MouseMove(p.x, p.y);
        EXPECT_EQ(colour("LbURL"), p.staysRed ? kRed : kBlue) << p.x << "," << p.y;
        EXPECT_EQ(status().isEmpty(), !p.staysRed) << p.x << "," << p.y;
    }
    // A blue label stays blue and leaves the status bar alone.
    w->LbURLMouseMove();
    w->Panel5MouseMove(0, 0);
    label("StatusBar1")->setText(QStringLiteral("kept"));
    w->Panel5MouseMove(0, 0);
    EXPECT_EQ(status(), QStringLiteral("kept"));
}

TEST_F(BrandsTest, PointerMovesOverTheBareAboutPanelReachItsHandler)
{
    startWith(QByteArray(kThree));
    showWindow();
    button("BoButHlp")->click();
    w->LbURLMouseMove();
    QWidget* panel = part("Panel5");
    const QPoint bare(2, panel->height() - 3);
    ASSERT_EQ(panel->childAt(bare), nullptr);
    QMouseEvent move(QEvent::MouseMove, QPointF(bare), panel->mapToGlobal(QPointF(bare)), Qt::NoButton,
                     Qt::NoButton, {});
    QApplication::sendEvent(panel, &move);
    EXPECT_EQ(colour("LbURL"), kBlue);
    EXPECT_TRUE(status().isEmpty());
}

} // namespace
