#include "calc/numeric.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <system_error>

namespace calc {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Parses a number text into its value; nullopt when the text is not a number.
// The text is rewritten into the plain form std::from_chars reads (no spaces,
// commas, plus signs or D exponents), so the process locale never matters.
std::optional<double> parseNumber(std::string_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;

    std::string plain;
    plain.reserve(n);
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') plain += '-';
        ++i;
    }

    bool sawDigit = false;
    bool sawPoint = false;
    bool significant = false;
    long long intDigits = 0;        // digits before the point, leading zeros dropped
    long long leadingFracZeros = 0; // zeros after the point before the first nonzero digit
    for (; i < n; ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            sawDigit = true;
            plain += c;
            if (c != '0') significant = true;
            if (!sawPoint) {
                if (significant) ++intDigits;
            } else if (!significant) {
                ++leadingFracZeros;
            }
        } else if (c == '.' && !sawPoint) {
            sawPoint = true;
            plain += c;
        } else if (c == ',' && !sawPoint && i > 0 && isDigit(text[i - 1]) && i + 1 < n &&
                   isDigit(text[i + 1])) {
            // A digit-group separator between two digits of the integer part.
        } else {
            break;
        }
    }
    if (!sawDigit) return std::nullopt;

    long long exponent = 0;
    if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            negative = text[j] == '-';
            ++j;
        }
        const std::size_t firstDigit = j;
        while (j < n && isDigit(text[j])) {
            // Saturate: any exponent this large already decides over- or underflow.
            if (exponent < 100000000) exponent = exponent * 10 + (text[j] - '0');
            ++j;
        }
        if (j == firstDigit) return std::nullopt;
        if (negative) exponent = -exponent;
        plain += 'e';
        plain += std::to_string(exponent);
        i = j;
    }
    while (i < n && text[i] == ' ') ++i;
    if (i != n) return std::nullopt;

    double value = 0;
    const char *first = plain.data();
    const char *last = plain.data() + plain.size();
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (end != last) return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        if (!significant) return plain.front() == '-' ? -0.0 : 0.0;
        // The power of ten of the first significant digit tells overflow from underflow.
        const long long magnitude =
            intDigits > 0 ? intDigits - 1 + exponent : exponent - leadingFracZeros - 1;
        if (magnitude > 0) return std::nullopt;
        return plain.front() == '-' ? -0.0 : 0.0;
    }
    if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string joinedFieldMessage(std::span<const std::string_view> names, std::string_view tail)
{
    std::string message;
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (k > 0) message += "、";
        message += names[k];
    }
    message += tail;
    return message;
}

} // namespace

bool isNumberText(std::string_view text) { return parseNumber(text).has_value(); }

double numberFromText(std::string_view text) { return parseNumber(text).value_or(0.0); }

int rollingSphereRadius(std::int16_t classIndex)
{
    switch (classIndex) {
    case 0:
        return 60;
    case 1:
        return 45;
    case 2:
        return 30;
    default:
        return 0;
    }
}

std::string standardText(double x)
{
    if (x == 0 || !std::isfinite(x)) return "0";

    // Fifteen significant digits, correctly rounded: "d.dddddddddddddde+XX".
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 14);
    const std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const bool negative = sci.front() == '-';
    const std::size_t ePos = sci.find('e');
    int exponent = 0;
    std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+'), sci.data() + sci.size(),
                    exponent);

    std::string digits;
    for (char c : sci.substr(0, ePos))
        if (isDigit(c)) digits += c;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string text = negative ? "-" : "";
    if (exponent >= -4 && exponent <= 14) {
        if (exponent >= 0) {
            const auto intCount = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= intCount) {
                text += digits;
                text.append(intCount - digits.size(), '0');
            } else {
                text += digits.substr(0, intCount);
                text += '.';
                text += digits.substr(intCount);
            }
        } else {
            text += '.';
            text.append(static_cast<std::size_t>(-exponent - 1), '0');
            text += digits;
        }
    } else {
        text += digits.front();
        if (digits.size() > 1) {
            text += '.';
            text += digits.substr(1);
        }
        text += 'E';
        text += exponent < 0 ? '-' : '+';
        const int size = std::abs(exponent);
        if (size < 10) text += '0';
        text += std::to_string(size);
    }
    return text;
}

std::string cutResultText(double x) { return standardText(x).substr(0, 5); }

double roundToThreeDecimals(double x)
{
    const double thousandfold = x * 1000;
    // Beyond 2^53 every double is a whole number already; keep x as it is
    // rather than let the thousandfold overflow.
    if (!std::isfinite(thousandfold)) return x;
    // The default rounding mode sends exact halves to the even neighbour.
    return std::nearbyint(thousandfold) / 1000;
}

std::string roundedResultText(double x) { return standardText(roundToThreeDecimals(x)); }

std::string withLeadingZero(std::string_view resultText)
{
    const bool belowOne = isNumberText(resultText) && numberFromText(resultText) < 1;
    if (belowOne && resultText.starts_with('.')) return "0" + std::string(resultText);
    return std::string(resultText);
}

std::string notNumberMessage(std::span<const std::string_view> names)
{
    return joinedFieldMessage(names, " 不是数字，请输入数字");
}

std::string negativeMessage(std::span<const std::string_view> names)
{
    return joinedFieldMessage(names, " 不能为负数，请重新输入！");
}

} // namespace calc
