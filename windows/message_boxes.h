#pragma once

#include "rendering/branding.h"

#include <QString>

class QWidget;

// The program's modal boxes.
namespace windows {

// A box with a single OK button. A stop box carries the error icon and the
// program title unless the caller names its own title; a notice has no icon.
void showStopBox(QWidget *parent, const QString &text,
                 const QString &title = rendering::programTitle());
void showNotice(QWidget *parent, const QString &text);

// "真的要退出系统？" with Yes (the default) and No, no icon; true for Yes.
bool confirmExit(QWidget *parent);

} // namespace windows
