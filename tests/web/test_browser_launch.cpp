// How a link and the browser's open command become the process that is started.
#include "platform/Browser.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct LaunchRow {
    const char* what;
    bool isProgram; // the desktop's opener rather than a browser setting
    const char* command;
    const char* link;
    const char* commandLine; // empty: nothing starts
    const char* program;
    QStringList arguments;
};

std::ostream& operator<<(std::ostream& os, const LaunchRow& r) { return os << r.what; }

constexpr bool kSetting = false;
constexpr bool kOpener = true;

const LaunchRow kLaunchRows[] = {
    {"quoted path ending in exe, then arguments", kSetting,
     R"("C:\Program Files\Web\browser.exe" -osint -url "%1")", "http://a.example/",
     R"("C:\Program Files\Web\browser.exe" http://a.example/)", R"(C:\Program Files\Web\browser.exe)",
     {"http://a.example/"}},
    {"unquoted path ending in EXE keeps its blank: two in a row", kSetting, R"(C:\WEB\BROWSER.EXE -nohome)",
     "http://b.example/", R"(C:\WEB\BROWSER.EXE  http://b.example/)", R"(C:\WEB\BROWSER.EXE)",
     {"http://b.example/"}},
    {"EXE is looked for before exe", kSetting, R"(c:\tools.exe.d\WEB.EXE -x)", "http://c.example/",
     R"(c:\tools.exe.d\WEB.EXE  http://c.example/)", R"(c:\tools.exe.d\WEB.EXE)", {"http://c.example/"}},
    {"a mixed-case ending names no browser", kSetting, R"("C:\Web\Browser.Exe" "%1")", "http://d.example/", "",
     "", {}},
    {"no command at all", kSetting, "", "http://e.example/", "", "", {}},
    {"a path with no program ending", kSetting, "/nowhere/opener-that-is-not-there", "http://f.example/", "", "",
     {}},
    {"a setting is cut after its first exe even in a folder name", kSetting, "/opt/exec/bin/xdg-open",
     "http://f.example/", "/opt/exec http://f.example/", "/opt/exec", {"http://f.example/"}},
    {"an empty link starts the browser without one", kSetting, R"("C:\Web\browser.exe" "%1")", "",
     R"("C:\Web\browser.exe" )", R"(C:\Web\browser.exe)", {}},
    {"blanks, quotes and shell characters stay inside the one link argument", kSetting,
     R"("C:\Web\browser.exe" "%1")", R"(http://g.example/a b" --new & rm -rf ~; $(x))",
     R"("C:\Web\browser.exe" http://g.example/a b" --new & rm -rf ~; $(x))", R"(C:\Web\browser.exe)",
     {R"(http://g.example/a b" --new & rm -rf ~; $(x))"}},
    {"the opener under a folder named exec is its whole path", kOpener, "/opt/exec/bin/xdg-open",
     "http://h.example/", "/opt/exec/bin/xdg-open http://h.example/", "/opt/exec/bin/xdg-open",
     {"http://h.example/"}},
    {"the opener under a home folder spelled with exe", kOpener, "/home/alexey/.local/bin/xdg-open",
     "http://h.example/a b", "/home/alexey/.local/bin/xdg-open http://h.example/a b",
     "/home/alexey/.local/bin/xdg-open", {"http://h.example/a b"}},
    {"the opener under a folder spelled with EXE", kOpener, "/srv/EXEC/xdg-open", "http://h.example/",
     "/srv/EXEC/xdg-open http://h.example/", "/srv/EXEC/xdg-open", {"http://h.example/"}},
    {"no opener on the system", kOpener, "", "http://h.example/", "", "", {}},
};

class BrowserLaunchTest : public ::testing::TestWithParam<LaunchRow> {};

TEST_P(BrowserLaunchTest, CommandAndLinkGiveTheStartedProcess)
{
    const LaunchRow& r = GetParam();
    const vx::BrowserLaunch launch =
        vx::browserLaunch({QString::fromUtf8(r.command), r.isProgram}, QString::fromUtf8(r.link));
    EXPECT_EQ(launch.commandLine.toStdString(), r.commandLine);
    EXPECT_EQ(launch.program.toStdString(), r.program);
    EXPECT_EQ(launch.arguments, r.arguments);
}

INSTANTIATE_TEST_SUITE_P(Commands, BrowserLaunchTest, ::testing::ValuesIn(kLaunchRows));

} // namespace
