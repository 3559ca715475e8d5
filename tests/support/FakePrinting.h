#pragma once
// A print service for widget tests: answers the printer dialog from a queue and keeps every page.

#include "app/PrintService.h"

#include <QImage>

#include <deque>
#include <vector>

namespace vx::test {

class FakePrinting : public PrintService {
public:
    std::deque<bool> answers; // the dialog's answers in order; empty → confirmed
    int dialogsShown = 0;
    bool begins = true; // false: the printer refuses to start, as one that is switched off
    std::vector<QImage> pages;

    FakePrinting() { setPrinting(this); }
    ~FakePrinting() override { setPrinting(nullptr); }

    bool execDialog(QWidget*) override
    {
        ++dialogsShown;
        if (answers.empty())
            return true;
        const bool ok = answers.front();
        answers.pop_front();
        return ok;
    }
    bool printImage(const QImage& image) override
    {
        if (!begins)
            return false;
        pages.push_back(image);
        return true;
    }
};

} // namespace vx::test
