#pragma once

#include "calc/layout.h"
#include "designer/layout_results.h"

#include <QGraphicsView>
#include <QList>
#include <QPointF>
#include <QPolygonF>

#include <optional>

class QGraphicsLineItem;
class QGraphicsPathItem;

// The layout seen from above on a metre grid: conductors, objects coloured by their verdict,
// the protected area at the chosen height. Click to place a rod (in the place-rod mode), drag a
// rod or an object to move it, drag a rectangle or click the corners of a polygon to draw a new
// object (all snap to the grid); the wheel zooms, a drag on empty ground pans. A click selects a
// conductor or an object (Ctrl adds to the selection).
// Plan coordinates are metres with y pointing up; the scene's y is their negative.
namespace designer {

inline constexpr double kSnapStep = 1.0; // metres

class PlanView : public QGraphicsView {
    Q_OBJECT
public:
    explicit PlanView(QWidget *parent = nullptr);
    ~PlanView() override;

    void showLayout(const calc::layout::Layout &layout);
    void showResults(const LayoutResults &results);
    void setPlacingRods(bool placing);
    // In this mode a drag on the plan draws the line of a section.
    void setDrawingSection(bool drawing);
    // In these modes the plan draws a new object's footprint: a rectangle dragged from corner to
    // corner, or a polygon of clicked corners finished with a double click (Esc abandons it).
    void setDrawingRectangles(bool drawing);
    void setDrawingPolygons(bool drawing);
    void showSectionLine(const SectionLine &line);
    bool isPlacingRods() const { return mode_ == Mode::PlaceRod; }

    // The conductors and objects highlighted, by their index in the layout. Setting them does
    // not report a change.
    void setSelection(const QList<int> &conductors, const QList<int> &objects);
    const QList<int> &selectedConductors() const { return selectedConductors_; }
    const QList<int> &selectedObjects() const { return selectedObjects_; }
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
    // An object dragged by `offset` metres (a whole number of grid steps each way).
    void objectMoved(int object, QPointF offset);
    // A new object's footprint, snapped corners in plan metres.
    void objectDrawn(const QPolygonF &footprint);
    void sectionDrawn(QPointF from, QPointF to);
    // The user selected other items on the plan.
    void selectionChanged(const QList<int> &conductors, const QList<int> &objects);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void drawBackground(QPainter *painter, const QRectF &rect) override;

private:
    enum class Mode { Pan, PlaceRod, DrawSection, DrawRectangle, DrawPolygon };
    void setMode(Mode mode, bool on);
    void rebuild();
    friend class RodItem;
    friend class ObjectItem;
    void rodReleased(int conductor, QPointF scenePos);
    void objectReleased(int object, QPointF offset);
    void sceneSelectionChanged();
    void applySelection();
    void showDraft(const QPolygonF &corners, std::optional<QPointF> next);

    calc::layout::Layout layout_;
    std::vector<calc::layout::ObjectVerdict> verdicts_;
    std::vector<Exposure> exposed_;
    bool worstKnown_ = false; // the verdicts' points are the worst ones (not yet at first)
    bool userZoomed_ = false;
    calc::layout::PlanZone zone_;
    QGraphicsPathItem *zoneFill_ = nullptr;
    QGraphicsPathItem *zoneOutline_ = nullptr;
    bool rebuildPending_ = false;
    Mode mode_ = Mode::Pan;
    std::optional<QPointF> sectionStart_;
    QGraphicsLineItem *sectionLine_ = nullptr;
    // The new object's footprint while it is drawn, in plan metres.
    std::optional<QPointF> rectangleStart_;
    QPolygonF polygon_;
    QGraphicsPathItem *draft_ = nullptr;
    QList<int> selectedConductors_, selectedObjects_;
    bool applyingSelection_ = false;
};

} // namespace designer
