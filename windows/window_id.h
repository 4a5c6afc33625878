#pragma once

// The program's windows, and the object name each one carries.
namespace windows {

enum class WindowId { SingleRod, TwoRods, RodHeight, StrikeCount, About };

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
    }
    return "";
}

} // namespace windows
