// Every sheet's drawing, laid out as the painter lays it out on the screen and
// on paper: no label's box may cross another label's box, a drawn line, an arc
// or a dot. The crossings are found here with Qt's own geometry, not with the
// placement rule's.
#include "layouts/layout_sheet.h"
#include "project/project_file.h"
#include "rendering/drawing_labels.h"
#include "rendering/drawing_transform.h"
#include "sheets/label_placement.h"
#include "sheets/rod_height_sheet.h"
#include "sheets/single_rod_sheet.h"
#include "sheets/strike_count_sheet.h"
#include "sheets/two_rods_sheet.h"

#include <QImage>
#include <QLineF>
#include <QPolygonF>
#include <QTest>

#include <functional>

namespace {

using calc::sheet::Sheet;

const std::string kDate = "2026年12月8日";

calc::sheet::Sheet layoutExample(const QString &path)
{
    const lplayout::LoadResult loaded = lplayout::loadProject(path);
    if (!loaded.file) qFatal("%s: %s", qPrintable(path), qPrintable(loaded.error));
    return calc::layoutSheet(loaded.file->layout, 0, kDate);
}

// Whether the line runs through the inside of the rectangle.
bool runsThrough(const QLineF &line, const QRectF &rect)
{
    if (rect.contains(line.p1()) || rect.contains(line.p2())) {
        // An end inside counts only when it is strictly inside.
        const QRectF inner = rect.adjusted(1e-6, 1e-6, -1e-6, -1e-6);
        if (inner.contains(line.p1()) || inner.contains(line.p2())) return true;
    }
    const QLineF sides[] = {{rect.topLeft(), rect.topRight()},
                            {rect.topRight(), rect.bottomRight()},
                            {rect.bottomRight(), rect.bottomLeft()},
                            {rect.bottomLeft(), rect.topLeft()}};
    int hits = 0;
    QPointF first;
    for (const QLineF &side : sides) {
        QPointF at;
        if (line.intersects(side, &at) != QLineF::BoundedIntersection) continue;
        if (hits > 0 && QLineF(first, at).length() > 1e-6) return true;
        first = at;
        ++hits;
    }
    return false;
}

struct Case {
    QString name;
    std::function<Sheet()> sheet;
};

} // namespace

class DrawingLabelsTest : public QObject {
    Q_OBJECT

private slots:
    void noLabelCrossesAnotherOrAStroke_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qreal>("ratio");
        for (int i = 0; i < static_cast<int>(cases().size()); ++i)
            for (const auto &[size, ratio] :
                 {std::pair{QSize(640, 420), 1.0}, std::pair{QSize(420, 640), 1.0},
                  std::pair{QSize(900, 600), 2.0}})
                QTest::addRow("%s, %dx%d@%g", qPrintable(cases()[i].name), size.width(),
                              size.height(), ratio)
                    << i << size << ratio;
    }

    void noLabelCrossesAnotherOrAStroke()
    {
        QFETCH(int, which);
        QFETCH(QSize, size);
        QFETCH(qreal, ratio);
        const Sheet sheet = cases()[which].sheet();
        QVERIFY(!sheet.drawing.views.empty());
        QImage device(size * ratio, QImage::Format_ARGB32_Premultiplied);
        device.setDevicePixelRatio(ratio);
        const QRectF area(QPointF(0, 0), QSizeF(size));
        const qreal dot = rendering::kMarkerRadiusPoints * rendering::pointOn(device);
        for (std::size_t v = 0; v < sheet.drawing.views.size(); ++v) {
            const auto &view = sheet.drawing.views[v];
            const QTransform transform =
                rendering::drawingViewTransform(sheet.drawing, v, area, device);
            const std::vector<QRectF> boxes = rendering::placeLabels(view, transform, device);
            QCOMPARE(boxes.size(), view.labels.size());
            for (std::size_t i = 0; i < boxes.size(); ++i) {
                const QString what = QString::fromStdString(view.labels[i].text);
                for (std::size_t j = 0; j < i; ++j)
                    QVERIFY2(!boxes[i].intersects(boxes[j]),
                             qPrintable(what + " covers " +
                                        QString::fromStdString(view.labels[j].text)));
                for (const auto &path : view.paths) {
                    if (path.filled) continue;
                    QPolygonF line;
                    for (const auto &p : path.points) line << transform.map(QPointF(p.x, p.y));
                    if (path.closed && !line.isEmpty()) line << line.front();
                    for (qsizetype k = 1; k < line.size(); ++k)
                        QVERIFY2(!runsThrough(QLineF(line[k - 1], line[k]), boxes[i]),
                                 qPrintable(what + " is crossed by a line"));
                }
                for (const auto &marker : view.markers) {
                    const QPointF at = transform.map(QPointF(marker.at.x, marker.at.y));
                    QVERIFY2(!boxes[i].intersects(
                                 QRectF(at - QPointF(dot, dot), at + QPointF(dot, dot))),
                             qPrintable(what + " covers a dot"));
                }
            }
        }
    }

    // The rule itself, on boxes and segments of known places.
    void ruleMovesOnlyWhatIsInTheWay()
    {
        using namespace calc::drawing;
        const Box wish{0, 0, 40, 10};
        // Nothing in the way: the wish.
        QCOMPARE(placeLabels(std::vector{wish}, {}, {2, 10, 0}), std::vector{wish});
        // A horizontal line through the middle: the nearest free place is up, by
        // three steps of 2 (the line at y = 5 and the box's bottom at 10 - 6 = 4).
        Obstacles line{{{{-100, 5}, {100, 5}}}, {}};
        QCOMPARE(placeLabels(std::vector{wish}, line, {2, 10, 0}), std::vector{wish.moved(0, -6)});
        // Two wishes at the same place: the second stands above the first.
        const std::vector<Box> two = placeLabels(std::vector{wish, wish}, {}, {5, 10, 0});
        QCOMPARE(two[0], wish);
        QCOMPARE(two[1], wish.moved(0, -10));
        // Lines everywhere within reach: the place crossing the fewest, nearest the wish.
        Obstacles grid;
        for (int y = -30; y <= 40; y += 3)
            grid.strokes.push_back({{-100, double(y)}, {100, double(y)}});
        const std::vector<Box> stuck = placeLabels(std::vector{wish}, grid, {1, 4, 0});
        QCOMPARE(stuck[0].width(), wish.width());
        QVERIFY(std::abs(stuck[0].top - wish.top) <= 4);
    }

    void segmentCrossingIsStrict()
    {
        using namespace calc::drawing;
        const Box box{0, 0, 10, 10};
        QVERIFY(crosses({{-5, 5}, {15, 5}}, box));   // straight through
        QVERIFY(crosses({{5, 5}, {6, 6}}, box));     // wholly inside
        QVERIFY(crosses({{-5, -5}, {15, 15}}, box)); // the diagonal
        QVERIFY(!crosses({{-5, 0}, {15, 0}}, box));  // along an edge
        QVERIFY(!crosses({{-5, 12}, {15, 11}}, box));
        QVERIFY(!crosses({{-5, 5}, {0, 5}}, box));  // ends on an edge
        QVERIFY(!crosses({{12, 5}, {12, 5}}, box)); // a point outside
    }

private:
    static const std::vector<Case> &cases()
    {
        static const std::vector<Case> all{
            {"single rod hx 10 h 30 class 3",
             [] { return calc::singleRodSheet("10", "30", 2, kDate); }},
            {"single rod hx 10 h 30 class 1",
             [] { return calc::singleRodSheet("10", "30", 0, kDate); }},
            {"single rod above hr", [] { return calc::singleRodSheet("5", "80", 1, kDate); }},
            {"single rod object taller", [] { return calc::singleRodSheet("20", "10", 0, kDate); }},
            {"single rod hx 0", [] { return calc::singleRodSheet("0", "25", 1, kDate); }},
            {"two rods", [] { return calc::twoRodsSheet("30", "40", 0, kDate); }},
            {"two rods close", [] { return calc::twoRodsSheet("20", "5", 2, kDate); }},
            {"rod height", [] { return calc::rodHeightSheet("10", "10", 0, kDate); }},
            {"rod height far", [] { return calc::rodHeightSheet("5", "20", 1, kDate); }},
            {"strike count", [] { return calc::strikeCountSheet("50", "20", "30", 0, 0, kDate); }},
            {"strike count tall",
             [] { return calc::strikeCountSheet("60", "40", "150", 0, 3, kDate); }},
            {"layout two buildings",
             [] {
                 return layoutExample(
                     QStringLiteral(LPCALC_SOURCE_DIR "/docs/examples/two_buildings.lplayout"));
             }},
            {"layout two rods",
             [] {
                 return layoutExample(
                     QStringLiteral(LPCALC_SOURCE_DIR "/tests/project/examples/two_rods.lplayout"));
             }},
            {"layout one rod",
             [] {
                 return layoutExample(
                     QStringLiteral(LPCALC_SOURCE_DIR "/tests/project/examples/one_rod.lplayout"));
             }},
        };
        return all;
    }
};

QTEST_MAIN(DrawingLabelsTest)
#include "drawing_labels_test.moc"
