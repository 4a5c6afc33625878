#pragma once

#include "windows/rod_window.h"

namespace windows {

// Joint protection of two rods of equal height: hx midway between them and
// bo on the ground. Text1 is h, Text2 D; Label8 shows hx, Label9 bo. Hands
// the user over to the single-rod window when the rods stand too far apart.
class TwoRodsWindow : public RodWindow {
    Q_OBJECT
public:
    explicit TwoRodsWindow(WindowSet &set);

protected:
    void enterPressed(InputField *field) override;
    void computeClicked() override;

private:
    enum class Path { Button, Enter };

    // Runs the calculation and shows its outcome; the paths differ only in
    // how an hx below 1 is shown.
    void calculate(Path path);
    void handOver(const std::string &message);
};

} // namespace windows
