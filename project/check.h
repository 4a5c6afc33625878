#pragma once

#include "layouts/layout.h"

#include <QString>
#include <QTextStream>

#include <optional>
#include <vector>

// `lplayout --check FILE`: one line per object, in file order, the name, a tab, protected or
// unprotected, a tab, the least clearance in metres and a tab before the point x,y,z where it
// occurs. A layout the check cannot settle within its limits, or the machine's memory, is
// reported on err as unusable, with the reason.
namespace lplayout {

enum CheckStatus { AllProtected = 0, SomeUnprotected = 1, FileUnusable = 2 };

// Every object's verdict, or none with the reason written to err after the file's path: a layout
// beyond the check's limits, or one the machine's memory cannot hold (never the raw exception).
std::optional<std::vector<calc::layout::ObjectVerdict>>
checkedObjects(const QString &path, const calc::layout::Layout &layout, QTextStream &err,
               const calc::layout::CheckLimits &limits = {});

CheckStatus runCheck(const QString &path, QTextStream &out, QTextStream &err,
                     const calc::layout::CheckLimits &limits = {});

} // namespace lplayout
