#include "dxf/group_reader.h"

#include <charconv>
#include <cmath>
#include <algorithm>
#include <cstring>

namespace dxf {

namespace {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// At most this much of a bad value goes into a message.
QString quoted(std::string_view s)
{
    constexpr std::size_t kShown = 40;
    return QStringLiteral("「%1」").arg(
        QString::fromUtf8(s.data(), qsizetype(std::min(s.size(), kShown))));
}

// from_chars takes no leading '+', which some writers put before exponents' numbers.
std::string_view withoutPlus(std::string_view s)
{
    if (s.size() > 1 && s.front() == '+') s.remove_prefix(1);
    return s;
}

} // namespace

QString atLine(std::uint32_t line, const QString &what)
{
    return QStringLiteral("第 %1 行：").arg(line) + what;
}

bool GroupReader::nextLine(std::string_view &line)
{
    if (at_ == end_) return false;
    const char *nl = static_cast<const char *>(std::memchr(at_, '\n', std::size_t(end_ - at_)));
    const char *lineEnd = nl ? nl : end_;
    line = std::string_view(at_, std::size_t(lineEnd - at_));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    at_ = nl ? nl + 1 : end_;
    ++line_;
    return true;
}

bool GroupReader::next(Group &group)
{
    for (;;) {
        std::string_view code;
        if (!nextLine(code)) return false;
        group.line = line_;
        const std::string_view digits = withoutPlus(trimmed(code));
        int value = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
            throw ReadError{atLine(line_, QStringLiteral("应为组码（整数），却是") + quoted(code))};
        if (!nextLine(group.value))
            throw ReadError{atLine(line_, QStringLiteral("文件不完整：组码 %1 之后没有值，"
                                                         "文件在此意外结束")
                                              .arg(value))};
        group.code = value;
        if (value != 999) return true;
    }
}

double number(const Group &group)
{
    const std::string_view s = withoutPlus(trimmed(group.value));
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        throw ReadError{
            atLine(group.line + 1, QStringLiteral("组码 %1 的值应为数字，却是").arg(group.code) +
                                       quoted(group.value))};
    return value;
}

long long integer(const Group &group)
{
    const std::string_view s = withoutPlus(trimmed(group.value));
    long long value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        throw ReadError{
            atLine(group.line + 1, QStringLiteral("组码 %1 的值应为整数，却是").arg(group.code) +
                                       quoted(group.value))};
    return value;
}

} // namespace dxf
