#pragma once

#include "windows/rod_window.h"

namespace windows {

// The two rod heights x1 and x2 at which one rod just covers an object of
// height hx at a given distance. Text1 is hx, Text2 the distance; Label8
// shows x1, Label9 x2. It calculates from its button only, has no key of its
// own but F10 on the class list, and leaves the focus where the user left it
// when it is shown again.
class RodHeightWindow : public RodWindow {
    Q_OBJECT
public:
    explicit RodHeightWindow(WindowSet &set);

protected:
    void computeClicked() override;

private:
    void rootReset(const std::string &message);
};

} // namespace windows
