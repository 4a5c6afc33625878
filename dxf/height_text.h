#pragma once

#include <QString>

#include <optional>

// Texts that give a building's height or its storeys, as site plans write them:
// - metres: "H=18m", "h=18.0", "18m", "18米", "高18米", "建筑高度18m", and a number with a
//   decimal point ("18.0");
// - storeys: "6F", "6层", "6/-1" (six above ground, one below), "18+1F" (eighteen and one on top);
// - a bare whole number ("6"), which the site-plan drawing standard makes the storey count, or
//   metres in drawings that use it so.
namespace dxf {

struct HeightText {
    enum class Kind { Metres, Storeys, Bare };
    Kind kind = Kind::Metres;
    double value = 0; // metres, or the storey count for Storeys and Bare
};

std::optional<HeightText> readHeightText(const QString &text);

// How storeys become metres: storeys × storey height + parapet.
struct HeightRules {
    double storeyHeight = 3.0;
    double parapet = 1.2;
    bool bareMetres = false; // a bare whole number is metres, not storeys

    // Metres, or none when the value lies beyond what a building can be (above 0, up to the
    // layout's highest, up to 200 storeys).
    std::optional<double> metres(const HeightText &h) const;
};

// The limits of the rules' own values, for the command line and the dialog.
inline constexpr double kMaxStoreyHeight = 20;
inline constexpr double kMaxParapet = 20;
inline constexpr int kMaxStoreys = 200;

} // namespace dxf
