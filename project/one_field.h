#pragma once

#include <QString>

namespace lplayout {

// A name keeps one line and one column of a report: tabs and line breaks become spaces.
inline QString oneField(QString name)
{
    for (QChar &c : name)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    return name;
}

} // namespace lplayout
