#include "designer/designer_window.h"
#include "dxf/export_command.h"
#include "dxf/import_command.h"
#include "project/check.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>

#include <cstdio>
#include <cstring>

namespace {

// The check, the import, the export and the help run without a display; anything else opens
// the designer.
bool wantsWindow(int argc, char *argv[])
{
    if (dxf::wantsImport(argc, argv)) return false;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (std::strncmp(arg, "--check", 7) == 0 || std::strncmp(arg, "--export-dxf", 12) == 0 ||
            std::strcmp(arg, "-h") == 0 || std::strncmp(arg, "--help", 6) == 0 ||
            std::strcmp(arg, "-?") == 0)
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
    const QCommandLineOption exportDxf(
        QStringLiteral("export-dxf"),
        QStringLiteral("把 FILE 中的布置连同保护范围和结论写成 CAD 图（DXF，-o 给出文件）；"
                       "写成时退出码为 0，不能写成为 2"),
        QStringLiteral("FILE"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("导出的文件"), QStringLiteral("OUT"));
    parser.addOptions({exportDxf, output});
    parser.addOption(dxf::importHelpOption());
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (parser.isSet(exportDxf)) {
        if (!parser.isSet(output)) {
            err << QStringLiteral("--export-dxf 需要 -o OUT.dxf") << Qt::endl;
            return lplayout::FileUnusable;
        }
        return dxf::runExportDxf(parser.value(exportDxf), parser.value(output),
                                 QDate::currentDate().toString(Qt::ISODate).toStdString(), err);
    }
    if (!parser.isSet(check)) {
        err << parser.helpText();
        return lplayout::FileUnusable;
    }
    return lplayout::runCheck(parser.value(check), out, err);
}
