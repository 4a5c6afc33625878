#include "windows/widgets.h"

#include <QFocusEvent>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRect>
#include <QStringList>

#include <utility>

namespace windows {

int pixels(int twips)
{
    return qRound(double(twips) / kTwipsPerPixel);
}

QRect pixelRect(Twips r)
{
    return {pixels(r.left), pixels(r.top), pixels(r.width), pixels(r.height)};
}

QColor bgrColour(unsigned value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QColor textColour(const QWidget *control)
{
    return control->palette().color(control->foregroundRole());
}

void setTextColour(QWidget *control, QColor colour)
{
    QPalette palette = control->palette();
    palette.setColor(control->foregroundRole(), colour);
    control->setPalette(palette);
}

QFont designFont(const char *family, qreal points, bool bold, bool underline)
{
    QFont font(QString::fromUtf8(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

int keyCode(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kKeyEnter;
    case Qt::Key_F2:
        return kKeyF2;
    case Qt::Key_F10:
        return kKeyF10;
    default:
        return 0;
    }
}

namespace {

class KeyDownHook : public QObject {
public:
    KeyDownHook(QWidget *control, KeyDownHandler handler)
        : QObject(control), handler_(std::move(handler))
    {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return false;
        return handler_(keyCode(*key));
    }

private:
    KeyDownHandler handler_;
};

void place(QWidget *control, QWidget *client, const char *name, Twips at)
{
    control->setParent(client);
    control->setObjectName(QString::fromUtf8(name));
    control->setGeometry(pixelRect(at));
}

void setColours(QWidget *control, QColor text, QColor background)
{
    QPalette palette = control->palette();
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, text);
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, background);
    control->setPalette(palette);
}

} // namespace

void onKeyDown(QWidget *control, KeyDownHandler handler)
{
    new KeyDownHook(control, std::move(handler));
}

void selectWholeText(QLineEdit *field)
{
    field->setSelection(0, int(field->text().size()));
}

void focusAndSelect(QLineEdit *field)
{
    field->setFocus(Qt::OtherFocusReason);
    selectWholeText(field);
}

void chainTabOrder(std::initializer_list<QWidget *> controls)
{
    QWidget *previous = nullptr;
    for (QWidget *control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

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
    if (std::exchange(focusedByThisPress_, false))
        selectWholeText(this);
}

EditableList::EditableList(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, &EditableList::textTyped);
    // A narrow list shows the start of its entry, not the end.
    connect(this, &QComboBox::currentIndexChanged, this, [this] { lineEdit()->home(false); });
}

void EditableList::textTyped(const QString &text)
{
    if (currentIndex() == -1)
        return;
    // Leaving the entry clears the text part; put the typed text back.
    const int cursor = lineEdit()->cursorPosition();
    setCurrentIndex(-1);
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(cursor);
}

LinkLabel::LinkLabel(QWidget *parent) : QLabel(parent)
{
    setMouseTracking(true);
}

void LinkLabel::mouseMoveEvent(QMouseEvent *event)
{
    QLabel::mouseMoveEvent(event);
    emit mouseMoved();
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (std::exchange(pressed_, false) && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        emit clicked();
}

TextBoxLink::TextBoxLink(QWidget *parent) : QLineEdit(parent)
{
    setReadOnly(true);
    setFrame(false);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    setContextMenuPolicy(Qt::NoContextMenu);
    setFocusPolicy(Qt::TabFocus);
}

void TextBoxLink::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved();
    event->accept();
}

void TextBoxLink::mousePressEvent(QMouseEvent *event)
{
    // No caret and no selection: the box only stands for the link.
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void TextBoxLink::mouseReleaseEvent(QMouseEvent *event)
{
    if (std::exchange(pressed_, false) && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        emit clicked();
    event->accept();
}

DecorLine::DecorLine(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DecorLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    if (width() >= height())
        painter.drawLine(0, 0, width() - 1, 0);
    else
        painter.drawLine(0, 0, 0, height() - 1);
}

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
    auto *label = new QLabel(caption, client);
    place(label, client, name, at);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setFont(font);
    label->setToolTip(toolTip);
    setColours(label, colour, bgrColour(colour::kBlack));
    return label;
}

QLabel *makeResultLabel(QWidget *client, const char *name, Twips at, const QString &caption,
                        const QFont &font, QColor colour, const QString &toolTip)
{
    QLabel *label = makeLabel(client, name, at, caption, font, colour, toolTip);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

LinkLabel *makeLinkLabel(QWidget *client, const char *name, Twips at, const QString &caption,
                         const QFont &font, QColor colour, const QString &toolTip)
{
    auto *label = new LinkLabel(client);
    place(label, client, name, at);
    label->setText(caption);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setFont(font);
    label->setToolTip(toolTip);
    setColours(label, colour, bgrColour(colour::kBlack));
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

} // namespace windows
