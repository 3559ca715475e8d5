#pragma once
// A dialog service for widget tests: records every box and answers Yes/No boxes from a queue.

#include "platform/DialogService.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

namespace vx::test {

class RecordingDialogs : public DialogService {
public:
    struct Box {
        MsgType type;
        QString text;
        MsgButtons buttons;
    };
    std::vector<Box> boxes;
    std::deque<MsgAnswer> answers; // for Yes/No boxes, in order; empty → Yes

    RecordingDialogs() { setDialogs(this); }
    ~RecordingDialogs() override { setDialogs(nullptr); }

    MsgAnswer show(MsgType type, const QString& text, MsgButtons buttons, QWidget*) override
    {
        boxes.push_back({type, text, buttons});
        if (buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        if (answers.empty())
            return MsgAnswer::Yes;
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    QStringList texts() const
    {
        QStringList out;
        for (const auto& b : boxes)
            out << b.text;
        return out;
    }
    std::vector<MsgType> types() const
    {
        std::vector<MsgType> out;
        for (const auto& b : boxes)
            out.push_back(b.type);
        return out;
    }
};

} // namespace vx::test
