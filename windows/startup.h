#pragma once

namespace windows {

// Creates the single-rod window, the program's start-up window, and shows it.
void showStartWindow();

} // namespace windows
