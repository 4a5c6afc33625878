#include "calc/numeric.h"
#include "calc/rod_height.h"
#include "calc/single_rod.h"
#include "calc/strike_count.h"
#include "calc/two_rods.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <variant>

namespace {

constexpr int kCases = 20000;

// Texts of every kind a user can type: numbers written in any accepted form, numbers
// beyond the range of doubles or below its resolution, negatives and junk.
class TextMaker {
public:
    explicit TextMaker(std::uint32_t seed) : rng_(seed) {}

    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    // A finite double: any bit pattern, or a value with few digits such as a user types.
    double anyDouble()
    {
        if (chance(0.5)) {
            double x = 0;
            do x = std::bit_cast<double>(std::uniform_int_distribution<std::uint64_t>()(rng_));
            while (!std::isfinite(x));
            return x;
        }
        const double x = between(0, 2000000) / std::pow(10.0, between(0, 6));
        return chance(0.2) ? -x : x;
    }

    // The shortest text that reads back as x, in fixed or in scientific notation.
    static std::string canonical(double x, std::chars_format format)
    {
        std::array<char, 512> buffer{};
        const auto [end, error] =
            std::to_chars(buffer.data(), buffer.data() + buffer.size(), x, format);
        EXPECT_EQ(error, std::errc());
        return std::string(buffer.data(), end);
    }

    // The same number written another accepted way: spaces, an explicit "+", leading zeros,
    // digit-group commas, no "0" before the point, trailing zeros, any exponent letter.
    std::string rewrite(std::string_view text)
    {
        std::string sign;
        if (text.front() == '-') {
            sign = "-";
            text.remove_prefix(1);
        } else if (chance(0.3)) {
            sign = "+";
        }
        const std::size_t exponentAt = text.find('e');
        std::string_view exponent =
            exponentAt == text.npos ? std::string_view() : text.substr(exponentAt + 1);
        std::string_view mantissa = text.substr(0, exponentAt);
        const std::size_t pointAt = mantissa.find('.');
        std::string integer(mantissa.substr(0, pointAt));
        std::string fraction(pointAt == mantissa.npos ? "" : mantissa.substr(pointAt + 1));

        if (chance(0.2)) integer.insert(0, std::string(between(1, 3), '0'));
        std::string grouped;
        for (std::size_t i = 0; i < integer.size(); ++i) {
            if (i > 0 && chance(0.3)) grouped += ',';
            grouped += integer[i];
        }
        if (integer == "0" && !fraction.empty() && chance(0.5)) grouped.clear();
        if (chance(0.3)) fraction.append(between(1, 3), '0');

        std::string out(between(0, 3), ' ');
        out += sign + grouped;
        if (!fraction.empty() || chance(0.2)) out += '.' + fraction;
        if (!exponent.empty() || chance(0.2)) {
            out += "EeDd"[between(0, 3)];
            std::string digits(exponent.empty() ? "0" : exponent);
            if (digits.front() == '+' && chance(0.5)) digits.erase(0, 1);
            out += digits;
        }
        out.append(between(0, 3), ' ');
        return out;
    }

    std::string junk()
    {
        static constexpr std::string_view alphabet = " +-.,0123456789eEdDxinfaINF\t";
        std::string out;
        for (int n = between(0, 12); n > 0; --n)
            out += alphabet[between(0, static_cast<int>(alphabet.size()) - 1)];
        return out;
    }

    // Long digit strings with the point anywhere, and exponents far outside the double range
    // both ways.
    std::string extreme()
    {
        std::string digits;
        for (int n = between(1, 40); n > 0; --n) digits += static_cast<char>('0' + between(0, 9));
        if (chance(0.3))
            digits.insert(0, "0." + std::string(between(0, 400), '0'));
        else if (chance(0.3))
            digits.append(between(1, 400), '0');
        if (digits.find('.') == std::string::npos && chance(0.5))
            digits.insert(between(0, static_cast<int>(digits.size())), ".");
        return (chance(0.5) ? "-" : "") + digits + (chance(0.5) ? "e" : "d") +
               std::to_string(between(-700, 700));
    }

    // Anything, weighted towards values in the calculations' own range.
    std::string anyText()
    {
        switch (between(0, 5)) {
        case 0:
            return junk();
        case 1:
            return extreme();
        case 2:
            return rewrite(canonical(anyDouble(), std::chars_format::scientific));
        default: {
            const double x = between(-2000, 250000) / 1000.0;
            return rewrite(canonical(x, std::chars_format::fixed));
        }
        }
    }

    std::int16_t anyIndex() { return static_cast<std::int16_t>(between(-2, 10)); }

private:
    std::mt19937 rng_;
};

// The text in a heap block of exactly its size: under the address sanitizer, any read past
// the end of a text is caught.
class ExactCopy {
public:
    explicit ExactCopy(std::string_view text)
        : bytes_(std::make_unique<char[]>(text.size())), size_(text.size())
    {
        std::copy(text.begin(), text.end(), bytes_.get());
    }
    std::string_view view() const { return {bytes_.get(), size_}; }

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_;
};

bool showsNonFinite(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("nan") != std::string::npos || lower.find("inf") != std::string::npos;
}

bool soundText(std::string_view text) { return !text.empty() && !showsNonFinite(text); }

bool sound(const calc::single_rod::SingleRodOk &ok)
{
    return std::isfinite(ok.rx) && std::isfinite(ok.ro) && soundText(ok.rxText) &&
           soundText(ok.roText);
}
bool sound(const calc::two_rods::TwoRodsOk &ok)
{
    return std::isfinite(ok.hx) && std::isfinite(ok.bo) && soundText(ok.hxResultText) &&
           soundText(ok.boResultText);
}
bool sound(const calc::rod_height::RodHeightOk &ok)
{
    return std::isfinite(ok.x1) && std::isfinite(ok.x2) && soundText(ok.x1Text) &&
           soundText(ok.x2Text);
}
bool sound(const calc::strike_count::StrikeCountOk &ok)
{
    return std::isfinite(ok.count) && soundText(ok.countText);
}
template <class Refusal>
requires requires(const Refusal &refusal) { refusal.message; }
bool sound(const Refusal &refusal) { return soundText(refusal.message); }

template <class Outcome>
bool soundOutcome(const Outcome &outcome)
{
    return std::visit([](const auto &kind) { return sound(kind); }, outcome);
}

TEST(NumberProperty, EveryAcceptedTextConvertsToAFiniteValue)
{
    TextMaker maker(20240611);
    int accepted = 0;
    for (int i = 0; i < kCases; ++i) {
        const std::string text = i % 2 ? maker.junk() : maker.anyText();
        const ExactCopy copy(text);
        if (calc::isNumberText(copy.view())) {
            ++accepted;
            ASSERT_TRUE(std::isfinite(calc::numberFromText(copy.view()))) << '"' << text << '"';
        }
    }
    EXPECT_GT(accepted, kCases / 4); // the generator does reach the accepted forms
}

TEST(NumberProperty, OnlyValuesBeyondTheLargestDoubleFail)
{
    TextMaker maker(99);
    for (int i = 0; i < kCases; ++i) {
        std::string text = maker.extreme();
        const ExactCopy copy(text);
        const bool accepted = calc::isNumberText(copy.view());
        const double value = calc::numberFromText(copy.view());
        // The C library reads these texts as a number text does: the process keeps the "C"
        // locale, and each text holds the one exponent letter the library knows.
        std::replace(text.begin(), text.end(), 'd', 'e');
        const double expected = std::strtod(text.c_str(), nullptr);
        ASSERT_EQ(accepted, std::isfinite(expected)) << '"' << text << '"';
        if (accepted) {
            ASSERT_EQ(value, expected) << '"' << text << '"';
        }
    }
}

TEST(NumberProperty, AnyWrittenFormReadsAsTheNearestDouble)
{
    TextMaker maker(7);
    for (int i = 0; i < kCases; ++i) {
        const double x = maker.anyDouble();
        const auto format = i % 2 ? std::chars_format::fixed : std::chars_format::scientific;
        const std::string canonical = TextMaker::canonical(x, format);
        double expected = 0;
        std::from_chars(canonical.data(), canonical.data() + canonical.size(), expected, format);
        const std::string text = maker.rewrite(canonical);
        const ExactCopy copy(text);
        ASSERT_TRUE(calc::isNumberText(copy.view()))
            << '"' << text << "\" written for " << canonical;
        ASSERT_EQ(calc::numberFromText(copy.view()), expected)
            << '"' << text << "\" written for " << canonical;
    }
}

TEST(CalculationProperty, NoOutcomeCarriesANonFiniteNumberOrText)
{
    TextMaker maker(1234567);
    for (int i = 0; i < kCases / 2; ++i) { // four calculations each
        const std::string a = maker.anyText();
        const std::string b = maker.anyText();
        const std::string c = maker.anyText();
        const ExactCopy aCopy(a), bCopy(b), cCopy(c);
        const std::int16_t listIndex = maker.anyIndex();
        const std::int16_t cityIndex = maker.anyIndex();
        const auto style =
            i % 2 ? calc::ResultTextStyle::CutToFive : calc::ResultTextStyle::RoundToThree;
        const auto inputs = [&] {
            return testing::Message() << '"' << a << "\" \"" << b << "\" \"" << c << "\" "
                                      << listIndex << ' ' << cityIndex;
        };
        const std::string_view x = aCopy.view(), y = bCopy.view(), z = cCopy.view();
        ASSERT_TRUE(soundOutcome(calc::computeSingleRod(x, y, listIndex, style))) << inputs();
        ASSERT_TRUE(soundOutcome(calc::computeTwoRods(x, y, listIndex))) << inputs();
        ASSERT_TRUE(soundOutcome(calc::computeRodHeight(x, y, listIndex))) << inputs();
        ASSERT_TRUE(soundOutcome(calc::computeStrikeCount(x, y, z, listIndex, cityIndex)))
            << inputs();
    }
}

} // namespace
