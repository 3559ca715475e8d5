// The main window from start-up to its first showing, the shape buttons and the section selector, the
// port picture and the shape pages' default sizes. Each test builds a fresh window in a temporary
// program folder holding the program's sprite sheet; message boxes are recorded, not shown.
#include "app/TF_Main.h"

#include "app/SpinEdit.h"
#include "core/CurvePages.h"
#include "core/Dimensions.h"
#include "core/Shapes.h"
#include "projects/ProgramFolder.h"
#include "ProgramFiles.h"
#include "RecordingDialogs.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <string_view>

namespace {

using vx::test::RecordingDialogs;

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vx::test::makeProgramFolder(m_dir));
        w = std::make_unique<TF_Main>();
    }
    void TearDown() override
    {
        w.reset();
        vx::setProgramFolder(QString());
    }

    void showWindow()
    {
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }

    // A number as the window writes it: with the system's decimal separator.
    std::string num(std::string text) const
    {
        for (char& c : text) {
            if (c == '.')
                c = w->decimalSeparator();
        }
        return text;
    }
    std::string text(const char* field) const { return w->text(field); }
    QToolButton* button(int n) const
    {
        return qobject_cast<QToolButton*>(w->component(("SBut" + std::to_string(n)).c_str()));
    }
    QStackedWidget* pages() const { return qobject_cast<QStackedWidget*>(w->component("PageCWork")); }
    QComboBox* section() const { return qobject_cast<QComboBox*>(w->component("ComboPortType")); }
    // A user's pick in the section selector.
    void pickSection(int index)
    {
        section()->setCurrentIndex(index);
        emit section()->activated(index);
    }
    // The switch the project load makes: the shape, then its page, whose show handler runs with the
    // boundary values on screen.
    void showPage(int page)
    {
        w->state().SBut = page;
        if (pages()->currentIndex() == page)
            pages()->setCurrentIndex(page == 0 ? 1 : 0);
        pages()->setCurrentIndex(page);
    }

    RecordingDialogs dialogs;
    QTemporaryDir m_dir;
    std::unique_ptr<TF_Main> w;
};

TEST_F(MainWindowTest, FirstShowingPutsTheTubeResultsOnScreen)
{
    // Start-up leaves the boundary values computed and the results empty until the tube page shows.
    EXPECT_EQ(text("EditDpmin"), num("80.41"));
    EXPECT_EQ(text("EditTubL"), "");
    EXPECT_FALSE(w->endRequested());
    showWindow();
    EXPECT_EQ(pages()->currentIndex(), vx::TUB);
    EXPECT_TRUE(button(1)->isChecked());
    EXPECT_EQ(text("EditTubD"), num("80.41"));
    EXPECT_EQ(text("EditTubL"), num("309.91"));
    EXPECT_EQ(text("EditORF"), "555");
    EXPECT_EQ(text("EdVtot"), num("1.574"));
    EXPECT_EQ(w->focusWidget(), w->component("EditFb"));
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
}

TEST_F(MainWindowTest, MissingSpriteSheetIsReportedAndEndsTheProgram)
{
    w.reset();
    QFile::remove(m_dir.filePath(QStringLiteral("Vornalex.BMP")));
    dialogs.boxes.clear();
    w = std::make_unique<TF_Main>();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].type, vx::MsgType::Plain);
    EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("Файл Vornalex.BMP не найден, проргама будет завершена."));
    EXPECT_TRUE(w->endRequested());
    // Start-up still ran to its end.
    EXPECT_EQ(text("EditDpmin"), num("80.41"));
}

struct ShapePair {
    int button;
    int round, slot;
    const char* roundTip;
    const char* slotTip;
};

void PrintTo(const ShapePair& p, std::ostream* os) { *os << "button " << p.button; }

class ShapeButtonTest : public MainWindowTest, public ::testing::WithParamInterface<ShapePair> {};

TEST_P(ShapeButtonTest, SectionSwitchMapsTheShapeBothWays)
{
    const ShapePair& row = GetParam();
    showWindow();
    QTest::mouseClick(button(row.button), Qt::LeftButton);
    EXPECT_EQ(w->state().SBut, row.round);
    EXPECT_EQ(pages()->currentIndex(), row.round);
    EXPECT_EQ(button(row.button)->toolTip(), QString::fromUtf8(row.roundTip));
    EXPECT_FALSE(text("EditSIn").empty()) << "the page's show handler computes the geometry";

    pickSection(vx::Slot_Section);
    EXPECT_EQ(w->state().SBut, row.slot);
    EXPECT_EQ(pages()->currentIndex(), row.slot);
    EXPECT_TRUE(button(row.button)->isChecked());
    EXPECT_EQ(button(row.button)->toolTip(), QString::fromUtf8(row.slotTip));
    EXPECT_FALSE(button(row.button)->icon().isNull());

    pickSection(vx::Round_Section);
    EXPECT_EQ(w->state().SBut, row.round);
    EXPECT_EQ(pages()->currentIndex(), row.round);
    EXPECT_EQ(button(row.button)->toolTip(), QString::fromUtf8(row.roundTip));
}

TEST_P(ShapeButtonTest, ButtonUnderTheSlotSectionGivesTheSlotShape)
{
    const ShapePair& row = GetParam();
    showWindow();
    pickSection(vx::Slot_Section);
    QTest::mouseClick(button(row.button), Qt::LeftButton);
    EXPECT_EQ(w->state().SBut, row.slot);
    EXPECT_EQ(pages()->currentIndex(), row.slot);
    EXPECT_TRUE(w->projectModified());
}

INSTANTIATE_TEST_SUITE_P(
    AllButtons, ShapeButtonTest,
    ::testing::Values(ShapePair{1, vx::TUB, vx::BOX, "Порт \"труба\"", "Порт \"бокс\""},
                      ShapePair{2, vx::CONE, vx::PRISM, "Порт \"конус\"", "Порт \"призма\""},
                      ShapePair{3, vx::TUBCONE, vx::BOXPRISM, "Порт \"труба-конус\"", "Порт \"бокс-призма\""},
                      ShapePair{4, vx::CONETUBCONE, vx::PRISMBOXPRISM, "Порт \"песочные часы\"",
                                "Порт \"песочные часы\""},
                      ShapePair{5, vx::CURVECONE, vx::CURVEFLAT, "Порт с криволинейной образующей",
                                "Порт с криволинейной образующей"},
                      ShapePair{6, vx::FLARETUBE, vx::FLAREFLAT, "Порт \"труба со скруглениями\"",
                                "Порт \"бокс со скруглениями\""}),
    [](const auto& info) { return "SBut" + std::to_string(info.param.button); });

// The section change called with a shape of the other section (as a load with a stored shape and
// section that disagree can leave it), or with the section unchanged.
struct SectionMapping {
    int shapeBefore;
    int section;
    int shapeAfter;
};

void PrintTo(const SectionMapping& m, std::ostream* os)
{
    *os << "shape " << m.shapeBefore << " section " << m.section;
}

class SectionMappingTest : public MainWindowTest, public ::testing::WithParamInterface<SectionMapping> {};

TEST_P(SectionMappingTest, SectionChangeBringsTheShapeToTheSelectedSection)
{
    const SectionMapping& m = GetParam();
    showWindow();
    showPage(m.shapeBefore);
    section()->setCurrentIndex(m.section);
    w->setProjectModified(false);
    w->ComboPortTypeChange();
    EXPECT_EQ(w->state().SBut, m.shapeAfter);
    EXPECT_EQ(pages()->currentIndex(), m.shapeAfter);
    EXPECT_TRUE(w->projectModified());
}

INSTANTIATE_TEST_SUITE_P(Mismatches, SectionMappingTest,
                         ::testing::Values(SectionMapping{vx::TUBCONE, vx::Slot_Section, vx::BOXPRISM},
                                           SectionMapping{vx::CURVEFLAT, vx::Round_Section, vx::CURVECONE},
                                           SectionMapping{vx::FLAREFLAT, vx::Round_Section, vx::FLARETUBE},
                                           SectionMapping{vx::CURVEFLAT, vx::Slot_Section, vx::CURVEFLAT},
                                           SectionMapping{vx::CONE, vx::Round_Section, vx::CONE},
                                           SectionMapping{vx::PRISMBOXPRISM, vx::Slot_Section, vx::PRISMBOXPRISM}));

TEST_F(MainWindowTest, SectionPickedAgainKeepsThePageAndItsResults)
{
    showWindow();
    QTest::mouseClick(button(2), Qt::LeftButton);
    w->setText("EditConL", "marker");
    pickSection(vx::Round_Section);
    EXPECT_EQ(pages()->currentIndex(), vx::CONE);
    EXPECT_EQ(text("EditConL"), "marker") << "no page handler ran";
}

TEST_F(MainWindowTest, ShapeButtonsNeverTakeTheFocus)
{
    showWindow();
    w->setActiveControl("EditVb");
    for (int n = 1; n <= 6; ++n) {
        QTest::mouseClick(button(n), Qt::LeftButton);
        EXPECT_EQ(w->focusWidget(), w->component("EditVb")) << "SBut" << n;
    }
}

TEST_F(MainWindowTest, PressingThePressedButtonRecomputesOnlyTheBoundaryValues)
{
    showWindow();
    QTest::mouseClick(button(2), Qt::LeftButton);
    const std::string coneLength = text("EditConL");
    const std::string area = text("EditSIn");
    ASSERT_FALSE(coneLength.empty());
    const std::string dpmin = text("EditDpmin");
    w->setProjectModified(false);

    // A new tuning typed but not yet left; the same button again.
    w->setText("EditFb", "40");
    w->setProjectModified(false);
    QTest::mouseClick(button(2), Qt::LeftButton);
    EXPECT_NE(text("EditDpmin"), dpmin) << "the boundary values follow the new frequency";
    EXPECT_EQ(pages()->currentIndex(), vx::CONE);
    EXPECT_EQ(text("EditConL"), coneLength) << "no geometry computed";
    EXPECT_EQ(text("EditSIn"), area);
    EXPECT_TRUE(w->projectModified());
}

TEST_F(MainWindowTest, ConeDefaultsUseTheConesVelocityLimit)
{
    showWindow();
    ASSERT_EQ(text("EditVpmax"), "9");
    const std::string tubeDiameter = text("EditDpmin");
    QTest::mouseClick(button(2), Qt::LeftButton);
    EXPECT_EQ(text("EditVpmax"), "12");
    EXPECT_NE(text("EditDpmin"), tubeDiameter);
    EXPECT_EQ(text("EditConD1"), text("EditDpmin"));
    EXPECT_EQ(text("EditConA"), "4");
    EXPECT_FALSE(text("EditConL").empty());
}

// The picture of each shape lands centred on the 187 x 195 picture, half pixels to the even side.
struct Placement {
    int shape;
    int left, top, width, height; // on the sprite sheet
    int x, y;                     // where it lands
};

void PrintTo(const Placement& p, std::ostream* os) { *os << "shape " << p.shape; }

class PicturePlacementTest : public MainWindowTest, public ::testing::WithParamInterface<Placement> {};

TEST_P(PicturePlacementTest, ShapeRectangleIsCopiedToItsPlace)
{
    const Placement& p = GetParam();
    // A sheet with the shape's rectangle in one colour and a frame of another just around it, so a
    // rectangle cut one pixel off shows at once.
    QPixmap sheet(973, 296);
    sheet.fill(Qt::green);
    {
        QPainter painter(&sheet);
        painter.fillRect(p.left, p.top, p.width, p.height, QColor(200, 30, 40));
        painter.fillRect(p.left, p.top, 1, 1, QColor(10, 20, 250));
    }
    qobject_cast<QLabel*>(w->component("PDraw"))->setPixmap(sheet);
    w->state().SBut = p.shape;
    w->RedrawImage();
    const QImage image = qobject_cast<QLabel*>(w->component("Image5"))->pixmap().toImage();
    ASSERT_EQ(image.size(), QSize(187, 195));
    EXPECT_EQ(image.pixelColor(p.x, p.y), QColor(10, 20, 250)) << "top left corner";
    EXPECT_EQ(image.pixelColor(p.x + p.width - 1, p.y + p.height - 1), QColor(200, 30, 40)) << "bottom right";
    EXPECT_EQ(image.pixelColor(p.x - 1, p.y), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(p.x, p.y - 1), QColor(Qt::white));
    if (p.x + p.width < 187) {
        EXPECT_EQ(image.pixelColor(p.x + p.width, p.y + p.height - 1), QColor(Qt::white));
    }
    EXPECT_EQ(image.pixelColor(p.x, p.y + p.height), QColor(Qt::white));
}

INSTANTIATE_TEST_SUITE_P(
    AllShapes, PicturePlacementTest,
    ::testing::Values(Placement{0, 0, 0, 152, 107, 18, 44}, Placement{1, 152, 0, 176, 114, 6, 40},
                      Placement{2, 328, 0, 180, 123, 4, 36}, Placement{3, 508, 0, 174, 110, 6, 42},
                      Placement{4, 0, 123, 144, 155, 22, 20}, Placement{5, 152, 123, 171, 159, 8, 18},
                      Placement{6, 328, 123, 174, 173, 6, 11}, Placement{7, 508, 123, 169, 159, 9, 18},
                      Placement{8, 682, 0, 153, 111, 17, 42}, Placement{9, 677, 123, 153, 160, 17, 18},
                      Placement{10, 836, 0, 137, 105, 25, 45}, Placement{11, 830, 123, 141, 159, 23, 18}),
    [](const auto& info) { return "Shape" + std::to_string(info.param.shape); });

TEST_F(MainWindowTest, ShapeOutsideTheTableLeavesThePictureWhite)
{
    w->state().SBut = 12;
    w->RedrawImage();
    const QImage image = qobject_cast<QLabel*>(w->component("Image5"))->pixmap().toImage();
    for (const QPoint pt : {QPoint(0, 0), QPoint(93, 97), QPoint(186, 194)})
        EXPECT_EQ(image.pixelColor(pt), QColor(Qt::white));
}

TEST_F(MainWindowTest, ShapeButtonDrawsThePictureFromTheProgramsSheet)
{
    showWindow();
    const QImage sheet = qobject_cast<QLabel*>(w->component("PDraw"))->pixmap().toImage();
    ASSERT_FALSE(sheet.isNull());
    QTest::mouseClick(button(2), Qt::LeftButton);
    const QImage image = qobject_cast<QLabel*>(w->component("Image5"))->pixmap().toImage();
    // The cone's rectangle (152, 0, 176 x 114) lands at (6, 40).
    EXPECT_EQ(image.copy(6, 40, 176, 114).convertToFormat(QImage::Format_RGB32),
              sheet.copy(152, 0, 176, 114).convertToFormat(QImage::Format_RGB32));
}

// Page defaults: sizes typed into the page's editors (each change handler keeps its dimension), then
// dimensions preset in the state, the minimum diameter as its field shows it. After the page is shown,
// every editor of the page shows the row's text and the project is marked modified when a size was
// missing. A row that expects no mark types every size first: the page then writes each editor's own
// text back, and only a missing size could mark the project.
struct DimensionPreset {
    double vx::CalcState::*dimension;
    double value;
};
struct PageDefaults {
    const char* name;
    int page;
    const char* minDiameter; // EditDpmin; null: as computed
    double smin;             // m², 0: as computed
    std::vector<std::pair<const char*, const char*>> typed; // field, text with "." for the separator
    std::vector<DimensionPreset> presets;
    std::vector<std::pair<const char*, const char*>> shown; // every editor of the page that takes input
    bool modified;
};

void PrintTo(const PageDefaults& p, std::ostream* os) { *os << p.name; }

class PageDefaultsTest : public MainWindowTest, public ::testing::WithParamInterface<PageDefaults> {};

// The editors of a page that take input (spin editors and selectors too), and its read-only results.
void pageEditors(QWidget* page, std::set<std::string>& inputs, std::set<std::string>& results)
{
    for (QWidget* child : page->findChildren<QWidget*>()) {
        const std::string name = child->objectName().toStdString();
        if (auto* e = qobject_cast<QLineEdit*>(child); e && !name.empty() && !name.starts_with("qt_")) {
            if (qobject_cast<vx::SpinEdit*>(e->parentWidget()))
                continue; // the text of a spin editor
            (e->isReadOnly() ? results : inputs).insert(name);
        } else if (qobject_cast<vx::SpinEdit*>(child) || qobject_cast<QComboBox*>(child)) {
            inputs.insert(name);
        }
    }
}

TEST_P(PageDefaultsTest, MissingSizesGetTheirDefaults)
{
    const PageDefaults& row = GetParam();
    showWindow();
    // Away from the page first: another page's handler would compute the shape with what it finds.
    if (pages()->currentIndex() == row.page)
        showPage(row.page == vx::TUB ? vx::CONE : vx::TUB);
    for (const auto& [field, typed] : row.typed)
        w->setText(field, num(typed));
    for (const auto& preset : row.presets)
        w->state().*preset.dimension = preset.value;
    if (row.minDiameter)
        w->setText("EditDpmin", num(row.minDiameter));
    if (row.smin > 0)
        w->state().Smin = row.smin;
    w->setProjectModified(false);
    showPage(row.page);
    std::set<std::string> inputs, results;
    pageEditors(pages()->widget(row.page), inputs, results);
    std::set<std::string> listed;
    for (const auto& [field, expected] : row.shown) {
        listed.insert(field);
        EXPECT_EQ(text(field), num(expected)) << field;
    }
    EXPECT_EQ(listed, inputs) << "the row names every editor of the page";
    for (const std::string& result : results)
        EXPECT_FALSE(text(result.c_str()).empty()) << result << ": the page computed with its sizes";
    EXPECT_EQ(w->projectModified(), row.modified);
}

using S = vx::CalcState;
INSTANTIATE_TEST_SUITE_P(
    Examples, PageDefaultsTest,
    ::testing::Values(
        PageDefaults{"TubeFromTheMinimumDiameterUnrounded", vx::TUB, "70.125", 0, {}, {{&S::TubD, 0}},
                     {{"EditTubD", "70.125"}}, true},
        PageDefaults{"TubeGivenIsNoChange", vx::TUB, nullptr, 0, {{"EditTubD", "30.125"}}, {},
                     {{"EditTubD", "30.125"}}, false},
        PageDefaults{"ConeFromTheMinimumDiameter", vx::CONE, "70.5", 0, {}, {{&S::ConD1, 0}, {&S::ConA, 0}},
                     {{"EditConD1", "70.5"}, {"EditConA", "4"}}, true},
        PageDefaults{"ConeThroatShownToTwoDecimals", vx::CONE, "70.125", 0, {{"EditConA", "5.5"}}, {{&S::ConD1, 0}},
                     {{"EditConD1", "70.12"}, {"EditConA", "5.5"}}, true},
        PageDefaults{"ConeGivenIsNoChange", vx::CONE, nullptr, 0, {{"EditConD1", "50"}, {"EditConA", "5.5"}}, {},
                     {{"EditConD1", "50"}, {"EditConA", "5.5"}}, false},
        PageDefaults{"TubeConeStraightPart", vx::TUBCONE, "100", 0, {}, {{&S::TubConD1, 0}, {&S::TubConL1, 0}},
                     {{"EditTubConD1", "100"}, {"EditTubConL1", "125.99"}, {"EditTubConA", "4"}}, true},
        // The straight part's editor already shows the text its default gives: only the missing size
        // itself can mark the project.
        PageDefaults{"TubeConeStraightPartAloneMarks", vx::TUBCONE, "100", 0,
                     {{"EditTubConD1", "80"}, {"EditTubConA", "5"}, {"EditTubConL1", "100.79"}},
                     {{&S::TubConL1, 0}},
                     {{"EditTubConD1", "80"}, {"EditTubConL1", "100.79"}, {"EditTubConA", "5"}}, true},
        PageDefaults{"HourglassStraightPart", vx::CONETUBCONE, "100", 0, {},
                     {{&S::ConTubConD1, 0}, {&S::ConTubConL1, 0}, {&S::ConTubConA, 0}},
                     {{"EditConTubConD1", "100"}, {"EditConTubConL1", "125.99"}, {"EditConTubConA", "4"}}, true},
        PageDefaults{"HourglassStraightPartAloneMarks", vx::CONETUBCONE, "100", 0,
                     {{"EditConTubConD1", "80"}, {"EditConTubConA", "5"}, {"EditConTubConL1", "100.79"}},
                     {{&S::ConTubConL1, 0}},
                     {{"EditConTubConD1", "80"}, {"EditConTubConL1", "100.79"}, {"EditConTubConA", "5"}}, true},
        PageDefaults{"HourglassGivenIsNoChange", vx::CONETUBCONE, nullptr, 0,
                     {{"EditConTubConD1", "80"}, {"EditConTubConA", "5"}, {"EditConTubConL1", "100.79"}}, {},
                     {{"EditConTubConD1", "80"}, {"EditConTubConL1", "100.79"}, {"EditConTubConA", "5"}}, false},
        PageDefaults{"SlotFromTheArea", vx::BOX, nullptr, 0.01, {}, {{&S::BoxW, 0}, {&S::BoxH, 0}},
                     {{"EditBoxW", "112.25"}, {"EditBoxH", "89.09"}}, true},
        PageDefaults{"WedgeAngleAloneIsNoChange", vx::PRISM, nullptr, 0.01,
                     {{"EditPriW1", "100"}, {"EditPriH", "80"}, {"EditPriA", "8"}}, {{&S::PriA, 0}},
                     {{"EditPriW1", "100"}, {"EditPriH", "80"}, {"EditPriA", "8"}}, false},
        PageDefaults{"SlotWedgeFromTheArea", vx::BOXPRISM, nullptr, 0.01, {},
                     {{&S::BoxPriW1, 0}, {&S::BoxPriH, 0}, {&S::BoxPriL1, 0}, {&S::BoxPriA, 0}},
                     {{"EditBoxPriW1", "112.25"},
                      {"EditBoxPriH", "89.09"},
                      {"EditBoxPriL1", "141.42"},
                      {"EditBoxPriA", "8"}},
                     true},
        PageDefaults{"SlotHourglassFromTheArea", vx::PRISMBOXPRISM, nullptr, 0.01, {},
                     {{&S::PriBoxPriW1, 0}, {&S::PriBoxPriH, 0}, {&S::PriBoxPriL1, 0}, {&S::PriBoxPriA, 0}},
                     {{"EditPriBoxPriW1", "131.61"},
                      {"EditPriBoxPriH", "75.98"},
                      {"EditPriBoxPriL1", "227.95"},
                      {"EditPriBoxPriA", "8"}},
                     true},
        PageDefaults{"CurvedRoundLength", vx::CURVECONE, nullptr, 0, {}, {{&S::CurveConL, 0}},
                     {{"EditCurveConL", "100"}, {"SEdDiv", "10"}, {"CBCurveType", "Cosh"}}, true},
        PageDefaults{"CurvedSlotLengthAndHeight", vx::CURVEFLAT, nullptr, 0, {},
                     {{&S::CurveFlatL, 0}, {&S::CurveFlatH, 0}},
                     {{"EditCurveFlatL", "100"}, {"EditCurveFlatH", "10"}, {"SEFdiv", "10"}, {"CBFcurveType", "Cosh"}},
                     true},
        PageDefaults{"RoundedTubeHalvesToEven", vx::FLARETUBE, "90", 0, {},
                     {{&S::FlaTubD, 0}, {&S::FlaTubR1, -1}, {&S::FlaTubR2, -1}},
                     {{"EditFlaTubD", "90"}, {"EditFlaTubR1", "22"}, {"EditFlaTubR2", "22"}}, true},
        PageDefaults{"RoundedSlotHalvesToEven", vx::FLAREFLAT, "81.55", 0, {},
                     {{&S::FlaBoxW, 0}, {&S::FlaBoxH, 0}, {&S::FlaBoxR1, -1}, {&S::FlaBoxR2, -1}},
                     {{"EditFlaBoxW", "58"}, {"EditFlaBoxH", "58"}, {"EditFlaBoxR1", "14"}, {"EditFlaBoxR2", "14"}},
                     true},
        PageDefaults{"SharpEdgeKeptNegativeRadiusReplaced", vx::FLARETUBE, "90", 0, {},
                     {{&S::FlaTubD, 0}, {&S::FlaTubR1, -1}, {&S::FlaTubR2, 0}},
                     {{"EditFlaTubD", "90"}, {"EditFlaTubR1", "22"}, {"EditFlaTubR2", "0"}}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The page control shows page SBut for the chosen shape, and the section print takes the page on screen
// for the shape: page i must be the page of PortType i, holding that shape's editors and no other's.
TEST_F(MainWindowTest, PagesStandInPortTypeOrderWithTheirShapesEditors)
{
    ASSERT_EQ(pages()->count(), vx::kPortTypeCount);
    for (const vx::ShapeRow& row : vx::kShapes) {
        QWidget* page = pages()->widget(row.type);
        EXPECT_EQ(page->objectName().toStdString(), "TabSheet" + std::to_string(row.type + 1)) << row.name;
        std::set<std::string> expected;
        for (std::string_view field : row.results)
            expected.insert(std::string(field));
        for (const vx::PageCheck& check : row.checks)
            expected.insert(std::string(check.field));
        for (const vx::ShownSize& size : row.shown)
            expected.insert(std::string(size.field));
        for (const vx::DimensionKey& key : vx::kDimensionKeys)
            if (key.shape == row.type && key.real)
                expected.insert("Edit" + std::string(key.key));
        if (row.curved) {
            const vx::CurvePage& curve = vx::curvePageOf(row.type);
            EXPECT_EQ(curve.shape, row.type) << row.name;
            expected.insert({std::string(curve.multiplier), std::string(curve.selector)});
        }
        expected.erase("");
        std::set<std::string> inputs, results;
        pageEditors(page, inputs, results);
        inputs.insert(results.begin(), results.end());
        EXPECT_EQ(inputs, expected) << row.name;
    }
}

TEST_F(MainWindowTest, GivenSizesAreOnlyShownAgainRounded)
{
    showWindow();
    // Typed sizes: each editor's change handler keeps its dimension.
    w->setText("EditBoxW", num("30.125"));
    w->setText("EditBoxH", "20");
    w->setText("EditTubD", num("30.125"));
    showPage(vx::BOX);
    EXPECT_EQ(text("EditBoxW"), num("30.12"));
    EXPECT_EQ(text("EditBoxH"), "20");
    showPage(vx::TUB);
    EXPECT_EQ(text("EditTubD"), num("30.125")) << "the tube diameter is shown unrounded";
}

TEST_F(MainWindowTest, SlotDefaultsTakeTheAreaOfAllPortsRoundOnesThePerPortDiameter)
{
    showWindow();
    w->setSpinValue("SpinEdNPorts", 2);
    pickSection(vx::Slot_Section);
    QTest::mouseClick(button(1), Qt::LeftButton);
    ASSERT_EQ(w->state().SBut, vx::BOX);
    const double areaMm2 = w->state().BoxW * w->state().BoxH;
    EXPECT_NEAR(areaMm2, w->state().Smin * 1e6, 1.0) << "both ports' area in one slot";
    pickSection(vx::Round_Section);
    QTest::mouseClick(button(6), Qt::LeftButton);
    ASSERT_EQ(w->state().SBut, vx::FLARETUBE);
    EXPECT_NEAR(w->state().FlaTubD, w->state().Dpmin * 1000, 0.5) << "one port's diameter, whole millimetres";
}

TEST_F(MainWindowTest, StoredMultiplierInTenthsIsScaled)
{
    showWindow();
    w->state().CurveConDiv = 3;
    showPage(vx::CURVECONE);
    EXPECT_EQ(w->spinValue("SEdDiv"), 30);
    EXPECT_EQ(w->state().CurveConDiv, 30);
    EXPECT_EQ(text("EditCurveConL"), "100");
    EXPECT_EQ(w->selectorIndex("CBCurveType"), vx::Cosh);
}

TEST_F(MainWindowTest, CurvedSlotPageClearsThePrintResultsFirst)
{
    showWindow();
    w->state().CurveFlatW1 = 12;
    w->state().CurveFlatW = 34;
    w->state().CurveFlatDiv = 0;
    showPage(vx::CURVEFLAT);
    EXPECT_EQ(w->spinValue("SEFdiv"), 10) << "a stored 0 shows as the editor's lower limit";
    EXPECT_EQ(w->selectorIndex("CBFcurveType"), vx::Cosh);
    EXPECT_NE(w->state().CurveFlatW1, 12);
    EXPECT_NE(w->state().CurveFlatW, 34);
}

TEST_F(MainWindowTest, UnreadableMinimumDiameterStopsThePageWithAnErrorBox)
{
    showWindow();
    const std::string diameterBefore = text("EditTubD");
    showPage(vx::CONE);
    ASSERT_FALSE(text("EditSIn").empty());
    w->state().TubD = 0;
    w->setText("EditDpmin", "x1");
    dialogs.boxes.clear();
    showPage(vx::TUB);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].type, vx::MsgType::Error);
    EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("'x1' is not a valid floating point value"));
    EXPECT_EQ(text("EditTubD"), diameterBefore) << "the page's fields keep their texts";
    EXPECT_EQ(text("EditSIn"), "") << "the common results were cleared and not computed";
    EXPECT_EQ(text("EditDpmin"), "x1") << "no geometry ran (it would have recomputed the boundary values)";
}

TEST_F(MainWindowTest, PageSwitchWhileHiddenRunsNothingUntilShown)
{
    const std::string width = text("EditBoxW");
    w->state().SBut = vx::BOX;
    pages()->setCurrentIndex(vx::BOX);
    EXPECT_EQ(text("EditBoxW"), width);
    EXPECT_EQ(text("EditBoxL"), "");
    showWindow();
    EXPECT_NE(text("EditBoxW"), width) << "the default width is filled in";
    EXPECT_FALSE(text("EditBoxL").empty()) << dialogs.texts().join("|").toStdString();
}

TEST_F(MainWindowTest, ExitHandlerRunsWhenTheFocusMovesWithinTheWindow)
{
    showWindow();
    int exits = 0;
    w->addExitHandler("EditXmax", [&] { ++exits; });
    w->setActiveControl("EditXmax");
    EXPECT_EQ(exits, 0);
    w->setActiveControl("EditVb");
    EXPECT_EQ(exits, 1);
    // Return and a click on a flat button end no edit.
    w->setActiveControl("EditXmax");
    QTest::keyClick(w->component("EditXmax"), Qt::Key_Return);
    QTest::mouseClick(button(3), Qt::LeftButton);
    EXPECT_EQ(exits, 1);
    // Moving into the spin editor leaves the editor.
    w->setActiveControl("SpinEdNPorts");
    EXPECT_EQ(exits, 2);
}

TEST_F(MainWindowTest, LeavingTheWindowEndsNoEdit)
{
    showWindow();
    int exits = 0;
    w->setActiveControl("EditXmax");
    w->addExitHandler("EditXmax", [&] { ++exits; });
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    EXPECT_EQ(w->focusWidget(), w->component("EditXmax"));
    EXPECT_EQ(exits, 0);
}

TEST_F(MainWindowTest, ClosingTheWindowRunsItsClosingHandler)
{
    showWindow();
    w->close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(text("StatusBar1"), "  Заверщаю работу ...");
}

TEST_F(MainWindowTest, ChangeHandlerRunsOnEveryDifferentText)
{
    int changes = 0;
    w->addChangeHandler("EditTubD", [&] { ++changes; });
    w->setText("EditTubD", "12");
    w->setText("EditTubD", "12");
    w->setText("EditTubD", "13");
    EXPECT_EQ(changes, 2);
}

// A figure longer than its field shows its leading digits, as a user reads a number, never only its
// tail (a cone 300 times its throat has an outlet of 579190.99 cm², which must not read as 79190.99).
class LongFigureTest : public MainWindowTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(LongFigureTest, FieldWrittenByTheCalculationShowsItsStart)
{
    showWindow();
    auto* field = qobject_cast<QLineEdit*>(w->component(GetParam()));
    ASSERT_NE(field, nullptr);
    w->setText(GetParam(), num("579190.991234567"));
    EXPECT_EQ(field->text().toStdString(), num("579190.991234567"));
    EXPECT_EQ(field->cursorPosition(), 0);
}

INSTANTIATE_TEST_SUITE_P(ResultsAndWrittenBackSizes, LongFigureTest,
                         ::testing::Values("EditSout", "EdVtot", "EditConL", "EditLpmin", "EditConD1", "EditVb"));

TEST_F(MainWindowTest, WindowIsFixedAtItsDesignSize)
{
    showWindow();
    EXPECT_EQ(w->size(), QSize(688, 478));
    EXPECT_EQ(w->minimumSize(), w->maximumSize());
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(text("StatusBar1"), "  Готово");
    EXPECT_EQ(w->timer1()->interval(), 10000);
    EXPECT_FALSE(w->timer1()->isActive());
}

} // namespace
namespace {

// A box that notes whether the page control could draw the new page while the box stood over it.
struct DrawingCheckDialogs : vx::DialogService {
    QStackedWidget* pages = nullptr;
    std::vector<bool> pageDrawable;
    vx::MsgAnswer show(vx::MsgType, const QString&, vx::MsgButtons, QWidget*) override
    {
        pageDrawable.push_back(pages->updatesEnabled() && pages->currentWidget()->isVisible());
        return vx::MsgAnswer::Ok;
    }
};

TEST_F(MainWindowTest, BoxOfAPageShowStandsOverTheNewPageDrawn)
{
    showWindow();
    showPage(vx::CONE);
    w->state().TubD = 0;
    w->setText("EditDpmin", "x1");
    DrawingCheckDialogs check;
    check.pages = pages();
    vx::setDialogs(&check);
    showPage(vx::TUB);
    vx::setDialogs(&dialogs);
    ASSERT_EQ(check.pageDrawable.size(), 1u);
    EXPECT_TRUE(check.pageDrawable[0]);
    EXPECT_EQ(pages()->currentIndex(), vx::TUB);
}

} // namespace
