#pragma once

#include "layouts/layout.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

// The layout being edited. Every change goes through the undo stack as one command that holds
// the layout before and after, so undo and redo restore it exactly.
namespace designer {

class LayoutDocument : public QObject {
    Q_OBJECT
public:
    explicit LayoutDocument(QObject *parent = nullptr);

    const calc::layout::Layout &layout() const { return layout_; }
    QUndoStack &undoStack() { return stack_; }

    // Pushes the change from the current layout to `after` as an undoable edit named `what`;
    // nothing when they are equal.
    void edit(const QString &what, const calc::layout::Layout &after);

    // Replaces the layout without an undo step (a new or opened file) and marks it saved.
    void reset(const calc::layout::Layout &layout);

    bool isModified() const { return !stack_.isClean(); }
    void markSaved() { stack_.setClean(); }

signals:
    void changed();

private:
    friend class LayoutEdit;
    void set(const calc::layout::Layout &layout);

    calc::layout::Layout layout_;
    QUndoStack stack_;
};

bool sameLayout(const calc::layout::Layout &a, const calc::layout::Layout &b);

} // namespace designer
