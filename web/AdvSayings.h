#pragma once
// The sayings the advert window shows when no advert picture was downloaded.

#include <QString>

#include <cstdint>

namespace vx {

inline constexpr std::uint32_t kAdvQuoteCount = 32;

// The saying at index mod 32.
QString advQuote(std::uint32_t index);

} // namespace vx
