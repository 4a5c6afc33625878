#include "windows/program.h"
#include "windows/window_set.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const auto windows = windows::startProgram();
    return QApplication::exec();
}
