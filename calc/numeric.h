#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The rules every calculation shares: when a typed text is a number and which
// number it is, the rolling-sphere radius of each protection class, and how a
// computed number becomes the text shown in a result label. Texts are UTF-8.
// Nothing here depends on the process locale.
namespace calc {

enum class ResultTextStyle { CutToFive, RoundToThree };

// True when the whole text is a decimal number: optional leading spaces, an
// optional sign, digits with at most one point (commas allowed as digit-group
// separators between digits before the point), an optional exponent
// (E, e, D or d, optional sign, digits) and optional trailing spaces.
// A text whose value lies beyond the largest double is not a number.
bool isNumberText(std::string_view text);

// The value of a text accepted by isNumberText, rounded to the nearest double.
// Returns 0 for a text that is not a number (callers test first).
double numberFromText(std::string_view text);

// The protection class list, in list order; index i has radius kClassRadii[i].
inline constexpr std::array<std::string_view, 3> kProtectionClassEntries{
    "3类 hr=60米", "2类 hr=45米", "1类 hr=30米"};

// 60, 45 or 30 metres for the list's entries 0, 1, 2; 0 for any other index,
// including -1 when the user has typed into the list.
int rollingSphereRadius(std::int16_t classIndex);

// Shortest general form with 15 significant digits: plain notation for decimal
// exponents -4..14 (no digit before the point below 1, ".5"), otherwise
// "1.5E-05" style. Always "." as the decimal point.
std::string standardText(double x);

// The first five characters of standardText(x): a cut, not a rounding.
std::string cutResultText(double x);

// x rounded to three decimals, exact halves to the even neighbour.
double roundToThreeDecimals(double x);

// standardText(roundToThreeDecimals(x)).
std::string roundedResultText(double x);

// A result text with a digit before the point: "0" put in front of a text
// that reads as a number below 1 and starts with the point (".5387" becomes
// "0.5387"). Any other text, including one cut inside its exponent ("1.5E-"),
// stays as it is.
std::string withLeadingZero(std::string_view resultText);

// "<name> 不是数字，请输入数字", or "<name1>、<name2> 不是数字，请输入数字".
std::string notNumberMessage(std::span<const std::string_view> names);

// "<name> 不能为负数，请重新输入！", names joined as in notNumberMessage.
std::string negativeMessage(std::span<const std::string_view> names);

} // namespace calc
