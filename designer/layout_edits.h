#pragma once

#include "layouts/layout.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <optional>

// The edits made on the plan, as changes of a layout: each gives the layout after the edit, or
// says why the layout cannot take it (the message the status bar shows).
namespace designer {

struct EditResult {
    std::optional<calc::layout::Layout> layout;
    QString refusal;
};

// A new wire between two snapped points, its ends as high as the last wire's ends (15 m on a
// site without wires).
EditResult withDrawnWire(const calc::layout::Layout &layout, QPointF from, QPointF to);

// These conductors and objects moved by `offset` metres; nothing when any point would leave
// the site (the items go back where they were, as a rod dragged off the site does).
std::optional<calc::layout::Layout> withMoved(const calc::layout::Layout &layout,
                                              const QList<int> &conductors,
                                              const QList<int> &objects, QPointF offset);

// The object's corner moved to `at`; refused off the site or when the outline would cross
// itself.
EditResult withCornerMoved(const calc::layout::Layout &layout, int object, int corner, QPointF at);

// Without these conductors and objects (indices in any order, repeats ignored).
calc::layout::Layout withoutItems(const calc::layout::Layout &layout, QList<int> conductors,
                                  QList<int> objects);

// The edit's name on the undo stack for a move of these items.
QString moveName(const calc::layout::Layout &layout, const QList<int> &conductors,
                 const QList<int> &objects);

} // namespace designer
