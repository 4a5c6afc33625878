#include "windows/editable_list.h"

#include "calc/numeric.h"
#include "windows/captions.h"

#include <QFocusEvent>
#include <QLineEdit>

namespace windows {

EditableList::EditableList(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    // Out of the box, Enter and the focus leaving select the entry whose text
    // equals the typed text; a typed text must stay no entry at all. The
    // line edit still passes Enter on to the window.
    QObject::disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
    QObject::disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, &EditableList::textTyped);
    // A narrow list shows the start of its entry, not the end.
    connect(this, &QComboBox::currentIndexChanged, this, [this] { lineEdit()->home(false); });
}

void EditableList::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    // Typing leaves the text scrolled to its end. The list's own drop-down and
    // a switch to another application keep the user's place.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        lineEdit()->home(false);
}

void EditableList::textTyped(const QString &text)
{
    if (currentIndex() == -1) return;
    // Leaving the entry clears the text part; put the typed text back.
    const int cursor = lineEdit()->cursorPosition();
    setCurrentIndex(-1);
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(cursor);
}

QStringList protectionClassEntries()
{
    QStringList entries;
    for (std::string_view entry : calc::kProtectionClassEntries) entries << toQString(entry);
    return entries;
}

} // namespace windows
