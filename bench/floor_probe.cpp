// The toolkit's floor: a minimal Qt Widgets program showing one empty window
// of the single-rod window's size, reporting once it is exposed and active
// (the program's own probe waits for the focus in its first field as well). With "text"
// as its second argument the window also shows one Chinese caption in each of
// the three faces the single-rod window is designed in (Song, bold Kai, bold
// YouYuan): the least any program showing that window pays for its fonts.
#include "ready_probe.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>
#include <QWindow>

#include <cstring>

namespace {

void addCaption(QWidget *window, const char *family, const char *face, qreal points, bool bold,
                int y)
{
    QFont::insertSubstitution(QString::fromUtf8(family), QString::fromUtf8(face));
    auto *caption = new QLabel(QString::fromUtf8("被保护物高度 hx"), window);
    QFont font(QString::fromUtf8(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    caption->setFont(font);
    caption->move(0, y);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(486, 332);
    if (argc > 2 && std::strcmp(argv[2], "text") == 0) {
        addCaption(&window, "宋体", "AR PL UMing CN", 12, false, 0);
        addCaption(&window, "楷体_GB2312", "AR PL UKai CN", 12, true, 40);
        addCaption(&window, "幼圆", "Noto Sans CJK SC", 12, true, 80);
    }
    window.show();
    window.raise(); // as the program shows its start window
    window.activateWindow();
    reportWhenReady(argc, argv, [&] {
        return window.windowHandle() && window.windowHandle()->isExposed() &&
               window.isActiveWindow();
    });
    return QApplication::exec();
}
