#pragma once

#include "windows/rod_window.h"

namespace calc {
enum class ResultTextStyle;
}

namespace windows {

// The start-up window: protection radii rx and ro of one lightning rod.
// Text1 is hx, Text2 h; Label8 shows rx, Label9 ro.
class SingleRodWindow : public RodWindow {
    Q_OBJECT
public:
    explicit SingleRodWindow(WindowSet &set);

protected:
    bool fieldKeyDown(InputField *field, int keyCode) override;
    void enterPressed(InputField *field) override;
    void computeClicked() override;
    void clearClicked() override;

private:
    // Runs the calculation and shows its outcome; the styles differ in the
    // result texts and in how an object taller than the rod is shown.
    void calculate(calc::ResultTextStyle style);
    void setRxColour(unsigned bgr);
};

} // namespace windows
