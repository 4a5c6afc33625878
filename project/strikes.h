#pragma once

#include "calc/strike_rules.h"

#include <QString>
#include <QTextStream>

#include <optional>

// `lplayout --strikes FILE`: one line per building, in the order of each building's first part
// in the file: its name, Ae in km² (six decimals), N in strikes per year (four decimals), the
// class by strike count (2, 3 or none) and the group (important or ordinary), tab-separated.
namespace lplayout {

// What the command line gives in place of the file's values, or over them.
struct StrikeOptions {
    std::optional<double> thunderstormDays;
    std::optional<double> k;
    std::optional<calc::BuildingGroup> group; // for every building
};

// 0 when every building is reported; 2 with the reason on err, and nothing on out, when the
// file cannot be used, no thunderstorm days are known or a building cannot be measured.
int runStrikes(const QString &path, const StrikeOptions &options, QTextStream &out,
               QTextStream &err);

} // namespace lplayout
