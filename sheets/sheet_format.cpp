#include "sheets/sheet_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace calc::sheet {
namespace {

constexpr double kExponentFrom = 1e12;

// Writes x with std::to_chars; precision < 0 asks for the shortest text that
// reads back as x. Exponent notation gets "E" and at least two exponent digits.
std::string chars(double x, std::chars_format format, int precision = -1)
{
    char buffer[400];
    const auto result = precision < 0
                            ? std::to_chars(buffer, buffer + sizeof buffer, x, format)
                            : std::to_chars(buffer, buffer + sizeof buffer, x, format, precision);
    std::string text(buffer, result.ptr);
    std::replace(text.begin(), text.end(), 'e', 'E');
    // A negative value that rounds to zero is written without its sign.
    const std::string_view mantissa = std::string_view(text).substr(0, text.find('E'));
    if (text.front() == '-' && mantissa.find_first_of("123456789") == std::string_view::npos)
        text.erase(0, 1);
    return text;
}

// The power of ten of x's first significant digit once x is rounded to
// `digits` significant digits.
int decimalExponent(double x, int digits)
{
    const std::string text = chars(x, std::chars_format::scientific, digits - 1);
    const std::size_t e = text.find('E');
    return std::atoi(text.c_str() + e + 1);
}

} // namespace

std::string lengthText(double x)
{
    if (!std::isfinite(x)) return std::string(kOutOfRangeText);
    if (std::abs(x) >= kExponentFrom) return chars(x, std::chars_format::scientific, 6);
    return chars(x, std::chars_format::fixed, 3);
}

std::string quantityText(double x, int minDigits, int minDecimals)
{
    if (!std::isfinite(x)) return std::string(kOutOfRangeText);
    if (x == 0) return "0";
    const int exponent = decimalExponent(x, minDigits);
    if (exponent < -4 || exponent >= 12)
        return chars(x, std::chars_format::scientific, minDigits - 1);
    return chars(x, std::chars_format::fixed, std::max(minDecimals, minDigits - 1 - exponent));
}

std::string carriedText(double x) { return quantityText(x, 7, 6); }

std::string inputText(double x)
{
    if (!std::isfinite(x)) return std::string(kOutOfRangeText);
    if (x == 0) return "0";
    const double size = std::abs(x);
    if (size >= 1e-4 && size < kExponentFrom) return chars(x, std::chars_format::fixed);
    return chars(x, std::chars_format::scientific);
}

std::string operandText(double x)
{
    std::string text = inputText(x);
    return text.front() == '-' ? "(" + text + ")" : text;
}

} // namespace calc::sheet
