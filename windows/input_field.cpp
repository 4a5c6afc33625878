#include "windows/input_field.h"

#include <QFocusEvent>
#include <QMouseEvent>

#include <utility>

namespace windows {

InputField::InputField(QWidget *parent) : QLineEdit(parent) {}

void InputField::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    switch (event->reason()) {
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        return;
    case Qt::MouseFocusReason:
        // The press that follows would put the caret where the mouse is.
        focusedByThisPress_ = true;
        [[fallthrough]];
    default:
        selectWholeText(this);
    }
}

void InputField::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    if (std::exchange(focusedByThisPress_, false)) selectWholeText(this);
}

void selectWholeText(QLineEdit *field) { field->setSelection(0, int(field->text().size())); }

void focusAndSelect(QLineEdit *field)
{
    field->setFocus(Qt::OtherFocusReason);
    selectWholeText(field);
}

std::string fieldText(const QLineEdit *field) { return field->text().toStdString(); }

} // namespace windows
