#pragma once
// An in-memory main window for headless tests of the calculation: fields are texts in a map, message
// boxes are recorded and answered from a queue, and change/exit handlers can be attached per field so
// a test can reproduce what the real window does when code writes an editor.

#include "core/Form.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vx::test {

struct RecordedMessage {
    MsgType type;
    std::string text;
    MsgButtons buttons;
};

class MemoryForm : public Form {
public:
    char sep = '.';
    std::map<std::string, std::string, std::less<>> texts;
    std::map<std::string, Colour, std::less<>> colours;
    std::map<std::string, bool, std::less<>> visible;
    std::map<std::string, int, std::less<>> spins;
    std::map<std::string, std::pair<int, int>, std::less<>> spinRange; // min, max (default 1..1000)
    std::map<std::string, int, std::less<>> selectors;
    std::map<std::string, std::function<void()>, std::less<>> onChange; // runs after a changed text/spin
    std::map<std::string, std::function<void()>, std::less<>> onExit;   // runs when focus leaves a field
    std::vector<RecordedMessage> messages;
    std::deque<MsgAnswer> answers; // answers for Yes/No boxes, in order; empty → Yes
    std::vector<std::string> focusHistory;
    std::string active;
    int buttonDown = 1;
    int editDdExitCalls = 0;
    std::function<void()> editDdExit; // what EditDdExit does, if anything

    char decimalSeparator() const override { return sep; }

    std::string text(Field f) const override
    {
        auto it = texts.find(f);
        return it == texts.end() ? std::string() : it->second;
    }
    void setText(Field f, const std::string& s) override
    {
        auto it = texts.find(f);
        if (it != texts.end() && it->second == s)
            return;
        texts[std::string(f)] = s;
        fire(onChange, f);
    }
    void setFontColour(Field f, Colour c) override { colours[std::string(f)] = c; }
    void setVisible(Field f, bool v) override { visible[std::string(f)] = v; }
    void setActiveControl(Field f) override
    {
        if (active == f)
            return;
        std::string previous = active;
        active = std::string(f);
        focusHistory.push_back(active);
        if (!previous.empty())
            fire(onExit, previous);
    }
    MsgAnswer message(MsgType type, const std::string& text, MsgButtons buttons) override
    {
        messages.push_back({type, text, buttons});
        if (buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        if (answers.empty())
            return MsgAnswer::Yes;
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    int spinValue(Field f) const override
    {
        auto it = spins.find(f);
        return it == spins.end() ? range(f).first : it->second;
    }
    void setSpinValue(Field f, int v) override
    {
        auto [lo, hi] = range(f);
        v = std::clamp(v, lo, hi);
        auto it = spins.find(f);
        if (it != spins.end() && it->second == v)
            return;
        spins[std::string(f)] = v;
        fire(onChange, f);
    }
    int selectorIndex(Field f) const override
    {
        auto it = selectors.find(f);
        return it == selectors.end() ? 0 : it->second;
    }
    void setSelectorIndex(Field f, int i) override { selectors[std::string(f)] = i; }
    int shapeButtonDown() const override { return buttonDown; }
    void EditDdExit() override
    {
        ++editDdExitCalls;
        if (editDdExit)
            editDdExit();
    }

    // Test helpers
    std::vector<std::string> messageTexts() const
    {
        std::vector<std::string> out;
        for (const auto& m : messages)
            out.push_back(m.text);
        return out;
    }

private:
    std::pair<int, int> range(Field f) const
    {
        auto it = spinRange.find(f);
        return it == spinRange.end() ? std::pair{1, 1000} : it->second;
    }
    template <class Map>
    void fire(Map& handlers, Field f)
    {
        auto it = handlers.find(f);
        if (it != handlers.end() && it->second)
            it->second();
    }
};

} // namespace vx::test
