#pragma once

#include "windows/shell.h"

class QLabel;
class QPushButton;

namespace calc {
enum class ResultTextStyle;
}

namespace windows {

class EditableList;
class InputField;
class TextBoxLink;

// The start-up window: protection radii rx and ro of one lightning rod.
class SingleRodWindow : public CalcWindow {
    Q_OBJECT
public:
    SingleRodWindow();

protected:
    void activationStep() override;

private:
    struct Inputs {
        InputField *hx = nullptr;          // Text1
        InputField *h = nullptr;           // Text2
        EditableList *classList = nullptr; // Combo1
    };
    struct Results {
        QLabel *rx = nullptr; // Label8
        QLabel *ro = nullptr; // Label9
    };

    void buildControls();
    void buildMenus();

    void computeClicked();
    bool inputKeyDown(InputField *field, int keyCode);
    void enterPressed(InputField *field);
    // Runs the calculation and shows its outcome; the styles differ in the
    // result texts and in how an object taller than the rod is shown.
    void calculate(calc::ResultTextStyle style);
    void limitReset(const QString &message);
    void clear();

    Inputs inputs_;
    Results results_;
    CommandButtons buttons_;      // Command1..Command3
    TextBoxLink *link_ = nullptr; // Text3
};

} // namespace windows
