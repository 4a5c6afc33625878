#pragma once

#include <memory>

namespace windows {

class WindowSet;

// Starts the calculator once a QApplication exists: maps the design's fonts,
// loads Qt's Chinese texts, makes the window set with every window of the
// program registered, shows the single-rod window, the start window, and
// readies the sheet window's first opening once the program is idle.
// Deleting the returned set deletes the program's windows.
std::unique_ptr<WindowSet> startProgram();

} // namespace windows
