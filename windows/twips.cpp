#include "windows/twips.h"

#include <QRect>

namespace windows {

int pixels(int twips) { return qRound(double(twips) / kTwipsPerPixel); }

QRect pixelRect(Twips r)
{
    return {pixels(r.left), pixels(r.top), pixels(r.width), pixels(r.height)};
}

} // namespace windows
