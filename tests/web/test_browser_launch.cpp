// How a link and the browser's open command become the process that is started.
#include "platform/Browser.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct LaunchRow {
    const char* what;
    const char* command;
    const char* link;
    const char* commandLine; // empty: nothing starts
    const char* program;
    QStringList arguments;
};

std::ostream& operator<<(std::ostream& os, const LaunchRow& r) { return os << r.what; }

const LaunchRow kLaunchRows[] = {
    {"quoted path ending in exe, then arguments", R"("C:\Program Files\Web\browser.exe" -osint -url "%1")",
     "http://a.example/", R"("C:\Program Files\Web\browser.exe" http://a.example/)",
     R"(C:\Program Files\Web\browser.exe)", {"http://a.example/"}},
    {"unquoted path ending in EXE keeps its blank: two in a row", R"(C:\WEB\BROWSER.EXE -nohome)",
     "http://b.example/", R"(C:\WEB\BROWSER.EXE  http://b.example/)", R"(C:\WEB\BROWSER.EXE)",
     {"http://b.example/"}},
    {"EXE is looked for before exe", R"(c:\tools.exe.d\WEB.EXE -x)", "http://c.example/",
     R"(c:\tools.exe.d\WEB.EXE  http://c.example/)", R"(c:\tools.exe.d\WEB.EXE)", {"http://c.example/"}},
    {"a mixed-case ending names no browser", R"("C:\Web\Browser.Exe" "%1")", "http://d.example/", "", "", {}},
    {"no command at all", "", "http://e.example/", "", "", {}},
    {"a path with no program ending", "/nowhere/opener-that-is-not-there", "http://f.example/", "", "", {}},
    {"an empty link starts the browser without one", R"("C:\Web\browser.exe" "%1")", "",
     R"("C:\Web\browser.exe" )", R"(C:\Web\browser.exe)", {}},
    {"blanks, quotes and shell characters stay inside the one link argument",
     R"("C:\Web\browser.exe" "%1")", R"(http://g.example/a b" --new & rm -rf ~; $(x))",
     R"("C:\Web\browser.exe" http://g.example/a b" --new & rm -rf ~; $(x))", R"(C:\Web\browser.exe)",
     {R"(http://g.example/a b" --new & rm -rf ~; $(x))"}},
};

class BrowserLaunchTest : public ::testing::TestWithParam<LaunchRow> {};

TEST_P(BrowserLaunchTest, CommandAndLinkGiveTheStartedProcess)
{
    const LaunchRow& r = GetParam();
    const vx::BrowserLaunch launch =
        vx::browserLaunch(QString::fromUtf8(r.command), QString::fromUtf8(r.link));
    EXPECT_EQ(launch.commandLine.toStdString(), r.commandLine);
    EXPECT_EQ(launch.program.toStdString(), r.program);
    EXPECT_EQ(launch.arguments, r.arguments);
}

INSTANTIATE_TEST_SUITE_P(Commands, BrowserLaunchTest, ::testing::ValuesIn(kLaunchRows));

// The desktop's opener is a bare program path: an executable file is the browser as it stands, a file
// that cannot be run is none.
TEST(BrowserLaunch, DesktopOpenerIsTakenWholeWhenItCanRun)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Row {
        const char* name;
        bool executable;
    };
    for (const Row& row : {Row{"opener", true}, Row{"notes", false}}) {
        const QString path = dir.filePath(QString::fromLatin1(row.name));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        QFile::Permissions perms = QFile::ReadOwner | QFile::WriteOwner;
        if (row.executable)
            perms |= QFile::ExeOwner;
        ASSERT_TRUE(f.setPermissions(perms));
        const vx::BrowserLaunch launch = vx::browserLaunch(path, QStringLiteral("http://h.example/"));
        if (row.executable) {
            EXPECT_EQ(launch.program, path);
            EXPECT_EQ(launch.commandLine, path + QStringLiteral(" http://h.example/"));
            EXPECT_EQ(launch.arguments, QStringList{QStringLiteral("http://h.example/")});
        } else {
            EXPECT_TRUE(launch.program.isEmpty()) << row.name;
        }
    }
}

} // namespace
