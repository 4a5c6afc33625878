// Feeds arbitrary texts and list indices to the number rules and to all four calculations.
// Input layout: two bytes read as signed list indices, then up to three texts separated by
// '\n'. Any text accepted as a number must convert to a finite value, and no outcome may
// carry a non-finite number, an empty message or a text showing "nan" or "inf".
#include "calc/numeric.h"
#include "calc/rod_height.h"
#include "calc/single_rod.h"
#include "calc/strike_count.h"
#include "calc/two_rods.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

namespace {

void require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool soundText(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return !lower.empty() && lower.find("nan") == std::string::npos &&
           lower.find("inf") == std::string::npos;
}

void check(const calc::single_rod::SingleRodOk &ok)
{
    require(std::isfinite(ok.rx) && std::isfinite(ok.ro), "single rod radius not finite");
    require(soundText(ok.rxText) && soundText(ok.roText), "single rod text");
}
void check(const calc::two_rods::TwoRodsOk &ok)
{
    require(std::isfinite(ok.hx) && std::isfinite(ok.bo), "two rods result not finite");
    require(soundText(ok.hxResultText) && soundText(ok.boResultText), "two rods text");
}
void check(const calc::rod_height::RodHeightOk &ok)
{
    require(std::isfinite(ok.x1) && std::isfinite(ok.x2), "rod height not finite");
    require(soundText(ok.x1Text) && soundText(ok.x2Text), "rod height text");
}
void check(const calc::strike_count::StrikeCountOk &ok)
{
    require(std::isfinite(ok.count), "strike count not finite");
    require(soundText(ok.countText), "strike count text");
}
template <class Refusal>
requires requires(const Refusal &refusal) { refusal.message; }
void check(const Refusal &refusal) { require(soundText(refusal.message), "message"); }

template <class Outcome>
void checkOutcome(const Outcome &outcome)
{
    std::visit([](const auto &kind) { check(kind); }, outcome);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2) return 0;
    const auto first = static_cast<std::int16_t>(static_cast<std::int8_t>(data[0]));
    const auto second = static_cast<std::int16_t>(static_cast<std::int8_t>(data[1]));
    std::string_view rest(reinterpret_cast<const char *>(data + 2), size - 2);
    std::array<std::string_view, 3> texts{};
    for (std::string_view &text : texts) {
        const std::size_t end = rest.find('\n');
        text = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }

    for (std::string_view text : texts) {
        if (!calc::isNumberText(text)) continue;
        const double x = calc::numberFromText(text);
        require(std::isfinite(x), "accepted text converts to a non-finite value");
        require(soundText(calc::standardText(x)) && soundText(calc::cutResultText(x)),
                "standard text");
    }

    const auto style =
        size % 2 ? calc::ResultTextStyle::CutToFive : calc::ResultTextStyle::RoundToThree;
    checkOutcome(calc::computeSingleRod(texts[0], texts[1], first, style));
    checkOutcome(calc::computeTwoRods(texts[0], texts[1], first));
    checkOutcome(calc::computeRodHeight(texts[0], texts[1], first));
    checkOutcome(calc::computeStrikeCount(texts[0], texts[1], texts[2], first, second));
    return 0;
}
