#pragma once

#include "layouts/layout.h"
#include "designer/layout_results.h"

#include <QGraphicsView>
#include <QList>
#include <QPointF>
#include <QPolygonF>

#include <optional>

class QGraphicsLineItem;
class QGraphicsPathItem;
class QGraphicsSimpleTextItem;

namespace designer {
class WireItem;
}

// The layout seen from above on a metre grid: conductors, objects coloured by their verdict,
// the protected area at the chosen height. Click to place a rod (in the place-rod mode), drag
// from one end to the other (or click both ends) to draw a wire, drag a rectangle or click the
// corners of a polygon to draw a new object; drag a rod, a wire or an object to move it, with
// the rest of the selection, and a selected object's corner handle to reshape it (all snap to
// the grid); the wheel zooms, a drag on empty ground pans. A click selects a conductor or an
// object (Ctrl adds to the selection).
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
    // In this mode a drag, or a click at each end, draws a new wire (Esc abandons it).
    void setDrawingWires(bool drawing);
    void showSectionLine(const SectionLine &line);
    // Each building's expanded outline, the line its equivalent area is measured inside.
    void setShowingStrikeOutlines(bool showing);
    bool isShowingStrikeOutlines() const;
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

    // Marks a fault of the roof check (a ring or a line in plan metres) and brings it into view;
    // an empty one clears the mark.
    void showFault(const std::vector<QPointF> &where, bool closed);
    bool isShowingFault() const;

    // The protected area's outline as drawn, in plan metres.
    const calc::layout::PlanZone &zone() const { return zone_; }

signals:
    void rodPlaced(QPointF plan);
    // A rod dragged alone to `plan`, on the grid.
    void rodMoved(int conductor, QPointF plan);
    // Conductors and objects dragged together by `offset` metres: the one under the mouse
    // lands on the grid as it would alone (a rod's foot or a wire's first end on a grid point,
    // an object by whole grid steps), the others move by the same offset.
    void itemsMoved(const QList<int> &conductors, const QList<int> &objects, QPointF offset);
    // An object's corner dragged to `plan`, on the grid.
    void cornerMoved(int object, int corner, QPointF plan);
    // A new wire's snapped ends (equal when both clicks fell on one grid point).
    void wireDrawn(QPointF from, QPointF to);
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
    enum class Mode { Pan, PlaceRod, DrawSection, DrawRectangle, DrawPolygon, DrawWire };
    // Items moved by the mouse, or one corner of an object.
    struct Drag {
        QPointF press;  // plan point under the mouse when pressed
        QPointF anchor; // the point that snaps: a rod's foot, a wire's first end, a corner
        QList<QGraphicsItem *> items;
        QList<QPointF> startPositions; // the items' positions in the scene
        QPointF target;                // where the anchor is now
        QPointF offset;                // metres moved so far
        int object = -1, corner = -1;  // a corner's drag
        bool loneRod = false;
    };
    void setMode(Mode mode, bool on);
    void rebuild();
    void startDrag();
    void continueDrag(QPointF plan);
    void finishDrag();
    // Places each wire's number beside it where it covers no other label at this zoom, and
    // each object's name where no wire strikes it through, if it can.
    void placeLabels();
    void wireClick(QPointF at, bool press);
    void sceneSelectionChanged();
    void applySelection();
    void showDraft(const QPolygonF &corners, std::optional<QPointF> next);
    // The roof network's own drawing: each roof conductor by its role, down conductors as their
    // mark, the largest or failing cells outlined and the failing spacings with their lengths.
    void drawRoofs();
    void styleWire(WireItem *item, std::size_t conductor);

    calc::layout::Layout layout_;
    std::vector<calc::layout::ObjectVerdict> verdicts_;
    std::vector<Exposure> exposed_;
    bool worstKnown_ = false; // the verdicts' points are the worst ones (not yet at first)
    bool userZoomed_ = false;
    calc::layout::PlanZone zone_;
    QGraphicsPathItem *zoneFill_ = nullptr;
    QGraphicsPathItem *zoneOutline_ = nullptr;
    QGraphicsPathItem *strikeOutlines_ = nullptr;
    QGraphicsPathItem *fault_ = nullptr;
    std::optional<calc::roof::SiteRoofs> roofs_;
    // How each object is protected: an object its roof's mesh protects is no fault of the
    // sphere dipping between the mesh's conductors.
    std::vector<calc::roof::ObjectProtection> protections_;
    bool rebuildPending_ = false;
    Mode mode_ = Mode::Pan;
    std::optional<QPointF> sectionStart_;
    QGraphicsLineItem *sectionLine_ = nullptr;
    // The new object's footprint while it is drawn, in plan metres.
    std::optional<QPointF> rectangleStart_;
    QPolygonF polygon_;
    QGraphicsPathItem *draft_ = nullptr;
    // The new wire's first end, and whether the mouse is down since it was placed.
    std::optional<QPointF> wireStart_;
    bool wirePressed_ = false;
    std::optional<Drag> drag_;
    QList<QGraphicsSimpleTextItem *> wireLabels_, objectLabels_, rodLabels_;
    QList<int> selectedConductors_, selectedObjects_;
    bool applyingSelection_ = false;
};

} // namespace designer
