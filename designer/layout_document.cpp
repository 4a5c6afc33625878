#include "designer/layout_document.h"

#include <QUndoCommand>

namespace designer {

namespace {

bool samePoint(const calc::rolling_sphere::Point &a, const calc::rolling_sphere::Point &b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

bool sameConductor(const calc::layout::Conductor &a, const calc::layout::Conductor &b)
{
    if (a.index() != b.index()) return false;
    if (const auto *r = std::get_if<calc::layout::Rod>(&a)) {
        const auto &s = std::get<calc::layout::Rod>(b);
        return r->x == s.x && r->y == s.y && r->h == s.h;
    }
    const auto &w = std::get<calc::layout::Wire>(a);
    const auto &v = std::get<calc::layout::Wire>(b);
    return samePoint(w.a, v.a) && samePoint(w.b, v.b) && w.laidOut == v.laidOut;
}

bool sameObject(const calc::layout::Object &a, const calc::layout::Object &b)
{
    if (a.name != b.name || a.height != b.height || a.building != b.building ||
        a.group != b.group || a.metal != b.metal || a.footprint.size() != b.footprint.size())
        return false;
    for (std::size_t i = 0; i < a.footprint.size(); ++i)
        if (a.footprint[i].x != b.footprint[i].x || a.footprint[i].y != b.footprint[i].y)
            return false;
    return true;
}

} // namespace

bool sameLayout(const calc::layout::Layout &a, const calc::layout::Layout &b)
{
    if (a.hr != b.hr || a.conductors.size() != b.conductors.size() ||
        a.objects.size() != b.objects.size() || a.site.city != b.site.city ||
        a.site.thunderstormDays != b.site.thunderstormDays || a.site.k != b.site.k)
        return false;
    for (std::size_t i = 0; i < a.conductors.size(); ++i)
        if (!sameConductor(a.conductors[i], b.conductors[i])) return false;
    for (std::size_t i = 0; i < a.objects.size(); ++i)
        if (!sameObject(a.objects[i], b.objects[i])) return false;
    return true;
}

class LayoutEdit : public QUndoCommand {
public:
    using Place = LayoutDocument::Place;
    LayoutEdit(LayoutDocument &document, const QString &what, calc::layout::Layout before,
               Place placeBefore, calc::layout::Layout after, Place placeAfter)
        : QUndoCommand(what), document_(document), before_(std::move(before)),
          after_(std::move(after)), placeBefore_(placeBefore), placeAfter_(placeAfter)
    {}
    void undo() override { document_.set(before_, placeBefore_); }
    void redo() override { document_.set(after_, placeAfter_); }

private:
    LayoutDocument &document_;
    calc::layout::Layout before_, after_;
    Place placeBefore_, placeAfter_;
};

LayoutDocument::LayoutDocument(QObject *parent) : QObject(parent) {}

void LayoutDocument::edit(const QString &what, const calc::layout::Layout &after)
{
    edit(what, after, place_);
}

void LayoutDocument::edit(const QString &what, const calc::layout::Layout &after,
                          const Place &place)
{
    if (sameLayout(layout_, after) && place_ == place) return;
    stack_.push(new LayoutEdit(*this, what, layout_, place_, after, place));
}

void LayoutDocument::reset(const calc::layout::Layout &layout, const Place &place)
{
    stack_.clear();
    set(layout, place);
    stack_.setClean();
}

void LayoutDocument::set(const calc::layout::Layout &layout, const Place &place)
{
    layout_ = layout;
    place_ = place;
    emit changed();
}

} // namespace designer
