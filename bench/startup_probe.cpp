// Starts the program as main() does and reports when the single-rod window is
// shown, exposed and has the focus in its first field, ready for typing.
#include "ready_probe.h"

#include "windows/program.h"
#include "windows/window_set.h"

#include <QApplication>
#include <QLineEdit>
#include <QWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const auto set = windows::startProgram();
    reportWhenReady(argc, argv, [&set] {
        QWidget *form = set->existing(windows::WindowId::SingleRod);
        QWindow *handle = form ? form->windowHandle() : nullptr;
        return handle && handle->isExposed() &&
               QApplication::focusWidget() == form->findChild<QLineEdit *>(QStringLiteral("Text1"));
    });
    return QApplication::exec();
}
