#pragma once

#include "sheets/sheet.h"

#include <QSize>
#include <QString>

#include <vector>

class QImage;
class QPagedPaintDevice;
class QPainter;
class QRectF;

// A calculation sheet laid out and painted: the same code serves the sheet
// window, the clipboard, the PDF file and the printer.
namespace rendering {

// The sheet as rich text (HTML) for the sheet view and the clipboard: title,
// date, numbered sections with their entries, steps, tables and paragraphs.
// The drawing is not part of it; `drawingSource`, when given, is the image
// source put where the drawing belongs (the clipboard embeds the image there).
QString sheetHtml(const calc::sheet::Sheet &sheet, const QString &drawingSource = {});

// Blocks of a sheet (paragraphs, entries, steps, tables) as an HTML document in the sheet's own
// styles, for a pane that shows part of a sheet beside other things.
QString blocksHtml(const std::vector<calc::sheet::Block> &blocks);

// Paints the drawing's views into `area`, each view true to scale (one scale
// for both axes) and labelled; a drawing without views says why in words.
void paintDrawing(QPainter &painter, const calc::drawing::Drawing &drawing, const QRectF &area);

// The drawing as an image of `size` device-independent pixels.
QImage drawingImage(const calc::drawing::Drawing &drawing, QSize size,
                    qreal devicePixelRatio = 1.0);

// Lays the whole sheet out on the pages of `device` (a PDF writer or a
// printer, A4): a title block (program title, calculation name, date), the
// sheet's text and its drawing, as vectors. False when the device could not
// be painted on (a printer that does not start).
bool paintSheetPages(const calc::sheet::Sheet &sheet, QPagedPaintDevice &device);

// Writes the sheet as a PDF file through QSaveFile, so that a failed save
// leaves no half file and an existing file untouched; a write that fails at
// any point, the last bytes included, fails the save. Returns an empty text on
// success, otherwise the reason.
QString writeSheetPdf(const calc::sheet::Sheet &sheet, const QString &path);

} // namespace rendering
