#include "dxf/layers_command.h"

#include "dxf/code_page.h"
#include "dxf/drawing.h"
#include "dxf/site_import.h"
#include "dxf/site_layers.h"
#include "project/check.h"

#include <QCommandLineParser>

#include <cstring>

namespace dxf {

bool wantsListLayers(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], kListLayersOption, std::strlen(kListLayersOption)) == 0)
            return true;
    return false;
}

int runListLayers(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("防雷布置：列出 CAD 图的图层"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("显示本说明"));
    const QCommandLineOption list(QString::fromLatin1(kListLayersOption + 2),
                                  QStringLiteral("逐行列出图中每个图层的名称和各类图形的个数"),
                                  QStringLiteral("DRAWING.dxf"));
    const QCommandLineOption codepage(QStringLiteral("codepage"),
                                      QStringLiteral("图中文字的代码页（同 --import-dxf）"),
                                      QStringLiteral("NAME"));
    parser.addOptions({help, list, codepage});
    if (arguments.contains(QLatin1String("-h")) || arguments.contains(QLatin1String("--help"))) {
        out << parser.helpText();
        return 0;
    }
    const auto fail = [&](const QString &why) {
        err << why << Qt::endl;
        return int(lplayout::FileUnusable);
    };
    if (!parser.parse(arguments)) return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("多余的参数：") + parser.positionalArguments().join(' '));
    ReadOptions reading;
    if (parser.isSet(codepage)) {
        const auto named = codePageNamed(parser.value(codepage));
        if (!named)
            return fail(QStringLiteral("--codepage 应为 GBK、ANSI_936、SJIS、ANSI_932、BIG5、"
                                       "ANSI_950、ANSI_1252 或 UTF-8，却是「%1」")
                            .arg(parser.value(codepage)));
        reading.encoding = *named;
    }
    const QString path = parser.value(list);
    const ReadResult read = loadDrawing(path, reading);
    if (!read.drawing) return fail(path + QStringLiteral(": ") + read.error);
    const Drawing &d = *read.drawing;
    for (const LayerSummary &layer : layerSummaries(d)) {
        out << layer.name;
        for (const CountColumn &column : countColumns()) out << '\t' << layer.counts.*column.count;
        out << '\n';
    }
    const auto units = headerUnits(d);
    out << QStringLiteral("单位：%1（$INSUNITS = %2）\t代码页：%3")
               .arg(units ? lplayout::unitsName(*units) : QStringLiteral("未记"))
               .arg(d.insUnits)
               .arg(codePageName(d.encoding));
    if (const QString note = codePageNote(d); !note.isEmpty())
        out << QStringLiteral("（") << note << QStringLiteral("）");
    out << '\n';
    out.flush();
    return 0;
}

} // namespace dxf
