#pragma once
// A browser for tests: answers with a fixed open command and records what would have been started,
// so that no real browser ever opens.

#include "platform/Browser.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace vx::test {

class RecordingBrowser : public Browser {
public:
    struct Start {
        QString program;
        QStringList arguments;
    };
    QString command = QStringLiteral("\"C:\\Web\\browser.exe\" -osint -url \"%1\""); // a browser setting
    std::vector<Start> starts;
    mutable int commandReads = 0;

    RecordingBrowser() { setBrowser(this); }
    ~RecordingBrowser() override { setBrowser(nullptr); }

    OpenCommand openCommand() const override
    {
        ++commandReads;
        return {command, false};
    }
    bool start(const QString& program, const QStringList& arguments) override
    {
        starts.push_back({program, arguments});
        return true;
    }
};

} // namespace vx::test
