#pragma once

#include "windows/window_id.h"

#include <QString>

#include <functional>
#include <variant>
#include <vector>

namespace windows {

// What a menu entry does when chosen.
namespace menu {
struct SwitchTo {
    WindowId target;
};
struct ShowBeside {
    WindowId target;
};
struct EndProgram {};
struct Nothing {};    // shown and enabled, does nothing
struct ThisWindow {}; // the window's own entry: shown disabled
using Action =
    std::variant<SwitchTo, ShowBeside, EndProgram, Nothing, ThisWindow, std::function<void()>>;

struct Entry {
    const char *name;
    QString caption;
    Action action;
};
// A menu of entries, or, with no entries, a command on the menu bar itself.
struct BarItem {
    const char *name;
    QString caption;
    std::vector<Entry> entries;
    Action command = Nothing{};
};
} // namespace menu

// The menu bar of each calculation window, in one table: menu and entry
// names, captions and what each entry does. The About window has none.
std::vector<menu::BarItem> menuBarOf(WindowId id);

} // namespace windows
