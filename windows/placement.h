#pragma once

class QWidget;

namespace windows {

// Centres a window's outer size on the screen: part of every load step. The
// frame's size is known only once the window manager has framed the shown
// window, so the window is centred again by its outer size as soon as that
// is known.
void centreOnScreen(QWidget *window);

} // namespace windows
