#pragma once

#include "windows/shell.h"

class QLabel;
class QPushButton;

namespace windows {

class EditableList;
class InputField;
class LinkLabel;

// The caption the compute button shows for an hx result text: "0" put before
// a text that starts with the point (".5387" shows as "0.5387"); any other
// text, including one cut inside its exponent ("1.5E-"), as it is.
QString hxCaptionWithLeadingZero(const QString &hxText);

// Joint protection of two rods of equal height: hx midway between them and
// bo on the ground. Hands the user over to the single-rod window when the
// rods stand too far apart.
class TwoRodsWindow : public CalcWindow {
    Q_OBJECT
public:
    TwoRodsWindow();

protected:
    void activationStep() override;

private:
    struct Inputs {
        InputField *h = nullptr;           // Text1
        InputField *d = nullptr;           // Text2
        EditableList *classList = nullptr; // Combo1
    };
    struct Results {
        QLabel *hx = nullptr; // Label8
        QLabel *bo = nullptr; // Label9
    };
    enum class Path { Button, Enter };

    void buildControls();
    void buildMenus();

    bool inputKeyDown(InputField *field, int keyCode);
    void enterPressed(InputField *field);
    // Runs the calculation and shows its outcome; the paths differ only in
    // how an hx below 1 is shown.
    void calculate(Path path);
    void handOver(const QString &message);
    void backToSingleRod();
    void clear();

    Inputs inputs_;
    Results results_;
    CommandButtons buttons_;    // Command1..Command3
    LinkLabel *link_ = nullptr; // Label11
};

} // namespace windows
