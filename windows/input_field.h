#pragma once

#include <QLineEdit>

#include <string>

// The numeric input field and the focus moves every window makes with it.
namespace windows {

// A numeric input field: selects its whole text whenever it receives the
// focus, by mouse, Tab or program. The focus coming back with its window (from
// another application or a message box) or from the menus leaves the
// selection as it was.
class InputField : public QLineEdit {
    Q_OBJECT
public:
    explicit InputField(QWidget *parent);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    bool focusedByThisPress_ = false;
};

// Puts the selection start at 0 and the selection length at the length of the
// field's text, so that the next key typed replaces the whole text.
void selectWholeText(QLineEdit *field);

// Gives `field` the keyboard focus and selects its whole text.
void focusAndSelect(QLineEdit *field);

// The field's text as the calculations read it (UTF-8).
std::string fieldText(const QLineEdit *field);

} // namespace windows
