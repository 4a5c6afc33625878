#include "windows/message_boxes.h"

#include <QMessageBox>

namespace windows {

namespace {

void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void showStopBox(QWidget *parent, const QString &text, const QString &title)
{
    showMessage(parent, QMessageBox::Critical, title, text);
}

void showNotice(QWidget *parent, const QString &text)
{
    showMessage(parent, QMessageBox::NoIcon, rendering::programTitle(), text);
}

bool confirmExit(QWidget *parent)
{
    QMessageBox box(QMessageBox::NoIcon, rendering::programTitle(),
                    QStringLiteral("真的要退出系统？"), QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

} // namespace windows
