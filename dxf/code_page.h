#pragma once

#include "dxf/drawing.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The code page of a drawing's texts when its header does not say it, or says a Western one
// while its texts are Chinese or Japanese: each of GBK, Shift-JIS and Big5 is tried, and the one
// whose decoding gives the most characters common in its language is taken (a Shift-JIS pair is
// often valid GBK too: validity alone cannot tell them apart); windows-1252 when none reads as
// such.
namespace dxf {

struct CodePageGuess {
    std::string encoding; // the decoder's name
    bool guessed = false; // taken from the texts, not from the header
};

// `declared` is the decoder's name the header gives (encodingFor); `strings` the drawing's raw
// names and texts.
CodePageGuess guessCodePage(const std::vector<std::string_view> &strings,
                            const std::string &declared);

// The decoder's name for a code page as the command line and the dialog name it: GBK or
// ANSI_936, SJIS or ANSI_932, BIG5 or ANSI_950, ANSI_1252, UTF-8; none for any other.
std::optional<std::string> codePageNamed(const QString &name);

// The code page as users know it: "GBK（ANSI_936）" and the like.
QString codePageName(const std::string &encoding);

// How the drawing's code page was found, when not from its header alone: "图中未记代码页，按文字
// 判断为 GBK（ANSI_936）"; empty when the header gave it.
QString codePageNote(const Drawing &d);

} // namespace dxf
