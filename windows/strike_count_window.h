#pragma once

#include "windows/calc_window.h"

#include <QColor>

#include <array>

class QLabel;
class QPushButton;

namespace windows {

class Clock;
class EditableList;
class InputField;
class LinkLabel;

// Expected yearly number of lightning strikes on a building, with a running
// clock. Enter anywhere runs the calculation through the default button; the
// window has no key handlers and no activation step of its own.
class StrikeCountWindow : public CalcWindow {
    Q_OBJECT
public:
    explicit StrikeCountWindow(WindowSet &set);

protected:
    SheetMaker sheetOfInputs() const override;

private:
    struct Inputs {
        std::array<InputField *, 3> dimensions{}; // Text1_0..Text1_2: length, width, height
        EditableList *setting = nullptr;          // Combo1
        EditableList *city = nullptr;             // Combo2
    };
    struct Header {
        LinkLabel *name = nullptr;    // Label11
        LinkLabel *address = nullptr; // Label12
        LinkLabel *clock = nullptr;   // Label5
    };

    void buildHeader();
    void buildInputs();
    void buildButtons();

    void calculate();
    void clear();
    // The result label in one of its states; always underlined and centred.
    void showResult(const QString &caption, QColor colour, qreal points);

    Inputs inputs_;
    CommandButtons buttons_; // Command1, 清除, Command3
    Header header_;
    QLabel *result_ = nullptr; // Label2_1
    Clock *clock_ = nullptr;
};

} // namespace windows
