#include "windows/sheet_print_dialog.h"

#include <QPrintDialog>
#include <QPrinter>

namespace windows {

bool askPrinter(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace windows
