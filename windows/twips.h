#pragma once

class QRect;

// Geometry as the design writes it: twips, 1/1440 inch.
namespace windows {

// A position and size in twips (left, top, width, height).
struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// 15 twips make one device-independent pixel (96 dots per inch).
inline constexpr int kTwipsPerPixel = 15;
int pixels(int twips);
QRect pixelRect(Twips r);

} // namespace windows
