#include "windows/sheet_file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace windows {

QString askPdfPath(QWidget *parent, const QString &proposed)
{
    // Qt's own dialog, the same on every desktop and in the program's
    // language; it asks before replacing a file and adds ".pdf" to a bare name.
    QFileDialog dialog(parent, QStringLiteral("导出PDF"), QFileInfo(proposed).absolutePath(),
                       QStringLiteral("PDF 文件 (*.pdf)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(QFileInfo(proposed).fileName());
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.front();
}

} // namespace windows
