#include "windows/program.h"

#include "windows/about_window.h"
#include "windows/fonts.h"
#include "windows/help_window.h"
#include "windows/rod_height_window.h"
#include "windows/sheet_readying.h"
#include "windows/sheet_window.h"
#include "windows/single_rod_window.h"
#include "windows/strike_count_window.h"
#include "rendering/translation.h"
#include "windows/two_rods_window.h"
#include "windows/window_set.h"

namespace windows {

namespace {

template <class Window>
WindowSet::Factory windowOfSet()
{
    return [](WindowSet &set) -> QWidget * { return new Window(set); };
}

// The program's windows; a new window is one more line here.
void registerWindows(WindowSet &set)
{
    set.registerWindow(WindowId::SingleRod, windowOfSet<SingleRodWindow>());
    set.registerWindow(WindowId::TwoRods, windowOfSet<TwoRodsWindow>());
    set.registerWindow(WindowId::RodHeight, windowOfSet<RodHeightWindow>());
    set.registerWindow(WindowId::StrikeCount, windowOfSet<StrikeCountWindow>());
    set.registerWindow(WindowId::About, [](WindowSet &) -> QWidget * { return new AboutWindow; });
    set.registerWindow(WindowId::Sheet, windowOfSet<SheetWindow>());
    set.registerWindow(WindowId::Help, [](WindowSet &) -> QWidget * { return new HelpWindow; });
}

} // namespace

std::unique_ptr<WindowSet> startProgram()
{
    mapFontFamilies();
    rendering::loadQtChineseTexts();
    auto set = std::make_unique<WindowSet>();
    registerWindows(*set);
    set->showBeside(WindowId::SingleRod);
    startSheetReadying(*set);
    return set;
}

} // namespace windows
