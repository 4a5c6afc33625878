#include "windows/sheet_readying.h"

#include "sheets/single_rod_sheet.h"
#include "windows/calc_window.h"
#include "windows/sheet_window.h"
#include "windows/window_set.h"

#include <QApplication>
#include <QBackingStore>
#include <QComboBox>
#include <QDate>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegion>

#include <cstdint>
#include <string_view>

namespace windows {

namespace {

// Inputs of a typical single-rod calculation: every section, formula and
// conclusion a sheet with numbers has. Painted first when the current inputs
// give an error outcome (the fields are still empty at start), so that the
// glyphs of a sheet with numbers are loaded as well.
constexpr std::string_view kExampleHx = "12";
constexpr std::string_view kExampleH = "25";
constexpr std::int16_t kExampleClass = 2;

std::string today() { return QDate::currentDate().toString(Qt::ISODate).toStdString(); }

// Paints `widget` with its children into an image of its device pixel ratio,
// as the window's backing store would: the widgets paint on themselves, so
// the same font engines and glyph caches serve as on screen. `region`, when
// given, limits the painting. On a hidden window this first lays the window
// out at its size, sending the resizes its widgets would get when shown.
void paintOffscreen(QWidget *widget, const QRegion &region = {})
{
    const qreal ratio = widget->devicePixelRatioF();
    const QSize size = region.isEmpty() ? widget->size() : region.boundingRect().size();
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    widget->render(&image, QPoint(), region);
}

} // namespace

SheetReadying::SheetReadying(WindowSet &set, std::chrono::milliseconds delay, QObject *parent)
    : QObject(parent), set_(set), timer_(this)
{
    setObjectName(QStringLiteral("sheetReadying"));
    connect(&set_, &WindowSet::activated, this, [this](QWidget *window) {
        auto *calc = qobject_cast<CalcWindow *>(window);
        if (!calc) return;
        lastActive_ = calc;
        watch(*calc);
    });
    again_.setSingleShot(true);
    again_.setInterval(kAfterPause);
    connect(&again_, &QTimer::timeout, this, &SheetReadying::readyAgain);
    // First the delay, then one step per turn of the event loop: a timer of
    // no interval fires once the window system's events are handled.
    timer_.setInterval(delay);
    connect(&timer_, &QTimer::timeout, this, [this] {
        timer_.setInterval(0);
        if (!step()) timer_.stop();
    });
    timer_.start();
}

bool SheetReadying::step()
{
    if (finished_) return false;
    if (!begun_) {
        begun_ = true;
        if (!begin()) {
            finish();
            return false;
        }
        return true;
    }
    // The user's own opening takes over; so does the program's end.
    if (set_.ending() || !sheet_ || sheet_->isVisible() || next_ >= steps_.size()) {
        finish();
        return false;
    }
    steps_[next_++]();
    if (next_ < steps_.size()) return true;
    finish();
    return false;
}

// A calculation, or the user's pause in typing or choosing an input, readies
// the sheet again once the pause lasts.
void SheetReadying::watch(CalcWindow &window)
{
    const auto later = qOverload<>(&QTimer::start);
    connect(&window, &CalcWindow::calculated, &again_, later, Qt::UniqueConnection);
    for (QLineEdit *field : window.findChildren<QLineEdit *>())
        connect(field, &QLineEdit::textEdited, &again_, later, Qt::UniqueConnection);
    for (QComboBox *list : window.findChildren<QComboBox *>())
        connect(list, &QComboBox::activated, &again_, later, Qt::UniqueConnection);
}

CalcWindow *SheetReadying::currentWindow() const
{
    if (auto *active = qobject_cast<CalcWindow *>(QApplication::activeWindow())) return active;
    if (lastActive_ && lastActive_->isVisible()) return lastActive_;
    return qobject_cast<CalcWindow *>(set_.existing(WindowId::SingleRod));
}

// Makes the sheet window and plans the rest, unless the user made it first.
bool SheetReadying::begin()
{
    if (set_.ending() || set_.existing(WindowId::Sheet)) return false;
    CalcWindow *window = currentWindow();
    if (!window) return false;
    sheet_ = qobject_cast<SheetWindow *>(set_.window(WindowId::Sheet));
    if (!sheet_) return false;
    sheet_->installEventFilter(this);
    watch(*window);

    // One pixel painted lays the hidden window out at its size: the text view
    // then has the width it is shown with, and the text is laid out once.
    steps_.emplace_back([this] { paintOffscreen(sheet_, QRegion(0, 0, 1, 1)); });
    if (window->currentSheet(today()).error) {
        steps_.emplace_back([this] {
            sheet_->present(calc::singleRodSheet(kExampleHx, kExampleH, kExampleClass, today()));
        });
        planPaints();
    }
    steps_.emplace_back([this, source = QPointer<CalcWindow>(window)] {
        CalcWindow *current = source ? source.data() : currentWindow();
        if (current) sheet_->presentFor(*current);
    });
    planPaints();
    // The buttons' captions, whose glyphs nothing else loads.
    steps_.emplace_back([this] {
        for (QPushButton *button : sheet_->findChildren<QPushButton *>()) paintOffscreen(button);
    });
    // A window's first paint on screen writes a buffer of its size, whose
    // memory the system provides page by page as it is first written (some
    // 550 pages at the sheet window's size). The window gets its platform
    // window (winId() makes it, unmapped) and that buffer now, and the buffer
    // is written once; nothing is flushed to the screen.
    steps_.emplace_back([this] {
        (void)sheet_->winId();
        QBackingStore *store = sheet_->backingStore();
        if (!store) return;
        store->resize(sheet_->size());
        store->beginPaint(QRegion(sheet_->rect()));
        QPainter(store->paintDevice()).fillRect(sheet_->rect(), Qt::white);
        store->endPaint();
    });
    return true;
}

void SheetReadying::planPaints()
{
    // The text's first paint is the longest piece: its upper half in one turn,
    // its lower half in the next.
    for (const bool upper : {true, false}) {
        steps_.emplace_back([this, upper] {
            QWidget *text = sheet_->textView();
            const int half = text->height() / 2;
            paintOffscreen(text, upper ? QRegion(0, 0, text->width(), half)
                                       : QRegion(0, half, text->width(), text->height() - half));
        });
    }
    steps_.emplace_back([this] { paintOffscreen(sheet_->drawingView()); });
}

// A calculation's sheet, readied while the user pauses after it.
void SheetReadying::readyAgain()
{
    if (opened_ || set_.ending() || !sheet_ || sheet_->isVisible()) return;
    if (!finished_ || !begun_) {
        // The first readying is still to come or under way: it takes the
        // inputs as they are then; after it, this one.
        if (begun_) again_.start();
        return;
    }
    CalcWindow *window = currentWindow();
    if (!window) return;
    steps_.clear();
    next_ = 0;
    finished_ = false;
    steps_.emplace_back([this, source = QPointer<CalcWindow>(window)] {
        if (source) sheet_->presentFor(*source);
    });
    planPaints();
    timer_.setInterval(0);
    timer_.start();
}

bool SheetReadying::eventFilter(QObject *object, QEvent *event)
{
    // The user's opening: the sheet is theirs from now on. Only the sheet
    // window is watched, and it is not looked at here: this also runs while
    // the window is being destroyed, when it is a sheet window no more.
    if (event->type() == QEvent::Show) {
        opened_ = true;
        again_.stop();
    }
    return QObject::eventFilter(object, event);
}

void SheetReadying::finish()
{
    timer_.stop();
    steps_.clear();
    finished_ = true;
    emit finished();
}

SheetReadying *startSheetReadying(WindowSet &set)
{
    return new SheetReadying(set, SheetReadying::kDefaultDelay, &set);
}

} // namespace windows
