#pragma once

#include <QColor>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

#include <functional>
#include <initializer_list>

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
// text is never added as an entry and never completed into one. A typed text
// equal to an entry's whole text becomes that entry on Enter or on leaving
// the list (the toolkit's own matching), so the list never shows one entry
// while meaning none.
class EditableList : public QComboBox {
    Q_OBJECT
public:
    explicit EditableList(QWidget *parent);

private:
    void textTyped(const QString &text);
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
// A result label: as makeLabel, with the caption centred.
QLabel *makeResultLabel(QWidget *client, const char *name, Twips at, const QString &caption,
                        const QFont &font, QColor colour, const QString &toolTip = {});
LinkLabel *makeLinkLabel(QWidget *client, const char *name, Twips at, const QString &caption,
                         const QFont &font, QColor colour, const QString &toolTip = {});
TextBoxLink *makeTextBoxLink(QWidget *client, const char *name, Twips at, const QString &text,
                             const QFont &font, QColor colour, const QString &toolTip = {});
// A button; Enter or Space pressed on it clicks it, as on the design's desktop.
QPushButton *makeButton(QWidget *client, const char *name, Twips at, const QString &caption,
                        const QFont &font);
// A line from (x1, y1) to (x2, y2) in twips; horizontal or vertical.
DecorLine *makeLine(QWidget *client, const char *name, int x1, int y1, int x2, int y2,
                    QColor colour);

} // namespace windows
