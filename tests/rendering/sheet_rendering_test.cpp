#include "sheets/rod_height_sheet.h"
#include "sheets/single_rod_sheet.h"
#include "sheets/strike_count_sheet.h"
#include "sheets/two_rods_sheet.h"
#include "rendering/drawing_inks.h"
#include "rendering/drawing_transform.h"
#include "rendering/fonts.h"
#include "rendering/sheet_rendering.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

#include <cmath>
#include <functional>

using calc::drawing::Ink;
using calc::sheet::Sheet;

namespace {

constexpr const char *kDate = "2026-12-07";

Sheet sheetOf(const QString &name)
{
    if (name == "single rod") return calc::singleRodSheet("10", "30", 0, kDate);
    if (name == "single rod, object taller") return calc::singleRodSheet("20", "10", 0, kDate);
    if (name == "two rods") return calc::twoRodsSheet("30", "40", 0, kDate);
    if (name == "rod height") return calc::rodHeightSheet("10", "10", 0, kDate);
    if (name == "strike count") return calc::strikeCountSheet("50", "20", "30", 0, 0, kDate);
    if (name == "strike count, huge")
        return calc::strikeCountSheet("1E+9", "0.001", "150", 0, 0, kDate);
    if (name == "rod height, far") return calc::rodHeightSheet("0.001", "1E+6", 0, kDate);
    return calc::singleRodSheet("abc", "10", 0, kDate); // an error outcome
}

bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 48 && std::abs(a.green() - b.green()) < 48 &&
           std::abs(a.blue() - b.blue()) < 48;
}

// Whether a pixel of this colour lies within `radius` device pixels of the
// logical point p.
bool inkAt(const QImage &image, QPointF p, QColor colour, int radius = 1)
{
    const QPoint centre = (p * image.devicePixelRatio()).toPoint();
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint q = centre + QPoint(dx, dy);
            if (image.rect().contains(q) && near(image.pixelColor(q), colour)) return true;
        }
    return false;
}

int countOf(const QImage &image, const std::function<bool(QColor)> &match)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += match(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

class SheetRenderingTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        rendering::mapDesignFamilies();
        QVERIFY(dir.isValid());
    }

    void htmlHoldsTheNumbers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("texts");
        // Values worked by hand: ro = √(30·90) = 51.962, rx = ro − √(10·110) = 18.795;
        // two rods 40 apart: hx = 60 − √(30² + 20²) = 23.944, bo = √(2700 − 400) = 47.958;
        // rod height: x2 = (120 − √6946.700) / 2 = 18.327; strike count 50×20×30 in 湛江:
        // Ae = 0.02702 km², N = 9.01·Ae = 0.2434, N′ = 9.56·Ae′ = 0.2583.
        QTest::newRow("single rod")
            << "single rod"
            << QStringList{"单根避雷针保护范围计算书", "51.962 m", "18.795 m", "一、依据"};
        QTest::newRow("two rods") << "two rods" << QStringList{"23.944 m", "47.958 m"};
        QTest::newRow("rod height") << "rod height" << QStringList{"18.327 m"};
        QTest::newRow("strike count")
            << "strike count" << QStringList{"0.02702", "0.2434", "0.2583", "第二类防雷建筑物"};
        QTest::newRow("error") << "error" << QStringList{"被保护物高度 hx 不是数字，请输入数字"};
    }

    void htmlHoldsTheNumbers()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, texts);
        QTextDocument document;
        document.setHtml(rendering::sheetHtml(sheetOf(name)));
        const QString shown = document.toPlainText();
        for (const QString &text : texts) QVERIFY2(shown.contains(text), qPrintable(text));
        QVERIFY(shown.contains(QStringLiteral("日期：2026-12-07")));
        QVERIFY(!shown.contains(QStringLiteral("nan"), Qt::CaseInsensitive));
        QVERIFY(!shown.contains(QStringLiteral("inf"), Qt::CaseInsensitive));
    }

    void htmlEscapesTextAndPlacesTheDrawing()
    {
        Sheet sheet;
        sheet.title = "<b>&计算书";
        sheet.sections.push_back({"输入", {std::vector<calc::sheet::Entry>{{"a<b", "\"1\" & 2"}}}});
        const QString html = rendering::sheetHtml(sheet, QStringLiteral("drawing.png"));
        QVERIFY(html.contains(QStringLiteral("&lt;b&gt;&amp;计算书")));
        QVERIFY(html.contains(QStringLiteral("a&lt;b")));
        QVERIFY(html.contains(QStringLiteral("&quot;1&quot; &amp; 2")));
        QVERIFY(!html.contains(QStringLiteral("<b>&")));
        QVERIFY(html.contains(QStringLiteral("<img src=\"drawing.png\">")));
        // The error outcome's message stands out in red.
        QVERIFY(rendering::sheetHtml(sheetOf("error")).contains(QStringLiteral("#c00000")));
    }

    // Blocks shown on their own look as they do in the sheet: the same styles, the same markup,
    // their text escaped, and nothing of the sheet around them (title, date, figures).
    void blocksHtmlAsInTheSheet()
    {
        const std::vector<calc::sheet::Block> blocks{
            calc::sheet::Paragraph{"a<b & c"},
            calc::sheet::Table{{"量", "闭合公式 / m"}, {{"h0", "18.074"}}},
            calc::sheet::Paragraph{"结论"}};
        Sheet sheet;
        sheet.title = "计算书";
        sheet.date = kDate;
        sheet.sections.push_back({"核对", blocks});
        const QString whole = rendering::sheetHtml(sheet);
        const QString part = rendering::blocksHtml(blocks);

        const auto between = [](const QString &html, const QString &from, const QString &to) {
            const qsizetype a = html.indexOf(from), b = html.indexOf(to);
            return a < 0 || b < a ? QString() : html.mid(a + from.size(), b - a - from.size());
        };
        const QString style = between(part, QStringLiteral("<style>"), QStringLiteral("</style>"));
        QVERIFY(style.contains(QStringLiteral("td.head")));
        QCOMPARE(style, between(whole, QStringLiteral("<style>"), QStringLiteral("</style>")));
        const QString body = between(part, QStringLiteral("<body>"), QStringLiteral("</body>"));
        QVERIFY(body.contains(QStringLiteral("class=\"head\"")));
        QVERIFY(whole.contains(body));
        QVERIFY(body.contains(QStringLiteral("a&lt;b &amp; c")));
        QVERIFY(!body.contains(QStringLiteral("<h1")) && !body.contains(QStringLiteral("附图")));

        QTextDocument document;
        document.setHtml(part);
        const QString shown = document.toPlainText();
        for (const char *text : {"a<b & c", "闭合公式 / m", "18.074", "结论"})
            QVERIFY2(shown.contains(QString::fromUtf8(text)), text);
        QVERIFY(!shown.contains(QString::fromUtf8(kDate)));
        QVERIFY(rendering::blocksHtml({}).contains(QStringLiteral("<body></body>")));
    }

    void singleRodGeometryToAPixel_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("100 %") << 1.0;
        QTest::newRow("200 %") << 2.0;
    }

    void singleRodGeometryToAPixel()
    {
        QFETCH(qreal, ratio);
        const Sheet sheet = sheetOf("single rod");
        const QImage image = rendering::drawingImage(sheet.drawing, QSize(640, 420), ratio);
        QCOMPARE(image.size(), QSize(640, 420) * ratio);
        if (!qEnvironmentVariableIsEmpty("LPCALC_SHOTS"))
            image.save(qEnvironmentVariable("LPCALC_SHOTS") + "/drawing single rod at " +
                       QString::number(ratio) + ".png");
        const QTransform t =
            rendering::drawingViewTransform(sheet.drawing, 0, QRectF(0, 0, 640, 420), image);
        QCOMPARE(t.m11(), -t.m22()); // one scale for both axes, y up
        const qreal s = t.m11();
        const QColor rod = rendering::inkColour(Ink::Rod);
        const QColor arc = rendering::inkColour(Ink::Arc);

        // The rod's top at (0, 30): the first rod pixel down its column.
        const QPointF top = t.map(QPointF(0, 30));
        int first = -1;
        const int x = qRound(top.x() * ratio);
        for (int y = qRound((top.y() - 12) * ratio); y < qRound((top.y() + 12) * ratio); ++y)
            if (near(image.pixelColor(x, y), rod)) {
                first = y;
                break;
            }
        QVERIFY(std::abs(first - top.y() * ratio) <= 1.0);
        QVERIFY(inkAt(image, t.map(QPointF(0, 15)), rod));

        // The arcs' feet at ±ro = ±√2700 on the ground, and the right arc, a
        // circle of 60 about (ro, 60), at the height 15: x = ro − √(60² − 45²).
        const double ro = std::sqrt(2700.0);
        QVERIFY(inkAt(image, t.map(QPointF(ro, 0)), arc));
        QVERIFY(inkAt(image, t.map(QPointF(-ro, 0)), arc));
        QVERIFY(!inkAt(image, t.map(QPointF(ro, 0)) + QPointF(5, 0), arc, 0));
        QVERIFY(inkAt(image, t.map(QPointF(ro - std::sqrt(1575.0), 15)), arc));
        QVERIFY(inkAt(image, t.map(QPointF(-ro + std::sqrt(1575.0), 15)), arc));
        // Inside the zone, shaded.
        QVERIFY(inkAt(image, t.map(QPointF(-ro / 2, 3)), rendering::zoneShade(), 0));
        QVERIFY(s > 0);
        // Nothing is red when the object is in the zone.
        const QColor red = rendering::inkColour(Ink::ObjectOutside);
        QCOMPARE(countOf(image, [&](QColor c) { return near(c, red); }), 0);
    }

    void objectAboveTheZoneIsRed()
    {
        const Sheet sheet = sheetOf("single rod, object taller");
        const QImage image = rendering::drawingImage(sheet.drawing, QSize(640, 420));
        const QTransform t =
            rendering::drawingViewTransform(sheet.drawing, 0, QRectF(0, 0, 640, 420), image);
        const QColor red = rendering::inkColour(Ink::ObjectOutside);
        const calc::drawing::Path *object = nullptr;
        for (const auto &path : sheet.drawing.views.at(0).paths)
            if (path.ink == Ink::ObjectOutside) object = &path;
        QVERIFY(object);
        // Its top edge at the object's height hx = 20.
        QCOMPARE(object->points.at(1).y, 20.0);
        const double middle = (object->points.at(1).x + object->points.at(2).x) / 2;
        QVERIFY(inkAt(image, t.map(QPointF(middle, 20)), red));
        QVERIFY(countOf(image, [&](QColor c) { return near(c, red); }) > 100);
    }

    void everyDrawingFitsItsArea_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        for (const char *name :
             {"single rod", "single rod, object taller", "two rods", "rod height", "strike count",
              "strike count, huge", "rod height, far", "error"}) {
            QTest::addRow("%s, small", name) << name << QSize(360, 260);
            QTest::addRow("%s, wide", name) << name << QSize(900, 400);
        }
    }

    void everyDrawingFitsItsArea()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const Sheet sheet = sheetOf(name);
        const QImage image = rendering::drawingImage(sheet.drawing, size);
        if (!qEnvironmentVariableIsEmpty("LPCALC_SHOTS"))
            image.save(qEnvironmentVariable("LPCALC_SHOTS") + "/drawing " + name + " " +
                       QString::number(size.width()) + ".png");
        // Nothing painted on the image's border: every label stays inside.
        int border = 0;
        int painted = 0;
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == QColor(Qt::white)) continue;
                ++painted;
                box |= QRect(x, y, 1, 1);
                border += (x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1);
            }
        QCOMPARE(border, 0);
        QVERIFY(painted > 100);
        // The reason in words, centred; the ink of a full-width "。" stands in
        // the left half of its cell, so the ink's box may lean left by half an em.
        if (sheet.drawing.views.empty()) {
            QVERIFY2(std::abs(box.center().x() - image.width() / 2) <= 8,
                     qPrintable(QString::number(box.center().x())));
            QVERIFY(std::abs(box.center().y() - image.height() / 2) <= 3);
        }
    }

    void pdfReadsBack_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("single rod")
            << "single rod"
            << QStringList{"防雷计算", "单根避雷针保护范围计算书", "51.962", "18.795", kDate};
        QTest::newRow("two rods") << "two rods" << QStringList{"双根等高避雷针", "23.944"};
        QTest::newRow("rod height") << "rod height" << QStringList{"避雷针高度计算书", "18.327"};
        QTest::newRow("strike count") << "strike count" << QStringList{"雷击次数计算书", "0.2583"};
        QTest::newRow("error") << "error" << QStringList{"不是数字，请输入数字"};
    }

    void pdfReadsBack()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, texts);
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        const QString path = dir.filePath(name + ".pdf");
        QCOMPARE(rendering::writeSheetPdf(sheetOf(name), path), QString());
        if (!qEnvironmentVariableIsEmpty("LPCALC_SHOTS"))
            QFile::copy(path, qEnvironmentVariable("LPCALC_SHOTS") + "/" + name + ".pdf");

        const QString info = run("pdfinfo", {path});
        const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
        QVERIFY(pages.match(info).captured(1).toInt() > 0);
        QVERIFY(info.contains(QStringLiteral("A4")));

        // pdftotext keeps or drops the spaces between Chinese and Latin text
        // depending on the face, so they are compared without white space.
        const auto squeezed = [](QString s) { return s.remove(QRegularExpression("\\s")); };
        const QString text = run("pdftotext", {"-enc", "UTF-8", path, "-"});
        texts << QStringLiteral("计算书") << QStringLiteral("第 1 页");
        for (const QString &expected : texts)
            QVERIFY2(squeezed(text).contains(squeezed(expected)),
                     qPrintable(expected + " not in:\n" + text));
        QVERIFY(!text.contains(QStringLiteral("nan"), Qt::CaseInsensitive));

        // Every font the file uses is embedded.
        const QStringList fonts = run("pdffonts", {path}).split('\n', Qt::SkipEmptyParts);
        QVERIFY(fonts.size() > 2);
        for (const QString &row : fonts.mid(2))
            QVERIFY2(row.contains(QStringLiteral(" yes ")), qPrintable(row));
    }

    void failedSaveLeavesFilesAlone()
    {
        const Sheet sheet = sheetOf("single rod");
        QTemporaryDir scratch;
        // A folder that is a regular file: the file keeps every byte.
        const QString plain = scratch.filePath("plain");
        QFile file(plain);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("an existing file\n");
        file.close();
        QVERIFY(!rendering::writeSheetPdf(sheet, plain + "/sheet.pdf").isEmpty());
        QCOMPARE(contents(plain), QByteArray("an existing file\n"));
        // A missing folder, and a target that is a folder.
        QVERIFY(rendering::writeSheetPdf(sheet, scratch.filePath("missing/sheet.pdf"))
                    .contains("不存在"));
        QVERIFY(QDir(scratch.path()).mkdir("folder"));
        QVERIFY(!rendering::writeSheetPdf(sheet, scratch.filePath("folder")).isEmpty());
        QVERIFY(QFileInfo(scratch.filePath("folder")).isDir());
        // A save that succeeds replaces the file whole.
        QCOMPARE(rendering::writeSheetPdf(sheet, plain), QString());
        QVERIFY(contents(plain).startsWith("%PDF-"));
        QVERIFY(contents(plain).trimmed().endsWith("%%EOF"));
        // No half file or temporary file left anywhere.
        QCOMPARE(
            QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList({"folder", "plain"}));
        QVERIFY(QDir(scratch.filePath("folder")).isEmpty());
    }
};

QTEST_MAIN(SheetRenderingTest)
#include "sheet_rendering_test.moc"
