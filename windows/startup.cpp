#include "windows/startup.h"

#include "windows/shell.h"

namespace windows {

void showStartWindow()
{
    if (QWidget *start = window(WindowId::SingleRod)) {
        start->show();
        start->raise();
        start->activateWindow();
    }
}

} // namespace windows
