#include "platform/Browser.h"

#include <QProcess>
#include <QStandardPaths>

namespace vx {

namespace {

constexpr int kAfterEnding = 4; // "EXE" and the one character after it: a closing quote or a blank

class DesktopBrowser : public Browser {
public:
    OpenCommand openCommand() const override
    {
        return {QStandardPaths::findExecutable(QStringLiteral("xdg-open")), true};
    }
    bool start(const QString& program, const QStringList& arguments) override
    {
        return QProcess::startDetached(program, arguments);
    }
};

DesktopBrowser g_desktop;
Browser* g_browser = nullptr;

QString unquoted(QString path)
{
    path = path.trimmed();
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    return path;
}

} // namespace

BrowserLaunch browserLaunch(const OpenCommand& command, const QString& link)
{
    // The desktop's opener is its whole path: a folder such as ".../exec/bin" or "/home/alexey" holds
    // no program ending. A browser setting names its program up to the first "EXE" (or, failing that,
    // "exe"), with the closing quote of a quoted path; whatever arguments follow are dropped.
    QString browserPart;
    if (command.isProgram) {
        browserPart = command.text;
    } else {
        qsizetype at = command.text.indexOf(QLatin1String("EXE"));
        if (at < 0)
            at = command.text.indexOf(QLatin1String("exe"));
        if (at >= 0)
            browserPart = command.text.left(at + kAfterEnding);
    }
    BrowserLaunch launch;
    if (browserPart.isEmpty())
        return launch;
    launch.commandLine = browserPart + QLatin1Char(' ') + link;
    launch.program = command.isProgram ? browserPart : unquoted(browserPart);
    // The link goes to the browser as one argument of its own: blanks, quotes or shell characters in it
    // can neither add arguments nor run anything.
    if (!link.isEmpty())
        launch.arguments << link;
    return launch;
}

bool isWebAddress(const QString& link)
{
    return link.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           link.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

Browser& browser() { return g_browser ? *g_browser : g_desktop; }

void setBrowser(Browser* b) { g_browser = b; }

} // namespace vx
