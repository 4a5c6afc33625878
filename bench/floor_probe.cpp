// The toolkit's floor: a minimal Qt Widgets program showing one empty window
// of the single-rod window's size, reporting once it is exposed.
#include "ready_probe.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    const int width = argc > 2 ? std::atoi(argv[2]) : 486;
    const int height = argc > 3 ? std::atoi(argv[3]) : 332;
    window.setFixedSize(width, height);
    window.show();
    reportWhenReady(argc, argv, [&] {
        return window.windowHandle() && window.windowHandle()->isExposed();
    });
    return QApplication::exec();
}
