#include "windows/widgets.h"

#include "calc/numeric.h"

#include <QAccessible>
#include <QAccessibleWidget>
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

int pixels(int twips) { return qRound(double(twips) / kTwipsPerPixel); }

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

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string fieldText(const QLineEdit *field) { return field->text().toStdString(); }

QStringList protectionClassEntries()
{
    QStringList entries;
    for (std::string_view entry : calc::kProtectionClassEntries) entries << toQString(entry);
    return entries;
}

namespace {

bool isChinese(QChar c)
{
    const char16_t code = c.unicode();
    return c.script() == QChar::Script_Han || (code >= 0x3000 && code <= 0x303F) ||
           (code >= 0xFF00 && code <= 0xFFEF);
}

} // namespace

QString spokenText(const QString &caption)
{
    const QString single = caption.simplified();
    QString spoken;
    spoken.reserve(single.size());
    for (qsizetype i = 0; i < single.size(); ++i) {
        const bool between =
            i > 0 && i + 1 < single.size() && isChinese(single[i - 1]) && isChinese(single[i + 1]);
        if (single[i] == u' ' && between) continue;
        spoken += single[i];
    }
    if (spoken.endsWith(u':') || spoken.endsWith(u'：')) spoken.chop(1);
    return spoken.trimmed();
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
        if (event->type() != QEvent::KeyPress) return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;
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

void selectWholeText(QLineEdit *field) { field->setSelection(0, int(field->text().size())); }

void focusAndSelect(QLineEdit *field)
{
    field->setFocus(Qt::OtherFocusReason);
    selectWholeText(field);
}

void chainTabOrder(std::initializer_list<QWidget *> controls)
{
    QWidget *previous = nullptr;
    for (QWidget *control : controls) {
        if (previous) QWidget::setTabOrder(previous, control);
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
    if (std::exchange(focusedByThisPress_, false)) selectWholeText(this);
}

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

namespace {

// What assistive tools see of a result label: its caption as the name, and
// the result as the value and as its read-only text.
class ResultLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ResultLabelAccessible(ResultLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return label()->caption();
        case QAccessible::Value:
            return shown();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(int startOffset, int endOffset) const override
    {
        return shown().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(shown().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        return {};
    }

private:
    const ResultLabel *label() const { return static_cast<const ResultLabel *>(object()); }
    // The padding of a cleared result is not read out.
    QString shown() const { return label()->text().trimmed(); }
};

QAccessibleInterface *resultLabelInterface(const QString &className, QObject *object)
{
    if (className != QLatin1String(ResultLabel::staticMetaObject.className())) return nullptr;
    return new ResultLabelAccessible(static_cast<ResultLabel *>(object));
}

} // namespace

ResultLabel::ResultLabel(QWidget *parent) : QLabel(parent)
{
    // Before any text is set: the toolkit asks for a label's interface as its
    // text changes and keeps the one it gets.
    static const bool installed = [] {
        QAccessible::installFactory(&resultLabelInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

LinkLabel::LinkLabel(QWidget *parent) : QLabel(parent) { setMouseTracking(true); }

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
    // The widget is one pixel across the line: filling it draws the line. A
    // one-pixel pen would vanish on a screen scaled by a fraction (150%),
    // where the line falls between device pixels.
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::WindowText));
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

namespace {

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

void attachCaption(QLabel *caption, QWidget *control)
{
    const QString spoken = spokenText(caption->text());
    // The buddy makes the caption the control's label for assistive tools
    // that read labels through that relation (a list's own name is its text
    // on some desktops); the caption then reads as the control's name does.
    caption->setBuddy(control);
    caption->setAccessibleName(spoken);
    // A result label keeps its own name empty (see ResultLabel).
    if (auto *result = qobject_cast<ResultLabel *>(control))
        result->setCaption(spoken);
    else
        control->setAccessibleName(spoken);
}

QFont rodWindowFont() { return designFont(kSongTi, 10.5, true); }

QFont rodResultFont() { return designFont(kSongTi, 10.5, true, true); }

ResultLabel *makeRodResult(QWidget *client, QLabel *caption, const char *name, Twips at,
                           QColor colour, const QString &toolTip)
{
    ResultLabel *result =
        makeResultLabel(client, name, at, kClearedResult, rodResultFont(), colour, toolTip);
    attachCaption(caption, result);
    return result;
}

RodWindowControls makeRodWindowControls(QWidget *client)
{
    const QFont font = rodWindowFont();
    RodWindowControls controls;
    controls.text1 = makeInputField(client, "Text1", {2160, 1920, 1335, 375}, font);
    controls.text2 = makeInputField(client, "Text2", {4920, 1920, 1335, 375}, font);
    controls.classList = makeEditableList(client, "Combo1", {2160, 1320, 1335, 300},
                                          designFont(kSongTi, 9, true), protectionClassEntries());
    controls.compute =
        makeButton(client, "Command1", {1320, 3600, 1555, 495}, QStringLiteral("计  算"), font);
    controls.clear =
        makeButton(client, "Command2", {2880, 3600, 1555, 495}, QStringLiteral("清  除"), font);
    controls.exit =
        makeButton(client, "Command3", {4440, 3600, 1555, 495}, QStringLiteral("退  出"), font);
    attachCaption(makeLabel(client, "Label2", {1080, 1320, 1095, 255}, QStringLiteral("防雷类别"),
                            font, bgrColour(colour::kYellow)),
                  controls.classList);
    return controls;
}

} // namespace windows
