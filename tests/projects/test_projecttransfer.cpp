// Project keys between the settings file and a window held in memory: what a load puts into the
// editors and the state, what a save writes, the first-run section, and the first-start test.
#include "projects/ProjectTransfer.h"

#include "projects/ClientId.h"

#include "core/Dimensions.h"
#include "core/Numbers.h"
#include "projects/ProjectKeys.h"
#include "MemoryForm.h"
#include "SettingsText.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using vx::CalcState;
using vx::IniFile;
using vx::ProjectTransfer;
using vx::test::kSeparators;
using vx::test::MemoryForm;
using vx::test::withSeparator;

std::string withSeparator(const std::string& text, char sep)
{
    return withSeparator(text.c_str(), sep).toStdString();
}

class Rig {
public:
    explicit Rig(char sep, const QByteArray& fileText = {})
    {
        form.sep = sep;
        form.spinRange["SEdDiv"] = {10, 50};
        form.spinRange["SEFdiv"] = {10, 50};
        if (!fileText.isNull()) {
            QFile f(path());
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(fileText);
        }
        ini = std::make_unique<IniFile>(path());
    }
    QString path() const { return dir.filePath("Vornalex.ini"); }
    QByteArray fileText() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    ProjectTransfer io() { return ProjectTransfer(*ini, form, state); }

    QTemporaryDir dir;
    MemoryForm form;
    CalcState state;
    std::unique_ptr<IniFile> ini;
};

// ---- source keys ---------------------------------------------------------------------------------

struct SourceRow {
    const char* name;
    const char* section;                           // the lines of section [P]
    std::map<std::string, std::string> texts;     // editor texts after the load ("{s}" the separator)
    int ports, sectionIndex, page;
};

void PrintTo(const SourceRow& row, std::ostream* os) { *os << row.name; }

const SourceRow kSourceRows[] = {
    {"FullSection", "Us=340\nFb=32{s}5\nVb=50\nDd=250\nNd=2\nXmax=8{s}25\nNp=3\nPindex=1\nSBut=5\n",
     {{"EditVs", "340"}, {"EditFb", "32{s}5"}, {"EditVb", "50"}, {"EditDd", "250"}, {"EditSd", "491"},
      {"EditNd", "2"}, {"EditXmax", "8{s}25"}},
     3, 1, 5},
    {"SectionWithoutKeys", "",
     {{"EditVs", "344"}, {"EditFb", "0"}, {"EditVb", "0"}, {"EditDd", "0"}, {"EditSd", "0"}, {"EditNd", "0"},
      {"EditXmax", "0"}},
     1, 0, 0},
    {"Diameter210GivesArea346", "Dd=210\n", {{"EditDd", "210"}, {"EditSd", "346"}}, 1, 0, 0},
    // Written where the other decimal separator is in use: read with that one, shown with this one.
    {"OtherSeparatorReadsWithThatSeparator", "Us=340{o}5\nFb=30{o}5\nVb=45\nXmax=7{o}25\n",
     {{"EditVs", "340{s}5"}, {"EditFb", "30{s}5"}, {"EditVb", "45"}, {"EditXmax", "7{s}25"}}, 1, 0, 0},
    {"BothSeparatorsReadAsDefault", "Us=340{o}5{s}1\nFb=1{s}030{o}5\n", {{"EditVs", "344"}, {"EditFb", "0"}}, 1, 0,
     0},
    {"TextsThatAreNoNumbers", "Us=fast\nFb=abc\nDd=21x\nNd=two\nNp=many\n",
     {{"EditVs", "344"}, {"EditFb", "0"}, {"EditDd", "0"}, {"EditSd", "0"}, {"EditNd", "0"}}, 1, 0, 0},
    {"IntegerKeyWithFraction", "Dd=210{s}5\nNp=2{s}5\n", {{"EditDd", "0"}, {"EditSd", "0"}}, 1, 0, 0},
    {"PortsAboveTheRange", "Np=5000\n", {}, 1000, 0, 0},
    {"SectionAndShapeAboveTheirRanges", "Pindex=2\nSBut=12\n", {}, 1, 0, 0},
    {"SectionAndShapeBelowTheirRanges", "Pindex=-1\nSBut=-3\n", {}, 1, 0, 0},
    {"ShapeAndSectionThatDisagreeAreKeptForTheWindow", "Pindex=0\nSBut=6\n", {}, 1, 0, 6},
    {"KeysInOtherCase", "us=336\nFB=40\n", {{"EditVs", "336"}, {"EditFb", "40"}}, 1, 0, 0},
};

class SourceKeys : public testing::TestWithParam<std::tuple<SourceRow, char>> {};

TEST_P(SourceKeys, IntoTheirEditors)
{
    const auto& [row, sep] = GetParam();
    Rig rig(sep, withSeparator((std::string("[P]\n") + row.section).c_str(), sep));
    rig.form.texts["EditFb"] = "77"; // what the window showed before
    const int page = rig.io().readSourceKeys("p");
    for (const auto& [field, text] : row.texts)
        EXPECT_EQ(rig.form.text(field), withSeparator(text, sep)) << field;
    EXPECT_EQ(rig.form.spinValue("SpinEdNPorts"), row.ports);
    EXPECT_EQ(rig.form.selectorIndex("ComboPortType"), row.sectionIndex);
    EXPECT_EQ(page, row.page);
}

INSTANTIATE_TEST_SUITE_P(Rows, SourceKeys, testing::Combine(testing::ValuesIn(kSourceRows), testing::ValuesIn(kSeparators)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == '.' ? "_Point" : "_Comma");
                         });

// ---- dimension keys ------------------------------------------------------------------------------

class Dimensions : public testing::TestWithParam<char> {};

// Every dimension gets a value of its own, so a key read into the wrong value shows.
double distinctValue(std::size_t i) { return 10.25 + double(i) * 3.5; }

// Written with this system's separator or with the other one, the values are the same.
TEST_P(Dimensions, EachKeyIntoItsOwnValue)
{
    const char sep = GetParam();
    for (const char written : {sep, sep == '.' ? ',' : '.'}) {
        std::string section = "[P]\n";
        for (std::size_t i = 0; i < vx::kDimensionKeys.size(); ++i) {
            const auto& d = vx::kDimensionKeys[i];
            section += std::string(d.key) + "=" +
                       (d.real ? vx::formatFloat(distinctValue(i), written)
                               : std::to_string(d.key.ends_with("Func") ? 1 : 20 + i)) +
                       "\n";
        }
        Rig rig(sep, QByteArray::fromStdString(section));
        rig.io().readDimensions("P");
        for (std::size_t i = 0; i < vx::kDimensionKeys.size(); ++i) {
            const auto& d = vx::kDimensionKeys[i];
            if (d.real) {
                EXPECT_EQ(rig.state.*d.real, distinctValue(i)) << d.key << " written with " << written;
            } else {
                EXPECT_EQ(rig.state.*d.whole, d.key.ends_with("Func") ? 1 : int(20 + i)) << d.key;
            }
        }
    }
}

TEST_P(Dimensions, MissingAndUnreadableReadAsZero)
{
    const char sep = GetParam();
    Rig rig(sep, withSeparator("[P]\nTubD=abc\nConA=4{o}5{s}1\nCurveConDiv=x\n", sep));
    for (const auto& d : vx::kDimensionKeys) {
        if (d.real)
            rig.state.*d.real = 99;
        else
            rig.state.*d.whole = 1;
    }
    rig.io().readDimensions("P");
    for (const auto& d : vx::kDimensionKeys)
        EXPECT_EQ(d.real ? rig.state.*d.real : rig.state.*d.whole, 0) << d.key;
}

// A base function other than Cosh (0) or Circle (1) in a hand-edited file is Cosh.
TEST_P(Dimensions, CurveFunctionOutsideItsItemsIsCosh)
{
    const struct {
        const char* stored;
        int expected;
    } rows[] = {{"0", 0}, {"1", 1}, {"2", 0}, {"-1", 0}, {"77", 0}};
    for (const auto& r : rows) {
        Rig rig(GetParam(), QByteArray("[P]\nCurveConFunc=") + r.stored + "\nCurveFlatFunc=" + r.stored + "\n");
        rig.io().readDimensions("P");
        EXPECT_EQ(rig.state.CurveConFunc, r.expected) << r.stored;
        EXPECT_EQ(rig.state.CurveFlatFunc, r.expected) << r.stored;
    }
}

TEST_P(Dimensions, ShownInTheirEditorsWithTheResultsEmptied)
{
    const char sep = GetParam();
    Rig rig(sep);
    for (std::size_t i = 0; i < vx::kDimensionKeys.size(); ++i) {
        const auto& d = vx::kDimensionKeys[i];
        if (d.real)
            rig.state.*d.real = distinctValue(i);
    }
    const char* results[] = {"EditTubL", "EditConL", "EditConD", "EditTubConL", "EditTubConD", "EditConTubConL",
                             "EditConTubConD", "EditBoxL", "EditPriL", "EditPriW", "EditBoxPriL", "EditBoxPriW",
                             "EditPriBoxPriL", "EditPriBoxPriW", "EditFlaTubL", "EditFlaBoxL"};
    const char* curvedResults[] = {"EditCurveCond1", "EditCurveConD", "EditCurveFlatW1", "EditCurveFlatW"};
    for (const char* f : results)
        rig.form.texts[f] = "12";
    for (const char* f : curvedResults)
        rig.form.texts[f] = "34";
    rig.state.CurveConDiv = 0;
    rig.state.CurveFlatDiv = 30;
    rig.state.CurveConFunc = 1;
    rig.io().showShapeDimensions();
    rig.io().showCurvedDimensions();
    for (std::size_t i = 0; i < vx::kDimensionKeys.size(); ++i) {
        const auto& d = vx::kDimensionKeys[i];
        if (d.real) {
            EXPECT_EQ(rig.form.text("Edit" + std::string(d.key)), vx::formatFloat(distinctValue(i), sep)) << d.key;
        }
    }
    for (const char* f : results)
        EXPECT_EQ(rig.form.text(f), "") << f;
    for (const char* f : curvedResults)
        EXPECT_EQ(rig.form.text(f), "34") << f;
    EXPECT_EQ(rig.form.spinValue("SEdDiv"), 10); // a stored 0 shows as the lower limit
    EXPECT_EQ(rig.state.CurveConDiv, 0);        // and the value itself keeps the 0
    EXPECT_EQ(rig.form.spinValue("SEFdiv"), 30);
    EXPECT_EQ(rig.form.selectorIndex("CBCurveType"), 1);
    EXPECT_EQ(rig.form.selectorIndex("CBFcurveType"), 0);
}

INSTANTIATE_TEST_SUITE_P(Separators, Dimensions, testing::ValuesIn(kSeparators),
                         [](const auto& info) { return std::string(info.param == '.' ? "Point" : "Comma"); });

// ---- saving --------------------------------------------------------------------------------------

// A window holding a design, with every dimension distinct.
void fillWindow(Rig& rig)
{
    const char sep = rig.form.sep;
    rig.form.texts = {{"EditVs", "348"}, {"EditFb", vx::formatFloat(32.5, sep)}, {"EditVb", "50"},
                      {"EditDd", "250"},  {"EditNd", "2"},                         {"EditXmax", vx::formatFloat(8.25, sep)}};
    rig.form.spins = {{"SpinEdNPorts", 3}, {"SEdDiv", 25}, {"SEFdiv", 40}};
    rig.form.selectors = {{"ComboPortType", 1}, {"CBCurveType", 1}, {"CBFcurveType", 0}};
    rig.state.SBut = vx::FLAREFLAT;
    for (std::size_t i = 0; i < vx::kDimensionKeys.size(); ++i) {
        const auto& d = vx::kDimensionKeys[i];
        if (d.real)
            rig.state.*d.real = distinctValue(i);
        else
            rig.state.*d.whole = 7; // the save takes the curve integers from their controls, not from here
    }
}

class Saving : public testing::TestWithParam<char> {};

TEST_P(Saving, AllKeysInTableOrderWithLastProjectAfterTheTenth)
{
    const char sep = GetParam();
    Rig rig(sep, "[DEFAULT]\nFb=30\nLastProject=DEFAULT\n");
    fillWindow(rig);
    IniFile::Batch batch(*rig.ini);
    ASSERT_TRUE(rig.io().writeProject("P", 346, "P"));
    ASSERT_TRUE(batch.commit());
    EXPECT_EQ(rig.ini->diskWrites(), 1);

    std::string expected = "[DEFAULT]\nFb=30\nLastProject=P\n[P]\n";
    expected += "Us=346\nFb=32{s}5\nVb=50\nDd=250\nNd=2\nXmax=8{s}25\nNp=3\nPindex=1\nSBut=11\n";
    for (std::size_t i = 0; i < vx::kDimensionKeys.size(); ++i) {
        const auto& d = vx::kDimensionKeys[i];
        std::string value = d.real ? vx::formatFloat(distinctValue(i), sep) : "";
        if (d.key == "CurveConDiv")
            value = "25";
        else if (d.key == "CurveConFunc")
            value = "1";
        else if (d.key == "CurveFlatDiv")
            value = "40";
        else if (d.key == "CurveFlatFunc")
            value = "0";
        expected += std::string(d.key) + "=" + value + "\n";
    }
    EXPECT_EQ(rig.fileText().toStdString(), withSeparator(expected, sep));
}

TEST_P(Saving, SavedProjectLoadsBackTheSameValues)
{
    const char sep = GetParam();
    Rig rig(sep);
    fillWindow(rig);
    ASSERT_TRUE(rig.io().writeProject("P", 346, "P"));
    CalcState before = rig.state;
    rig.state = CalcState();
    rig.io().readDimensions("P");
    for (const auto& d : vx::kDimensionKeys) {
        if (d.real) {
            EXPECT_EQ(rig.state.*d.real, before.*d.real) << d.key;
        }
    }
    EXPECT_NE(rig.state.FlaBoxR1, rig.state.FlaBoxR2);
    EXPECT_EQ(rig.state.CurveConDiv, 25);
    EXPECT_EQ(rig.state.CurveFlatDiv, 40);
}

// The first editor text that is no number of its kind stops the save: what came before it stays
// written, nothing after it is, and "LastProject" keeps its value when the stop comes before it.
struct StopRow {
    const char* name;
    const char* field;
    const char* text;
    std::vector<std::string> written; // the keys of [P] afterwards
};

void PrintTo(const StopRow& row, std::ostream* os) { *os << row.name; }

const StopRow kStopRows[] = {
    {"FrequencyNoNumber", "EditFb", "abc", {"Us"}},
    {"FrequencyEmpty", "EditFb", "", {"Us"}},
    {"FrequencyOtherSeparator", "EditFb", "32{o}5", {"Us"}},
    {"VolumeNoNumber", "EditVb", "big", {"Us", "Fb"}},
    {"DiameterWithFraction", "EditDd", "210{s}5", {"Us", "Fb", "Vb"}},
    {"WoofersNoNumber", "EditNd", "x", {"Us", "Fb", "Vb", "Dd"}},
    {"ExcursionNoNumber", "EditXmax", "-", {"Us", "Fb", "Vb", "Dd", "Nd"}},
};

class SaveStops : public testing::TestWithParam<std::tuple<StopRow, char>> {};

TEST_P(SaveStops, AtTheFirstUnreadableEditor)
{
    const auto& [row, sep] = GetParam();
    Rig rig(sep, "[DEFAULT]\nFb=30\nLastProject=OLD\n");
    fillWindow(rig);
    rig.form.texts[row.field] = withSeparator(row.text, sep);
    IniFile::Batch batch(*rig.ini);
    EXPECT_FALSE(rig.io().writeProject("P", 344, "P"));
    EXPECT_TRUE(batch.commit());
    std::string expected = "[DEFAULT]\nFb=30\nLastProject=OLD\n[P]\n";
    IniFile check(rig.path());
    for (const std::string& key : row.written)
        expected += key + "=" + check.readString("P", QString::fromStdString(key)).toStdString() + "\n";
    EXPECT_EQ(rig.fileText().toStdString(), expected);
    EXPECT_EQ(check.readString("P", "Us").toStdString(), "344");
}

INSTANTIATE_TEST_SUITE_P(Rows, SaveStops, testing::Combine(testing::ValuesIn(kStopRows), testing::ValuesIn(kSeparators)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == '.' ? "_Point" : "_Comma");
                         });

TEST_P(Saving, RefusedByTheFile)
{
    Rig rig(GetParam());
    rig.ini = std::make_unique<IniFile>(rig.dir.filePath("missing/Vornalex.ini"));
    fillWindow(rig);
    EXPECT_FALSE(rig.io().writeProject("P", 344, "P"));
    IniFile::Batch batch(*rig.ini);
    rig.io().writeProject("P", 344, "P");
    EXPECT_FALSE(batch.commit());
}

// ---- first run -----------------------------------------------------------------------------------

std::string firstRunSection(const std::string& id, int left, int top)
{
    std::string s = "[DEFAULT]\nid=" + id + "\n";
    s += "Us=344\nFb=30\nVb=45\nDd=210\nNd=1\nXmax=7\nNp=1\nPindex=0\nSBut=0\n";
    for (const auto& d : vx::kDimensionKeys)
        s += std::string(d.key) + "=0\n";
    s += "FormLeft=" + std::to_string(left) + "\nFormTop=" + std::to_string(top) + "\n";
    return s;
}

TEST_P(Saving, FirstRunSectionInANewFile)
{
    Rig rig(GetParam());
    IniFile::Batch batch(*rig.ini);
    ASSERT_TRUE(rig.io().writeFirstRun("Lkd_a<<<", 120, 80));
    ASSERT_TRUE(batch.commit());
    EXPECT_EQ(rig.ini->diskWrites(), 1);
    EXPECT_EQ(rig.fileText().toStdString(), firstRunSection("Lkd_a<<<", 120, 80));
}

TEST_P(Saving, FirstRunReplacesAnOldDefaultAtTheEndAndKeepsTheOthers)
{
    Rig rig(GetParam(), "; my projects\n[DEFAULT]\nFb=0\nid=old\n[BASS]\nFb=40\n[КУБ]\nVb=30\n");
    ASSERT_TRUE(rig.io().writeFirstRun("Lkd_a<<<", -5, 7));
    EXPECT_EQ(rig.fileText().toStdString(),
              "; my projects\n[BASS]\nFb=40\n[КУБ]\nVb=30\n" + firstRunSection("Lkd_a<<<", -5, 7));
}

INSTANTIATE_TEST_SUITE_P(Separators, Saving, testing::ValuesIn(kSeparators),
                         [](const auto& info) { return std::string(info.param == '.' ? "Point" : "Comma"); });

// ---- first start ---------------------------------------------------------------------------------

struct DefaultRow {
    const char* name;
    const char* file;
    bool userProject;
};

void PrintTo(const DefaultRow& row, std::ostream* os) { *os << row.name; }

const DefaultRow kDefaultRows[] = {
    {"NoFile", nullptr, false},
    {"NoDefaultSection", "[BASS]\nFb=40\n", false},
    {"NoFrequency", "[DEFAULT]\nVb=45\n", false},
    {"FrequencyZero", "[DEFAULT]\nFb=0\n", false},
    {"FrequencyZeroWithFraction", "[DEFAULT]\nFb=0{s}0\n", false},
    {"FrequencyNoNumber", "[DEFAULT]\nFb=abc\n", false},
    {"FrequencyEmpty", "[DEFAULT]\nFb=\n", false},
    {"Frequency", "[DEFAULT]\nFb=30\n", true},
    {"FrequencyWithThisSeparator", "[DEFAULT]\nFb=32{s}5\n", true},
    {"FrequencyWithTheOtherSeparator", "[DEFAULT]\nFb=32{o}5\n", true},
    {"SectionInOtherCase", "[default]\nFB=30\n", true},
};

class FirstStart : public testing::TestWithParam<std::tuple<DefaultRow, char>> {};

TEST_P(FirstStart, ADefaultWithAFrequencyIsTheUsers)
{
    const auto& [row, sep] = GetParam();
    Rig rig(sep, row.file ? withSeparator(row.file, sep) : QByteArray());
    EXPECT_EQ(rig.io().hasDefaultProject(), row.userProject);
}

INSTANTIATE_TEST_SUITE_P(Rows, FirstStart, testing::Combine(testing::ValuesIn(kDefaultRows), testing::ValuesIn(kSeparators)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == '.' ? "_Point" : "_Comma");
                         });

// ---- client identifier ---------------------------------------------------------------------------

struct IdRow {
    QDateTime at;
    const char* id;
};

TEST(ClientId, EightCharactersFromTheDateAndTime)
{
    const IdRow rows[] = {
        {QDateTime(QDate(2018, 3, 29), QTime(14, 5, 9, 123)), "DcX_oAE?"},
        {QDateTime(QDate(2026, 12, 1), QTime(0, 0, 0, 0)), "Ll<_a<<<"},
        {QDateTime(QDate(2026, 1, 31), QTime(23, 59, 59, 999)), "LaZ_xwwc"},
    };
    for (const IdRow& r : rows) {
        const QString id = vx::makeClientId(r.at);
        EXPECT_EQ(id, QString::fromLatin1(r.id)) << r.at.toString().toStdString();
        EXPECT_EQ(id.size(), 8);
    }
}

} // namespace
