#include "dxf/drawing_text.h"

#include <algorithm>
#include <array>
#include <utility>

namespace dxf {

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

// The four hex digits at s[at...], or -1.
int hex4(const QString &s, qsizetype at)
{
    if (at + 4 > s.size()) return -1;
    int value = 0;
    for (qsizetype i = at; i < at + 4; ++i) {
        const int d = hexDigit(s[i]);
        if (d < 0) return -1;
        value = value * 16 + d;
    }
    return value;
}

// The code pages of \M+N escapes, by N.
const char *multibytePage(QChar n)
{
    static constexpr std::array<const char *, 5> pages = {"Shift_JIS", "Big5", "windows-949",
                                                          "windows-1361", "GBK"};
    const char16_t u = n.unicode();
    return u >= '1' && u <= '5' ? pages[std::size_t(u - '1')] : nullptr;
}

// \U+XXXX and \M+NXXXX: characters the drawing's own code page could not hold.
QString unescaped(const QString &s)
{
    if (!s.contains(QLatin1String("+"))) return s;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('\\') && i + 2 < s.size() && s[i + 2] == QLatin1Char('+')) {
            if (s[i + 1] == QLatin1Char('U') || s[i + 1] == QLatin1Char('u')) {
                if (const int code = hex4(s, i + 3); code >= 0) {
                    out += QChar(char16_t(code));
                    i += 6;
                    continue;
                }
            } else if (s[i + 1] == QLatin1Char('M') || s[i + 1] == QLatin1Char('m')) {
                const char *page = i + 3 < s.size() ? multibytePage(s[i + 3]) : nullptr;
                const int code = hex4(s, i + 4);
                if (page && code >= 0) {
                    QStringDecoder decode(page);
                    const char bytes[2] = {char(code >> 8), char(code & 0xff)};
                    if (decode.isValid()) {
                        out += decode(QByteArrayView(bytes, 2));
                        i += 7;
                        continue;
                    }
                }
            }
        }
        out += s[i];
    }
    return out;
}

struct CodePage {
    std::string_view dxf;
    const char *decoder;
};
constexpr CodePage kCodePages[] = {
    {"ANSI_936", "GBK"},
    {"ANSI_932", "Shift_JIS"},
    {"ANSI_950", "Big5"},
    {"ANSI_949", "windows-949"},
    {"ANSI_1361", "windows-1361"},
    {"ANSI_874", "windows-874"},
    {"ANSI_1250", "windows-1250"},
    {"ANSI_1251", "windows-1251"},
    {"ANSI_1252", "windows-1252"},
    {"ANSI_1253", "windows-1253"},
    {"ANSI_1254", "windows-1254"},
    {"ANSI_1255", "windows-1255"},
    {"ANSI_1256", "windows-1256"},
    {"ANSI_1257", "windows-1257"},
    {"ANSI_1258", "windows-1258"},
    {"DOS437", "IBM437"},
    {"DOS850", "IBM850"},
    {"DOS852", "IBM852"},
    {"DOS866", "IBM866"},
    {"GB2312", "GBK"},
    {"UTF8", "UTF-8"},
    {"UTF-8", "UTF-8"},
};

bool sameLetters(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        return (x >= 'a' && x <= 'z' ? x - 32 : x) == (y >= 'a' && y <= 'z' ? y - 32 : y);
    });
}

// The over-, under- and strike-through switches and the code-numbered characters of a TEXT.
QString percentCodes(const QString &s)
{
    if (!s.contains(QLatin1String("%%"))) return s;
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != QLatin1Char('%') || i + 2 >= s.size() || s[i + 1] != QLatin1Char('%')) {
            out += s[i];
            continue;
        }
        const char16_t c = s[i + 2].toLower().unicode();
        i += 2;
        if (c == 'c')
            out += QChar(0x2300);
        else if (c == 'd')
            out += QChar(0x00B0);
        else if (c == 'p')
            out += QChar(0x00B1);
        else if (c == '%')
            out += QLatin1Char('%');
        else if (c >= '0' && c <= '9') {
            int code = 0, n = 0;
            for (; n < 3 && i < s.size() && s[i].isDigit(); ++n, ++i)
                code = code * 10 + s[i].digitValue();
            --i;
            out += QChar(char16_t(code));
        } else if (c != 'u' && c != 'o' && c != 'k')
            out += QStringLiteral("%%") + s[i];
    }
    return out;
}

// ^ and a letter: a control character; "^ " is the caret itself.
QString caretCodes(const QString &s, QChar lineBreak)
{
    if (!s.contains(QLatin1Char('^'))) return s;
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != QLatin1Char('^') || i + 1 >= s.size()) {
            out += s[i];
            continue;
        }
        const QChar next = s[++i];
        if (next == QLatin1Char(' '))
            out += QLatin1Char('^');
        else if (next == QLatin1Char('J') || next == QLatin1Char('M'))
            out += lineBreak;
        else
            out += QLatin1Char(' ');
    }
    return out;
}

} // namespace

std::string encodingFor(const QString &version, std::string_view codepage)
{
    // "AC1021" and later compare above "AC1018" and earlier, as strings of the same shape.
    if (version.size() == 6 && version >= QLatin1String("AC1021")) return "UTF-8";
    for (const CodePage &page : kCodePages)
        if (sameLetters(page.dxf, codepage)) return page.decoder;
    return "windows-1252";
}

TextDecoder::TextDecoder(const std::string &encoding)
    : decoder_(encoding.c_str(), QStringConverter::Flag::Stateless)
{
    valid_ = decoder_.isValid();
}

QString TextDecoder::operator()(std::string_view raw)
{
    const bool ascii = std::all_of(raw.begin(), raw.end(), [](char c) { return c > 0; });
    const QByteArrayView bytes(raw.data(), qsizetype(raw.size()));
    const QString text = ascii || !valid_ ? QString::fromLatin1(bytes) : decoder_.decode(bytes);
    return unescaped(text);
}

QString plainText(const QString &text)
{
    return percentCodes(caretCodes(text, QLatin1Char(' '))).trimmed();
}

QStringList mtextLines(const QString &text)
{
    const QString s = caretCodes(text, QLatin1Char('\n'));
    QStringList lines;
    QString line;
    const auto endLine = [&] {
        line = percentCodes(line).trimmed();
        if (!line.isEmpty()) lines.append(line);
        line.clear();
    };
    // Codes whose value runs to the next ';': alignment, colour, font, height, oblique angle,
    // tracking, width, paragraph.
    const QString valued = QStringLiteral("ACcFfHQTWp");
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == QLatin1Char('\n')) {
            endLine();
        } else if (c == QLatin1Char('{') || c == QLatin1Char('}')) {
        } else if (c != QLatin1Char('\\') || i + 1 >= s.size()) {
            line += c;
        } else {
            const QChar code = s[++i];
            const auto valueEnd = [&] {
                const qsizetype end = s.indexOf(QLatin1Char(';'), i + 1);
                return end < 0 ? s.size() : end;
            };
            if (code == QLatin1Char('P') || code == QLatin1Char('N') || code == QLatin1Char('X')) {
                endLine();
            } else if (code == QLatin1Char('~')) {
                line += QLatin1Char(' ');
            } else if (QStringLiteral("LlOoKk").contains(code)) {
            } else if (valued.contains(code)) {
                i = valueEnd();
            } else if (code == QLatin1Char('S')) {
                // A stacked fraction, "1^2" or "1#2" or "1/2": shown as 1/2.
                const qsizetype end = valueEnd();
                QString stacked = s.mid(i + 1, end - i - 1);
                stacked.replace(QLatin1Char('^'), QLatin1Char('/'));
                stacked.replace(QLatin1Char('#'), QLatin1Char('/'));
                line += stacked;
                i = end;
            } else {
                line += code; // \\, \{, \} and any code unknown: the character itself
            }
        }
    }
    endLine();
    return lines;
}

} // namespace dxf
