#pragma once

#include "sheets/sheet.h"

#include <QMetaObject>
#include <QPointer>
#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace windows {

class CalcWindow;
class DrawingView;
class WindowSet;

// The program's one sheet window: the calculation sheet of one calculation
// window, as text and drawing, with copy, PDF export and print. It follows
// that window live: the sheet is made afresh whenever it is shown for it and
// after each of its calculations. A companion: closing it only hides it.
class SheetWindow : public QWidget {
    Q_OBJECT
public:
    explicit SheetWindow(WindowSet &set);

    // Shows the sheet of `window`, switching from any other window's sheet,
    // and brings it to the front.
    void showFor(CalcWindow &window);
    // As showFor, without showing anything: follows `window` and presents its
    // current sheet. A sheet whose text is the one in the view already (made
    // ahead while the program was idle, or shown again unchanged) keeps its
    // laid-out text.
    void presentFor(CalcWindow &window);
    // Puts `sheet` in the views as it is.
    void present(const calc::sheet::Sheet &sheet);
    const calc::sheet::Sheet &sheet() const { return sheet_; }

    QWidget *textView() const;
    QWidget *drawingView() const;

private:
    void follow(CalcWindow &window);
    void present(const calc::sheet::Sheet &sheet, bool keepSameText);
    void copy();
    void exportPdf();
    void print();

    WindowSet &set_;
    QPointer<CalcWindow> source_;
    QMetaObject::Connection sourceCalculated_;
    calc::sheet::Sheet sheet_;
    QString html_;                   // the text view's, for source_; empty before any
    QTextBrowser *text_ = nullptr;   // sheetText
    DrawingView *drawing_ = nullptr; // zoneDrawing
};

} // namespace windows
