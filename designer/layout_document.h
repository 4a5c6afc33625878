#pragma once

#include "layouts/layout.h"
#include "project/project_file.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <optional>

// The layout being edited, and where it lies in the CAD drawing it came from (none when it did
// not). Every change goes through the undo stack as one command that holds both before and
// after, so undo and redo restore them exactly.
namespace designer {

class LayoutDocument : public QObject {
    Q_OBJECT
public:
    explicit LayoutDocument(QObject *parent = nullptr);

    using Place = std::optional<lplayout::DrawingPlace>;

    const calc::layout::Layout &layout() const { return layout_; }
    const Place &drawingPlace() const { return place_; }
    QUndoStack &undoStack() { return stack_; }

    // Pushes the change from the current layout to `after` as an undoable edit named `what`,
    // keeping the drawing place; nothing when they are equal.
    void edit(const QString &what, const calc::layout::Layout &after);
    // The same, changing the drawing place with the layout in the one step (an import).
    void edit(const QString &what, const calc::layout::Layout &after, const Place &place);

    // Replaces the layout and its place without an undo step (a new or opened file) and marks
    // it saved.
    void reset(const calc::layout::Layout &layout, const Place &place = std::nullopt);

    bool isModified() const { return !stack_.isClean(); }
    void markSaved() { stack_.setClean(); }

signals:
    void changed();

private:
    friend class LayoutEdit;
    void set(const calc::layout::Layout &layout, const Place &place);

    calc::layout::Layout layout_;
    Place place_;
    QUndoStack stack_;
};

bool sameLayout(const calc::layout::Layout &a, const calc::layout::Layout &b);

} // namespace designer
