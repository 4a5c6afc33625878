#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <functional>
#include <vector>

namespace windows {

class CalcWindow;
class SheetWindow;
class WindowSet;

// Readies the sheet window's first opening while the program is idle. Opened
// cold, the sheet window is made, its text parsed and laid out, and the
// sheet's characters loaded glyph by glyph from the font files in each of its
// faces and sizes as text and drawing are painted: several times a
// calculation window's first opening. A while after start-up the readying
// makes the sheet window hidden, presents in it the current calculation
// window's sheet laid out at the window's size, paints its text, drawing and
// buttons once into images nobody sees, through the window's own widgets,
// and writes the window's buffer once, so the later Ctrl+P finds everything
// done and only shows and paints.
//
// Until the user first opens the sheet, every calculation, and every pause in
// typing or choosing an input, readies it again a moment later, for the inputs
// as they are: the sheet is presented anew (its text laid out once more only
// when it changed) and painted once.
//
// Nothing is shown, activated or focused. The work runs in short steps, one
// per turn of the event loop, so a key pressed meanwhile waits for one step
// at most. It does nothing once the user has made the sheet window (or shows
// it meanwhile) and stops when the program ends.
class SheetReadying : public QObject {
    Q_OBJECT
public:
    // After the start window's first showing and activations, long before a
    // user has typed a calculation's inputs and asked for its sheet.
    static constexpr std::chrono::milliseconds kDefaultDelay{1500};
    // After a calculation or an edit, once the user has paused: typing on
    // readies only what is there at the pause.
    static constexpr std::chrono::milliseconds kAfterPause{400};

    SheetReadying(WindowSet &set, std::chrono::milliseconds delay, QObject *parent = nullptr);

    // Runs the next step now; false once nothing is left to do. The timer
    // calls it; a caller may as well.
    bool step();
    bool isFinished() const { return finished_; }

signals:
    // The last step ran, or the readying stopped because it is not wanted.
    void finished();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    CalcWindow *currentWindow() const;
    void watch(CalcWindow &window);
    bool begin();
    void planPaints();
    void readyAgain();
    void finish();

    WindowSet &set_;
    QTimer timer_;
    QTimer again_;                    // a calculation's readying, after the pause
    QPointer<CalcWindow> lastActive_; // the calculation window activated last
    QPointer<SheetWindow> sheet_;     // made by the readying
    std::vector<std::function<void()>> steps_;
    std::size_t next_ = 0;
    bool begun_ = false;
    bool finished_ = false;
    bool opened_ = false; // the user has shown the sheet window: nothing more to do
};

// Starts the readying for the program's window set; it belongs to the set.
SheetReadying *startSheetReadying(WindowSet &set);

} // namespace windows
