#pragma once

#include "windows/shell.h"

#include <string>

class QLabel;
class QPushButton;

namespace windows {

class EditableList;
class InputField;
class LinkLabel;

// The two rod heights x1 and x2 at which one rod just covers an object of
// height hx at a given distance. It calculates from its button only, has no
// key of its own but F10 on the class list, and leaves the focus where the
// user left it when it is shown again.
class RodHeightWindow : public CalcWindow {
    Q_OBJECT
public:
    RodHeightWindow();

private:
    struct Inputs {
        InputField *hx = nullptr;          // Text1
        InputField *distance = nullptr;    // Text2
        EditableList *classList = nullptr; // Combo1
    };
    struct Results {
        QLabel *x1 = nullptr; // Label8
        QLabel *x2 = nullptr; // Label9
    };

    void buildControls();
    void buildMenus();

    void calculate();
    void reportAt(const std::string &message, InputField *field);
    void limitReset(const QString &message);
    void rootReset(const QString &message);
    void clear();

    Inputs inputs_;
    Results results_;
    CommandButtons buttons_;    // Command1..Command3
    LinkLabel *link_ = nullptr; // Label11
};

} // namespace windows
