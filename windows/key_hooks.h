#pragma once

#include <functional>

class QKeyEvent;
class QWidget;

// The keys the windows react to, and hooks that see them before a control.
namespace windows {

// keyCode() maps Return and the keypad's Enter to 13, F2 to 113, F10 to 121
// and every other key to 0.
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyF2 = 113;
inline constexpr int kKeyF10 = 121;
int keyCode(const QKeyEvent &event);

// Calls `handler` with keyCode() for every key pressed down while `control`
// has the focus, before the control itself sees the key; the handler returns
// true to swallow the key. Tab and Shift+Tab only move the focus and are not
// reported. The hook lives as long as the control.
using KeyDownHandler = std::function<bool(int keyCode)>;
void onKeyDown(QWidget *control, KeyDownHandler handler);

} // namespace windows
