#pragma once

#include <string_view>

// The words the layout's windows, its sheet and its CAD drawing use for an object's verdict,
// kept in one place so that all of them say the same.
namespace calc::layout {

inline constexpr std::string_view kProtectedWord = "受保护";
inline constexpr std::string_view kUnprotectedWord = "未受保护";
inline constexpr std::string_view kLeastClearanceWord = "最小余量";

constexpr std::string_view verdictWord(bool isProtected)
{
    return isProtected ? kProtectedWord : kUnprotectedWord;
}

} // namespace calc::layout
