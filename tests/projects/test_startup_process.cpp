// Start-up of the real program in a temporary folder: the executable and its sprite sheet copied there,
// run headless with a settings file (or none) beside it. The last write of start-up is the load's
// "LastProject"; once it is in the file the program has nothing more to write until it closes, so the
// test then ends it and reads what start-up left.
#include "platform/IniFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

namespace {

using vx::IniFile;

QString q(const char* s) { return QString::fromUtf8(s); }

std::string firstRunSection()
{
    std::string s = "[DEFAULT]\nid=<id>\nUs=344\nFb=30\nVb=45\nDd=210\nNd=1\nXmax=7\nNp=1\nPindex=0\nSBut=0\n";
    for (const char* key : {"TubD",        "ConA",        "ConD1",       "TubConA",     "TubConD1",    "TubConL1",
                            "ConTubConA",  "ConTubConD1", "ConTubConL1", "BoxW",        "BoxH",        "PriW1",
                            "PriA",        "PriH",        "BoxPriW1",    "BoxPriA",     "BoxPriL1",    "BoxPriH",
                            "PriBoxPriW1", "PriBoxPriA",  "PriBoxPriL1", "PriBoxPriH",  "FlaTubD",     "FlaTubR1",
                            "FlaTubR2",    "FlaBoxW",     "FlaBoxH",     "FlaBoxR1",    "FlaBoxR2",    "CurveConL",
                            "CurveConDiv", "CurveConFunc", "CurveFlatL", "CurveFlatH",  "CurveFlatDiv", "CurveFlatFunc"})
        s += std::string(key) + "=0\n";
    s += "FormLeft=<n>\nFormTop=<n>\nLastProject=DEFAULT\n";
    return s;
}

// The file text with the client id and the window position made comparable.
std::string comparable(QByteArray text)
{
    QString s = QString::fromUtf8(text);
    s.replace(QRegularExpression(QStringLiteral("^id=.{8}$"), QRegularExpression::MultilineOption), "id=<id>");
    s.replace(QRegularExpression(QStringLiteral("^(FormLeft|FormTop)=-?\\d+$"), QRegularExpression::MultilineOption),
              "\\1=<n>");
    return s.toStdString();
}

class Program {
public:
    QTemporaryDir dir, runtime;

    explicit Program(std::optional<QByteArray> file)
    {
        EXPECT_TRUE(QFile::copy(QStringLiteral(VX_EXECUTABLE), dir.filePath("vornalex")));
        EXPECT_TRUE(QFile::copy(QStringLiteral(VX_SPRITE_SHEET), dir.filePath("Vornalex.BMP")));
        // An empty brands list in the folder the program starts in: no box about a missing one waits for OK.
        EXPECT_TRUE(QFile(dir.filePath("brands.csv")).open(QIODevice::WriteOnly));
        if (file) {
            QFile f(path());
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(*file);
        }
    }
    QString path() const { return dir.filePath("Vornalex.ini"); }
    QByteArray fileText() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Runs the program until start-up has written "LastProject" = `last`, then ends it. False when that
    // did not happen within the time limit.
    bool startUp(const QString& last, const char* locale = "C.UTF-8")
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("LC_ALL", locale);
        env.insert("XDG_RUNTIME_DIR", runtime.path()); // its own single-instance lock
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(dir.filePath("vornalex"), {});
        if (!p.waitForStarted(10000))
            return false;
        QElapsedTimer clock;
        clock.start();
        bool done = false;
        while (!done && clock.elapsed() < 30000 && p.state() == QProcess::Running) {
            QThread::msleep(20);
            done = IniFile(path()).readString("DEFAULT", "LastProject") == last;
        }
        p.kill();
        p.waitForFinished(10000);
        return done;
    }
};

TEST(StartUpProcess, FirstStartCreatesTheDefaultSection)
{
    Program program(std::nullopt);
    ASSERT_TRUE(program.startUp("DEFAULT"));
    EXPECT_EQ(comparable(program.fileText()), firstRunSection());
}

TEST(StartUpProcess, FileWithoutDefaultGetsItAppendedAndKeepsTheOthers)
{
    const QByteArray others = "; my boxes\n[BASS]\nFb=40\nVb=60\n\n[КУБ]\nVb=30\n";
    Program program(others);
    ASSERT_TRUE(program.startUp("DEFAULT"));
    EXPECT_EQ(comparable(program.fileText()), others.toStdString() + firstRunSection());
}

TEST(StartUpProcess, LastProjectThatIsGoneOpensTheFirstSection)
{
    const QByteArray file = "[КУБ]\nFb=40\n[DEFAULT]\nid=Lkd_a<<<\nFb=30\nLastProject=GONE\n";
    Program program(file);
    ASSERT_TRUE(program.startUp(q("КУБ")));
    QByteArray expected = file;
    expected.replace("LastProject=GONE", "LastProject=КУБ");
    EXPECT_EQ(program.fileText(), expected);
}

// Whatever ends the lines (a lone CR from an old Mac editor, CR LF, or a mix), the first start keeps both
// projects and "DEFAULT" whole: it only adds the name of the project it opened, with the line end of the
// file's first line, and the last line keeps having none.
TEST(StartUpProcess, EveryKindOfLineEndKeepsTheProjects)
{
    const struct {
        const char* name;
        QByteArray file, expected;
    } rows[] = {
        {"lone CR", "[DEFAULT]\rid=Lkd_a<<<\rFb=30\r[P1]\rFb=40\r[P2]\rFb=50\r",
         "[DEFAULT]\rid=Lkd_a<<<\rFb=30\rLastProject=DEFAULT\r[P1]\rFb=40\r[P2]\rFb=50\r"},
        {"CR LF", "[DEFAULT]\r\nid=Lkd_a<<<\r\nFb=30\r\n[P1]\r\nFb=40\r\n[P2]\r\nFb=50\r\n",
         "[DEFAULT]\r\nid=Lkd_a<<<\r\nFb=30\r\nLastProject=DEFAULT\r\n[P1]\r\nFb=40\r\n[P2]\r\nFb=50\r\n"},
        {"mixed", "[DEFAULT]\rid=Lkd_a<<<\r\nFb=30\n[P1]\rFb=40\r\n[P2]\nFb=50",
         "[DEFAULT]\rid=Lkd_a<<<\r\nFb=30\nLastProject=DEFAULT\r[P1]\rFb=40\r\n[P2]\nFb=50"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Program program(r.file);
        ASSERT_TRUE(program.startUp("DEFAULT"));
        EXPECT_EQ(program.fileText(), r.expected);
    }
}

// A "DEFAULT" whose frequency was written where the other decimal separator is in use is the user's
// project all the same: start-up keeps it whole, whichever separator the system uses now.
struct LocaleRow {
    const char* locale;
    const char* frequency;
    bool kept;
};
void PrintTo(const LocaleRow& r, std::ostream* os) { *os << r.locale << " Fb=" << r.frequency; }

const LocaleRow kLocaleRows[] = {
    {"C.UTF-8", "32,5", true},      {"ru_RU.UTF-8", "32.5", true}, {"C.UTF-8", "32.5", true},
    {"ru_RU.UTF-8", "32,5", true},  {"C.UTF-8", "0", false},       {"ru_RU.UTF-8", "0,0", false},
    {"C.UTF-8", "abc", false},
};

class DefaultFrequency : public ::testing::TestWithParam<LocaleRow> {};

TEST_P(DefaultFrequency, DefaultIsErasedOnlyWithoutAFrequency)
{
    const LocaleRow& r = GetParam();
    const QByteArray file = QByteArray("[DEFAULT]\nid=Lkd_a<<<\nFb=") + r.frequency + "\nVb=50\nTubD=80\n";
    Program program(file);
    ASSERT_TRUE(program.startUp("DEFAULT", r.locale));
    if (r.kept)
        EXPECT_EQ(program.fileText(), file + "LastProject=DEFAULT\n");
    else
        EXPECT_EQ(comparable(program.fileText()), firstRunSection());
}
INSTANTIATE_TEST_SUITE_P(Rows, DefaultFrequency, ::testing::ValuesIn(kLocaleRows));

} // namespace
