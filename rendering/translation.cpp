#include "rendering/translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace rendering {

void loadQtChineseTexts()
{
    const QString name = QStringLiteral("qtbase_zh_CN");
    if (!qApp || qApp->findChild<QTranslator *>(name, Qt::FindDirectChildrenOnly)) return;
    auto *translator = new QTranslator(qApp);
    translator->setObjectName(name);
    if (translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace rendering
