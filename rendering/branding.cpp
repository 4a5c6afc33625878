#include "rendering/branding.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace rendering {

QString programTitle() { return QStringLiteral("防雷计算"); }

QString makerName() { return QStringLiteral("岚舟"); }

QString makerHost() { return QStringLiteral("lanzhou.example"); }

QUrl makerAddress() { return QUrl(QStringLiteral("https://lanzhou.example/")); }

QString linkToolTip() { return QStringLiteral("点击去") + makerName() + QStringLiteral("网站！"); }

void openMakerSite() { QDesktopServices::openUrl(makerAddress()); }

} // namespace rendering
