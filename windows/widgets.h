#pragma once

#include <QColor>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

class QFont;
class QKeyEvent;
class QPushButton;
class QRect;

// The controls the windows are built from, and the units their design is
// written in: twips for geometry, &HBBGGRR for colours, Chinese font families.
namespace windows {

// A position and size in twips (left, top, width, height).
struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// 15 twips make one device-independent pixel (96 dots per inch).
inline constexpr int kTwipsPerPixel = 15;
int pixels(int twips);
QRect pixelRect(Twips r);

// Colours as the design writes them: &HBBGGRR.
QColor bgrColour(unsigned value);
namespace colour {
inline constexpr unsigned kBlack = 0x000000;
inline constexpr unsigned kWhite = 0xFFFFFF;
inline constexpr unsigned kRed = 0x0000FF;
inline constexpr unsigned kYellow = 0x00FFFF;
inline constexpr unsigned kLightYellow = 0x80FFFF;
inline constexpr unsigned kDarkTeal = 0x404000;
} // namespace colour

// A control's text colour is its palette's foreground role (WindowText for a
// label, Text for a text box); this is the one place both are read and written.
QColor textColour(const QWidget *control);
void setTextColour(QWidget *control, QColor colour);

// The design's font families. mapFontFamilies() (shell.h) maps each to the
// closest installed face once at start-up.
inline constexpr const char *kSongTi = "宋体";
inline constexpr const char *kKaiTi = "楷体_GB2312";
inline constexpr const char *kYouYuan = "幼圆";
QFont designFont(const char *family, qreal points, bool bold, bool underline = false);

// Texts between the calculation, which speaks UTF-8 std::string, and the
// controls.
QString toQString(std::string_view text);
std::string fieldText(const QLineEdit *field);

// A result label that shows nothing holds four spaces, not the empty text.
inline const QString kClearedResult = QStringLiteral("    ");

// The protection-class list's entries, "3类 hr=60米" first.
QStringList protectionClassEntries();

// The form in which assistive tools speak a caption: runs of spaces become
// one, spaces between two Chinese characters go ("计  算" is "计算",
// "被保护物高度  hx" is "被保护物高度 hx"), and a closing colon is dropped.
QString spokenText(const QString &caption);

// Key codes the windows react to. keyCode() maps Return and the keypad's
// Enter to 13, F2 to 113, F10 to 121 and every other key to 0.
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyF2 = 113;
inline constexpr int kKeyF10 = 121;
int keyCode(const QKeyEvent &event);

// Calls `handler` with keyCode() for every key pressed down while `control`
// has the focus, before the control itself sees the key; the handler returns
// true to swallow the key. Tab and Shift+Tab only move the focus and are not
// reported. The hook lives as long as the control.
using KeyDownHandler = std::function<bool(int keyCode)>;
void onKeyDown(QWidget *control, KeyDownHandler handler);

// Puts the selection start at 0 and the selection length at the length of the
// field's text, so that the next key typed replaces the whole text.
void selectWholeText(QLineEdit *field);

// Gives `field` the keyboard focus and selects its whole text.
void focusAndSelect(QLineEdit *field);

// Sets the tab order of the controls that take the focus, first to last.
void chainTabOrder(std::initializer_list<QWidget *> controls);

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

// A label that shows a result. Assistive tools read the caption beside it
// as its name and the result it shows as its value and text; its own
// accessible name stays empty, so that each new result is reported to them
// as the label's text changes.
class ResultLabel : public QLabel {
    Q_OBJECT
public:
    explicit ResultLabel(QWidget *parent);

    // The caption in its spoken form.
    QString caption() const { return caption_; }
    void setCaption(const QString &spokenCaption) { caption_ = spokenCaption; }

private:
    QString caption_;
};

// A label that reports clicks and every mouse move over it, also with no
// button pressed.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget *parent);

signals:
    void clicked();
    void mouseMoved();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool pressed_ = false;
};

// A read-only text box that serves as a link: arrow cursor, no frame, reports
// clicks and every mouse move over it. A click does not take the focus.
class TextBoxLink : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBoxLink(QWidget *parent);

signals:
    void clicked();
    void mouseMoved();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool pressed_ = false;
};

// A straight decorative line in its palette's foreground colour.
class DecorLine : public QWidget {
    Q_OBJECT
public:
    explicit DecorLine(QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Factories. Each makes a child of `client`, names it, places it in twips and
// gives it its font and colours on the black window background.
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

// Makes `caption` the label of `control`, an input field, a list or a result
// label: its buddy, and its name for assistive tools in the spoken form.
void attachCaption(QLabel *caption, QWidget *control);

// What the single-rod, two-rod and rod-height windows have in common, at the
// same places: the two input fields Text1 and Text2, the protection-class
// list Combo1 under its caption Label2 "防雷类别", and the buttons Command1
// "计  算", Command2 "清  除" and Command3 "退  出".
struct RodWindowControls {
    InputField *text1 = nullptr;
    InputField *text2 = nullptr;
    EditableList *classList = nullptr;
    QPushButton *compute = nullptr;
    QPushButton *clear = nullptr;
    QPushButton *exit = nullptr;
};
RodWindowControls makeRodWindowControls(QWidget *client);
// Their font of captions, fields and buttons: 宋体 10.5 pt bold.
QFont rodWindowFont();
// Their result labels' font: the same, underlined.
QFont rodResultFont();
// One of their result labels, cleared, in that font, with `caption` attached.
ResultLabel *makeRodResult(QWidget *client, QLabel *caption, const char *name, Twips at,
                           QColor colour, const QString &toolTip = {});

} // namespace windows
