#pragma once

#include "windows/program.h"
#include "windows/window_set.h"

#include <QTest>

#include <cstdio>
#include <memory>

// Starts the calculator as its main() does and waits until the single-rod
// window is on screen; null, with the reason on standard error, when it never
// shows.
inline std::unique_ptr<windows::WindowSet> startShownProgram()
{
    auto set = windows::startProgram();
    if (!QTest::qWaitForWindowExposed(set->window(windows::WindowId::SingleRod))) {
        std::fprintf(stderr, "the single-rod window was never shown\n");
        return nullptr;
    }
    return set;
}
