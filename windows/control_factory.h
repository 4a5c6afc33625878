#pragma once

#include "windows/twips.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <initializer_list>

class QFont;
class QLabel;
class QPushButton;
class QWidget;

// Makes the design's controls. Each factory makes a child of `client`, names
// it, places it in twips and gives it its font and colours on the black
// window background.
namespace windows {

class DecorLine;
class EditableList;
class InputField;
class LinkLabel;
class ResultLabel;
class TextBoxLink;

InputField *makeInputField(QWidget *client, const char *name, Twips at, const QFont &font);
EditableList *makeEditableList(QWidget *client, const char *name, Twips at, const QFont &font,
                               const QStringList &entries);
// A label that wraps its caption within its width, as the design's labels do.
QLabel *makeLabel(QWidget *client, const char *name, Twips at, const QString &caption,
                  const QFont &font, QColor colour, const QString &toolTip = {});
// A result label: as makeLabel, with the text centred.
ResultLabel *makeResultLabel(QWidget *client, const char *name, Twips at, const QString &caption,
                             const QFont &font, QColor colour, const QString &toolTip = {});
LinkLabel *makeLinkLabel(QWidget *client, const char *name, Twips at, const QString &caption,
                         const QFont &font, QColor colour, const QString &toolTip = {});
TextBoxLink *makeTextBoxLink(QWidget *client, const char *name, Twips at, const QString &text,
                             const QFont &font, QColor colour, const QString &toolTip = {});
// A button; Enter or Space pressed on it clicks it, as on the design's desktop.
// Assistive tools read its caption in the spoken form.
QPushButton *makeButton(QWidget *client, const char *name, Twips at, const QString &caption,
                        const QFont &font);
// A line from (x1, y1) to (x2, y2) in twips; horizontal or vertical.
DecorLine *makeLine(QWidget *client, const char *name, int x1, int y1, int x2, int y2,
                    QColor colour);

// Sets the tab order of the controls that take the focus, first to last.
void chainTabOrder(std::initializer_list<QWidget *> controls);

} // namespace windows
