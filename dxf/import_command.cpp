#include "dxf/import_command.h"

#include "dxf/code_page.h"
#include "dxf/drawing.h"
#include "dxf/site_import.h"
#include "project/check.h"
#include "project/project_file.h"

#include <QCommandLineParser>

#include <cstring>

namespace dxf {

namespace {

struct Usage {
    QString what;
};

double height(const QCommandLineParser &parser, const QCommandLineOption &option, double otherwise)
{
    if (!parser.isSet(option)) return otherwise;
    bool ok = false;
    const double value = parser.value(option).toDouble(&ok);
    if (!ok || !(value > 0 && value <= lplayout::kMaxHeight))
        throw Usage{QStringLiteral("--%1 应为大于 0、不超过 %2 的米数，却是「%3」")
                        .arg(option.names().first())
                        .arg(lplayout::kMaxHeight)
                        .arg(parser.value(option))};
    return value;
}

// A length the option gives, from `least` (or above it, when `above`) up to `most` metres.
double metres(const QCommandLineParser &parser, const QCommandLineOption &option, double otherwise,
              double least, bool above, double most)
{
    if (!parser.isSet(option)) return otherwise;
    bool ok = false;
    const double value = parser.value(option).toDouble(&ok);
    if (!ok || !(above ? value > least : value >= least) || !(value <= most))
        throw Usage{QStringLiteral("--%1 应为%2 %3、不超过 %4 的米数，却是「%5」")
                        .arg(option.names().first(),
                             above ? QStringLiteral("大于") : QStringLiteral("不小于"))
                        .arg(least)
                        .arg(most)
                        .arg(parser.value(option))};
    return value;
}

} // namespace

QCommandLineOption importHelpOption()
{
    return QCommandLineOption(
        QString::fromLatin1(kImportOption + 2),
        QStringLiteral("从 CAD 图（ASCII DXF）导入建筑物、避雷针和避雷线，写成布置文件；"
                       "另需 --buildings 和 -o，详见 --import-dxf --help"),
        QStringLiteral("SITE.dxf"));
}

bool wantsImport(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], kImportOption, std::strlen(kImportOption)) == 0) return true;
    return false;
}

int runImport(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("防雷布置：从 CAD 图导入场地（建筑物轮廓、避雷针、避雷线）"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("显示本说明"));
    const QCommandLineOption site = importHelpOption();
    const QCommandLineOption buildings(
        QStringLiteral("buildings"),
        QStringLiteral("其闭合轮廓（闭合多段线、圆）为建筑物的图层，多个用逗号分开"),
        QStringLiteral("LAYER"));
    const QCommandLineOption rods(QStringLiteral("rods"),
                                  QStringLiteral("避雷针所在的图层（点、圆或块参照）"),
                                  QStringLiteral("LAYER"));
    const QCommandLineOption wires(QStringLiteral("wires"),
                                   QStringLiteral("避雷线所在的图层（直线、多段线）"),
                                   QStringLiteral("LAYER"));
    const QCommandLineOption roofConductors(
        QStringLiteral("roof-conductors"),
        QStringLiteral("接闪带、接闪网所在的图层（直线、多段线），多个用逗号分开；"
                       "高度取所在屋面加 --tape-height"),
        QStringLiteral("LAYER"));
    const QCommandLineOption downConductors(
        QStringLiteral("down-conductors"),
        QStringLiteral("引下线所在的图层（点、圆或块参照），每个自所在屋面引至下层屋面或地面"),
        QStringLiteral("LAYER"));
    const QCommandLineOption tapeHeight(QStringLiteral("tape-height"),
                                        QStringLiteral("接闪带、接闪网高出屋面的高度，默认 %1 m")
                                            .arg(calc::roof::kDefaultTapeHeight),
                                        QStringLiteral("M"));
    const QCommandLineOption units(QStringLiteral("units"),
                                   QStringLiteral("图形单位，代替图中所记（无记载时为 mm）"),
                                   QStringLiteral("mm|cm|m"));
    const QCommandLineOption objectHeight(QStringLiteral("height"),
                                          QStringLiteral("图中未给出高度的建筑物的高度，默认 %1 m")
                                              .arg(calc::layout::kNewObjectHeight),
                                          QStringLiteral("M"));
    const QCommandLineOption rodHeight(
        QStringLiteral("rod-height"),
        QStringLiteral("图中未给出高度的避雷针的高度，默认 %1 m").arg(calc::layout::kNewRodHeight),
        QStringLiteral("M"));
    const QCommandLineOption wireHeight(
        QStringLiteral("wire-height"),
        QStringLiteral("图中未给出高度的避雷线的架设高度，默认 %1 m")
            .arg(calc::layout::kNewWireHeight),
        QStringLiteral("M"));
    const QCommandLineOption storeyHeight(
        QStringLiteral("storey-height"),
        QStringLiteral("层数注记（6F、6层、18+1F 等）换算高度时的层高，默认 3 m；"
                       "高度为层数 × 层高 + 女儿墙高度"),
        QStringLiteral("M"));
    const QCommandLineOption parapet(QStringLiteral("parapet"),
                                     QStringLiteral("层数换算高度时加上的女儿墙高度，默认 1.2 m"),
                                     QStringLiteral("M"));
    const QCommandLineOption bareNumbers(
        QStringLiteral("bare-numbers"),
        QStringLiteral("轮廓内单独的整数注记是层数（storeys，默认，按总图制图标准）"
                       "还是米数（metres）"),
        QStringLiteral("storeys|metres"));
    const QCommandLineOption joinTolerance(
        QStringLiteral("join-tolerance"),
        QStringLiteral("端点相距不超过此值的直线、圆弧连成轮廓，默认 0.001 m"),
        QStringLiteral("M"));
    const QCommandLineOption codepage(
        QStringLiteral("codepage"),
        QStringLiteral("图中文字的代码页，代替图中所记或按文字判断的：GBK（ANSI_936）、"
                       "SJIS（ANSI_932）、BIG5（ANSI_950）、ANSI_1252 或 UTF-8"),
        QStringLiteral("NAME"));
    const QCommandLineOption hr(QStringLiteral("hr"), QStringLiteral("滚球半径，默认 45 m"),
                                QStringLiteral("30|45|60"));
    const QCommandLineOption output(QStringLiteral("o"), QStringLiteral("要写的布置文件"),
                                    QStringLiteral("OUT.lplayout"));
    parser.addOptions({help, site, buildings, rods, wires, roofConductors, downConductors,
                       tapeHeight, units, objectHeight, rodHeight, wireHeight, storeyHeight,
                       parapet, bareNumbers, joinTolerance, codepage, hr, output});
    // Asked for anywhere, even where an option's value would stand ("--import-dxf --help").
    if (arguments.contains(QLatin1String("-h")) || arguments.contains(QLatin1String("--help"))) {
        out << parser.helpText();
        return 0;
    }
    try {
        if (!parser.parse(arguments)) throw Usage{parser.errorText()};
        if (!parser.positionalArguments().isEmpty())
            throw Usage{QStringLiteral("多余的参数：") + parser.positionalArguments().join(' ')};
        if (!parser.isSet(buildings)) throw Usage{QStringLiteral("缺少 --buildings")};
        if (!parser.isSet(output)) throw Usage{QStringLiteral("缺少 -o（要写的布置文件）")};
        SiteChoice choice;
        for (const QString &value : parser.values(buildings))
            choice.buildings += value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        if (choice.buildings.isEmpty()) throw Usage{QStringLiteral("--buildings 没有给出图层")};
        choice.rods = parser.value(rods);
        choice.wires = parser.value(wires);
        for (const QString &value : parser.values(roofConductors))
            choice.roofConductors += value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        choice.downConductors = parser.value(downConductors);
        choice.tapeHeight =
            metres(parser, tapeHeight, choice.tapeHeight, 0, false, calc::roof::kRoofConductorRise);
        if (parser.isSet(units)) {
            choice.units = lplayout::parseUnits(parser.value(units));
            if (!choice.units)
                throw Usage{QStringLiteral("--units 应为 mm、cm 或 m，却是「%1」")
                                .arg(parser.value(units))};
        }
        choice.objectHeight = height(parser, objectHeight, choice.objectHeight);
        choice.rodHeight = height(parser, rodHeight, choice.rodHeight);
        choice.wireHeight = height(parser, wireHeight, choice.wireHeight);
        choice.heights.storeyHeight =
            metres(parser, storeyHeight, choice.heights.storeyHeight, 0, true, kMaxStoreyHeight);
        choice.heights.parapet =
            metres(parser, parapet, choice.heights.parapet, 0, false, kMaxParapet);
        choice.joinTolerance =
            metres(parser, joinTolerance, choice.joinTolerance, 0, true, kMaxJoinTolerance);
        if (parser.isSet(bareNumbers)) {
            const QString v = parser.value(bareNumbers);
            if (v != QLatin1String("storeys") && v != QLatin1String("metres"))
                throw Usage{
                    QStringLiteral("--bare-numbers 应为 storeys 或 metres，却是「%1」").arg(v)};
            choice.heights.bareMetres = v == QLatin1String("metres");
        }
        lplayout::ProjectFile file;
        if (parser.isSet(hr)) {
            bool ok = false;
            file.layout.hr = parser.value(hr).toInt(&ok);
            if (!ok || !calc::layout::isSphereRadius(file.layout.hr))
                throw Usage{
                    QStringLiteral("--hr 应为 30、45 或 60，却是「%1」").arg(parser.value(hr))};
        }

        const QString path = parser.value(site);
        ReadOptions reading;
        if (parser.isSet(codepage)) {
            const auto named = codePageNamed(parser.value(codepage));
            if (!named)
                throw Usage{QStringLiteral("--codepage 应为 GBK、ANSI_936、SJIS、ANSI_932、BIG5、"
                                           "ANSI_950、ANSI_1252 或 UTF-8，却是「%1」")
                                .arg(parser.value(codepage))};
            reading.encoding = *named;
        }
        const ReadResult read = loadDrawing(path, reading);
        if (!read.drawing) throw Usage{path + QStringLiteral(": ") + read.error};
        if (read.drawing->encodingFrom == Drawing::EncodingFrom::Texts)
            err << path << ": " << codePageNote(*read.drawing) << Qt::endl;
        SiteResult taken = importSite(*read.drawing, choice);
        if (!taken.site) throw Usage{path + QStringLiteral(": ") + taken.error};
        const QString summary = importSummary(*taken.site);
        file.layout.objects = std::move(taken.site->objects);
        file.layout.conductors = std::move(taken.site->conductors);
        file.drawing = taken.site->place;
        QString error;
        if (!lplayout::saveProject(parser.value(output), file, &error)) throw Usage{error};

        // What was mended or left out, and why, goes with the summary to standard error.
        for (const ImportNote &note : taken.site->notes) err << path << ": " << note.text << '\n';
        if (!taken.site->notes.empty()) err << path << ": " << summary << '\n';
        err.flush();
        out << parser.value(output) << QStringLiteral("：") << summary << '\n';
        out.flush();
        return 0;
    } catch (const Usage &u) {
        err << u.what << Qt::endl;
        return lplayout::FileUnusable;
    }
}

} // namespace dxf
