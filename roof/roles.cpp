#include "roof/roles.h"

namespace calc::roof {

std::string_view roleName(Role role)
{
    switch (role) {
    case Role::Rod:
        return "避雷针";
    case Role::Tape:
        return "接闪带";
    case Role::Mesh:
        return "接闪网";
    case Role::DownConductor:
        return "引下线";
    case Role::Wire:
        break;
    }
    return "避雷线";
}

} // namespace calc::roof
