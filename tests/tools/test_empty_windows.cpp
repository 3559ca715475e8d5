// The side windows whose behaviour comes later exist with their names, captions and sizes.
#include "tools/TF_Calc.h"
#include "tools/TF_Print.h"
#include "web/TF_Pic.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace {

struct SideWindow {
    const char* objectName;
    const char* caption;
    QSize size;
    bool fixed;
    std::function<std::unique_ptr<QDialog>()> make;
};

void PrintTo(const SideWindow& w, std::ostream* os)
{
    *os << w.objectName;
}

const SideWindow kWindows[] = {
    {"TF_Calc", " Калькулятор", {434, 368}, true, [] { return std::make_unique<TF_Calc>(); }},
    {"TF_Print", "", {792, 736}, false, [] { return std::make_unique<TF_Print>(); }},
    {"TF_Pic", "", {484, 326}, true, [] { return std::make_unique<TF_Pic>(); }},
};

class EmptyWindow : public testing::TestWithParam<SideWindow> {};

} // namespace

TEST_P(EmptyWindow, HasItsNameCaptionAndSize)
{
    const SideWindow& row = GetParam();
    const auto window = row.make();
    EXPECT_EQ(window->objectName(), row.objectName);
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8(row.caption));
    EXPECT_EQ(window->size(), row.size);
    EXPECT_EQ(window->minimumSize() == window->maximumSize(), row.fixed);
    EXPECT_FALSE(window->isVisible()) << "created hidden; shown only when asked for";
}

INSTANTIATE_TEST_SUITE_P(Windows, EmptyWindow, testing::ValuesIn(kWindows),
                         [](const testing::TestParamInfo<SideWindow>& info) {
                             return std::string(info.param.objectName);
                         });
