#pragma once

#include "calc/layout.h"
#include "designer/layout_results.h"

#include <QGraphicsView>
#include <QPointF>

#include <optional>

class QGraphicsLineItem;
class QGraphicsPathItem;

// The layout seen from above on a metre grid: conductors, objects coloured by their verdict,
// the protected area at the chosen height. Click to place a rod (in the place-rod mode), drag a
// rod to move it (both snap to the grid), the wheel zooms, a drag on empty ground pans.
// Plan coordinates are metres with y pointing up; the scene's y is their negative.
namespace designer {

inline constexpr double kSnapStep = 1.0; // metres

class PlanView : public QGraphicsView {
    Q_OBJECT
public:
    explicit PlanView(QWidget *parent = nullptr);

    void showLayout(const calc::layout::Layout &layout);
    void showResults(const LayoutResults &results);
    void setPlacingRods(bool placing);
    // In this mode a drag on the plan draws the line of a section.
    void setDrawingSection(bool drawing);
    void showSectionLine(const SectionLine &line);
    bool isPlacingRods() const { return placing_; }
    // Zooms to show the whole layout.
    void fitLayout();

    // Plan metres to the view's pixel and back.
    QPoint viewPoint(QPointF plan) const;
    QPointF planPoint(QPoint view) const;
    static QPointF snapped(QPointF plan);

    // The protected area's outline as drawn, in plan metres.
    const calc::layout::PlanZone &zone() const { return zone_; }

signals:
    void rodPlaced(QPointF plan);
    void rodMoved(int conductor, QPointF plan);
    void sectionDrawn(QPointF from, QPointF to);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void drawBackground(QPainter *painter, const QRectF &rect) override;

private:
    void rebuild();
    friend class RodItem;
    void rodReleased(int conductor, QPointF scenePos);

    calc::layout::Layout layout_;
    std::vector<calc::layout::ObjectVerdict> verdicts_;
    std::vector<Exposure> exposed_;
    bool userZoomed_ = false;
    calc::layout::PlanZone zone_;
    QGraphicsPathItem *zoneFill_ = nullptr;
    QGraphicsPathItem *zoneOutline_ = nullptr;
    bool rebuildPending_ = false;
    bool placing_ = false;
    bool drawingSection_ = false;
    std::optional<QPointF> sectionStart_;
    QGraphicsLineItem *sectionLine_ = nullptr;
};

} // namespace designer
