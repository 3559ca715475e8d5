#pragma once
// The way out to the user's web browser: the command the desktop opens web links with, and the start
// of a program as a process of its own. Tests put a recording browser in place so that nothing starts.

#include <QString>
#include <QStringList>

namespace vx {

// What the browser is started with. The desktop's opener is a program path, started as the whole path it
// is, whatever folder it lies in. A browser setting is a Windows-style command line: the browser's
// path up to its "EXE" (or "exe") ending, then arguments of its own.
struct OpenCommand {
    QString text;
    bool isProgram = false; // text is the opener's path, not a browser setting
};

class Browser {
public:
    virtual ~Browser() = default;
    // The command that opens an http link; empty text when there is none.
    virtual OpenCommand openCommand() const = 0;
    // Starts program with its arguments, not waiting for it; no shell sees either. False when the
    // program could not be started.
    virtual bool start(const QString& program, const QStringList& arguments) = 0;
};

// What a link becomes before it starts: the command line as the user would read it, and the program
// with its arguments as they are handed to the process start.
struct BrowserLaunch {
    QString commandLine;
    QString program;
    QStringList arguments;
};

// The launch of link through the open command; empty program when the command names no program.
BrowserLaunch browserLaunch(const OpenCommand& command, const QString& link);

// A link the browser is given: one beginning with "http://" or "https://" in any case. The desktop's
// opener picks its program by the link's kind, so a file: link or a local path would open local files
// in whatever program is associated with them, and a link beginning with "-" would read as an option.
bool isWebAddress(const QString& link);

Browser& browser();
void setBrowser(Browser* b); // nullptr restores the desktop's own browser; the caller keeps ownership

} // namespace vx
