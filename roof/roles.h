#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// What part each conductor of a layout plays in the roof network, found from its place alone.
namespace calc::roof {

enum class Role {
    Rod,           // 避雷针
    Tape,          // 接闪带: a roof conductor along the roof's edge
    Mesh,          // 接闪网: any other roof conductor
    DownConductor, // 引下线
    Wire,          // 避雷线: any other wire
};

// "避雷针", "接闪带", "接闪网", "引下线" or "避雷线".
std::string_view roleName(Role role);

struct ConductorRole {
    Role role = Role::Wire;
    // For a roof conductor or a down conductor: its building (an index into the site's
    // buildings) and the roof it belongs to or comes down from (an index into that building's
    // roofs).
    std::optional<std::size_t> building = {};
    std::optional<std::size_t> roof = {};
};

} // namespace calc::roof
