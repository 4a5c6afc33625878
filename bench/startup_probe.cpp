// Starts the program as main() does and reports when the single-rod window is
// shown, exposed and has the focus in its first field, ready for typing.
#include "ready_probe.h"

#include "windows/shell.h"
#include "windows/startup.h"

#include <QApplication>
#include <QLineEdit>
#include <QWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    windows::mapFontFamilies();
    windows::loadQtChineseTexts();
    windows::showStartWindow();
    reportWhenReady(argc, argv, [] {
        QWidget *form = windows::existingWindow(windows::WindowId::SingleRod);
        QWindow *handle = form ? form->windowHandle() : nullptr;
        return handle && handle->isExposed() &&
               QApplication::focusWidget() == form->findChild<QLineEdit *>(QStringLiteral("Text1"));
    });
    return QApplication::exec();
}
