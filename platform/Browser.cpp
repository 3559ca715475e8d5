#include "platform/Browser.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace vx {

namespace {

constexpr int kAfterEnding = 4; // "EXE" and the one character after it: a closing quote or a blank

class DesktopBrowser : public Browser {
public:
    QString openCommand() const override { return QStandardPaths::findExecutable(QStringLiteral("xdg-open")); }
    void start(const QString& program, const QStringList& arguments) override
    {
        QProcess::startDetached(program, arguments);
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

BrowserLaunch browserLaunch(const QString& command, const QString& link)
{
    // A Windows-style command names its program up to the first "EXE" (or, failing that, "exe"), with
    // the closing quote of a quoted path; whatever arguments follow are dropped. The desktop's own
    // opener is a bare program path without such an ending.
    QString browserPart;
    qsizetype at = command.indexOf(QLatin1String("EXE"));
    if (at < 0)
        at = command.indexOf(QLatin1String("exe"));
    if (at >= 0)
        browserPart = command.left(at + kAfterEnding);
    else if (!command.isEmpty() && QFileInfo(command).isExecutable() && QFileInfo(command).isFile())
        browserPart = command;
    BrowserLaunch launch;
    if (browserPart.isEmpty())
        return launch;
    launch.commandLine = browserPart + QLatin1Char(' ') + link;
    launch.program = unquoted(browserPart);
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
