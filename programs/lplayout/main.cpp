#include "designer/designer_window.h"
#include "dxf/export_command.h"
#include "dxf/import_command.h"
#include "dxf/layers_command.h"
#include "project/check.h"
#include "project/project_file.h"
#include "project/roof_command.h"
#include "project/strikes.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>

#include <cstdio>
#include <optional>
#include <cstring>

namespace {

// The check, the strike counts, the roof network's check and lay-out, the import, the export and
// the help run without a display; anything else opens the designer.
bool wantsWindow(int argc, char *argv[])
{
    if (dxf::wantsImport(argc, argv) || dxf::wantsListLayers(argc, argv)) return false;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        // The strike counts' options as well, so that given without --strikes they are
        // refused with a reason rather than taken for the designer's.
        if (std::strncmp(arg, "--check", 7) == 0 || std::strncmp(arg, "--export-dxf", 12) == 0 ||
            std::strncmp(arg, "--strikes", 9) == 0 || std::strncmp(arg, "--roof", 6) == 0 ||
            std::strncmp(arg, "--lay-roof", 10) == 0 || std::strncmp(arg, "--building", 10) == 0 ||
            std::strncmp(arg, "--td", 4) == 0 || std::strncmp(arg, "--group", 7) == 0 ||
            std::strcmp(arg, "--k") == 0 || std::strncmp(arg, "--k=", 4) == 0 ||
            std::strcmp(arg, "-k") == 0 || std::strcmp(arg, "-h") == 0 ||
            std::strncmp(arg, "--help", 6) == 0 || std::strcmp(arg, "-?") == 0)
            return false;
    }
    return true;
}

// The values --td, --k and --group give, or the reason one cannot be used.
std::optional<lplayout::StrikeOptions> strikeOptions(const QCommandLineParser &parser,
                                                     QTextStream &err)
{
    lplayout::StrikeOptions options;
    bool ok = true;
    if (parser.isSet(QStringLiteral("td"))) {
        const double td = parser.value(QStringLiteral("td")).toDouble(&ok);
        if (!ok || !calc::isThunderstormDays(td)) {
            err << QStringLiteral("--td: 年雷暴日应为大于 0 且不超过 365 的数") << Qt::endl;
            return std::nullopt;
        }
        options.thunderstormDays = td;
    }
    if (parser.isSet(QStringLiteral("k"))) {
        const double k = parser.value(QStringLiteral("k")).toDouble(&ok);
        if (!ok || !calc::isCorrectionFactor(k)) {
            err << QStringLiteral("--k: 校正系数应为 1、1.5、1.7 或 2") << Qt::endl;
            return std::nullopt;
        }
        options.k = k;
    }
    if (parser.isSet(QStringLiteral("group"))) {
        options.group = lplayout::parseGroup(parser.value(QStringLiteral("group")));
        if (!options.group) {
            err << QStringLiteral("--group: 应为 important 或 ordinary") << Qt::endl;
            return std::nullopt;
        }
    }
    return options;
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
    if (dxf::wantsListLayers(argc, argv)) {
        QTextStream out(stdout), err(stderr);
        return dxf::runListLayers(app.arguments(), out, err);
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
    const QCommandLineOption strikes(
        QStringLiteral("strikes"),
        QStringLiteral("逐行输出 FILE 中每个建筑物的等效面积 Ae（km²）、年预计雷击次数 N（次/a）、"
                       "按年预计雷击次数划分的防雷类别（2、3 或 none）和分组；全部算出时退出码"
                       "为 0，文件不能使用、未给出年雷暴日、选项不能使用或有建筑物不能计算时为 2"),
        QStringLiteral("FILE"));
    parser.addOptions(
        {strikes,
         {QStringLiteral("td"), QStringLiteral("年雷暴日（代替文件中的值）"),
          QStringLiteral("DAYS")},
         {QStringLiteral("k"), QStringLiteral("校正系数 1、1.5、1.7 或 2（代替文件中的值）"),
          QStringLiteral("K")},
         {QStringLiteral("group"),
          QStringLiteral("各建筑物的分组：important（重要或人员密集的公共建筑物等）或 "
                         "ordinary（一般性民用或工业建筑物，未给出时）"),
          QStringLiteral("GROUP")}});
    const QCommandLineOption roof(
        QStringLiteral("roof"),
        QStringLiteral(
            "逐行输出 FILE 中每个建筑物的屋面防雷检查：名称、防雷类别、接闪网结论、最大网格、"
            "未覆盖屋面面积（m²）、接闪带结论、引下线根数、最大间距和平均间距（m）、"
            "引下线结论；全部合格时退出码为 0，有不合格者为 1，文件不能使用为 2"),
        QStringLiteral("FILE"));
    const QCommandLineOption layRoof(
        QStringLiteral("lay-roof"),
        QStringLiteral("按布置的防雷类别为建筑物生成屋面防雷（接闪带、接闪网、引下线），"
                       "写入 -o 给出的文件；写成时退出码为 0，不能写成为 2"),
        QStringLiteral("FILE"));
    const QCommandLineOption building(
        QStringLiteral("building"),
        QStringLiteral("与 --lay-roof 一起：只为此建筑物生成（可给多次；不给时为全部建筑物）"),
        QStringLiteral("NAME"));
    parser.addOptions({roof, layRoof, building});
    parser.addOption(dxf::importHelpOption());
    parser.addOption({QString::fromLatin1(dxf::kListLayersOption + 2),
                      QStringLiteral("逐行列出 CAD 图（DXF）每个图层的名称和其中各类图形的个数"
                                     "（以制表符分开），末行为图形单位和代码页"),
                      QStringLiteral("DRAWING.dxf")});
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
    if (parser.isSet(building) && !parser.isSet(layRoof)) {
        err << QStringLiteral("--building 只与 --lay-roof 一起使用") << Qt::endl;
        return lplayout::FileUnusable;
    }
    if (parser.isSet(layRoof)) {
        if (!parser.isSet(output)) {
            err << QStringLiteral("--lay-roof 需要 -o OUT") << Qt::endl;
            return lplayout::FileUnusable;
        }
        return lplayout::runLayRoof(parser.value(layRoof), parser.value(output),
                                    parser.values(building), err);
    }
    if (parser.isSet(roof)) return lplayout::runRoof(parser.value(roof), out, err);
    const bool strikeOption = parser.isSet(QStringLiteral("td")) ||
                              parser.isSet(QStringLiteral("k")) ||
                              parser.isSet(QStringLiteral("group"));
    if (strikeOption && !parser.isSet(strikes)) {
        err << QStringLiteral("--td、--k 和 --group 只与 --strikes 一起使用") << Qt::endl;
        return lplayout::FileUnusable;
    }
    if (parser.isSet(strikes)) {
        const auto options = strikeOptions(parser, err);
        if (!options) return lplayout::FileUnusable;
        return lplayout::runStrikes(parser.value(strikes), *options, out, err);
    }
    if (!parser.isSet(check)) {
        err << parser.helpText();
        return lplayout::FileUnusable;
    }
    return lplayout::runCheck(parser.value(check), out, err);
}
