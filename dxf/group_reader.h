#pragma once

#include <QString>

#include <cstdint>
#include <string_view>

// The pairs of lines an ASCII DXF file is made of: a group code (an integer saying what the
// value is) and the value. Reads in place, one pair at a time, without allocating.
namespace dxf {

// A file that cannot be read as a drawing: the message, in the user's words, names the line.
struct ReadError {
    QString what;
};

struct Group {
    int code = 0;
    std::string_view value; // the line as written, without its line break
    std::uint32_t line = 0; // of the group code, counted from 1
};

class GroupReader {
public:
    explicit GroupReader(std::string_view text) : at_(text.data()), end_(text.data() + text.size())
    {}

    // The next pair, comments (group 999) passed over; false at the end of the text. A code
    // that is no integer, or a code without its value, throws ReadError.
    bool next(Group &group);
    std::uint32_t line() const { return line_; }

private:
    bool nextLine(std::string_view &line);

    const char *at_;
    const char *end_;
    std::uint32_t line_ = 0;
};

// A group's value as a number; throw ReadError naming the group's line when it is none (or not
// finite, or out of range).
double number(const Group &group);
long long integer(const Group &group);

// "第 N 行：" and the text: how every message about a place in the file begins.
QString atLine(std::uint32_t line, const QString &what);

} // namespace dxf
