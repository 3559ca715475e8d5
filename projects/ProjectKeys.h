#pragma once
// The 45 keys of a project section, in the order a save writes them and a load reads them: the nine
// source keys, then the stored dimensions of core/Dimensions.h. Each key says how it is written, where
// the save takes it from, where the load puts it, what a missing or unreadable value reads as, and what
// the first start writes.

#include "core/CalcState.h"
#include "core/CurvePages.h"
#include "core/Dimensions.h"

#include <array>
#include <string_view>

namespace vx {

enum class KeyKind { Float, Integer };

// Where a save takes the value from: the text of an editor, a spin editor's value, a selector's item,
// or the calculation state.
enum class KeySource { Text, Spin, Selector, State };

struct ProjectKey {
    std::string_view key;
    KeyKind kind = KeyKind::Float;
    KeySource source = KeySource::State;
    // Source keys: the component the load fills (and a Text/Spin/Selector save reads). Dimension keys:
    // the spin editor or selector of a curve integer; empty for the others.
    std::string_view field;
    double readerDefault = 0;
    double firstRun = 0;
    double CalcState::*real = nullptr; // State source of a float
    int CalcState::*whole = nullptr;   // State source of an integer
    int shape = -1;                    // the page of a dimension key, -1 for the source keys
};

inline constexpr int kSourceKeyCount = 9;
inline constexpr int kProjectKeyCount = kSourceKeyCount + int(kDimensionKeys.size());
// "LastProject" goes into "DEFAULT" right after this many keys of a save.
inline constexpr int kKeysBeforeLastProject = 10;

inline constexpr std::array<ProjectKey, kSourceKeyCount> kSourceKeys{{
    {"Us", KeyKind::Float, KeySource::State, "EditVs", 344, 344, &CalcState::Us, nullptr},
    {"Fb", KeyKind::Float, KeySource::Text, "EditFb", 0, 30},
    {"Vb", KeyKind::Float, KeySource::Text, "EditVb", 0, 45},
    {"Dd", KeyKind::Integer, KeySource::Text, "EditDd", 0, 210},
    {"Nd", KeyKind::Integer, KeySource::Text, "EditNd", 0, 1},
    {"Xmax", KeyKind::Float, KeySource::Text, "EditXmax", 0, 7},
    {"Np", KeyKind::Integer, KeySource::Spin, "SpinEdNPorts", 0, 1},
    {"Pindex", KeyKind::Integer, KeySource::Selector, "ComboPortType", 0, 0},
    {"SBut", KeyKind::Integer, KeySource::State, "PageCWork", 0, 0, nullptr, &CalcState::SBut},
}};

// The curve integers are saved from the controls that show them, not from the state: the multiplier
// from its spin editor, the base function from its selector.
constexpr ProjectKey projectKeyOf(const DimensionKey& d)
{
    ProjectKey k;
    k.key = d.key;
    k.kind = d.real ? KeyKind::Float : KeyKind::Integer;
    k.real = d.real;
    k.whole = d.whole;
    k.shape = d.shape;
    for (const CurvePage& page : kCurvePages) {
        if (d.whole && d.whole == page.division) {
            k.source = KeySource::Spin;
            k.field = page.multiplier;
        } else if (d.whole && d.whole == page.function) {
            k.source = KeySource::Selector;
            k.field = page.selector;
        }
    }
    return k;
}

constexpr std::array<ProjectKey, kProjectKeyCount> makeProjectKeys()
{
    std::array<ProjectKey, kProjectKeyCount> keys{};
    for (int i = 0; i < kSourceKeyCount; ++i)
        keys[i] = kSourceKeys[i];
    for (std::size_t i = 0; i < kDimensionKeys.size(); ++i)
        keys[kSourceKeyCount + i] = projectKeyOf(kDimensionKeys[i]);
    return keys;
}

inline constexpr std::array<ProjectKey, kProjectKeyCount> kProjectKeys = makeProjectKeys();

} // namespace vx
