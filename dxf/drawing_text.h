#pragma once

#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A drawing's strings as the user reads them: decoded from the drawing's code page, its
// escapes (\U+XXXX, \M+NXXXX) resolved, a text's control codes and an MTEXT's formatting
// taken out.
namespace dxf {

// The decoder's name for a drawing: UTF-8 from version 2007 (AC1021) on, before that the code
// page the header gives ($DWGCODEPAGE: ANSI_936 is GBK, ANSI_1252 windows-1252...).
std::string encodingFor(const QString &version, std::string_view codepage);

class TextDecoder {
public:
    explicit TextDecoder(const std::string &encoding);
    QString operator()(std::string_view raw);

private:
    QStringDecoder decoder_;
    bool valid_ = false;
};

// A TEXT's string as shown: %%c, %%d and %%p as ⌀, ° and ±, the over- and underline switches
// gone, ^-coded control characters as spaces.
QString plainText(const QString &text);

// An MTEXT's string as its lines: formatting codes (fonts, heights, colours, stacking, braces)
// taken out, one string per line at each paragraph break, trimmed; empty lines dropped.
QStringList mtextLines(const QString &text);

// Layer and block names are the same whatever their letters' case, as CAD programs take them.
inline char folded(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }
struct FoldedHash {
    std::size_t operator()(std::string_view s) const
    {
        std::size_t h = 1469598103934665603u;
        for (char c : s) h = (h ^ std::size_t(std::uint8_t(folded(c)))) * 1099511628211u;
        return h;
    }
};
struct FoldedEqual {
    bool operator()(std::string_view a, std::string_view b) const
    {
        return std::ranges::equal(a, b, [](char x, char y) { return folded(x) == folded(y); });
    }
};

} // namespace dxf
