#include "windows/control_factory.h"

#include "windows/captions.h"
#include "windows/colours.h"
#include "windows/decor_line.h"
#include "windows/editable_list.h"
#include "windows/input_field.h"
#include "windows/links.h"
#include "windows/result_label.h"

#include <QPushButton>

#include <algorithm>

namespace windows {

namespace {

void place(QWidget *control, QWidget *client, const char *name, Twips at)
{
    control->setParent(client);
    control->setObjectName(QString::fromUtf8(name));
    control->setGeometry(pixelRect(at));
}

// The design's look of a label: its caption as wrapped plain text, its font,
// colour on black and tool tip.
void dressLabel(QLabel *label, QWidget *client, const char *name, Twips at, const QString &caption,
                const QFont &font, QColor colour, const QString &toolTip, Qt::Alignment horizontal)
{
    place(label, client, name, at);
    label->setTextFormat(Qt::PlainText);
    label->setText(caption);
    label->setAlignment(horizontal | Qt::AlignTop);
    label->setWordWrap(true);
    label->setFont(font);
    label->setToolTip(toolTip);
    setColours(label, colour, bgrColour(colour::kBlack));
}

} // namespace

InputField *makeInputField(QWidget *client, const char *name, Twips at, const QFont &font)
{
    auto *field = new InputField(client);
    place(field, client, name, at);
    field->setFont(font);
    setColours(field, bgrColour(colour::kWhite), bgrColour(colour::kDarkTeal));
    return field;
}

EditableList *makeEditableList(QWidget *client, const char *name, Twips at, const QFont &font,
                               const QStringList &entries)
{
    auto *list = new EditableList(client);
    place(list, client, name, at);
    list->setFont(font);
    list->addItems(entries);
    setColours(list, bgrColour(colour::kWhite), bgrColour(colour::kDarkTeal));
    return list;
}

QLabel *makeLabel(QWidget *client, const char *name, Twips at, const QString &caption,
                  const QFont &font, QColor colour, const QString &toolTip)
{
    auto *label = new QLabel(client);
    dressLabel(label, client, name, at, caption, font, colour, toolTip, Qt::AlignLeft);
    return label;
}

ResultLabel *makeResultLabel(QWidget *client, const char *name, Twips at, const QString &caption,
                             const QFont &font, QColor colour, const QString &toolTip)
{
    auto *label = new ResultLabel(client);
    dressLabel(label, client, name, at, caption, font, colour, toolTip, Qt::AlignHCenter);
    return label;
}

LinkLabel *makeLinkLabel(QWidget *client, const char *name, Twips at, const QString &caption,
                         const QFont &font, QColor colour, const QString &toolTip)
{
    auto *label = new LinkLabel(client);
    dressLabel(label, client, name, at, caption, font, colour, toolTip, Qt::AlignLeft);
    return label;
}

TextBoxLink *makeTextBoxLink(QWidget *client, const char *name, Twips at, const QString &text,
                             const QFont &font, QColor colour, const QString &toolTip)
{
    auto *link = new TextBoxLink(client);
    place(link, client, name, at);
    link->setText(text);
    link->setCursorPosition(0);
    link->setFont(font);
    link->setToolTip(toolTip);
    setColours(link, colour, bgrColour(colour::kBlack));
    return link;
}

QPushButton *makeButton(QWidget *client, const char *name, Twips at, const QString &caption,
                        const QFont &font)
{
    auto *button = new QPushButton(caption, client);
    place(button, client, name, at);
    button->setFont(font);
    button->setAccessibleName(spokenText(caption));
    button->setAutoDefault(true);
    return button;
}

DecorLine *makeLine(QWidget *client, const char *name, int x1, int y1, int x2, int y2,
                    QColor colour)
{
    auto *line = new DecorLine(client);
    const int left = pixels(std::min(x1, x2));
    const int top = pixels(std::min(y1, y2));
    line->setParent(client);
    line->setObjectName(QString::fromUtf8(name));
    line->setGeometry(left, top, pixels(std::max(x1, x2)) - left + 1,
                      pixels(std::max(y1, y2)) - top + 1);
    setTextColour(line, colour);
    return line;
}

void chainTabOrder(std::initializer_list<QWidget *> controls)
{
    QWidget *previous = nullptr;
    for (QWidget *control : controls) {
        if (previous) QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

} // namespace windows
