#pragma once

#include <QString>

class QWidget;

namespace windows {

// Asks the user where to save a sheet's PDF, starting from `proposed` (a full
// path); empty when the user cancels. Kept in a unit of its own so that a
// test program can link its own answer in place of the dialog.
QString askPdfPath(QWidget *parent, const QString &proposed);

} // namespace windows
