#include "windows/sheet_window.h"

#include "windows/calc_window.h"
#include "windows/captions.h"
#include "windows/message_boxes.h"
#include "windows/sheet_file_dialog.h"
#include "windows/sheet_print_dialog.h"
#include "rendering/sheet_rendering.h"
#include "windows/window_set.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QHBoxLayout>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <utility>

namespace windows {

// The sheet's drawing, painted to the widget's size by the same code as on
// paper. The painted drawing is kept in an image of the widget's pixels, so a
// repaint (the window shown, uncovered, scrolled past) only copies it; it is
// painted anew when the drawing, the size or the pixel ratio changes.
class DrawingView : public QWidget {
public:
    explicit DrawingView(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("zoneDrawing"));
        setMinimumSize(340, 300);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    void setDrawing(calc::drawing::Drawing drawing)
    {
        if (drawing == drawing_) return;
        drawing_ = std::move(drawing);
        painted_ = QImage();
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const qreal ratio = devicePixelRatioF();
        const QSize pixels = size() * ratio;
        if (painted_.size() != pixels || painted_.devicePixelRatio() != ratio) {
            painted_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
            painted_.setDevicePixelRatio(ratio);
            QPainter painter(&painted_);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.fillRect(rect(), Qt::white);
            rendering::paintDrawing(painter, drawing_, QRectF(rect()).adjusted(6, 6, -6, -6));
        }
        QPainter(this).drawImage(QPointF(0, 0), painted_);
    }

private:
    calc::drawing::Drawing drawing_;
    QImage painted_;
};

namespace {

// The copied drawing's size: about a text column's width in a word processor.
constexpr QSize kCopiedDrawingSize(560, 420);

std::string today() { return QDate::currentDate().toString(Qt::ISODate).toStdString(); }

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

// A PNG of the image as a data: address, which word processors take from
// pasted HTML.
QString pngDataAddress(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

} // namespace

SheetWindow::SheetWindow(WindowSet &set) : set_(set)
{
    setObjectName(QString::fromLatin1(formName(WindowId::Sheet)));
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("计算书"));

    text_ = new QTextBrowser(this);
    text_->setObjectName(QStringLiteral("sheetText"));
    text_->setOpenLinks(false);
    drawing_ = new DrawingView(this);

    QPushButton *copyButton = makeButton(this, "sheetCopy", QStringLiteral("复制"));
    QPushButton *pdfButton = makeButton(this, "sheetPdf", QStringLiteral("导出PDF…"));
    QPushButton *printButton = makeButton(this, "sheetPrint", QStringLiteral("打印…"));
    QPushButton *closeButton = makeButton(this, "sheetClose", QStringLiteral("关闭"));
    connect(copyButton, &QPushButton::clicked, this, &SheetWindow::copy);
    connect(pdfButton, &QPushButton::clicked, this, &SheetWindow::exportPdf);
    connect(printButton, &QPushButton::clicked, this, &SheetWindow::print);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    auto *saveAction = new QAction(this);
    saveAction->setShortcut(QKeySequence::Save);
    connect(saveAction, &QAction::triggered, this, &SheetWindow::exportPdf);
    auto *closeAction = new QAction(this);
    closeAction->setShortcut(Qt::Key_Escape);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    addActions({saveAction, closeAction});

    auto *views = new QHBoxLayout;
    views->addWidget(text_, 3);
    views->addWidget(drawing_, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *button : {copyButton, pdfButton, printButton, closeButton})
        buttons->addWidget(button);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(views, 1);
    layout->addLayout(buttons);
    resize(900, 620);
}

void SheetWindow::showFor(CalcWindow &window)
{
    presentFor(window);
    set_.showBeside(WindowId::Sheet);
}

void SheetWindow::presentFor(CalcWindow &window)
{
    follow(window);
    present(window.currentSheet(today()), true);
}

QWidget *SheetWindow::textView() const { return text_; }

QWidget *SheetWindow::drawingView() const { return drawing_; }

void SheetWindow::follow(CalcWindow &window)
{
    setWindowTitle(QStringLiteral("计算书 - ") + window.windowTitle());
    if (source_ == &window) return;
    disconnect(sourceCalculated_);
    source_ = &window;
    html_.clear();
    // A hidden sheet is made afresh when it is shown again.
    sourceCalculated_ = connect(&window, &CalcWindow::calculated, this, [this] {
        if (source_ && isVisible()) present(source_->lastCalculationSheet(today()));
    });
}

void SheetWindow::present(const calc::sheet::Sheet &sheet) { present(sheet, false); }

void SheetWindow::present(const calc::sheet::Sheet &sheet, bool keepSameText)
{
    sheet_ = sheet;
    // Setting the same text again would only parse and lay it out anew; kept,
    // a sheet readied ahead opens with its text laid out and painted once.
    if (QString html = rendering::sheetHtml(sheet_); !keepSameText || html != html_) {
        // The reader keeps their place in the text across a refresh.
        const int scrolled = text_->verticalScrollBar()->value();
        text_->setHtml(html);
        text_->verticalScrollBar()->setValue(scrolled);
        html_ = std::move(html);
    }
    drawing_->setDrawing(sheet_.drawing);
}

void SheetWindow::copy()
{
    const QImage image = rendering::drawingImage(sheet_.drawing, kCopiedDrawingSize);
    auto *data = new QMimeData;
    data->setHtml(rendering::sheetHtml(sheet_, pngDataAddress(image)));
    data->setImageData(image);
    data->setText(QString::fromStdString(calc::sheet::plainText(sheet_)));
    QApplication::clipboard()->setMimeData(data);
}

void SheetWindow::exportPdf()
{
    const QString name =
        QString::fromStdString(sheet_.calculationName) + QStringLiteral("计算书.pdf");
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = askPdfPath(this, QDir(folder).filePath(name));
    if (path.isEmpty()) return;
    const QString reason = rendering::writeSheetPdf(sheet_, path);
    if (!reason.isEmpty())
        showStopBox(this, QStringLiteral("无法保存文件：") + QDir::toNativeSeparators(path) +
                              QLatin1Char('\n') + reason);
}

void SheetWindow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QString::fromStdString(sheet_.title));
    if (!askPrinter(this, printer)) return;
    if (rendering::paintSheetPages(sheet_, printer)) return;
    // A printer that cannot start (gone, or a print-to-file target that
    // cannot be written) must not look like a sheet sent to print.
    const QString target = printer.outputFileName().isEmpty()
                               ? printer.printerName()
                               : QDir::toNativeSeparators(printer.outputFileName());
    showStopBox(this, QStringLiteral("无法打印：") + target + QLatin1Char('\n') +
                          QStringLiteral("打印机无法开始打印"));
}

} // namespace windows
