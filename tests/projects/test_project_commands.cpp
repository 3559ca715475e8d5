// The project commands New, Open, Save as and Delete with their two dialogs, driven as a user drives them:
// a click on the command button, then typing, clicks on "Да" and "Нет", the close box, Escape and double
// clicks while the modal dialog is on screen; the settings file lives in a temporary folder and is read
// back after each step.
#include "ProjectRig.h"
#include "Utf16Files.h"

#include "core/CalcState.h"
#include "core/Dimensions.h"
#include "projects/DialogPlacement.h"
#include "projects/ProjectKeys.h"
#include "projects/ProjectNames.h"

#include <QComboBox>
#include <QDir>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStackedWidget>
#include <QToolButton>

#include <cmath>
#include <vector>

namespace {

using vx::test::ModalRun;
using vx::test::ProjectRig;
using vx::test::q;
using vx::test::typeOver;
using vx::test::typeText;
using vx::test::whileShown;

// Four projects: "ALPHA" (opened at start), "DEFAULT", a Cyrillic slot project and "ZETA".
constexpr char kProjects[] = "[DEFAULT]\n"
                             "id=TESTID01\n"
                             "Us=344\nFb=30\nVb=45\nDd=210\nNd=1\nXmax=7\nNp=1\nPindex=0\nSBut=0\nTubD=0\n"
                             "LastProject=ALPHA\n"
                             "FormLeft=0\nFormTop=0\n"
                             "[ALPHA]\n"
                             "Us=344\nFb=35{s}5\nVb=50\nDd=250\nNd=2\nXmax=8{s}5\nNp=2\nPindex=0\nSBut=0\n"
                             "TubD=101{s}5\nConA=6\nPriBoxPriH=55\nFlaBoxR2=12\n"
                             "CurveConDiv=40\nCurveConFunc=0\nCurveFlatDiv=20\nCurveFlatFunc=0\n"
                             "[Бокс]\n"
                             "Us=344\nFb=42\nVb=60\nDd=300\nNd=1\nXmax=10\nNp=1\nPindex=1\nSBut=5\n"
                             "PriW1=70\nPriA=9\nPriH=40\n"
                             "[ZETA]\n"
                             "Us=344\nFb=25\nVb=80\nDd=380\nNd=1\nXmax=12\nNp=1\nPindex=0\nSBut=0\nTubD=120\n";

constexpr char kOnlyDefault[] = "[DEFAULT]\n"
                                "id=TESTID01\n"
                                "Us=344\nFb=30\nVb=45\nDd=210\nNd=1\nXmax=7\nNp=1\nPindex=0\nSBut=0\nTubD=0\n"
                                "LastProject=DEFAULT\n"
                                "FormLeft=0\nFormTop=0\n";

// A settings file brought from Windows: Windows-1251, CRLF line ends, two Cyrillic projects, the second
// of them ("Ящик") the last one opened.
constexpr char kFromWindows[] = "[DEFAULT]\r\n"
                                "id=TESTID01\r\n"
                                "Us=344\r\nFb=30\r\nVb=45\r\nDd=210\r\nNd=1\r\nXmax=7\r\nNp=1\r\nPindex=0\r\nSBut=0\r\n"
                                "LastProject=Ящик\r\n"
                                "FormLeft=0\r\nFormTop=0\r\n"
                                "[Ящик]\r\n"
                                "Us=340\r\nFb=35{s}5\r\nVb=50\r\nDd=250\r\nNd=2\r\nXmax=8{s}5\r\nNp=2\r\nPindex=0\r\n"
                                "SBut=0\r\nTubD=101{s}5\r\n"
                                "[Бокс]\r\n"
                                "Us=344\r\nFb=42\r\nVb=60\r\nDd=300\r\nNd=1\r\nXmax=10\r\nNp=1\r\nPindex=1\r\n"
                                "SBut=5\r\nPriW1=70\r\nPriA=9\r\nPriH=40\r\n";

QByteArray windows1251(const QString& text)
{
    QStringEncoder encoder("windows-1251");
    const QByteArray out = encoder.encode(text);
    EXPECT_FALSE(encoder.hasError());
    return out;
}

QDialog* questDialog() { return F_Quest; }
QDialog* listDialog() { return F_RWPrj; }

// The four commands and what each shows.
struct Command {
    const char* button;
    QDialog* (*dialog)();
    const char* caption;
    bool prompts; // runs the save prompt first
};
constexpr Command kCommands[] = {
    {"BoButNew", questDialog, " Имя нового проекта", true},
    {"BoButOpen", listDialog, "Открыть проект", true},
    {"BoButSave", listDialog, "Сохранить проект", false},
    {"BoButDel", listDialog, "Удалить проект", true},
};

// The values New starts a project from.
struct StartValue {
    const char* key;
    const char* text;
};
constexpr StartValue kNewProjectFile[] = {
    {"Fb", "30"},          {"Vb", "45"},          {"Dd", "210"},        {"Nd", "1"},           {"Xmax", "7"},
    {"Np", "1"},           {"Pindex", "0"},       {"TubD", "0"},        {"ConA", "4"},         {"ConD1", "0"},
    {"TubConA", "4"},      {"TubConD1", "0"},     {"TubConL1", "0"},    {"ConTubConA", "4"},   {"ConTubConD1", "0"},
    {"ConTubConL1", "0"},  {"BoxW", "0"},         {"BoxH", "0"},        {"PriW1", "0"},        {"PriA", "8"},
    {"PriH", "0"},         {"BoxPriW1", "0"},     {"BoxPriA", "8"},     {"BoxPriL1", "0"},     {"BoxPriH", "0"},
    {"PriBoxPriW1", "0"},  {"PriBoxPriA", "8"},   {"PriBoxPriL1", "0"}, {"PriBoxPriH", "0"},   {"FlaTubD", "0"},
    {"FlaTubR1", "0"},     {"FlaTubR2", "0"},     {"FlaBoxW", "0"},     {"FlaBoxH", "0"},      {"FlaBoxR1", "0"},
    {"FlaBoxR2", "0"},     {"CurveConL", "0"},    {"CurveFlatL", "0"},  {"CurveFlatH", "0"},
};

// Every text the status line showed on screen.
class PaintedTexts : public QObject {
public:
    explicit PaintedTexts(QLabel* label) : m_label(label) { label->installEventFilter(this); }
    QStringList texts;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_label && event->type() == QEvent::Paint)
            texts << m_label->text();
        return false;
    }

private:
    QLabel* m_label;
};

std::vector<double> dimensionsOf(const vx::CalcState& s)
{
    std::vector<double> out;
    for (const auto& k : vx::kDimensionKeys)
        out.push_back(k.real ? s.*k.real : s.*k.whole);
    return out;
}

// The settings text with one section (its header and keys) taken out.
QString withoutSection(const QString& text, const QString& section)
{
    QStringList kept;
    bool inside = false;
    QStringList lines = text.split(QLatin1Char('\n'));
    const bool endsWithLineEnd = !lines.isEmpty() && lines.back().isEmpty();
    if (endsWithLineEnd)
        lines.pop_back();
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1Char('[')))
            inside = line == QLatin1Char('[') + section + QLatin1Char(']');
        if (!inside)
            kept << line;
    }
    return kept.join(QLatin1Char('\n')) + (endsWithLineEnd ? q("\n") : QString());
}

class ProjectCommands : public ::testing::TestWithParam<char> {
protected:
    char sep() const { return GetParam(); }
    QString s(const char* text) const { return QString::fromUtf8(vx::test::withSeparator(text, sep())); }
    void click(ProjectRig& rig, const char* button) { QTest::mouseClick(rig.widget<QToolButton>(button), Qt::LeftButton); }
    // Makes the current project modified the way a user does: types over the tuning frequency.
    void changeFb(ProjectRig& rig) { typeOver(rig.widget<QLineEdit>("EditFb"), q("41")); }
    // Saves the current project under its own name as a user does: Save as, then "Да" on the name the
    // dialog offers. True when the dialog came up and no box did.
    bool saveUnderItsName(ProjectRig& rig)
    {
        auto saved = whileShown(F_RWPrj, [&] { QTest::mouseClick(rig.yes(F_RWPrj), Qt::LeftButton); });
        click(rig, "BoButSave");
        return saved->shown && rig.boxes.boxes.empty();
    }
    // Types a name into New ("BoButNew") or Save as ("BoButSave") as a user does and confirms it. True
    // when the dialog came up and closed.
    bool typeNameAndConfirm(ProjectRig& rig, const char* button, const QString& name)
    {
        const bool isNew = QString::fromUtf8(button) == q("BoButNew");
        QDialog* dialog = isNew ? questDialog() : listDialog();
        auto run = whileShown(dialog, [&] {
            typeOver(isNew ? rig.newName() : rig.nameEditor(), name);
            QTest::mouseClick(rig.yes(dialog), Qt::LeftButton);
        });
        click(rig, button);
        return run->shown && !run->leftOpen;
    }
};

TEST_P(ProjectCommands, UnchangedProjectShowsNoPrompt)
{
    for (const Command& c : kCommands) {
        ProjectRig rig(kProjects, sep());
        const QString before = rig.fileText();
        QString caption;
        auto run = whileShown(c.dialog(), [&] {
            caption = c.dialog()->windowTitle();
            QTest::mouseClick(rig.no(c.dialog()), Qt::LeftButton);
        });
        click(rig, c.button);
        EXPECT_TRUE(run->shown) << c.button;
        EXPECT_FALSE(run->leftOpen) << c.button;
        EXPECT_EQ(caption, q(c.caption)) << c.button;
        EXPECT_TRUE(rig.boxes.boxes.empty()) << c.button;
        EXPECT_EQ(rig.fileText(), before) << c.button;
        EXPECT_EQ(rig.main->currentProject(), q("ALPHA")) << c.button;
    }
}

TEST_P(ProjectCommands, AnsweringNoSavesNothingAndTheCommandGoesOn)
{
    for (const Command& c : kCommands) {
        ProjectRig rig(kProjects, sep());
        const QString before = rig.fileText();
        changeFb(rig);
        ASSERT_TRUE(rig.main->projectModified());
        rig.boxes.answers = {vx::MsgAnswer::No};
        auto run = whileShown(c.dialog(), [&] { QTest::mouseClick(rig.no(c.dialog()), Qt::LeftButton); });
        click(rig, c.button);
        EXPECT_TRUE(run->shown) << c.button;
        if (c.prompts) {
            ASSERT_EQ(rig.boxes.boxes.size(), 1u) << c.button;
            EXPECT_EQ(rig.boxes.boxes[0].type, vx::MsgType::Confirmation);
            EXPECT_EQ(rig.boxes.boxes[0].buttons, vx::MsgButtons::YesNo);
            EXPECT_EQ(rig.boxes.boxes[0].text, q("Сохранить проект [ALPHA]?"));
        } else {
            EXPECT_TRUE(rig.boxes.boxes.empty()) << c.button; // Save as never asks
        }
        EXPECT_EQ(rig.fileText(), before) << c.button;
        // The unsaved change stays in the window.
        EXPECT_EQ(rig.mainText("EditFb"), q("41")) << c.button;
        EXPECT_TRUE(rig.main->projectModified()) << c.button;
    }
}

TEST_P(ProjectCommands, AnsweringYesSavesWithTheStatusTextThenEmptiesIt)
{
    for (const Command& c : kCommands) {
        if (!c.prompts)
            continue;
        ProjectRig rig(kProjects, sep());
        changeFb(rig);
        PaintedTexts painted(rig.widget<QLabel>("StatusBar1"));
        rig.boxes.answers = {vx::MsgAnswer::Yes};
        QString savedFbWhileShown;
        auto run = whileShown(c.dialog(), [&] {
            savedFbWhileShown = rig.value(q("ALPHA"), "Fb");
            QTest::mouseClick(rig.no(c.dialog()), Qt::LeftButton);
        });
        click(rig, c.button);
        EXPECT_TRUE(run->shown) << c.button;
        EXPECT_EQ(savedFbWhileShown, q("41")) << c.button; // saved before the dialog came up
        EXPECT_EQ(rig.value(q("ALPHA"), "Fb"), q("41")) << c.button;
        EXPECT_TRUE(painted.texts.contains(q("  Сохраняю прект, ждите ..."))) << c.button;
        EXPECT_EQ(rig.mainText("StatusBar1"), QString()) << c.button;
        EXPECT_FALSE(rig.main->projectModified()) << c.button;
    }
}

TEST_P(ProjectCommands, OnlySectionBeingCurrentRefusesDeleteAndOpenStillOpens)
{
    ProjectRig rig(kOnlyDefault, sep());
    const QString before = rig.fileText();
    auto refused = whileShown(F_RWPrj, [] {});
    click(rig, "BoButDel");
    QApplication::processEvents();
    EXPECT_FALSE(refused->shown);
    ASSERT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes.boxes[0].type, vx::MsgType::Information);
    EXPECT_EQ(rig.boxes.boxes[0].buttons, vx::MsgButtons::Ok);
    EXPECT_EQ(rig.boxes.boxes[0].text, q("Текущий проект удалить нельзя"));
    EXPECT_FALSE(F_RWPrj->DeleteMode);
    EXPECT_EQ(rig.fileText(), before);

    QStringList listed;
    auto opened = whileShown(F_RWPrj, [&] {
        listed = F_RWPrj->entries();
        QTest::mouseClick(rig.yes(F_RWPrj), Qt::LeftButton);
    });
    click(rig, "BoButOpen");
    EXPECT_TRUE(opened->shown);
    EXPECT_FALSE(opened->leftOpen);
    EXPECT_EQ(listed, QStringList{q("DEFAULT")});
    EXPECT_EQ(rig.sections(), QStringList{q("DEFAULT")});
    EXPECT_EQ(rig.main->currentProject(), q("DEFAULT"));
    EXPECT_EQ(rig.fileText(), before); // a load writes "LastProject", which already names it
    EXPECT_EQ(rig.boxes.boxes.size(), 1u);
}

TEST_P(ProjectCommands, EachModePreparesItsList)
{
    const QStringList all{q("ALPHA"), q("DEFAULT"), q("ZETA"), q("Бокс")};
    struct Mode {
        const char* button;
        QStringList entries;
        QString selected;
        bool editorShown;
        bool deleteMode;
    } modes[] = {
        {"BoButOpen", all, q("ALPHA"), false, false},
        {"BoButSave", all, QString(), true, false},
        {"BoButDel", {q("DEFAULT"), q("ZETA"), q("Бокс")}, QString(), false, true},
    };
    for (const Mode& m : modes) {
        ProjectRig rig(kProjects, sep());
        QStringList entries;
        QString selected, editorText;
        bool editorShown = false, deleteMode = false, editorFocused = false;
        auto run = whileShown(F_RWPrj, [&] {
            entries = F_RWPrj->entries();
            selected = F_RWPrj->selectedEntry();
            editorShown = rig.nameEditor()->isVisible();
            editorText = rig.nameEditor()->text();
            editorFocused = QApplication::focusWidget() == rig.nameEditor();
            deleteMode = F_RWPrj->DeleteMode;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        click(rig, m.button);
        EXPECT_TRUE(run->shown) << m.button;
        EXPECT_FALSE(run->leftOpen) << m.button; // Escape cancels
        EXPECT_EQ(entries, m.entries) << m.button;
        EXPECT_EQ(selected, m.selected) << m.button;
        EXPECT_EQ(editorShown, m.editorShown) << m.button;
        EXPECT_EQ(deleteMode, m.deleteMode) << m.button;
        if (m.editorShown) {
            EXPECT_EQ(editorText, q("ALPHA"));
            EXPECT_TRUE(editorFocused);
        }
        EXPECT_FALSE(F_RWPrj->DeleteMode) << m.button;
    }
}

TEST_P(ProjectCommands, TheListKeepsItselfInAlphabeticalOrder)
{
    ProjectRig rig("[DEFAULT]\nFb=30\nLastProject=DEFAULT\n[Жук]\nFb=31\n[ZETA]\nFb=32\n[Ёлка]\nFb=33\n"
                   "[alpha]\nFb=34\n[Елка]\nFb=35\n[Яма]\nFb=36\n[ёж]\nFb=37\n[Beta]\nFb=38\n",
                   sep());
    QStringList listed;
    auto run = whileShown(F_RWPrj, [&] { listed = F_RWPrj->entries(); });
    click(rig, "BoButOpen");
    EXPECT_TRUE(run->shown);
    const QStringList expected{q("alpha"), q("Beta"), q("DEFAULT"), q("ZETA"), q("ёж"),
                               q("Елка"),  q("Ёлка"), q("Жук"),     q("Яма")};
    EXPECT_EQ(listed, expected);
}

TEST_P(ProjectCommands, TheCurrentProjectIsFoundInAnyLetterCase)
{
    // Opened by its name in small letters, as the section matches it; the list shows the section's spelling.
    ProjectRig rig(kProjects, sep());
    rig.main->LoadProject(q("alpha"));
    ASSERT_EQ(rig.main->currentProject(), q("alpha"));
    QString selected;
    auto open = whileShown(F_RWPrj, [&] { selected = F_RWPrj->selectedEntry(); });
    click(rig, "BoButOpen");
    EXPECT_TRUE(open->shown);
    EXPECT_EQ(selected, q("ALPHA"));
    QStringList offered;
    auto del = whileShown(F_RWPrj, [&] { offered = F_RWPrj->entries(); });
    click(rig, "BoButDel");
    EXPECT_TRUE(del->shown);
    EXPECT_EQ(offered, (QStringList{q("DEFAULT"), q("ZETA"), q("Бокс")}));
}

TEST_P(ProjectCommands, NewMakesTheProjectUnderTheUpperCasedName)
{
    ProjectRig rig(kProjects, sep());
    bool editorFocused = false;
    auto run = whileShown(F_Quest, [&] {
        editorFocused = QApplication::focusWidget() == rig.newName();
        typeText(QApplication::focusWidget(), q("bass Бокс"));
        QTest::mouseClick(rig.yes(F_Quest), Qt::LeftButton);
    });
    click(rig, "BoButNew");
    EXPECT_TRUE(run->shown);
    EXPECT_FALSE(run->leftOpen);
    EXPECT_TRUE(editorFocused);
    const QString made = q("BASS Бокс");
    EXPECT_EQ(rig.main->currentProject(), made);
    EXPECT_EQ(rig.main->windowTitle(), q("Vornalex + [BASS Бокс]"));
    EXPECT_EQ(rig.sections().last(), made);
    for (const StartValue& v : kNewProjectFile)
        EXPECT_EQ(rig.value(made, v.key), q(v.text)) << v.key;
    EXPECT_EQ(rig.value(q("DEFAULT"), "LastProject"), made);
    EXPECT_EQ(rig.mainText("EditSd"), QString());
    EXPECT_EQ(rig.main->focusWidget(), rig.main->component("EditFb"));
    EXPECT_FALSE(rig.main->projectModified());
    // The projects that were there are untouched.
    EXPECT_EQ(rig.value(q("ALPHA"), "PriBoxPriH"), q("55"));
}

TEST_P(ProjectCommands, NewKeepsTheCurveSettingsShown)
{
    ProjectRig rig(kProjects, sep());
    // ALPHA shows the multipliers 40 and 20 and the base function "Cosh" on both curved pages.
    ASSERT_EQ(rig.main->spinValue("SEdDiv"), 40);
    ASSERT_EQ(rig.main->selectorIndex("CBCurveType"), 0);
    auto run = whileShown(F_Quest, [&] {
        typeText(rig.newName(), q("curves"));
        QTest::mouseClick(rig.yes(F_Quest), Qt::LeftButton);
    });
    click(rig, "BoButNew");
    EXPECT_TRUE(run->shown);
    const struct {
        const char* key;
        const char* text;
    } curve[] = {{"CurveConDiv", "40"}, {"CurveConFunc", "0"}, {"CurveFlatDiv", "20"}, {"CurveFlatFunc", "0"}};
    for (const auto& c : curve)
        EXPECT_EQ(rig.value(q("CURVES"), c.key), q(c.text)) << c.key;
    EXPECT_EQ(rig.main->state().CurveConDiv, 40);
    EXPECT_EQ(rig.main->state().CurveFlatDiv, 20);
}

TEST_P(ProjectCommands, NewCancelledOrWithoutANameChangesNothing)
{
    struct Way {
        const char* name;
        std::function<void(ProjectRig&)> act;
    } ways[] = {
        {"Нет", [](ProjectRig& r) {
             typeText(r.newName(), q("Другой"));
             QTest::mouseClick(r.no(F_Quest), Qt::LeftButton);
         }},
        {"close box", [](ProjectRig& r) {
             typeText(r.newName(), q("Другой"));
             F_Quest->close();
         }},
        {"empty name", [](ProjectRig& r) { QTest::mouseClick(r.yes(F_Quest), Qt::LeftButton); }},
    };
    for (const Way& w : ways) {
        ProjectRig rig(kProjects, sep());
        const QString before = rig.fileText();
        const QString caption = rig.main->windowTitle();
        const std::vector<double> dims = dimensionsOf(rig.main->state());
        auto run = whileShown(F_Quest, [&] { w.act(rig); });
        click(rig, "BoButNew");
        EXPECT_TRUE(run->shown) << w.name;
        EXPECT_FALSE(run->leftOpen) << w.name;
        EXPECT_EQ(rig.main->currentProject(), q("ALPHA")) << w.name;
        EXPECT_EQ(rig.main->windowTitle(), caption) << w.name;
        EXPECT_EQ(rig.fileText(), before) << w.name;
        EXPECT_EQ(dimensionsOf(rig.main->state()), dims) << w.name;
    }
}

TEST_P(ProjectCommands, CancelledNewLeavesTheCurrentProjectItsOwnDimensions)
{
    ProjectRig rig(kProjects, sep());
    auto cancelled = whileShown(F_Quest, [&] { QTest::mouseClick(rig.no(F_Quest), Qt::LeftButton); });
    click(rig, "BoButNew");
    ASSERT_TRUE(cancelled->shown);
    // A later save of the current project stores its own sizes, not the ones New starts from.
    changeFb(rig);
    auto saved = whileShown(F_RWPrj, [&] { QTest::mouseClick(rig.yes(F_RWPrj), Qt::LeftButton); });
    click(rig, "BoButSave");
    ASSERT_TRUE(saved->shown);
    EXPECT_EQ(rig.value(q("ALPHA"), "Fb"), q("41"));
    EXPECT_EQ(rig.value(q("ALPHA"), "PriBoxPriH"), q("55"));
    EXPECT_EQ(rig.value(q("ALPHA"), "ConA"), q("6"));
    EXPECT_EQ(rig.value(q("ALPHA"), "FlaBoxR2"), q("12"));
    EXPECT_EQ(rig.value(q("ALPHA"), "TubD"), s("101{s}5"));
}

TEST_P(ProjectCommands, EnterAndEscapeLeaveTheNewProjectDialogOpen)
{
    ProjectRig rig(kProjects, sep());
    const QString before = rig.fileText();
    bool openAfterKeys = false;
    auto run = whileShown(F_Quest, [&] {
        typeText(rig.newName(), q("keys"));
        for (Qt::Key k : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(rig.newName(), k);
        openAfterKeys = F_Quest->isVisible();
    });
    click(rig, "BoButNew");
    EXPECT_TRUE(run->shown);
    EXPECT_TRUE(openAfterKeys);
    EXPECT_EQ(rig.fileText(), before);
    EXPECT_EQ(rig.main->currentProject(), q("ALPHA"));

    // The name typed before is gone at the next New.
    QString atNextShowing = q("<not shown>");
    auto next = whileShown(F_Quest, [&] { atNextShowing = rig.newName()->text(); });
    click(rig, "BoButNew");
    EXPECT_TRUE(next->shown);
    EXPECT_EQ(atNextShowing, QString());
}

TEST_P(ProjectCommands, NewWhileASlotShapeIsChosenSavesTheRoundSection)
{
    ProjectRig rig(kProjects, sep());
    // Бокс holds the wedge (shape 5) on the rectangular section.
    auto opened = whileShown(F_RWPrj, [&] {
        rig.clickEntry(q("Бокс"));
        QTest::mouseClick(rig.yes(F_RWPrj), Qt::LeftButton);
    });
    click(rig, "BoButOpen");
    ASSERT_EQ(rig.main->currentProject(), q("Бокс"));
    ASSERT_EQ(rig.main->state().SBut, vx::PRISM);

    auto made = whileShown(F_Quest, [&] {
        typeText(rig.newName(), q("slot"));
        QTest::mouseClick(rig.yes(F_Quest), Qt::LeftButton);
    });
    click(rig, "BoButNew");
    EXPECT_TRUE(made->shown);
    EXPECT_EQ(rig.value(q("SLOT"), "Pindex"), q("0"));
    EXPECT_EQ(rig.value(q("SLOT"), "SBut"), q("5"));
    EXPECT_EQ(rig.value(q("SLOT"), "PriA"), q("8"));
    // Loading it shows the round counterpart, the cone.
    EXPECT_EQ(rig.main->state().SBut, vx::CONE);
    EXPECT_EQ(rig.main->selectorIndex("ComboPortType"), 0);
    EXPECT_EQ(rig.widget<QStackedWidget>("PageCWork")->currentIndex(), vx::CONE);
}

TEST_P(ProjectCommands, DoubleClickConfirmsAtOnceByMode)
{
    struct Row {
        const char* button;
        bool change; // an unsaved change in ALPHA first
    } rows[] = {{"BoButOpen", false}, {"BoButSave", true}, {"BoButDel", false}};
    for (const Row& r : rows) {
        ProjectRig rig(kProjects, sep());
        const QString before = rig.fileText();
        if (r.change)
            changeFb(rig);
        auto run = whileShown(F_RWPrj, [&] { rig.doubleClickEntry(q("ZETA")); });
        click(rig, r.button);
        EXPECT_TRUE(run->shown) << r.button;
        EXPECT_FALSE(run->leftOpen) << r.button;
        EXPECT_TRUE(rig.boxes.boxes.empty()) << r.button;
        const QString button = q(r.button);
        if (button == q("BoButOpen")) {
            EXPECT_EQ(rig.main->currentProject(), q("ZETA"));
            EXPECT_EQ(rig.mainText("EditFb"), q("25"));
            EXPECT_EQ(rig.main->windowTitle(), q("Vornalex 1.2 - [ZETA]"));
            EXPECT_EQ(rig.fileText(), QString(before).replace(q("LastProject=ALPHA"), q("LastProject=ZETA")));
        } else if (button == q("BoButSave")) {
            // Saved over ZETA without a question: ALPHA's design under ZETA's name, now current.
            EXPECT_EQ(rig.main->currentProject(), q("ZETA"));
            EXPECT_EQ(rig.value(q("ZETA"), "Fb"), q("41"));
            EXPECT_EQ(rig.value(q("ZETA"), "TubD"), s("101{s}5"));
            EXPECT_EQ(rig.value(q("ALPHA"), "Fb"), s("35{s}5"));
        } else {
            EXPECT_FALSE(rig.sections().contains(q("ZETA")));
            EXPECT_EQ(rig.fileText(), withoutSection(before, q("ZETA")));
            EXPECT_EQ(rig.main->currentProject(), q("ALPHA"));
        }
    }
}

TEST_P(ProjectCommands, OpenGivesTheFocusToTheTuningFrequency)
{
    ProjectRig rig(kProjects, sep());
    // Start-up left the focus on the frequency: elsewhere first, or opening would have nothing to move.
    rig.main->setActiveControl("EditVb");
    ASSERT_EQ(rig.main->focusWidget(), rig.main->component("EditVb"));
    auto run = whileShown(F_RWPrj, [&] { rig.doubleClickEntry(q("ZETA")); });
    click(rig, "BoButOpen");
    EXPECT_TRUE(run->shown);
    EXPECT_EQ(rig.main->currentProject(), q("ZETA"));
    EXPECT_EQ(rig.main->focusWidget(), rig.main->component("EditFb"));
}

TEST_P(ProjectCommands, DeletingAnotherProjectReloadsTheCurrentOne)
{
    for (const char* victim : {"ZETA", "DEFAULT", "Бокс"}) {
        ProjectRig rig(kProjects, sep());
        const QString before = rig.fileText();
        changeFb(rig);
        rig.boxes.answers = {vx::MsgAnswer::No}; // the change is not saved, and the reload drops it
        auto run = whileShown(F_RWPrj, [&] {
            rig.clickEntry(q(victim));
            QTest::mouseClick(rig.yes(F_RWPrj), Qt::LeftButton);
        });
        click(rig, "BoButDel");
        EXPECT_TRUE(run->shown) << victim;
        EXPECT_FALSE(run->leftOpen) << victim;
        QString expected = withoutSection(before, q(victim));
        // The reload names the current project in "DEFAULT" again, which makes that section anew.
        if (q(victim) == q("DEFAULT"))
            expected += q("[DEFAULT]\nLastProject=ALPHA\n");
        EXPECT_EQ(rig.fileText(), expected) << victim;
        EXPECT_EQ(rig.main->currentProject(), q("ALPHA")) << victim;
        EXPECT_FALSE(rig.main->projectModified()) << victim;
        EXPECT_EQ(rig.mainText("EditFb"), s("35{s}5")) << victim;
        EXPECT_EQ(rig.main->windowTitle(), q("Vornalex 1.2 - [ALPHA]")) << victim;
        EXPECT_FALSE(F_RWPrj->DeleteMode) << victim;
    }
}

TEST_P(ProjectCommands, WorkingTextWhileConfirmingAndAnEmptyStatusAtTheNextShowing)
{
    ProjectRig rig(kProjects, sep());
    QString whilePressed;
    auto first = whileShown(F_RWPrj, [&] {
        rig.clickEntry(q("ZETA"));
        QTest::mousePress(rig.yes(F_RWPrj), Qt::LeftButton);
        whilePressed = rig.listStatus();
        QTest::mouseRelease(rig.yes(F_RWPrj), Qt::LeftButton);
    });
    click(rig, "BoButOpen");
    EXPECT_TRUE(first->shown);
    EXPECT_FALSE(first->leftOpen);
    EXPECT_EQ(whilePressed, q("Работаю, ждите ..."));

    QString atShowing = q("<not shown>");
    auto second = whileShown(F_RWPrj, [&] {
        atShowing = rig.listStatus();
        QTest::mouseClick(rig.no(F_RWPrj), Qt::LeftButton);
    });
    click(rig, "BoButOpen");
    EXPECT_TRUE(second->shown);
    EXPECT_EQ(atShowing, QString());

    // Any mouse button pressed on "Да" shows it; only the left one confirms.
    QString afterRightPress;
    auto right = whileShown(F_RWPrj, [&] {
        QTest::mousePress(rig.yes(F_RWPrj), Qt::RightButton);
        afterRightPress = rig.listStatus();
        QTest::mouseRelease(rig.yes(F_RWPrj), Qt::RightButton);
    });
    click(rig, "BoButOpen");
    EXPECT_TRUE(right->shown);
    EXPECT_TRUE(right->leftOpen);
    EXPECT_EQ(afterRightPress, q("Работаю, ждите ..."));
}

TEST_P(ProjectCommands, ConfirmingWithoutAnEntryKeepsTheDialogOpenInItsMode)
{
    for (const char* button : {"BoButOpen", "BoButDel"}) {
        ProjectRig rig(kProjects, sep());
        const QString before = rig.fileText();
        const QString caption = q(QString::fromUtf8(button) == q("BoButOpen") ? "Открыть проект" : "Удалить проект");
        bool openAfterError = false, modeKept = false, nothingPickedSeen = false;
        int errors = 0;
        QString statusAfterError = q("<not read>");
        auto run = whileShown(F_RWPrj, [&] {
            // Open comes with the current project picked: a Ctrl-click takes the pick away.
            if (const QString picked = F_RWPrj->selectedEntry(); !picked.isEmpty()) {
                const QRect at = rig.list()->visualItemRect(rig.list()->findItems(picked, Qt::MatchExactly).front());
                QTest::mouseClick(rig.list()->viewport(), Qt::LeftButton, Qt::ControlModifier, at.center());
            }
            const bool nothingPicked = F_RWPrj->selectedEntry().isEmpty();
            QTest::mouseClick(rig.yes(F_RWPrj), Qt::LeftButton);
            nothingPickedSeen = nothingPicked;
            openAfterError = F_RWPrj->isVisible();
            modeKept = F_RWPrj->windowTitle() == caption &&
                       F_RWPrj->DeleteMode == (QString::fromUtf8(button) == q("BoButDel"));
            statusAfterError = rig.listStatus();
            for (const auto& b : rig.boxes.boxes)
                errors += b.type == vx::MsgType::Error ? 1 : 0;
            // Then the user picks an entry and confirms.
            rig.clickEntry(q("ZETA"));
            QTest::mouseClick(rig.yes(F_RWPrj), Qt::LeftButton);
        });
        click(rig, button);
        EXPECT_TRUE(run->shown) << button;
        EXPECT_TRUE(openAfterError) << button;
        EXPECT_TRUE(nothingPickedSeen) << button;
        EXPECT_TRUE(modeKept) << button;
        EXPECT_EQ(errors, 1) << button;
        EXPECT_EQ(statusAfterError, QString()) << button;
        EXPECT_FALSE(run->leftOpen) << button;
        if (QString::fromUtf8(button) == q("BoButOpen")) {
            EXPECT_EQ(rig.main->currentProject(), q("ZETA"));
        } else {
            EXPECT_EQ(rig.fileText(), withoutSection(before, q("ZETA")));
        }
    }
}

TEST_P(ProjectCommands, SaveAsUnderATypedNameOrNone)
{
    struct Row {
        const char* typed;
        const char* section; // empty: nothing is written
    } rows[] = {
        {"new one", "NEW ONE"},
        {"Ёлка tube", "Ёлка TUBE"},
        {"[bracketed", "[BRACKETED"}, // "[" opens the header line, and the name still comes back whole
        {"", ""},
    };
    for (const Row& r : rows) {
        ProjectRig rig(kProjects, sep());
        const QString before = rig.fileText();
        auto run = whileShown(F_RWPrj, [&] {
            typeOver(rig.nameEditor(), q(r.typed));
            QTest::mouseClick(rig.yes(F_RWPrj), Qt::LeftButton);
        });
        click(rig, "BoButSave");
        EXPECT_TRUE(run->shown) << r.typed;
        EXPECT_FALSE(run->leftOpen) << r.typed;
        if (*r.section == 0) {
            EXPECT_EQ(rig.fileText(), before);
            EXPECT_EQ(rig.main->currentProject(), q("ALPHA"));
            continue;
        }
        EXPECT_EQ(rig.sections().last(), q(r.section)) << r.typed;
        EXPECT_EQ(rig.value(q(r.section), "Fb"), s("35{s}5")) << r.typed;
        EXPECT_EQ(rig.main->currentProject(), q(r.section)) << r.typed;
        EXPECT_EQ(rig.main->windowTitle(), q("Vornalex 1.2 - [") + q(r.section) + q("]")) << r.typed;
    }
}

TEST_P(ProjectCommands, SaveAsOverTheStartUpProjectFromAnotherProjectWrites)
{
    // ALPHA was opened at start; ZETA, opened since and unchanged, is saved over it: the window's design
    // goes into ALPHA, which then is the current project.
    ProjectRig rig(kProjects, sep());
    rig.main->LoadProject(q("ZETA"));
    ASSERT_FALSE(rig.main->projectModified());
    auto run = whileShown(F_RWPrj, [&] {
        typeOver(rig.nameEditor(), q("alpha"));
        QTest::mouseClick(rig.yes(F_RWPrj), Qt::LeftButton);
    });
    click(rig, "BoButSave");
    EXPECT_TRUE(run->shown);
    EXPECT_FALSE(run->leftOpen);
    EXPECT_EQ(rig.value(q("ALPHA"), "Fb"), q("25"));
    EXPECT_EQ(rig.value(q("ALPHA"), "TubD"), q("120"));
    EXPECT_EQ(rig.value(q("DEFAULT"), "LastProject"), q("ALPHA"));
    EXPECT_EQ(rig.main->currentProject(), q("ALPHA"));
    EXPECT_EQ(rig.main->windowTitle(), q("Vornalex 1.2 - [ALPHA]"));
    EXPECT_TRUE(rig.boxes.boxes.empty());
}

TEST_P(ProjectCommands, PickingAnEntryCopiesItsNameForSavingOverIt)
{
    ProjectRig rig(kProjects, sep());
    changeFb(rig);
    QString afterClick, afterKey;
    auto run = whileShown(F_RWPrj, [&] {
        rig.clickEntry(q("DEFAULT"));
        afterClick = rig.nameEditor()->text();
        rig.list()->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(rig.list(), Qt::Key_Down); // DEFAULT → ZETA
        afterKey = rig.nameEditor()->text();
        QTest::mouseClick(rig.yes(F_RWPrj), Qt::LeftButton);
    });
    click(rig, "BoButSave");
    EXPECT_TRUE(run->shown);
    EXPECT_FALSE(run->leftOpen);
    EXPECT_EQ(afterClick, q("DEFAULT"));
    EXPECT_EQ(afterKey, q("ZETA"));
    EXPECT_TRUE(rig.boxes.boxes.empty()); // over an existing project without a question
    EXPECT_EQ(rig.value(q("ZETA"), "Fb"), q("41"));
    EXPECT_EQ(rig.main->currentProject(), q("ZETA"));
}

TEST_P(ProjectCommands, NamesTheSettingsFileCannotHoldAreRefused)
{
    const QString feff(QChar(0xFEFF));
    struct Row {
        QString name;
        const char* warning;
    } rows[] = {
        {q("A]B"), "Имя проекта не может содержать символ \"]\""},
        {q("end]"), "Имя проекта не может содержать символ \"]\""},
        {q("two\nlines"), "Имя проекта не может содержать перевод строки"},
        {q("ret\rurn"), "Имя проекта не может содержать перевод строки"},
        {q(" lead"), "Имя проекта не может начинаться или заканчиваться пробелом"},
        {q("trail "), "Имя проекта не может начинаться или заканчиваться пробелом"},
        {q("   "), "Имя проекта не может начинаться или заканчиваться пробелом"},
        // Invisible: pasted in front of copied text by some editors, or between letters.
        {feff + q("Бокс"), "Имя проекта не может содержать невидимые символы (U+FEFF)"},
        {feff, "Имя проекта не может содержать невидимые символы (U+FEFF)"},
        {q("Bo\xE2\x80\x8Bx\xC2\xAD"), "Имя проекта не может содержать невидимые символы (U+200B, U+00AD)"},
        // Default-ignorable code points that are no format characters, alone or in a name; a NUL.
        {QString(QChar(0x3164)), "Имя проекта не может содержать невидимые символы (U+3164)"},
        {q("\xE1\x85\x9F"), "Имя проекта не может содержать невидимые символы (U+115F)"},
        {q("A\xCD\x8F" "B"), "Имя проекта не может содержать невидимые символы (U+034F)"},
        {q("Box\xEF\xB8\x8F"), "Имя проекта не может содержать невидимые символы (U+FE0F)"},
        {q("A") + QChar(0) + q("B"), "Имя проекта не может содержать невидимые символы (U+0000)"},
        // Blank without a space at either end.
        {q("\xE2\xA0\x80\xE3\x85\xA4"), "Имя проекта не может содержать невидимые символы (U+2800, U+3164)"},
    };
    // Each name is pasted in turn into the one dialog (a line editor takes no line break from the
    // keyboard) and confirmed: each is refused with its own warning and the dialog stays open.
    for (const char* button : {"BoButNew", "BoButSave"}) {
        ProjectRig rig(kProjects, sep());
        QDialog* dialog = QString::fromUtf8(button) == q("BoButNew") ? questDialog() : listDialog();
        const QString before = rig.fileText();
        std::vector<bool> openAfter;
        std::vector<QString> fileAfter;
        auto run = whileShown(dialog, [&] {
            QLineEdit* editor = dialog == F_Quest ? rig.newName() : rig.nameEditor();
            for (const Row& r : rows) {
                editor->setText(r.name);
                QTest::mouseClick(rig.yes(dialog), Qt::LeftButton);
                openAfter.push_back(dialog->isVisible());
                fileAfter.push_back(rig.fileText());
            }
        });
        click(rig, button);
        EXPECT_TRUE(run->shown) << button;
        ASSERT_EQ(rig.boxes.boxes.size(), std::size(rows)) << button;
        ASSERT_EQ(openAfter.size(), std::size(rows)) << button;
        for (std::size_t i = 0; i < std::size(rows); ++i) {
            const std::string name = rows[i].name.toStdString();
            EXPECT_TRUE(openAfter[i]) << button << name;
            EXPECT_EQ(rig.boxes.boxes[i].type, vx::MsgType::Warning) << button << name;
            EXPECT_EQ(rig.boxes.boxes[i].text, q(rows[i].warning)) << button << name;
            EXPECT_EQ(fileAfter[i], before) << button << name;
        }
        EXPECT_EQ(rig.fileText(), before) << button;
        EXPECT_EQ(rig.sections(), (QStringList{q("DEFAULT"), q("ALPHA"), q("Бокс"), q("ZETA")}));
        EXPECT_EQ(rig.main->currentProject(), q("ALPHA")) << button;
    }
}

// ---- a settings file from Windows ------------------------------------------------------------------

TEST_P(ProjectCommands, FileFromWindowsOpensItsLastProjectAndListsItsNames)
{
    const QByteArray file = windows1251(s(kFromWindows));
    ProjectRig rig(file, sep());
    EXPECT_EQ(rig.main->currentProject(), q("Ящик"));
    EXPECT_EQ(rig.main->windowTitle(), q("Vornalex 1.2 - [Ящик]"));
    EXPECT_EQ(rig.mainText("EditVs"), q("340"));
    EXPECT_EQ(rig.mainText("EditFb"), s("35{s}5"));
    EXPECT_EQ(rig.mainText("EditNd"), q("2"));
    EXPECT_EQ(rig.main->state().TubD, 101.5);
    EXPECT_EQ(rig.fileBytes(), file); // opening writes nothing new

    QStringList offered;
    QString selected;
    auto open = whileShown(F_RWPrj, [&] {
        offered = F_RWPrj->entries();
        selected = F_RWPrj->selectedEntry();
        rig.doubleClickEntry(q("Бокс"));
    });
    click(rig, "BoButOpen");
    EXPECT_TRUE(open->shown);
    EXPECT_EQ(offered, (QStringList{q("DEFAULT"), q("Бокс"), q("Ящик")}));
    EXPECT_EQ(selected, q("Ящик"));
    EXPECT_EQ(rig.main->currentProject(), q("Бокс"));
    EXPECT_EQ(rig.mainText("EditFb"), q("42"));
    EXPECT_EQ(rig.main->state().PriW1, 70);
}

TEST_P(ProjectCommands, SavingInAFileFromWindowsChangesOnlyThatProject)
{
    const QByteArray file = windows1251(s(kFromWindows));
    ProjectRig rig(file, sep());
    changeFb(rig);
    auto saved = whileShown(F_RWPrj, [&] { QTest::mouseClick(rig.yes(F_RWPrj), Qt::LeftButton); });
    click(rig, "BoButSave");
    ASSERT_TRUE(saved->shown);
    EXPECT_TRUE(rig.boxes.boxes.empty());
    const QByteArray after = rig.fileBytes();
    // Up to the section header of the saved project and from the next section on: the same bytes.
    const QByteArray header = windows1251(q("[Ящик]\r\n"));
    const QByteArray next = windows1251(q("[Бокс]\r\n"));
    const qsizetype head = file.indexOf(header) + header.size();
    EXPECT_EQ(after.left(head), file.left(head));
    EXPECT_TRUE(after.endsWith(file.mid(file.indexOf(next))));
    // The saved section: its keys in Windows-1251 with the file's line ends.
    const QByteArray section = after.mid(head, after.indexOf(next) - head);
    EXPECT_EQ(section.count("\r\n"), section.count('\n'));
    EXPECT_EQ(section.count('\n'), vx::kProjectKeyCount);
    EXPECT_EQ(rig.value(q("Ящик"), "Fb"), q("41"));
    EXPECT_EQ(rig.value(q("Ящик"), "TubD"), s("101{s}5"));
    EXPECT_EQ(rig.value(q("Ящик"), "CurveFlatFunc"), q("0"));
    EXPECT_EQ(rig.sections(), (QStringList{q("DEFAULT"), q("Ящик"), q("Бокс")}));
}

TEST_P(ProjectCommands, DeletingOneProjectOfAFileFromWindowsLeavesTheOtherWhole)
{
    const QByteArray file = windows1251(s(kFromWindows));
    ProjectRig rig(file, sep());
    auto run = whileShown(F_RWPrj, [&] { rig.doubleClickEntry(q("Бокс")); });
    click(rig, "BoButDel");
    EXPECT_TRUE(run->shown);
    EXPECT_EQ(rig.fileBytes(), file.left(file.indexOf(windows1251(q("[Бокс]")))));
    EXPECT_EQ(rig.main->currentProject(), q("Ящик"));
    EXPECT_EQ(rig.mainText("EditFb"), s("35{s}5"));
}

// A name that Windows-1251 cannot hold is refused, in New and in Save as, and one it holds is taken.
TEST_P(ProjectCommands, FileFromWindowsRefusesNamesOutsideItsCodePage)
{
    const QString warning = q("Имя проекта не может содержать символы «箱子»: файл настроек Vornalex.ini записан в "
                              "кодировке Windows-1251, в которой их нет");
    for (const char* button : {"BoButNew", "BoButSave"}) {
        const QByteArray file = windows1251(s(kFromWindows));
        ProjectRig rig(file, sep());
        QDialog* dialog = QString::fromUtf8(button) == q("BoButNew") ? questDialog() : listDialog();
        QLineEdit* editor = dialog == F_Quest ? rig.newName() : rig.nameEditor();
        bool openAfterRefusal = false;
        QByteArray fileAfterRefusal;
        auto run = whileShown(dialog, [&] {
            typeOver(editor, q("箱子 Box"));
            QTest::mouseClick(rig.yes(dialog), Qt::LeftButton);
            openAfterRefusal = dialog->isVisible();
            fileAfterRefusal = rig.fileBytes();
            typeOver(editor, q("Новый"));
            QTest::mouseClick(rig.yes(dialog), Qt::LeftButton);
        });
        click(rig, button);
        EXPECT_TRUE(run->shown) << button;
        EXPECT_TRUE(openAfterRefusal) << button;
        EXPECT_EQ(fileAfterRefusal, file) << button;
        ASSERT_EQ(rig.boxes.boxes.size(), 1u) << button;
        EXPECT_EQ(rig.boxes.boxes[0].type, vx::MsgType::Warning);
        EXPECT_EQ(rig.boxes.boxes[0].text, warning) << button;
        EXPECT_FALSE(run->leftOpen) << button;
        EXPECT_EQ(rig.main->currentProject(), q("Новый")) << button;
        EXPECT_TRUE(rig.fileBytes().contains(windows1251(q("\r\n[Новый]\r\n")))) << button;
        EXPECT_EQ(rig.value(q("DEFAULT"), "LastProject"), q("Новый")) << button;
    }
}

// Names whose Windows-1251 bytes are valid UTF-8 ("В№1" would read as "¹1", "ВЉ" as a control
// character) and one whose bytes are not, saved in a file from Windows as a user saves them: a fresh
// reader finds each project and "LastProject" under the name typed, the projects already in the file
// keep their bytes, and a new start opens the saved project.
TEST_P(ProjectCommands, NamesSavedInAFileFromWindowsReadBackAsTyped)
{
    const QByteArray file = windows1251(s(kFromWindows));
    for (const char* typed : {"В№1", "ЛЁ", "Я»", "ВЁ", "ВЉ", "Бокс №1"}) {
        SCOPED_TRACE(typed);
        const QString name = q(typed);
        QByteArray after;
        {
            ProjectRig rig(file, sep());
            EXPECT_TRUE(typeNameAndConfirm(rig, "BoButSave", name));
            EXPECT_TRUE(rig.boxes.boxes.empty());
            EXPECT_EQ(rig.sections(), (QStringList{q("DEFAULT"), q("Ящик"), q("Бокс"), name}));
            EXPECT_EQ(rig.value(q("DEFAULT"), "LastProject"), name);
            EXPECT_EQ(rig.value(name, "Fb"), s("35{s}5"));
            EXPECT_EQ(rig.main->currentProject(), name);
            after = rig.fileBytes();
            EXPECT_TRUE(after.contains(file.mid(file.indexOf(windows1251(q("[Ящик]"))))));
        }
        ProjectRig again(after, sep());
        EXPECT_EQ(again.main->windowTitle(), q("Vornalex 1.2 - [") + name + q("]"));
        EXPECT_EQ(again.mainText("EditFb"), s("35{s}5"));
    }
}

// The program's own write leaves no Windows-1251 line in the file: the same run takes a name that code
// page has no letters for, as a new start would.
TEST_P(ProjectCommands, NewLinesFollowTheFileAsTheProgramsOwnWriteLeftIt)
{
    const QByteArray utf8 = vx::test::withSeparator(kProjects, sep());
    const struct {
        const char* name;
        QByteArray file;
        const char* deleted; // the project deleted first, if any
    } rows[] = {
        // "[Бокс]" is the only line that is not ASCII.
        {"its only Windows-1251 project deleted", windows1251(QString::fromUtf8(utf8)), "Бокс"},
        // "LastProject" names a project no longer there: the start opens "DEFAULT" and writes its name.
        {"the last project's name written over at start",
         QByteArray(utf8).replace("[Бокс]", "[BOX]").replace("LastProject=ALPHA", "LastProject=" + windows1251(q("Ящик"))),
         nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ProjectRig rig(row.file, sep());
        if (row.deleted) {
            auto run = whileShown(F_RWPrj, [&] { rig.doubleClickEntry(q(row.deleted)); });
            click(rig, "BoButDel");
            ASSERT_TRUE(run->shown);
        }
        ASSERT_FALSE(rig.fileBytes().contains(windows1251(q("Бокс"))) || rig.fileBytes().contains(windows1251(q("Ящик"))));
        EXPECT_TRUE(typeNameAndConfirm(rig, "BoButNew", q("中文")));
        EXPECT_TRUE(rig.boxes.boxes.empty());
        EXPECT_EQ(rig.main->currentProject(), q("中文"));
        EXPECT_TRUE(rig.fileBytes().contains("\n[中文]\n"));
        EXPECT_EQ(rig.value(q("中文"), "Vb"), q("45"));
        EXPECT_EQ(rig.value(q("DEFAULT"), "LastProject"), q("中文"));
    }
}

// Two sections of one name, in two letter cases or in the two encodings: both are listed, Delete erases
// the first, which the program reads, and the next one then reads as that project and can be erased too.
TEST_P(ProjectCommands, DeleteErasesTheFirstOfTwoSectionsOfOneNameThenTheNext)
{
    const QByteArray base = vx::test::withSeparator(kOnlyDefault, sep());
    const struct {
        const char* name;
        QByteArray file;
        const char *first, *second;
    } rows[] = {
        {"letter case", base + "[BOX]\nFb=20\n[box]\nFb=21\n", "BOX", "box"},
        {"two encodings", base + "[Бокс]\nFb=20\n" + windows1251(q("[Бокс]\nFb=21\n")), "Бокс", "Бокс"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ProjectRig rig(row.file, sep());
        // Delete, the entry of that name picked and confirmed: the entries offered.
        const auto erase = [&](const char* name) {
            QStringList offered;
            auto run = whileShown(F_RWPrj, [&] {
                offered = F_RWPrj->entries();
                F_RWPrj->selectEntry(q(name));
                QTest::mouseClick(rig.yes(F_RWPrj), Qt::LeftButton);
            });
            click(rig, "BoButDel");
            EXPECT_TRUE(run->shown && !run->leftOpen) << name;
            offered.sort();
            return offered;
        };
        QStringList both{q(row.first), q(row.second)};
        both.sort();
        EXPECT_EQ(erase(row.first), both);
        EXPECT_EQ(rig.sections(), (QStringList{q("DEFAULT"), q(row.second)}));
        EXPECT_EQ(rig.value(q(row.first), "Fb"), q("21"));

        EXPECT_EQ(erase(row.second), QStringList{q(row.second)});
        EXPECT_EQ(rig.sections(), QStringList{q("DEFAULT")});
        EXPECT_EQ(rig.fileBytes(), base);
        EXPECT_TRUE(rig.boxes.boxes.empty());
        EXPECT_EQ(rig.main->currentProject(), q("DEFAULT"));
    }
}

// An erase takes the first section of a name, the one the current project is read from: Delete offers
// no section of the current project's name, in any letter case.
TEST_P(ProjectCommands, DeleteOffersNoSectionOfTheCurrentProjectsName)
{
    const QByteArray file = vx::test::withSeparator(kOnlyDefault, sep()) + "[Default]\nFb=21\n[ZETA]\nFb=25\n";
    ProjectRig rig(file, sep());
    ASSERT_EQ(rig.main->currentProject(), q("DEFAULT"));
    QStringList offered;
    auto run = whileShown(F_RWPrj, [&] { offered = F_RWPrj->entries(); });
    click(rig, "BoButDel");
    EXPECT_TRUE(run->shown);
    EXPECT_EQ(offered, QStringList{q("ZETA")});
    EXPECT_EQ(rig.fileBytes(), file);
}

// ---- line ends and encodings of the settings file ----------------------------------------------------

// A line end for each line in turn; `lastEnds` false leaves the last line without one.
struct LineEndRow {
    const char* name;
    std::vector<const char*> ends;
    bool lastEnds;
};

const LineEndRow kLineEndRows[] = {
    {"lone CR", {"\r"}, true},
    {"LF", {"\n"}, true},
    {"CR LF", {"\r\n"}, true},
    {"mixed", {"\r\n", "\r", "\n", "\n", "\r"}, true},
    {"mixed, the last line without a line end", {"\n", "\r", "\r\n"}, false},
};

QByteArray joinLines(const QStringList& lines, const LineEndRow& row)
{
    QByteArray out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        out += lines[i].toUtf8();
        if (i + 1 < lines.size() || row.lastEnds)
            out += row.ends[std::size_t(i) % row.ends.size()];
    }
    return out;
}

// "DEFAULT" and two projects, each with every key a save writes and the value it would write, so that
// saving a project changes no more than what the user changed.
QStringList twoFullProjects()
{
    QStringList lines{q("[DEFAULT]"), q("id=TESTID01"), q("Fb=30"), q("LastProject=P1"), q("FormLeft=0"),
                      q("FormTop=0")};
    const char* sourceValues[] = {"344", "30", "45", "210", "1", "7", "1", "0", "0"};
    for (const char* project : {"P1", "P2"}) {
        lines << q("[") + q(project) + q("]");
        for (std::size_t i = 0; i < vx::kSourceKeys.size(); ++i)
            lines << QString::fromUtf8(vx::kSourceKeys[i].key) + q("=") + q(sourceValues[i]);
        for (const auto& k : vx::kDimensionKeys) {
            const QString key = QString::fromUtf8(k.key);
            const char* value = key.endsWith(q("Div"))    ? "10"
                                : key.endsWith(q("Func")) ? "0"
                                : key.endsWith(q("A"))    ? "8" // the angles
                                                          : "50";
            lines << key + q("=") + q(value);
        }
    }
    return lines;
}

// Whatever ends its lines, the file keeps both projects at the start, and a save changes the one line
// the user changed, every other byte as it was.
TEST_P(ProjectCommands, EveryKindOfLineEndKeepsTheProjectsAndTheUntouchedBytes)
{
    const QStringList lines = twoFullProjects();
    for (const LineEndRow& row : kLineEndRows) {
        SCOPED_TRACE(row.name);
        const QByteArray file = joinLines(lines, row);
        ProjectRig rig(file, sep());
        EXPECT_EQ(rig.fileBytes(), file);
        EXPECT_EQ(rig.sections(), (QStringList{q("DEFAULT"), q("P1"), q("P2")}));
        EXPECT_EQ(rig.main->windowTitle(), q("Vornalex 1.2 - [P1]"));
        EXPECT_EQ(rig.mainText("EditVb"), q("45"));

        changeFb(rig);
        ASSERT_TRUE(saveUnderItsName(rig));
        QStringList changed = lines;
        changed[changed.indexOf(q("[P1]")) + 2] = q("Fb=41");
        EXPECT_EQ(rig.fileBytes(), joinLines(changed, row));
    }
}

// A file saved by a Windows editor as "Unicode": UTF-16 with its byte-order mark, in either byte order.
// Its projects are listed, opened and saved, and it stays UTF-16 with its mark.
TEST_P(ProjectCommands, Utf16FileIsListedOpenedAndSavedInUtf16)
{
    for (const vx::test::Utf16Form& row : vx::test::kUtf16Forms) {
        SCOPED_TRACE(row.name);
        QString text = s(kProjects);
        text.replace(q("\n"), q("\r\n"));
        const QByteArray file = vx::test::utf16File(row, text);
        ProjectRig rig(file, sep());
        EXPECT_EQ(rig.main->windowTitle(), q("Vornalex 1.2 - [ALPHA]"));
        EXPECT_EQ(rig.mainText("EditFb"), s("35{s}5"));
        EXPECT_EQ(rig.fileBytes(), file);

        QStringList offered;
        auto open = whileShown(F_RWPrj, [&] {
            offered = F_RWPrj->entries();
            rig.doubleClickEntry(q("Бокс"));
        });
        click(rig, "BoButOpen");
        EXPECT_TRUE(open->shown);
        offered.sort();
        EXPECT_EQ(offered, (QStringList{q("ALPHA"), q("DEFAULT"), q("ZETA"), q("Бокс")}));
        EXPECT_EQ(rig.main->windowTitle(), q("Vornalex 1.2 - [Бокс]"));
        EXPECT_EQ(rig.mainText("EditFb"), q("42"));

        changeFb(rig);
        ASSERT_TRUE(saveUnderItsName(rig));
        const QByteArray after = rig.fileBytes();
        ASSERT_TRUE(after.startsWith(row.mark));
        QStringDecoder decoder(row.encoding, QStringDecoder::Flag::Stateless);
        const QString afterText = decoder.decode(after.mid(row.mark.size()));
        EXPECT_FALSE(decoder.hasError());
        // Up to the saved project's header and from the next project on: the same text (but for the last
        // project's name), in the same bytes.
        const qsizetype head = text.indexOf(q("[Бокс]\r\n")) + 8;
        const QString expectedHead = text.left(head).replace(q("LastProject=ALPHA"), q("LastProject=Бокс"));
        EXPECT_EQ(afterText.left(expectedHead.size()), expectedHead);
        EXPECT_TRUE(afterText.endsWith(text.mid(text.indexOf(q("[ZETA]")))));
        EXPECT_EQ(afterText.count(q("\r\n")), afterText.count(QLatin1Char('\n')));
        EXPECT_EQ(rig.value(q("Бокс"), "Fb"), q("41"));
        EXPECT_EQ(rig.value(q("Бокс"), "CurveFlatFunc"), q("0"));
        EXPECT_EQ(rig.sections(), (QStringList{q("DEFAULT"), q("ALPHA"), q("Бокс"), q("ZETA")}));
    }
}

// One line in Windows-1251 in a UTF-8 file (a note added by a Windows editor, or a project's header):
// the names read as they are written, New "Бокс" finds the project of that name and asks, and the lines
// the save does not touch keep their bytes.
TEST_P(ProjectCommands, OneWindows1251LineInAUtf8File)
{
    const QByteArray utf8 = "; Мои проекты\n; для ящиков\n" + vx::test::withSeparator(kProjects, sep());
    const QByteArray header1251 = windows1251(q("[Бокс]"));
    const struct {
        const char* name;
        QByteArray file;
        QByteArray header; // the project's header as the file spells it
    } rows[] = {
        {"a note", windows1251(q("; заметка\n")) + utf8, "[Бокс]"},
        {"the project's header", QByteArray(utf8).replace("[Бокс]", header1251), header1251},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ProjectRig rig(row.file, sep());
        EXPECT_EQ(rig.fileBytes(), row.file);
        EXPECT_EQ(rig.sections(), (QStringList{q("DEFAULT"), q("ALPHA"), q("Бокс"), q("ZETA")}));
        auto run = whileShown(F_Quest, [&] {
            typeText(rig.newName(), q("Бокс"));
            rig.boxes.answers = {vx::MsgAnswer::Yes};
            QTest::mouseClick(rig.yes(F_Quest), Qt::LeftButton);
        });
        click(rig, "BoButNew");
        EXPECT_TRUE(run->shown);
        ASSERT_EQ(rig.boxes.boxes.size(), 1u);
        EXPECT_EQ(rig.boxes.boxes[0].text, q("Проект [Бокс] уже существует. Заменить его?"));
        EXPECT_EQ(rig.main->windowTitle(), q("Vornalex + [Бокс]"));
        EXPECT_EQ(rig.sections(), (QStringList{q("DEFAULT"), q("ALPHA"), q("Бокс"), q("ZETA")}));
        for (const StartValue& v : kNewProjectFile)
            EXPECT_EQ(rig.value(q("Бокс"), v.key), q(v.text)) << v.key;
        // Up to the header of the project written over (its header included) and from the next project
        // on, the same bytes but for the last project's name.
        const QByteArray after = rig.fileBytes();
        const qsizetype headerEnd = row.file.indexOf(row.header + '\n') + row.header.size() + 1;
        QByteArray expectedHead = row.file.left(headerEnd);
        expectedHead.replace("LastProject=ALPHA", "LastProject=Бокс");
        EXPECT_EQ(after.left(expectedHead.size()), expectedHead);
        EXPECT_TRUE(after.endsWith(row.file.mid(row.file.indexOf("[ZETA]"))));
    }
}

TEST_P(ProjectCommands, ReloadAfterAnEraseKeepsACurrentProjectThatLostItsSection)
{
    ProjectRig rig(kProjects, sep());
    // Another hand takes ALPHA out of the file while it is open.
    rig.writeFile(withoutSection(rig.fileText(), q("ALPHA")));
    auto run = whileShown(F_RWPrj, [&] { rig.doubleClickEntry(q("ZETA")); });
    click(rig, "BoButDel");
    EXPECT_TRUE(run->shown);
    EXPECT_FALSE(rig.sections().contains(q("ZETA")));
    // The window does not fall back to another project: ALPHA stays, marked for saving.
    EXPECT_EQ(rig.main->currentProject(), q("ALPHA"));
    EXPECT_EQ(rig.mainText("EditFb"), s("35{s}5"));
    EXPECT_TRUE(rig.main->projectModified());
    EXPECT_EQ(rig.main->windowTitle(), q("Vornalex 1.2 - [ALPHA]"));

    // The next save gives it its section back.
    auto saved = whileShown(F_RWPrj, [&] { QTest::mouseClick(rig.yes(F_RWPrj), Qt::LeftButton); });
    click(rig, "BoButSave");
    EXPECT_TRUE(saved->shown);
    EXPECT_EQ(rig.value(q("ALPHA"), "Fb"), s("35{s}5"));
    EXPECT_EQ(rig.value(q("ALPHA"), "PriBoxPriH"), q("55"));
}

TEST_P(ProjectCommands, NewUnderTheStartUpProjectsNameWritesOverIt)
{
    // The source editors already hold the values New resets them to, so nothing marks the project
    // modified on the way; New still writes its reset sizes over the section of that name.
    ProjectRig rig(kOnlyDefault, sep());
    rig.main->state().PriBoxPriH = 33;
    rig.main->state().ConA = 11;
    auto run = whileShown(F_Quest, [&] {
        typeText(rig.newName(), q("default"));
        QTest::mouseClick(rig.yes(F_Quest), Qt::LeftButton);
    });
    click(rig, "BoButNew");
    EXPECT_TRUE(run->shown);
    EXPECT_EQ(rig.main->currentProject(), q("DEFAULT"));
    EXPECT_EQ(rig.sections(), QStringList{q("DEFAULT")});
    for (const StartValue& v : kNewProjectFile)
        EXPECT_EQ(rig.value(q("DEFAULT"), v.key), q(v.text)) << v.key;
    EXPECT_EQ(rig.main->state().PriBoxPriH, 0);
    EXPECT_EQ(rig.main->state().ConA, 4);
    EXPECT_FALSE(rig.main->projectModified());
}

// New under the name of a project that exists asks first; the name matches as the file matches it (only
// the Latin letters upper-cased, then without regard to case).
TEST_P(ProjectCommands, NewOverAnExistingNameAsksBeforeReplacingIt)
{
    struct Row {
        const char* typed;
        const char* section;
    } rows[] = {{"zeta", "ZETA"}, {"бокс", "Бокс"}};
    for (const Row& r : rows) {
        ProjectRig rig(kProjects, sep());
        const QString before = rig.fileText();
        const QString question = q("Проект [") + q(r.section) + q("] уже существует. Заменить его?");
        bool openAfterNo = false, focusAfterNo = false;
        QString nameAfterNo, fileAfterNo;
        auto run = whileShown(F_Quest, [&] {
            typeText(rig.newName(), q(r.typed));
            rig.boxes.answers = {vx::MsgAnswer::No};
            QTest::mouseClick(rig.yes(F_Quest), Qt::LeftButton);
            openAfterNo = F_Quest->isVisible();
            focusAfterNo = QApplication::focusWidget() == rig.newName();
            nameAfterNo = rig.newName()->text();
            fileAfterNo = rig.fileText();
            rig.boxes.answers = {vx::MsgAnswer::Yes};
            QTest::mouseClick(rig.yes(F_Quest), Qt::LeftButton);
        });
        click(rig, "BoButNew");
        EXPECT_TRUE(run->shown) << r.typed;
        // No: the dialog stays with the name as typed, and the old project as it was.
        EXPECT_TRUE(openAfterNo) << r.typed;
        EXPECT_TRUE(focusAfterNo) << r.typed; // back in the name, ready for another one
        EXPECT_EQ(nameAfterNo, q(r.typed));
        EXPECT_EQ(fileAfterNo, before) << r.typed;
        // Yes: the new project takes the place of the old one.
        EXPECT_FALSE(run->leftOpen) << r.typed;
        ASSERT_EQ(rig.boxes.boxes.size(), 2u) << r.typed;
        for (const auto& box : rig.boxes.boxes) {
            EXPECT_EQ(box.type, vx::MsgType::Confirmation);
            EXPECT_EQ(box.buttons, vx::MsgButtons::YesNo);
            EXPECT_EQ(box.text, question);
        }
        EXPECT_EQ(rig.sections(), (QStringList{q("DEFAULT"), q("ALPHA"), q("Бокс"), q("ZETA")}));
        for (const StartValue& v : kNewProjectFile)
            EXPECT_EQ(rig.value(q(r.section), v.key), q(v.text)) << r.typed << " " << v.key;
        EXPECT_EQ(rig.main->currentProject(), vx::upperAsciiName(q(r.typed)));
        EXPECT_EQ(rig.value(q("ALPHA"), "PriBoxPriH"), q("55"));
    }
}

// The settings file turned into something that cannot be read or written while the dialog is open.
void breakSettingsFile(ProjectRig& rig)
{
    ASSERT_TRUE(QFile::remove(rig.iniPath()));
    ASSERT_TRUE(QDir().mkdir(rig.iniPath()));
}

TEST_P(ProjectCommands, NewWhoseSaveFailsKeepsTheNewDesignUnsaved)
{
    ProjectRig rig(kProjects, sep());
    auto run = whileShown(F_Quest, [&] {
        typeText(rig.newName(), q("broken"));
        breakSettingsFile(rig);
        QTest::mouseClick(rig.yes(F_Quest), Qt::LeftButton);
    });
    click(rig, "BoButNew");
    EXPECT_TRUE(run->shown);
    EXPECT_FALSE(run->leftOpen);
    ASSERT_FALSE(rig.boxes.boxes.empty());
    EXPECT_EQ(rig.boxes.boxes.back().type, vx::MsgType::Warning);
    EXPECT_EQ(rig.boxes.boxes.back().text, q("Сеанс не удалось сохранить"));
    // The window holds the new design under its name, still to be saved; the reset sizes stay its own.
    EXPECT_EQ(rig.main->currentProject(), q("BROKEN"));
    EXPECT_EQ(rig.main->windowTitle(), q("Vornalex + [BROKEN]"));
    EXPECT_TRUE(rig.main->projectModified());
    EXPECT_EQ(rig.main->state().PriBoxPriH, 0);
    EXPECT_EQ(rig.mainText("EditFb"), q("30"));
}

TEST_P(ProjectCommands, AnEraseThatFailsIsReportedAndNothingIsReloaded)
{
    ProjectRig rig(kProjects, sep());
    changeFb(rig);
    rig.boxes.answers = {vx::MsgAnswer::No};
    auto run = whileShown(F_RWPrj, [&] {
        rig.clickEntry(q("ZETA"));
        breakSettingsFile(rig);
        QTest::mouseClick(rig.yes(F_RWPrj), Qt::LeftButton);
    });
    click(rig, "BoButDel");
    EXPECT_TRUE(run->shown);
    EXPECT_FALSE(run->leftOpen);
    ASSERT_EQ(rig.boxes.boxes.size(), 2u);
    EXPECT_EQ(rig.boxes.boxes[1].type, vx::MsgType::Warning);
    EXPECT_EQ(rig.boxes.boxes[1].text, q("Проект удалить не удалось [ZETA]"));
    EXPECT_FALSE(F_RWPrj->DeleteMode);
    // Nothing was erased, so nothing is dropped: the unsaved change is still on screen.
    EXPECT_EQ(rig.main->currentProject(), q("ALPHA"));
    EXPECT_EQ(rig.mainText("EditFb"), q("41"));
    EXPECT_TRUE(rig.main->projectModified());
}

TEST_P(ProjectCommands, DialogsAreCentredOnAMovedMainWindow)
{
    // Even where that puts the dialog off the screen. (The headless platform shifts windows at negative
    // coordinates by their frame, so the far-off place is beyond the right and bottom edges.)
    for (QPoint at : {QPoint(37, 81), QPoint(2600, 2000)}) {
        for (const Command& c : kCommands) {
            ProjectRig rig(kProjects, sep());
            rig.main->move(at);
            QApplication::processEvents();
            QRect mainFrame, dialogFrame;
            auto run = whileShown(c.dialog(), [&] {
                mainFrame = rig.main->frameGeometry();
                dialogFrame = c.dialog()->frameGeometry();
                QTest::mouseClick(rig.no(c.dialog()), Qt::LeftButton);
            });
            click(rig, c.button);
            ASSERT_TRUE(run->shown) << c.button;
            // Halves go to the even neighbour.
            const auto half = [](int v) { return static_cast<int>(std::nearbyint(v / 2.0)); };
            EXPECT_EQ(dialogFrame.left(), mainFrame.left() + half(mainFrame.width()) - half(dialogFrame.width()))
                << c.button;
            EXPECT_EQ(dialogFrame.top(), mainFrame.top() + half(mainFrame.height()) - half(dialogFrame.height()))
                << c.button;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Separators, ProjectCommands, ::testing::Values('.', ','),
                         [](const ::testing::TestParamInfo<char>& p) {
                             return std::string(p.param == '.' ? "Point" : "Comma");
                         });

TEST(ProjectDialogs, LaidOutAsDesigned)
{
    vx::test::RecordingDialogs boxes;
    TF_Quest quest;
    TF_RWPrj list;
    EXPECT_EQ(quest.size(), QSize(352, 142));
    EXPECT_EQ(list.size(), QSize(442, 332));
    EXPECT_EQ(quest.windowTitle(), q(" Имя нового проекта"));
    const struct {
        QDialog* dialog;
        const char* name;
        QRect place;
        const char* text; // null: no caption to check
    } rows[] = {
        {&quest, "Label1", QRect(24, 16, 305, 16), "Введите имя нового проекта"},
        {&quest, "EditNewPrjName", QRect(24, 40, 305, 21), nullptr},
        {&quest, "ButYes", QRect(48, 88, 75, 25), "Да"},
        {&quest, "ButNo", QRect(232, 88, 75, 25), "Нет"},
        {&list, "LBPrj", QRect(8, 24, 425, 169), nullptr},
        {&list, "EditPrjName", QRect(16, 208, 409, 21), nullptr},
        {&list, "ButYes", QRect(112, 272, 75, 25), "Да"},
        {&list, "ButNo", QRect(240, 272, 75, 25), "Нет"},
        {&list, "StatusBar1", QRect(0, 313, 442, 19), nullptr},
    };
    for (const auto& r : rows) {
        auto* w = r.dialog->findChild<QWidget*>(q(r.name));
        ASSERT_NE(w, nullptr) << r.name;
        EXPECT_EQ(w->geometry(), r.place) << r.name;
        if (!r.text)
            continue;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            EXPECT_EQ(label->text(), q(r.text)) << r.name;
        }
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(button->text(), q(r.text)) << r.name;
            // No default button: Enter closes neither dialog.
            EXPECT_FALSE(button->isDefault() || button->autoDefault()) << r.name;
        }
    }
}

TEST(ProjectNames, OnlyTheLatinLettersAreUpperCased)
{
    const struct {
        const char* typed;
        const char* section;
    } rows[] = {
        {"bass Бокс", "BASS Бокс"}, {"äbc", "äBC"}, {"ёж z", "ёж Z"}, {"a-z 09", "A-Z 09"}, {"MiXeD", "MIXED"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(vx::upperAsciiName(q(r.typed)), q(r.section)) << r.typed;
}

// A warning names each character it refuses once, however often the name holds it.
TEST(ProjectNames, WarningsNameEachRefusedCharacterOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(q("Vornalex.ini"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(windows1251(q("[Бокс]\r\nFb=30\r\n")));
    }
    const vx::IniFile file(path);
    const struct {
        const char* name;
        const char* warning;
    } rows[] = {
        {"箱子箱 箱", "Имя проекта не может содержать символы «箱子»: файл настроек Vornalex.ini записан в кодировке "
                    "Windows-1251, в которой их нет"},
        {"A\xEF\xBB\xBF\xEF\xBB\xBF" "B\xE2\x80\x8B\xEF\xBB\xBF",
         "Имя проекта не может содержать невидимые символы (U+FEFF, U+200B)"},
        {"\xE2\xA0\x80\xE3\x85\xA4\xE2\xA0\x80", "Имя проекта не может содержать невидимые символы (U+2800, U+3164)"},
        // A braille blank among letters shows as a gap, as a space does: refused only for the code page.
        {"A\xE2\xA0\x80" "B", "Имя проекта не может содержать символы «\xE2\xA0\x80»: файл настроек Vornalex.ini "
                             "записан в кодировке Windows-1251, в которой их нет"},
        {"Ящик", ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(vx::nameProblem(q(r.name), file), q(r.warning)) << r.name;
}

TEST(DialogPlacement, HalvesGoToTheEvenNeighbour)
{
    struct Row {
        QRect main;
        QSize own;
        QPoint at;
    } rows[] = {
        // A main window at 100 with the width 695 and a dialog 449 wide: 100 + 348 − 224.
        {QRect(100, 50, 695, 520), QSize(449, 360), QPoint(224, 130)},
        {QRect(0, 0, 697, 521), QSize(451, 361), QPoint(348 - 226, 260 - 180)},
        {QRect(-500, -40, 688, 478), QSize(352, 142), QPoint(-500 + 344 - 176, -40 + 239 - 71)},
    };
    for (const Row& r : rows)
        EXPECT_EQ(vx::centredOver(r.main, r.own), r.at);
}

} // namespace
