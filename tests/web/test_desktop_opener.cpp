// The desktop's own opener, started for real: a fake opener placed first on the search path, in a folder
// named "exec", writes down the arguments it was started with; another one cannot be started at all.
#include "app/TF_Main.h"

#include "app/Windows.h"
#include "platform/Browser.h"
#include "projects/ProgramFolder.h"
#include "ProgramFiles.h"
#include "RecordingDialogs.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class DesktopOpenerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vx::test::makeProgramFolder(m_program));
        ASSERT_TRUE(m_root.isValid());
        m_bin = m_root.filePath(QStringLiteral("exec/bin"));
        ASSERT_TRUE(QDir().mkpath(m_bin));
        m_searchPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_bin) + ':' + m_searchPath);
        vx::setBrowser(nullptr); // the desktop's own opener, found on the search path
        w = std::make_unique<TF_Main>();
        F_Main = w.get();
        dialogs.boxes.clear();
    }
    void TearDown() override
    {
        F_Main = nullptr;
        w.reset();
        vx::setProgramFolder(QString());
        qputenv("PATH", m_searchPath);
    }

    // An opener of this script text where the desktop's opener is looked for first.
    void placeOpener(const QByteArray& script)
    {
        QFile f(m_bin + QStringLiteral("/xdg-open"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(script), script.size());
        f.close();
        ASSERT_TRUE(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    QString recordFile() const { return m_root.filePath(QStringLiteral("started")); }

    vx::test::RecordingDialogs dialogs;
    QTemporaryDir m_program, m_root;
    QString m_bin;
    QByteArray m_searchPath;
    std::unique_ptr<TF_Main> w;
};

TEST_F(DesktopOpenerTest, OpenerUnderAnExecFolderGetsTheLinkAsItsOneArgument)
{
    // The count of arguments, then each one in brackets; written aside and renamed, so that the file
    // appears whole.
    const QByteArray out = QFile::encodeName(recordFile());
    placeOpener("#!/bin/sh\nprintf '%s\\n' \"$#\" > '" + out + ".part'\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\" >> '" +
                out + ".part'; done\nmv '" + out + ".part' '" + out + "'\n");
    const QString link = QStringLiteral("http://brand.example/a b?c=\"1\"&d=2");
    w->ProcLink(Qt::LeftButton, link);
    for (int i = 0; i < 200 && !QFile::exists(recordFile()); ++i)
        QTest::qWait(50);
    QFile record(recordFile());
    ASSERT_TRUE(record.open(QIODevice::ReadOnly)) << "the opener was not started";
    EXPECT_EQ(QString::fromUtf8(record.readAll()), QStringLiteral("1\n[") + link + QStringLiteral("]\n"));
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.texts().join(u'\n').toStdString();
}

TEST_F(DesktopOpenerTest, OpenerThatCannotBeStartedGivesTheWarning)
{
    // Its interpreter does not exist: the system refuses to start it.
    placeOpener("#!/nonexistent-interpreter/sh\n");
    const QString link = QStringLiteral("http://brand.example/");
    w->ProcLink(Qt::LeftButton, link);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].type, vx::MsgType::Warning);
    EXPECT_EQ(dialogs.boxes[0].buttons, vx::MsgButtons::Ok);
    EXPECT_EQ(dialogs.boxes[0].text.toStdString(), "Не удалось открыть ссылку: http://brand.example/");
}

} // namespace
