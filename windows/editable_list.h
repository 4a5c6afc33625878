#pragma once

#include <QComboBox>

// The drop-down lists of the windows.
namespace windows {

// A drop-down list whose text part can be typed into. Typing leaves no entry
// selected (index -1) until the user picks one or the program sets one; typed
// text is never added as an entry, never completed into one and never
// matched to one, not even when it equals an entry's text. Whenever the list
// is not being typed into, its text part shows the start of its text.
class EditableList : public QComboBox {
    Q_OBJECT
public:
    explicit EditableList(QWidget *parent);

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void textTyped(const QString &text);
};

// The protection-class list's entries, "3类 hr=60米" first.
QStringList protectionClassEntries();

} // namespace windows
