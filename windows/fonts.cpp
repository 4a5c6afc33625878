#include "windows/fonts.h"

#include <QApplication>
#include <QFont>

namespace windows {

void mapFontFamilies()
{
    if (!rendering::mapDesignFamilies()) return;
    // Menus and message boxes in the desktop face of a Chinese system. It is
    // the face the windows load anyway, so start-up opens no extra font file.
    QApplication::setFont(designFont(kSongTi, 9, false));
}

} // namespace windows
