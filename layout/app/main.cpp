#include "layout/check.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lplayout"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("防雷布置：按滚球法检查避雷装置的保护范围"));
    parser.addHelpOption();
    const QCommandLineOption check(
        QStringLiteral("check"),
        QStringLiteral("检查 FILE 中的每个被保护物，逐行输出结论；全部受保护时退出码为 0，"
                       "有未受保护者为 1，文件不能使用为 2"),
        QStringLiteral("FILE"));
    parser.addOption(check);
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!parser.isSet(check)) {
        err << parser.helpText();
        return lplayout::FileUnusable;
    }
    return lplayout::runCheck(parser.value(check), out, err);
}
