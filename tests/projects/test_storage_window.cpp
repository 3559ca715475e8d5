// Loading, saving, start-up and closing with the real main window over a settings file in a temporary
// folder. The window is closed as a user closes it (close()), which runs its closing handler.
#include "app/TF_Main.h"

#include "platform/FileMoments.h"
#include "platform/FileReplace.h"
#include "platform/IniFile.h"
#include "platform/NewFile.h"
#include "ChildProcess.h"
#include "FileBytes.h"
#include "KilledAtMoment.h"
#include "ScratchDataFolder.h"
#include "projects/ProgramFolder.h"
#include "MainTestAccess.h"
#include "RecordingDialogs.h"
#include "SeparatorMain.h"
#include "SettingsText.h"
#include "Typing.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <unistd.h>

namespace {

using vx::IniFile;
using vx::test::ChildSetup;
using vx::test::runInChild;
using vx::test::kSeparators;
using vx::test::q;
using vx::test::SeparatorMain;
using vx::test::sepName;
using vx::test::typeOver;
using vx::test::withSeparator;

const QString kSaveFailed = QString::fromUtf8("Сеанс не удалось сохранить");

const QFileDevice::Permissions kReadOnlyFolder =
    QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther;
const QFileDevice::Permissions kWritableFile =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther | QFileDevice::WriteOther;

// A project whose tube has its diameter, so nothing is missing on the page it opens on.
constexpr const char* kDefaultProject = "[DEFAULT]\nid=Lkd_a<<<\nUs=344\nFb=30\nVb=45\nDd=210\nNd=1\nXmax=7\n"
                                        "Np=1\nPindex=0\nSBut=0\nTubD=100\nLastProject=DEFAULT\nFormLeft=40\n"
                                        "FormTop=30\n";

class Window {
public:
    vx::test::RecordingDialogs boxes;
    QTemporaryDir dir;
    std::unique_ptr<SeparatorMain> main;

    // Starts the window over this file (none: a first start) with the sprite sheet beside it. A blocked
    // file is a folder standing where the settings file should be, which refuses every write (even the
    // superuser's) and reads as empty.
    // `lay` puts more into the folder before the start.
    explicit Window(std::optional<QByteArray> file, char sep = '.', bool blocked = false, bool sprites = true,
                    const std::function<void(const QString& path)>& lay = {})
    {
        EXPECT_TRUE(dir.isValid());
        vx::setProgramFolder(dir.path());
        if (sprites)
            QFile::copy(QStringLiteral(VX_SPRITE_SHEET), dir.filePath("Vornalex.BMP"));
        if (file)
            write(*file);
        if (lay)
            lay(path());
        if (blocked) {
            EXPECT_TRUE(QDir(dir.path()).mkdir("Vornalex.ini"));
        }
        main = std::make_unique<SeparatorMain>();
        main->sep = sep;
    }
    ~Window()
    {
        main.reset();
        vx::setProgramFolder(QString());
    }

    // Opens the start-up project again with the row's separator, as if the program had started with it.
    void restartProject()
    {
        main->LoadProject(main->currentProject());
        TF_MainTestAccess::setStartupProject(*main, main->currentProject());
        main->setProjectModified(false);
        boxes.boxes.clear();
    }

    void showActive()
    {
        main->show();
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    }

    QString path() const { return dir.filePath("Vornalex.ini"); }
    void write(const QByteArray& text) const
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QByteArray fileText() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString value(const QString& section, const char* key) const
    {
        return IniFile(path()).readString(section, q(key), q("<missing>"));
    }
    QString text(const char* field) const { return QString::fromStdString(main->text(field)); }
    void setText(const char* field, const QString& s) { main->setText(field, s.toStdString()); }
    // Every text an editor is given from now on, in order.
    std::shared_ptr<QStringList> watch(const char* field)
    {
        auto seen = std::make_shared<QStringList>();
        main->addChangeHandler(field, [this, seen, field] { *seen << text(field); });
        return seen;
    }
    int page() const { return main->findChild<QStackedWidget*>("PageCWork")->currentIndex(); }
};

// ---- loading -------------------------------------------------------------------------------------

class Loading : public testing::TestWithParam<char> {};

// A name is found without regard to case and stays as it was given; a name that is no section opens the
// first section in file order under that section's name.
struct NameLoadRow {
    const char* name;
    const char* file;
    const char* given;
    const char* current; // CurrentProject, the caption's name and "LastProject"
    const char* fb;      // the text of EditFb ("{s}" the separator)
    const char* vb;      // the text of EditVb, or nullptr when the row does not look at it
};
const NameLoadRow kNameLoadRows[] = {
    {"NameThatIsNoSectionLoadsTheFirstInFileOrder", "[ZETA]\nFb=41{s}5\n[DEFAULT]\nFb=30\n[ALPHA]\nFb=50\n", "GONE",
     "ZETA", "41{s}5", nullptr},
    {"LowerCaseNameFindsItsUpperCaseSectionAndKeepsTheGivenCase", "[DEFAULT]\nFb=30\n[BASS]\nFb=45{s}5\nVb=60\n",
     "bass", "bass", "45{s}5", "60"},
};

class LoadingByName : public testing::TestWithParam<std::tuple<NameLoadRow, char>> {};

TEST_P(LoadingByName, CurrentProjectCaptionAndLastProject)
{
    const auto& [row, sep] = GetParam();
    Window w(withSeparator(row.file, sep), sep);
    w.restartProject();
    w.main->LoadProject(row.given);
    EXPECT_EQ(w.main->currentProject(), row.current);
    EXPECT_EQ(w.main->windowTitle(), "Vornalex 1.2 - [" + q(row.current) + "]");
    EXPECT_EQ(w.value("DEFAULT", "LastProject"), row.current);
    EXPECT_EQ(w.text("EditFb"), QString::fromLatin1(withSeparator(row.fb, sep)));
    if (row.vb) {
        EXPECT_EQ(w.text("EditVb"), row.vb);
    }
    EXPECT_FALSE(w.main->projectModified());
}

INSTANTIATE_TEST_SUITE_P(Rows, LoadingByName,
                         testing::Combine(testing::ValuesIn(kNameLoadRows), testing::ValuesIn(kSeparators)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" + sepName(std::get<1>(info.param));
                         });

TEST_P(Loading, SectionWithoutKeysLoadsTheSpeedOfSoundAndZeros)
{
    const char sep = GetParam();
    Window w(withSeparator("[DEFAULT]\nFb=30\nVb=40\nDd=200\nXmax=6\nPindex=1\nSBut=7\nNp=4\nTubD=90\n[EMPTY]\n", sep),
             sep);
    w.restartProject();
    // The load gives each source editor its reader default; the boundary computation that ends the
    // load then puts its own fallbacks in place of the zeros.
    const char* editors[] = {"EditFb", "EditVb", "EditDd", "EditSd", "EditXmax"};
    std::vector<std::shared_ptr<QStringList>> seen;
    for (const char* f : editors)
        seen.push_back(w.watch(f));
    w.main->LoadProject("EMPTY");
    EXPECT_EQ(w.text("EditVs"), "344");
    EXPECT_EQ(w.main->state().Us, 344);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        ASSERT_FALSE(seen[i]->isEmpty()) << editors[i];
        EXPECT_EQ(seen[i]->front(), "0") << editors[i];
    }
    EXPECT_EQ(w.main->spinValue("SpinEdNPorts"), 1);
    EXPECT_EQ(w.main->spinValue("SEdDiv"), 10);
    EXPECT_EQ(w.main->spinValue("SEFdiv"), 10);
    EXPECT_EQ(w.main->selectorIndex("ComboPortType"), 0);
    EXPECT_EQ(w.main->state().SBut, 0);
    EXPECT_EQ(w.page(), 0);
    EXPECT_EQ(w.main->state().TubD, 0);
    EXPECT_EQ(w.main->state().CurveConDiv, 0);
}

TEST_P(Loading, Diameter210GivesTheArea346)
{
    const char sep = GetParam();
    Window w(QByteArray("[DEFAULT]\nFb=30\nDd=210\n[BIG]\nFb=30\nDd=380\n"), sep);
    w.restartProject();
    EXPECT_EQ(w.text("EditSd"), "346");
    w.main->LoadProject("BIG");
    EXPECT_EQ(w.text("EditSd"), "1134");
}

// A project written where the other decimal separator is in use keeps its values: each float reads with
// that separator, and the closing save writes the same values back with this system's separator.
TEST_P(Loading, FloatWithTheOtherSeparatorIsReadAndClosingWritesItWithThisOne)
{
    const char sep = GetParam();
    Window w(withSeparator("[DEFAULT]\nFb=30\nVb=40\nTubD=80\n[P]\nUs=340{o}5\nFb=32{o}5\nVb=45{o}5\nDd=210\nNd=1\n"
                           "Xmax=7{o}25\nNp=1\nPindex=0\nSBut=0\nTubD=101{o}5\nConA=4{o}5\nFlaBoxR1=2{o}75\n",
                           sep),
             sep);
    w.restartProject();
    w.main->LoadProject("P");
    const auto shown = [sep](const char* text) { return QString::fromLatin1(withSeparator(text, sep)); };
    EXPECT_EQ(w.text("EditVs"), shown("340{s}5"));
    EXPECT_EQ(w.text("EditFb"), shown("32{s}5"));
    EXPECT_EQ(w.text("EditVb"), shown("45{s}5"));
    EXPECT_EQ(w.text("EditXmax"), shown("7{s}25"));
    EXPECT_EQ(w.text("EditTubD"), shown("101{s}5"));
    EXPECT_EQ(w.main->state().ConA, 4.5);
    EXPECT_EQ(w.main->state().FlaBoxR1, 2.75);

    w.main->close(); // another project than the start-up one: saved again
    const struct {
        const char* key;
        const char* text;
    } saved[] = {{"Us", "340{s}5"}, {"Fb", "32{s}5"},   {"Vb", "45{s}5"},     {"Xmax", "7{s}25"},
                 {"TubD", "101{s}5"}, {"ConA", "4{s}5"}, {"FlaBoxR1", "2{s}75"}};
    for (const auto& k : saved)
        EXPECT_EQ(w.value("P", k.key), shown(k.text)) << k.key;
    EXPECT_TRUE(w.boxes.boxes.empty());
}

TEST_P(Loading, EveryResultFieldIsEmptyAfterALoad)
{
    const char sep = GetParam();
    Window w(QByteArray(kDefaultProject), sep);
    w.restartProject();
    const char* results[] = {"EditSIn", "EditSout", "EditVmax", "EditVout", "EditAmax", "EditAout", "EditORF",
                             "EdVtot", "EditTubL", "EditConL", "EditConD", "EditTubConL", "EditTubConD",
                             "EditConTubConL", "EditConTubConD", "EditBoxL", "EditPriL", "EditPriW", "EditBoxPriL",
                             "EditBoxPriW", "EditPriBoxPriL", "EditPriBoxPriW", "EditFlaTubL", "EditFlaBoxL"};
    for (const char* f : results)
        w.setText(f, "12");
    w.main->LoadProject("DEFAULT");
    for (const char* f : results)
        EXPECT_EQ(w.text(f), "") << f;
}

// Where "SBut" and "Pindex" disagree the section wins; values a hand-edited file holds beyond the
// ranges open as the defaults.
struct ShapeRow {
    const char* name;
    const char* section;
    int shape, sectionIndex, conFunc;
};
const ShapeRow kShapeRows[] = {
    {"SlotShapeWithRoundSection", "Pindex=0\nSBut=6\n", 2, 0, 0},
    {"RoundShapeWithSlotSection", "Pindex=1\nSBut=3\n", 7, 1, 0},
    {"CurvedSlot", "Pindex=1\nSBut=9\nCurveConFunc=1\n", 9, 1, 1},
    {"ShapeAboveTheRange", "Pindex=0\nSBut=12\n", 0, 0, 0},
    {"ShapeBelowTheRange", "Pindex=1\nSBut=-1\n", 4, 1, 0},
    {"SectionOutsideItsItems", "Pindex=5\nSBut=1\n", 1, 0, 0},
    {"CurveFunctionOutsideItsItems", "Pindex=0\nSBut=8\nCurveConFunc=4\n", 8, 0, 0},
};

class LoadingShapes : public testing::TestWithParam<std::tuple<ShapeRow, char>> {};

TEST_P(LoadingShapes, OpenOnTheShapeOfTheSection)
{
    const auto& [row, sep] = GetParam();
    Window w(QByteArray("[DEFAULT]\nFb=30\n[P]\nFb=30\nVb=45\nDd=210\nNd=1\nXmax=7\nNp=1\n") + row.section, sep);
    w.restartProject();
    w.main->LoadProject("P");
    EXPECT_EQ(w.main->state().SBut, row.shape);
    EXPECT_EQ(w.page(), row.shape);
    EXPECT_EQ(w.main->selectorIndex("ComboPortType"), row.sectionIndex);
    EXPECT_EQ(w.main->selectorIndex("CBCurveType"), row.conFunc);
    EXPECT_EQ(w.main->state().CurveConFunc, row.conFunc);
}

INSTANTIATE_TEST_SUITE_P(Rows, LoadingShapes, testing::Combine(testing::ValuesIn(kShapeRows), testing::ValuesIn(kSeparators)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" + sepName(std::get<1>(info.param));
                         });

// A file without any section: the name stays as given and every key reads as its default.
TEST_P(Loading, FileWithoutAnySection)
{
    const char sep = GetParam();
    Window w(QByteArray("[DEFAULT]\nFb=30\n"), sep);
    w.write("; nothing here\n");
    const auto fb = w.watch("EditFb");
    w.main->LoadProject("MINE");
    EXPECT_EQ(w.main->currentProject(), "MINE");
    EXPECT_EQ(w.main->windowTitle(), "Vornalex 1.2 - [MINE]");
    EXPECT_EQ(w.text("EditVs"), "344");
    ASSERT_FALSE(fb->isEmpty());
    EXPECT_EQ(fb->front(), "0");
    EXPECT_EQ(w.page(), 0);
    EXPECT_TRUE(w.boxes.boxes.empty() || w.boxes.boxes.back().text != kSaveFailed);
}

// ---- saving --------------------------------------------------------------------------------------

class Saving : public testing::TestWithParam<char> {};

struct NameRow {
    const char* typed;
    const char* section;
};

TEST_P(Saving, SectionNameUpperCasedInTheAsciiLettersOnly)
{
    const char sep = GetParam();
    const NameRow rows[] = {{"bass", "BASS"}, {"Проект", "Проект"}, {"мой box 2", "мой BOX 2"}, {"ёлка", "ёлка"}};
    for (const NameRow& r : rows) {
        Window w(QByteArray(kDefaultProject), sep);
        w.restartProject();
        w.setText("EditVb", "52");
        w.main->SaveProject(q(r.typed));
        EXPECT_EQ(w.main->currentProject(), q(r.section)) << r.typed;
        EXPECT_EQ(w.main->windowTitle(), "Vornalex 1.2 - [" + q(r.section) + "]");
        EXPECT_EQ(IniFile(w.path()).sections(), (QStringList{"DEFAULT", q(r.section)}));
        EXPECT_EQ(w.value(q(r.section), "Vb"), "52");
        EXPECT_EQ(w.value("DEFAULT", "LastProject"), q(r.section));
        EXPECT_FALSE(w.main->projectModified());
        EXPECT_EQ(w.main->projectIni()->diskWrites(), 1); // the save and its load: one replacement of the file
    }
}

TEST_P(Saving, UnchangedSaveOfTheStartUpProjectWritesNothing)
{
    Window w(QByteArray(kDefaultProject), GetParam());
    w.restartProject();
    const QByteArray before = w.fileText();
    const int writes = w.main->projectIni()->diskWrites();
    w.setText("EditFb", "41"); // shown, not marked: nothing that the save may take
    w.main->setProjectModified(false);
    w.main->SaveProject("default");
    EXPECT_EQ(w.fileText(), before);
    EXPECT_EQ(w.main->projectIni()->diskWrites(), writes);
    EXPECT_EQ(w.text("EditFb"), "41"); // and nothing was loaded
}

TEST_P(Saving, FrequencyThatIsNoNumberWritesOnlyTheSpeedOfSoundAndWarns)
{
    Window w(QByteArray(kDefaultProject), GetParam());
    w.restartProject();
    const QString caption = w.main->windowTitle();
    w.setText("EditFb", "abc");
    w.main->SaveProject("NEW");
    IniFile ini(w.path());
    EXPECT_EQ(ini.sections(), (QStringList{"DEFAULT", "NEW"}));
    EXPECT_EQ(w.fileText(), QByteArray(kDefaultProject) + "[NEW]\nUs=344\n");
    ASSERT_EQ(w.boxes.boxes.size(), 1u);
    EXPECT_EQ(w.boxes.boxes[0].type, vx::MsgType::Warning);
    EXPECT_EQ(w.boxes.boxes[0].text, kSaveFailed);
    EXPECT_EQ(w.main->currentProject(), "DEFAULT");
    EXPECT_EQ(w.main->windowTitle(), caption);
    EXPECT_TRUE(w.main->projectModified());
}

struct SaveAnswerRow {
    const char* name;
    const char* fb;       // typed into the frequency before the save
    bool modified;        // the flag as the save finds it
    const char* section;  // saved under
    bool saved;
};

TEST_P(Saving, AnswersWhetherTheSectionHoldsTheDesign)
{
    const SaveAnswerRow rows[] = {
        {"written", "41", true, "NEW", true},
        {"start-up project unchanged, nothing to write", "30", false, "default", true},
        {"frequency that is no number", "abc", true, "NEW", false},
    };
    for (const SaveAnswerRow& r : rows) {
        Window w(QByteArray(kDefaultProject), GetParam());
        w.restartProject();
        w.setText("EditFb", QString::fromLatin1(r.fb));
        w.main->setProjectModified(r.modified);
        EXPECT_EQ(w.main->SaveProject(QString::fromLatin1(r.section)), r.saved) << r.name;
        EXPECT_EQ(w.main->projectModified(), !r.saved && r.modified) << r.name;
    }
}

TEST_P(Saving, SpeedOfSoundAsTheCheckLastSetIt)
{
    Window w(QByteArray(kDefaultProject), GetParam());
    w.restartProject();
    w.setText("EditVs", "349"); // typed, not yet through the check
    w.main->SaveProject("P");
    EXPECT_EQ(w.value("P", "Us"), "344");
}

TEST_P(Saving, RoundedEndRadiiKeepTheirOwnValues)
{
    const char sep = GetParam();
    Window w(QByteArray(kDefaultProject), sep);
    w.restartProject();
    w.setText("EditFlaBoxR1", QString::fromLatin1(withSeparator("12{s}5", sep)));
    w.setText("EditFlaBoxR2", "7");
    w.setText("EditFlaTubR1", "3");
    w.setText("EditFlaTubR2", "4");
    w.main->SaveProject("R");
    EXPECT_EQ(w.value("R", "FlaBoxR1"), QString::fromLatin1(withSeparator("12{s}5", sep)));
    EXPECT_EQ(w.value("R", "FlaBoxR2"), "7");
    EXPECT_EQ(w.main->state().FlaBoxR1, 12.5);
    EXPECT_EQ(w.main->state().FlaBoxR2, 7);
    EXPECT_EQ(w.text("EditFlaBoxR1"), QString::fromLatin1(withSeparator("12{s}5", sep)));
    EXPECT_EQ(w.text("EditFlaBoxR2"), "7");
    EXPECT_EQ(w.main->state().FlaTubR1, 3);
    EXPECT_EQ(w.main->state().FlaTubR2, 4);
}

// A writable settings file in a folder that takes no new files (so no temporary copy beside it): the
// save writes the file in place. Folder rights do not bind the superuser, so the save runs in a child
// process as an ordinary user.
TEST_P(Saving, InAFolderWithoutWriteAccessTheFileIsWrittenInPlace)
{
    const vx::test::ScratchDataFolder data;
    Window w(QByteArray(kDefaultProject), GetParam());
    w.restartProject();
    ASSERT_TRUE(QFile::setPermissions(w.path(), kWritableFile));
    ASSERT_TRUE(QFile::setPermissions(w.dir.path(), kReadOnlyFolder));
    const int code = runInChild(
        [&w] {
            w.setText("EditVb", "52");
            w.main->SaveProject("bass");
            return w.boxes.boxes.empty() && w.main->currentProject() == "BASS" ? 0 : 1;
        },
        ChildSetup{.ordinaryUser = true, .maxFileBytes = std::nullopt});
    QFile::setPermissions(w.dir.path(), kReadOnlyFolder | QFileDevice::WriteOwner);
    if (code == vx::test::kNoOrdinaryUser)
        GTEST_SKIP() << "the superuser could not become an ordinary user, whom the folder would refuse";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(w.value("BASS", "Vb"), "52");
    EXPECT_EQ(w.value("BASS", "Dd"), "210");
    EXPECT_EQ(w.value("DEFAULT", "LastProject"), "BASS");
    QByteArray defaultAfter(kDefaultProject);
    defaultAfter.replace("LastProject=DEFAULT", "LastProject=BASS");
    EXPECT_TRUE(w.fileText().startsWith(defaultAfter + "[BASS]\nUs=344\n"));
    EXPECT_EQ(QDir(w.dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"Vornalex.BMP", "Vornalex.ini"}));
}

// ---- start-up ------------------------------------------------------------------------------------

TEST(StartUp, DefaultWithTheOtherSeparatorIsNotErased)
{
    // The system separator here is the point; this section was written where it is the comma.
    const QByteArray file = "[DEFAULT]\nid=Lkd_a<<<\nUs=344\nFb=32,5\nVb=50,5\nTubD=80\nLastProject=DEFAULT\n";
    Window w(file);
    EXPECT_EQ(w.fileText(), file);
    EXPECT_TRUE(w.boxes.boxes.empty());
}

TEST(StartUp, FolderThatTakesNoWritesGivesOneWarningAndStartsAllTheSame)
{
    Window w(std::nullopt, '.', true);
    ASSERT_EQ(w.boxes.boxes.size(), 1u);
    EXPECT_EQ(w.boxes.boxes[0].type, vx::MsgType::Warning);
    EXPECT_TRUE(w.boxes.boxes[0].text.contains("Vornalex.ini"));
    EXPECT_FALSE(w.main->endRequested());
    EXPECT_EQ(w.main->currentProject(), "DEFAULT");
    EXPECT_EQ(w.main->windowTitle(), "Vornalex 1.2 - [DEFAULT]");
    EXPECT_EQ(w.main->clientId(), "default");

    // A save says it failed; the closing save too, and the window closes all the same.
    w.setText("EditFb", "35");
    w.main->SaveProject("OTHER");
    ASSERT_EQ(w.boxes.boxes.size(), 2u);
    EXPECT_EQ(w.boxes.boxes[1].text, kSaveFailed);
    w.main->show();
    EXPECT_TRUE(w.main->close());
    ASSERT_EQ(w.boxes.boxes.size(), 3u);
    EXPECT_EQ(w.boxes.boxes[2].text, kSaveFailed);
    EXPECT_FALSE(w.main->isVisible());
}

// A copy of the program killed in a save that replaced the file, in a save written in place (the file has
// a second name) and in a download: the next start removes the temporary files and the download beside
// the program, and says once, naming it, that the backup of the interrupted write holds the old file.
TEST(StartUp, AfterAKilledRunNothingIsLeftBesideTheProgramAndTheBackupIsNamedOnce)
{
    const vx::test::ScratchDataFolder data;
    const QByteArray before(kDefaultProject);
    Window w(before, '.', false, true, [&before](const QString& path) {
        vx::test::killedAt(vx::FileMoment::TempSynced, [&path] { IniFile(path).writeString("DEFAULT", "Vb", "50"); });
        vx::test::killedAt(vx::FileMoment::DownloadSynced, [&path] {
            vx::NewFile file(QFileInfo(path).dir().filePath("setup.zip"));
            if (file.open() && file.device().write("new version") > 0)
                file.place();
        });
        ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(path + ".lnk").constData()), 0);
        vx::test::killedAt(vx::FileMoment::InPlaceSynced, [&path] { IniFile(path).writeString("DEFAULT", "Vb", "55"); });
        ASSERT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden).size(), 5);
        ASSERT_NE(vx::test::readAll(path), before);
    });
    const QStringList backups = data.backups();
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(vx::test::readAll(backups[0]), before);
    ASSERT_EQ(w.boxes.boxes.size(), 1u);
    EXPECT_EQ(w.boxes.boxes[0].type, vx::MsgType::Warning);
    EXPECT_TRUE(w.boxes.boxes[0].text.contains(backups[0])) << w.boxes.boxes[0].text.toStdString();
    EXPECT_TRUE(w.boxes.boxes[0].text.contains(w.path()));
    EXPECT_EQ(QDir(w.dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"Vornalex.BMP", "Vornalex.ini", "Vornalex.ini.lnk"}));

    // The next start says nothing more of it, and the backup stays for the user.
    w.main.reset();
    w.boxes.boxes.clear();
    w.main = std::make_unique<SeparatorMain>();
    EXPECT_TRUE(w.boxes.boxes.empty());
    EXPECT_EQ(data.backups(), backups);
}

// A file written in place (it has a second name) whose backup cannot be made, the backup folder being
// a file: the refusal names the backup folder, at start-up and in a save.
TEST(StartUp, BackupFolderThatCannotBeWrittenIsNamedInTheRefusal)
{
    const vx::test::ScratchDataFolder data;
    const QString folder = data.path() + "/Vornalex/backups";
    ASSERT_TRUE(QDir().mkpath(data.path() + "/Vornalex"));
    vx::test::writeAll(folder, "");
    QByteArray file(kDefaultProject);
    file.replace("LastProject=DEFAULT", "LastProject=GONE"); // so that start-up writes
    Window w(file, '.', false, true, [](const QString& path) {
        ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(path + ".lnk").constData()), 0);
    });
    const QString refusal = q("Не удаётся записать в папку резервных копий ") + folder +
                            q(": без резервной копии файл настроек ") + w.path() + q(" не может быть изменён.");
    ASSERT_EQ(w.boxes.texts(), QStringList{refusal + q(" Проекты и положение окна не будут сохранены.")});
    w.boxes.boxes.clear();
    w.setText("EditVb", "52");
    w.main->SaveProject("bass");
    EXPECT_EQ(w.boxes.texts(), QStringList{kSaveFailed + ".\n" + refusal});
    EXPECT_EQ(vx::test::readAll(w.path()), file);
}

// Without the sprite sheet the program says it will end, and start-up still runs to its end.
TEST(StartUp, MissingSpriteSheetIsReportedAndStartUpGoesOn)
{
    Window w(std::nullopt, '.', false, false);
    ASSERT_EQ(w.boxes.boxes.size(), 1u);
    EXPECT_EQ(w.boxes.boxes[0].type, vx::MsgType::Plain);
    EXPECT_EQ(w.boxes.boxes[0].text, q("Файл Vornalex.BMP не найден, проргама будет завершена."));
    EXPECT_TRUE(w.main->endRequested());
    EXPECT_EQ(w.value("DEFAULT", "LastProject"), "DEFAULT");
    EXPECT_EQ(w.value("DEFAULT", "Fb"), "30");
    EXPECT_EQ(w.main->windowTitle(), "Vornalex 1.2 - [DEFAULT]");
}

// ---- closing -------------------------------------------------------------------------------------

class Closing : public testing::TestWithParam<char> {};

TEST_P(Closing, UnchangedAndUnmovedWritesNothing)
{
    Window w(QByteArray(kDefaultProject), GetParam());
    w.restartProject();
    const QByteArray before = w.fileText();
    w.main->close();
    EXPECT_EQ(w.fileText(), before);
    ASSERT_NE(w.main->projectIni(), nullptr); // left to the end of the process
    EXPECT_EQ(w.main->projectIni()->diskWrites(), 0);
    EXPECT_TRUE(w.boxes.boxes.empty());
}

TEST_P(Closing, MovedWindowWritesOnlyThePosition)
{
    // Moved along both axes or along one only: the new place is remembered either way.
    const struct {
        int left, top;
        const char* position;
    } rows[] = {{140, 95, "FormLeft=140\nFormTop=95"},
                {140, 30, "FormLeft=140\nFormTop=30"},
                {40, 95, "FormLeft=40\nFormTop=95"}};
    for (const auto& r : rows) {
        Window w(QByteArray(kDefaultProject), GetParam());
        w.restartProject();
        EXPECT_EQ(w.main->x(), 40);
        EXPECT_EQ(w.main->y(), 30);
        w.main->move(r.left, r.top);
        w.main->close();
        QByteArray expected(kDefaultProject);
        expected.replace("FormLeft=40\nFormTop=30", r.position);
        EXPECT_EQ(w.fileText(), expected) << r.position;
    }
}

struct SpeedRow {
    const char* typed;
    const char* saved;
};

TEST_P(Closing, SpeedOfSoundTypedIsCheckedAgain)
{
    const char sep = GetParam();
    const SpeedRow rows[] = {{"360", "344"}, {"330", "330"}, {"350", "350"}, {"329{s}9", "344"},
                             {"340{s}5", "340{s}5"}, {"340{o}5", "344"}, {"fast", "344"}, {"", "344"}};
    for (const SpeedRow& r : rows) {
        Window w(QByteArray(kDefaultProject), sep);
        w.restartProject();
        w.setText("EditVs", QString::fromLatin1(withSeparator(r.typed, sep)));
        w.main->close();
        EXPECT_EQ(w.value("DEFAULT", "Us"), QString::fromLatin1(withSeparator(r.saved, sep))) << r.typed;
        EXPECT_EQ(w.text("EditVs"), QString::fromLatin1(withSeparator(r.typed, sep))); // not rewritten
        EXPECT_EQ(w.main->projectIni(), nullptr);
    }
}

TEST_P(Closing, OtherProjectOpenedDuringTheRunIsWrittenAgain)
{
    Window w(QByteArray(kDefaultProject) + "[BASS]\nUs=344\nFb=40\nVb=60\nDd=250\nNd=2\nXmax=9\nNp=2\n", GetParam());
    w.restartProject();
    w.main->LoadProject("BASS");
    w.main->close();
    IniFile ini(w.path());
    EXPECT_EQ(ini.readString("DEFAULT", "LastProject"), "BASS");
    EXPECT_EQ(ini.readString("BASS", "CurveFlatFunc"), "0"); // all 45 keys written again
    EXPECT_EQ(ini.readString("BASS", "Vb"), "60");
}

struct PendingRow {
    const char* editor;
    const char* typed;
    const char* savedDd;
};

TEST_P(Closing, PendingConeEditIsCommittedFirst)
{
    const PendingRow rows[] = {{"EditDd", "250", "250"}, {"EditDd", "", "210"}, {"EditSd", "200", "160"}};
    for (const PendingRow& r : rows) {
        Window w(QByteArray(kDefaultProject), GetParam());
        w.restartProject();
        w.showActive();
        auto* editor = w.main->findChild<QLineEdit*>(r.editor);
        ASSERT_NE(editor, nullptr);
        typeOver(editor, q(r.typed));
        ASSERT_EQ(w.main->focusWidget(), editor);
        w.main->close();
        EXPECT_EQ(w.value("DEFAULT", "Dd"), q(r.savedDd)) << r.editor << " " << r.typed;
    }
}

TEST_P(Closing, FrequencyThatIsNoNumberSavesTheSpeedOfSoundThenWarnsAndCloses)
{
    Window w(QByteArray(kDefaultProject), GetParam());
    w.restartProject();
    w.main->show();
    w.setText("EditFb", "abc");
    w.setText("EditVs", "336");
    EXPECT_TRUE(w.main->close());
    EXPECT_FALSE(w.main->isVisible());
    QByteArray expected(kDefaultProject);
    expected.replace("Us=344", "Us=336");
    EXPECT_EQ(w.fileText(), expected);
    ASSERT_EQ(w.boxes.boxes.size(), 1u);
    EXPECT_EQ(w.boxes.boxes[0].type, vx::MsgType::Warning);
    EXPECT_EQ(w.boxes.boxes[0].text, kSaveFailed);
}

// A closing save that cannot reach the disk, as on a full disk (the closing runs in a child process that
// may write files only as long as the old one): the user is told, and the old file stays byte for byte.
TEST_P(Closing, SaveThatCannotReachTheDiskIsReportedAndLeavesTheOldFile)
{
    Window w(QByteArray(kDefaultProject), GetParam());
    w.restartProject();
    w.main->show();
    const QByteArray before = w.fileText();
    const int code = runInChild(
        [&w] {
            w.setText("EditVb", "55");
            w.main->move(140, 95);
            const bool closed = w.main->close();
            const bool warned = w.boxes.boxes.size() == 1 && w.boxes.boxes[0].type == vx::MsgType::Warning &&
                                w.boxes.boxes[0].text == kSaveFailed;
            return closed && warned ? 0 : 1;
        },
        ChildSetup{.ordinaryUser = false, .maxFileBytes = rlim_t(before.size())});
    EXPECT_EQ(code, 0) << "the closing did not show \"Сеанс не удалось сохранить\" once";
    EXPECT_EQ(w.fileText(), before);
    EXPECT_EQ(QDir(w.dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"Vornalex.BMP", "Vornalex.ini"}));
}

// Another program changes the settings file between the load of a project and the closing save (the
// user edits the file by hand while the program runs): it changes another project and adds a section.
// The closing save writes the window's own keys and keeps both changes.
TEST_P(Closing, KeepsWhatAnotherProgramWroteSinceTheLoad)
{
    const QByteArray before = QByteArray(kDefaultProject) + "[P2]\nUs=344\nFb=42\nVb=60\nDd=250\nNd=2\nXmax=9\nNp=2\n";
    Window w(before, GetParam());
    w.restartProject();
    w.main->LoadProject("P2");
    QByteArray byHand = before;
    byHand.replace("Vb=45", "Vb=55");
    byHand += "[P3]\nFb=33\nNote=pasted by hand\n";
    w.write(byHand);
    w.setText("EditVb", "52");
    w.main->close();

    QByteArray defaultAfter(kDefaultProject);
    defaultAfter.replace("Vb=45", "Vb=55").replace("LastProject=DEFAULT", "LastProject=P2");
    EXPECT_TRUE(w.fileText().startsWith(defaultAfter + "[P2]\nUs=344\nFb=42\nVb=52\n")) << w.fileText().toStdString();
    EXPECT_TRUE(w.fileText().endsWith("\n[P3]\nFb=33\nNote=pasted by hand\n")) << w.fileText().toStdString();
    EXPECT_EQ(w.value("P2", "CurveFlatFunc"), "0"); // all 45 keys of the window's project written
    EXPECT_TRUE(w.boxes.boxes.empty());
}

// A closing save in place (a folder without write access) that the disk refuses part way, and whose
// write-back of the old contents is refused too: besides "Сеанс не удалось сохранить", the user is told
// where the backup copy of the old file is, and it holds the old file whole.
TEST_P(Closing, FailedWriteBackNamesTheBackupCopy)
{
    const vx::test::ScratchDataFolder data;
    QByteArray before(kDefaultProject);
    for (int i = 0; i < 40; ++i)
        before += "[P" + QByteArray::number(i) + "]\nUs=344\nFb=42\nVb=60\nDd=250\nNd=2\nXmax=9\nNp=2\n";
    Window w(before, GetParam());
    w.restartProject();
    w.main->show();
    ASSERT_TRUE(QFile::setPermissions(w.path(), kWritableFile));
    ASSERT_TRUE(QFile::setPermissions(w.dir.path(), kReadOnlyFolder));
    const int code = runInChild(
        [&w, &data] {
            vx::test::shrinkCapAtFirstRefusal(512);
            w.setText("EditVb", "55");
            w.main->close();
            const QStringList backups = data.backups();
            if (backups.size() != 1)
                return 2;
            bool named = false;
            bool saveFailed = false;
            for (const auto& box : w.boxes.boxes) {
                named = named || (box.type == vx::MsgType::Warning && box.text.contains(backups[0]));
                saveFailed = saveFailed || box.text == kSaveFailed;
            }
            return named && saveFailed ? 0 : 1;
        },
        ChildSetup{.ordinaryUser = true, .maxFileBytes = rlim_t(before.size() + 100)});
    QFile::setPermissions(w.dir.path(), kReadOnlyFolder | QFileDevice::WriteOwner);
    if (code == vx::test::kNoOrdinaryUser)
        GTEST_SKIP() << "the superuser could not become an ordinary user, whom the folder would refuse";
    EXPECT_EQ(code, 0);
    const QStringList backups = data.backups();
    ASSERT_EQ(backups.size(), 1);
    QFile backup(backups[0]);
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
    EXPECT_EQ(backup.readAll(), before);
}

TEST_P(Closing, ClosingAgainAfterTheSaveWritesNothingMore)
{
    Window w(QByteArray(kDefaultProject), GetParam());
    w.restartProject();
    w.main->show();
    w.setText("EditVb", "55");
    EXPECT_TRUE(w.main->close());
    const QByteArray saved = w.fileText();
    EXPECT_EQ(w.value("DEFAULT", "Vb"), "55");
    w.main->show();
    w.main->move(300, 300);
    EXPECT_TRUE(w.main->close());
    EXPECT_EQ(w.fileText(), saved);
    EXPECT_TRUE(w.boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Separators, Loading, testing::ValuesIn(kSeparators),
                         [](const auto& info) { return sepName(info.param); });
INSTANTIATE_TEST_SUITE_P(Separators, Saving, testing::ValuesIn(kSeparators),
                         [](const auto& info) { return sepName(info.param); });
INSTANTIATE_TEST_SUITE_P(Separators, Closing, testing::ValuesIn(kSeparators),
                         [](const auto& info) { return sepName(info.param); });

} // namespace
