#pragma once

#include "windows/calc_window.h"
#include "windows/twips.h"

#include "sheets/sheet.h"

#include <QColor>

#include <cstdint>
#include <optional>
#include <string>

class QLabel;

namespace windows {

class EditableList;
class InputField;
class ResultLabel;

// The caption of an input field: Label1 or Label5, 1920 twips from the top.
struct FieldCaption {
    const char *name;
    int height; // twips
    QString text;
};

// A result: Label8 (first) or Label9 under the caption Label3 or Label4, 3000
// twips from the top.
struct ResultDesign {
    QString caption;
    int captionWidth; // twips
    QString captionTip;
    unsigned colour; // &HBBGGRR
    QString tip;
};

// Where F2 takes the user from a rod window that uses it.
struct F2Switch {
    WindowId target;
    bool hideFirst; // hide this window before the target shows
};

// What sets one rod window apart from the other two.
struct RodWindowDesign {
    WindowId id;
    QString title;
    QString heading; // Label6, 840 twips from the top
    int headingLeft;
    int headingWidth;
    int lineRight; // where Line1 ends, in twips
    // The single-rod window's link is a read-only text box Text3 that the Tab
    // key reaches; the others' is a label Label11.
    bool linkIsTextBox;
    FieldCaption first;  // of Text1
    FieldCaption second; // of Text2
    ResultDesign firstResult;
    ResultDesign secondResult;
    // With F2, Enter and F2 in a field go to enterPressed() and the F2 switch,
    // and F2 on the class list and the buttons switches too. Without it the
    // fields keep every key.
    std::optional<F2Switch> f2;
    // Whether the window's activation step puts the focus in Text1 with its
    // whole text selected.
    bool focusFirstOnActivation;
    // The window's calculation sheet from Text1, Text2 and the class index.
    calc::sheet::Sheet (*sheet)(std::string_view, std::string_view, std::int16_t, std::string);
};

// The skeleton of the single-rod, two-rod and rod-height windows: client
// size, link and red line, heading, the two input fields Text1 and Text2, the
// protection-class list Combo1 under Label2 "防雷类别", the two results, the
// buttons Command1 "计  算", Command2 "清  除" and Command3 "退  出", tab
// order, the keys F2 and F10 and the shared resets. A window adds its menus
// and its handlers.
class RodWindow : public CalcWindow {
    Q_OBJECT
public:
    RodWindow(WindowSet &set, const RodWindowDesign &design);

protected:
    struct Inputs {
        InputField *first = nullptr;       // Text1
        InputField *second = nullptr;      // Text2
        EditableList *classList = nullptr; // Combo1
    };
    struct Results {
        ResultLabel *first = nullptr;  // Label8
        ResultLabel *second = nullptr; // Label9
    };

    void activationStep() override;
    SheetMaker sheetOfInputs() const override;

    // A key pressed down in an input field of a window with F2; true
    // swallows it. Enter goes to enterPressed(), F2 switches.
    virtual bool fieldKeyDown(InputField *field, int keyCode);
    virtual void enterPressed(InputField *) {}
    // The compute button.
    virtual void computeClicked() = 0;
    // The clear button.
    virtual void clearClicked();

    // The shared responses to an outcome.
    void reportAt(const std::string &message, InputField *field); // stop box, focus and select
    void limitReset(const std::string &message);                  // notice, everything reset
    // A notice, then both fields emptied and the results shown as given.
    void noticeReset(const std::string &message, const QString &first, const QString &second);
    void showResults(const QString &first, const QString &second);
    void clearInputs();

    InputField *otherField(InputField *field) const;
    // The class list's index as the calculations take it (-1 after typing).
    std::int16_t classIndex() const;

    Inputs inputs_;
    Results results_;
    CommandButtons buttons_; // Command1..Command3
    QWidget *link_ = nullptr;

private:
    void buildControls(const RodWindowDesign &design);
    void buildLink(const RodWindowDesign &design);
    void hookKeys();
    void f2Pressed();

    std::optional<F2Switch> f2_;
    bool focusFirstOnActivation_;
    decltype(RodWindowDesign::sheet) sheet_;
};

} // namespace windows
