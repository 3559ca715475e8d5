// The program's start: the real executable in a temporary folder for the single-instance guard, and the
// start sequence in-process for the missing sprite sheet (its plain box would block a real process).
#include "app/ProgramStart.h"
#include "app/Windows.h"

#include "projects/ProgramFolder.h"
#include "RecordingDialogs.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// Every file of a folder with its size and time of change: what a run that touches no file leaves alone.
QStringList folderState(const QString& path)
{
    QStringList out;
    for (const QFileInfo& f : QDir(path).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
        out << QStringLiteral("%1 %2 %3").arg(f.fileName()).arg(f.size()).arg(f.lastModified().toMSecsSinceEpoch());
    return out;
}

class ProgramProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_TRUE(m_runtime.isValid());
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_program = m_folder.filePath(QStringLiteral("vornalex"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VX_EXECUTABLE), m_program));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VX_SPRITE_SHEET), m_folder.filePath(QStringLiteral("Vornalex.BMP"))));
        // An empty brands list in the folder the program starts in: no box about a missing one waits for OK.
        ASSERT_TRUE(QFile(m_folder.filePath(QStringLiteral("brands.csv"))).open(QIODevice::WriteOnly));
    }
    void TearDown() override
    {
        for (auto& p : m_processes) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    // A copy of the program, headless, with a lock folder of its own so that no other run on this
    // machine counts as the running copy.
    QProcess& start()
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(m_folder.path());
        p->start(m_program, {});
        m_processes.push_back(std::move(p));
        return *m_processes.back();
    }
    // Until the start-up has written the settings file, or a time limit passes.
    void waitForStartUp(QProcess& p)
    {
        const QString ini = m_folder.filePath(QStringLiteral("Vornalex.ini"));
        for (int i = 0; i < 200 && !QFile::exists(ini) && p.state() == QProcess::Running; ++i)
            QTest::qWait(50);
        QTest::qWait(300);
    }

    QTemporaryDir m_folder;
    QTemporaryDir m_runtime;
    QString m_program;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

TEST_F(ProgramProcessTest, SecondCopyEndsAtOnceAndTouchesNothing)
{
    QProcess& first = start();
    ASSERT_TRUE(first.waitForStarted(5000));
    waitForStartUp(first);
    ASSERT_EQ(first.state(), QProcess::Running);
    const QStringList before = folderState(m_folder.path());

    QProcess& second = start();
    ASSERT_TRUE(second.waitForStarted(5000));
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(second.readAllStandardError().isEmpty()) << "the second copy said something";
    EXPECT_EQ(folderState(m_folder.path()), before);
    EXPECT_EQ(first.state(), QProcess::Running) << "the running copy stays as it was";
}

TEST_F(ProgramProcessTest, StartAfterTheRunningCopyEndedProceeds)
{
    QProcess& first = start();
    ASSERT_TRUE(first.waitForStarted(5000));
    waitForStartUp(first);
    first.kill();
    ASSERT_TRUE(first.waitForFinished(5000));

    QProcess& next = start();
    ASSERT_TRUE(next.waitForStarted(5000));
    EXPECT_FALSE(next.waitForFinished(1500)) << "the lock went with the copy that held it";
    EXPECT_EQ(next.state(), QProcess::Running);
}

// Runs the program's start in an empty folder: without the sprite sheet it ends after start-up.
int runWithoutSpriteSheet()
{
    QTemporaryDir folder;
    EXPECT_TRUE(folder.isValid());
    vx::setProgramFolder(folder.path());
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    EXPECT_NE(app, nullptr);
    const int code = app ? vx::runProgram(*app) : -1;
    vx::setProgramFolder(QString());
    return code;
}

QString printerDialogTitle()
{
    QPrinter printer;
    QPrintDialog dialog(&printer);
    return dialog.windowTitle();
}

bool hasCyrillic(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.script() == QChar::Script_Cyrillic; });
}

// Qt's own dialogs speak the user's language from the start: Russian under a Russian system locale
// (the run with LC_ALL=ru_RU), as Qt wrote them under one that Qt has no translation for.
TEST(ProgramStartTest, QtsOwnDialogsSpeakTheSystemsLanguage)
{
    const bool russian = QLocale::system().language() == QLocale::Russian;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (russian && !QFile::exists(folder + QStringLiteral("/qtbase_ru.qm")))
        GTEST_SKIP() << "Qt's Russian translation is not installed in " << folder.toStdString()
                     << " (Debian package qt6-translations-l10n)";
    const QString untranslated = printerDialogTitle();
    ASSERT_FALSE(hasCyrillic(untranslated));
    vx::test::RecordingDialogs dialogs;

    EXPECT_EQ(runWithoutSpriteSheet(), 0);
    const QString title = printerDialogTitle();
    if (russian)
        EXPECT_TRUE(hasCyrillic(title)) << title.toStdString();
    else
        EXPECT_EQ(title, untranslated) << QLocale::system().name().toStdString();
}

TEST(ProgramStartTest, MissingSpriteSheetEndsWithoutNormalUse)
{
    vx::test::RecordingDialogs dialogs;

    // A message loop would run this at its first turn.
    bool loopRan = false;
    QTimer::singleShot(0, [&] { loopRan = true; });
    const int code = runWithoutSpriteSheet();
    const bool ranBeforeReturn = loopRan;

    EXPECT_EQ(code, 0);
    EXPECT_FALSE(ranBeforeReturn) << "the message loop ran";
    ASSERT_FALSE(dialogs.boxes.empty());
    EXPECT_EQ(dialogs.boxes.front().type, vx::MsgType::Plain);
    EXPECT_EQ(dialogs.boxes.front().text, QStringLiteral("Файл Vornalex.BMP не найден, проргама будет завершена."));
    EXPECT_EQ(F_Main, nullptr);
    EXPECT_EQ(F_About, nullptr);
}

} // namespace
