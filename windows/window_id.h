#pragma once

// The program's windows, and the object name each one carries.
namespace windows {

// Sheet and Help are companions of the calculation windows: shown beside
// them, never counted as one of them.
enum class WindowId { SingleRod, TwoRods, RodHeight, StrikeCount, About, Sheet, Help };

constexpr const char *formName(WindowId id)
{
    switch (id) {
    case WindowId::SingleRod:
        return "Form1";
    case WindowId::TwoRods:
        return "Form2";
    case WindowId::RodHeight:
        return "Form3";
    case WindowId::StrikeCount:
        return "Form4";
    case WindowId::About:
        return "Form5";
    case WindowId::Sheet:
        return "SheetWindow";
    case WindowId::Help:
        return "HelpWindow";
    }
    return "";
}

} // namespace windows
