#include "windows/shell.h"
#include "windows/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    windows::mapFontFamilies();
    windows::loadQtChineseTexts();
    windows::showStartWindow();
    return QApplication::exec();
}
