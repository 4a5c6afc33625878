#include "rendering/sheet_rendering.h"

#include "rendering/branding.h"
#include "rendering/drawing_transform.h"
#include "rendering/fonts.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace rendering {

namespace {

// The text is laid out at this resolution and scaled onto the page, so that
// the sizes the HTML gives in pixels (cell padding, borders) keep their
// proportions to the text on every device.
constexpr qreal kLayoutDpi = 96;
constexpr qreal kMarginMillimetres = 20;

QFont pageFont(qreal points, bool bold = false) { return designFont(kSongTi, points, bold); }

// Program title, calculation name and date over a rule at the top of each
// page; the page number at the foot.
void paintPageFrame(QPainter &painter, const calc::sheet::Sheet &sheet, const QRectF &page,
                    qreal headerHeight, int pageIndex, int pageCount)
{
    const qreal point = pointOn(*painter.device());
    const QRectF header(page.left(), page.top(), page.width(), headerHeight - 3 * point);
    painter.setPen(Qt::black);
    painter.setFont(pageFont(10, true));
    painter.drawText(header, Qt::AlignLeft | Qt::AlignBottom, programTitle());
    painter.setFont(pageFont(10));
    painter.drawText(header, Qt::AlignHCenter | Qt::AlignBottom,
                     QString::fromStdString(sheet.calculationName) + QStringLiteral("计算书"));
    painter.drawText(header, Qt::AlignRight | Qt::AlignBottom, QString::fromStdString(sheet.date));
    painter.setPen(QPen(Qt::black, 0.6 * point));
    painter.drawLine(QPointF(page.left(), header.bottom() + 1.5 * point),
                     QPointF(page.right(), header.bottom() + 1.5 * point));
    painter.setFont(pageFont(9));
    painter.setPen(Qt::black);
    painter.drawText(page, Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("第 %1 页 共 %2 页").arg(pageIndex + 1).arg(pageCount));
}

// The least height in which the drawing gets (within 1 %) the scale that the
// width allows it.
qreal fullSizeHeight(const calc::drawing::Drawing &drawing, qreal width, qreal maxHeight,
                     const QPaintDevice &device)
{
    const auto scaleAt = [&](qreal height) {
        qreal scale = 1e300;
        const std::vector<QRectF> shares = viewShares(drawing, QRectF(0, 0, width, height), device);
        for (std::size_t i = 0; i < drawing.views.size(); ++i)
            scale = std::min(scale, viewTransform(drawing.views[i], shares[i], device).m11());
        return scale;
    };
    const qreal best = scaleAt(maxHeight);
    qreal low = 0;
    qreal high = maxHeight;
    for (int step = 0; step < 24; ++step) {
        const qreal middle = (low + high) / 2;
        (scaleAt(middle) >= 0.99 * best ? high : low) = middle;
    }
    return high;
}

bool paintPages(const calc::sheet::Sheet &sheet, QPagedPaintDevice &device)
{
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageMargins(
        QMarginsF(kMarginMillimetres, kMarginMillimetres, kMarginMillimetres, kMarginMillimetres),
        QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&device)) return false;

    const qreal point = pointOn(device);
    const QRectF page(0, 0, device.width(), device.height());
    const qreal headerHeight = QFontMetricsF(pageFont(10, true), &device).height() + 8 * point;
    const qreal footerHeight = QFontMetricsF(pageFont(9), &device).height() + 8 * point;
    const QRectF body(page.left(), page.top() + headerHeight, page.width(),
                      page.height() - headerHeight - footerHeight);

    QImage layoutDevice(1, 1, QImage::Format_Mono);
    layoutDevice.setDotsPerMeterX(qRound(kLayoutDpi / 0.0254));
    layoutDevice.setDotsPerMeterY(qRound(kLayoutDpi / 0.0254));
    const qreal scale = device.logicalDpiY() / kLayoutDpi;
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&layoutDevice);
    document.setDefaultFont(pageFont(10.5));
    document.setDocumentMargin(0);
    document.setHtml(sheetHtml(sheet));
    const QSizeF textPage = body.size() / scale;
    document.setPageSize(textPage);
    const int textPages = std::max(document.pageCount(), 1);

    // The drawing follows the text on its last page when it fits there at full
    // size, or at no less than 60 % of it; otherwise it takes a page of its
    // own. Without views the text has already said why there is no drawing.
    const bool drawn = !sheet.drawing.views.empty();
    const qreal textBottom =
        document.documentLayout()->blockBoundingRect(document.lastBlock()).bottom() * scale -
        (textPages - 1) * body.height();
    const qreal millimetre = device.logicalDpiY() / 25.4;
    const qreal fullHeight =
        drawn ? fullSizeHeight(sheet.drawing, body.width(), body.height(), device) : 0;
    const qreal gap = 8 * millimetre;
    const qreal room = body.height() - textBottom - gap;
    const bool ownPage =
        drawn && room < std::min(fullHeight, std::max(0.6 * fullHeight, 80 * millimetre));
    const qreal drawingHeight = ownPage ? fullHeight : std::min(fullHeight, room);
    const int pageCount = textPages + (ownPage ? 1 : 0);
    const QRectF drawingArea(body.left(), body.top() + (ownPage ? 0 : textBottom + gap),
                             body.width(), drawingHeight);

    for (int index = 0; index < pageCount; ++index) {
        if (index > 0) device.newPage();
        paintPageFrame(painter, sheet, page, headerHeight, index, pageCount);
        if (index < textPages) {
            painter.save();
            painter.translate(body.topLeft());
            painter.scale(scale, scale);
            const QRectF view(0, index * textPage.height(), textPage.width(), textPage.height());
            painter.translate(0, -view.top());
            painter.setClipRect(view);
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = view;
            context.palette.setColor(QPalette::Text, Qt::black);
            document.documentLayout()->draw(&painter, context);
            painter.restore();
        }
        if (index == pageCount - 1 && drawn) paintDrawing(painter, sheet.drawing, drawingArea);
    }
    return painter.end();
}

} // namespace

bool paintSheetPages(const calc::sheet::Sheet &sheet, QPagedPaintDevice &device)
{
    return paintPages(sheet, device);
}

QString writeSheetPdf(const calc::sheet::Sheet &sheet, const QString &path)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return QStringLiteral("文件夹“%1”不存在").arg(QDir::toNativeSeparators(folder.filePath()));
    if (!folder.isDir())
        return QStringLiteral("“%1”不是文件夹").arg(QDir::toNativeSeparators(folder.filePath()));
    if (target.isDir())
        return QStringLiteral("“%1”是一个文件夹").arg(QDir::toNativeSeparators(target.filePath()));

    // The file is made in memory and then written in one go, each write and
    // the final flush checked: QSaveFile::commit() alone lets a write that
    // fails while flushing its buffer (a full disk, a size limit) through, and
    // would put a cut-off file in place of the old one.
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setTitle(QString::fromStdString(sheet.title));
        writer.setCreator(programTitle());
        if (!paintPages(sheet, writer)) return QStringLiteral("无法生成PDF文件");
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    qint64 written = 0;
    while (written < pdf.size()) {
        // A short write is retried, so that the next one reports why.
        const qint64 step = file.write(pdf.constData() + written, pdf.size() - written);
        if (step <= 0) break;
        written += step;
    }
    if (written < pdf.size() || !file.flush()) {
        const QString reason = file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : QStringLiteral("文件没有写完整");
        file.cancelWriting(); // the temporary file goes with `file`
        return reason;
    }
    if (!file.commit()) return file.errorString();
    return {};
}

} // namespace rendering
