#include "designer/designer_window.h"
#include "dxf/import_command.h"
#include "project/check.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace {

// The check, the import and the help run without a display; anything else opens the designer.
bool wantsWindow(int argc, char *argv[])
{
    if (dxf::wantsImport(argc, argv)) return false;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (std::strncmp(arg, "--check", 7) == 0 || std::strcmp(arg, "-h") == 0 ||
            std::strncmp(arg, "--help", 6) == 0 || std::strcmp(arg, "-?") == 0)
            return false;
    }
    return true;
}

int runDesigner(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lplayout"));
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("要打开的布置文件"));
    parser.process(app);
    designer::DesignerWindow window;
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.openFile(parser.positionalArguments().first());
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    if (wantsWindow(argc, argv)) return runDesigner(argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lplayout"));
    if (dxf::wantsImport(argc, argv)) {
        QTextStream out(stdout), err(stderr);
        return dxf::runImport(app.arguments(), out, err);
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("防雷布置：按滚球法检查避雷装置的保护范围"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("不带 --check 时在设计窗口中打开的布置文件"));
    const QCommandLineOption check(
        QStringLiteral("check"),
        QStringLiteral("检查 FILE 中的每个被保护物，逐行输出结论；全部受保护时退出码为 0，"
                       "有未受保护者为 1，文件不能使用为 2"),
        QStringLiteral("FILE"));
    parser.addOption(check);
    parser.addOption(dxf::importHelpOption());
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!parser.isSet(check)) {
        err << parser.helpText();
        return lplayout::FileUnusable;
    }
    return lplayout::runCheck(parser.value(check), out, err);
}
