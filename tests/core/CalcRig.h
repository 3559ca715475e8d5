#pragma once
// A calculation over an in-memory window, filled with the reference design: 30 Hz, 45 litres, one
// 210 mm woofer of 7 mm excursion, one port, 344 m/s. Texts are given with "." and turned into the
// rig's decimal separator, so every row runs with both separators.

#include "MemoryForm.h"
#include "core/Calc.h"
#include "core/CalcState.h"
#include "core/Numbers.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace vx::test {

// Field texts of a row, dotted: {field, text}.
using Texts = std::vector<std::pair<const char*, const char*>>;

struct CalcRig {
    MemoryForm form;
    CalcState state;
    Calc calc{form, state};

    explicit CalcRig(char sep)
    {
        form.sep = sep;
        form.texts = {{"EditFb", "30"}, {"EditVb", "45"}, {"EditDd", "210"}, {"EditNd", "1"},
                      {"EditXmax", "7"}, {"EditVs", "344"}};
        form.spins["SpinEdNPorts"] = 1;
    }

    // A dotted number text in the rig's separator.
    std::string n(std::string_view dotted) const
    {
        std::string s(dotted);
        std::replace(s.begin(), s.end(), '.', form.sep);
        return s;
    }

    // Puts a text as the user would have left it (no change handler attached in these tests).
    void put(std::string_view field, std::string_view dotted) { form.texts[std::string(field)] = n(dotted); }
    void put(std::initializer_list<std::pair<std::string_view, std::string_view>> rows)
    {
        for (const auto& [f, t] : rows)
            put(f, t);
    }
    void put(const Texts& rows)
    {
        for (const auto& [f, t] : rows)
            put(f, t);
    }

    // The text of the first message box, or nothing when none was shown (for failure output).
    std::string firstMessage() const { return form.messages.empty() ? std::string() : form.messages[0].text; }

    std::string text(std::string_view field) const { return form.text(field); }

    // A field's number, read with the rig's separator.
    std::optional<double> number(std::string_view field) const { return parseFloat(form.text(field), form.sep); }

    // The shape chosen with its button down, as the shape buttons leave them.
    void choose(int shape)
    {
        static constexpr int kButtonOf[kPortTypeCount] = {1, 2, 3, 4, 1, 2, 3, 4, 5, 5, 6, 6};
        state.SBut = shape;
        form.buttonDown = kButtonOf[shape];
    }

    // True when no field shows a value that is no number.
    bool noBrokenNumbers() const
    {
        for (const auto& [f, t] : form.texts)
            if (t.find("INF") != std::string::npos || t.find("NAN") != std::string::npos)
                return false;
        return true;
    }
};

inline constexpr char kSeparators[] = {'.', ','};

// The name of a row run with a separator: "Tube_dot", "Slot125x62_5_comma" (test names take no dots).
inline std::string rowName(std::string_view name, char sep)
{
    std::string out(name);
    std::replace(out.begin(), out.end(), '.', '_');
    return out + (sep == '.' ? "_dot" : "_comma");
}

inline std::string sepName(char sep)
{
    return sep == '.' ? "dot" : "comma";
}

// Names of the rows of a suite over (row, separator); the row type has a `name`.
struct RowAndSeparatorName {
    template <class Info>
    std::string operator()(const Info& info) const
    {
        return rowName(std::get<0>(info.param).name, std::get<1>(info.param));
    }
};

// Names of the rows of a suite over the separator alone.
struct SeparatorName {
    template <class Info>
    std::string operator()(const Info& info) const
    {
        return sepName(info.param);
    }
};

} // namespace vx::test
