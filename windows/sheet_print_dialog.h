#pragma once

class QPrinter;
class QWidget;

namespace windows {

// Lets the user choose and set up `printer` (printer, pages, copies) before
// printing; false when the user cancels. Any window that prints asks here.
// Kept in a unit of its own so that a test program can link its own answer in
// place of the dialog.
bool askPrinter(QWidget *parent, QPrinter &printer);

} // namespace windows
