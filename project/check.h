#pragma once

#include <QString>
#include <QTextStream>

// `lplayout --check FILE`: one line per object, in file order, the name, a tab, protected or
// unprotected, a tab, the least clearance in metres and a tab before the point x,y,z where it
// occurs.
namespace lplayout {

enum CheckStatus { AllProtected = 0, SomeUnprotected = 1, FileUnusable = 2 };

CheckStatus runCheck(const QString &path, QTextStream &out, QTextStream &err);

} // namespace lplayout
