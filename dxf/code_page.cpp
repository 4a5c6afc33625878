#include "dxf/code_page.h"

#include <QStringDecoder>

#include <algorithm>
#include <unordered_set>

namespace dxf {

namespace {

// The characters most used in Chinese, simplified and traditional, and those of site plans.
bool commonHan(char16_t c)
{
    static const QString chars = QStringLiteral(
        "的一是不了人我在有他这为之大来以个中上们到说国和地也子时道出而要于就下得可你年生自会那后"
        "能对着事其里所去行过家十用发天如然作方成者多日都三小军二无同么经法当起与好看学进种将还分"
        "此心前面又定见只主没公从已部本动意现新长正工体高实开等力水理很电两外间问门口北南东西机业"
        "区号楼栋层座室房屋厂库场站路街道院园馆校医院所住宅办公综合商业车间仓配变泵锅炉食堂宿舍"
        "塔楼顶女儿墙防雷针线网接闪地基础标准设计图总平面建筑物结构给排暖通风消防幼儿托老活动中心"
        "政府服务社会管理委员站点卫生间门卫值班岗亭停车棚加油气罐储罐油化工原料成品污水处理池"
        "號樓層廠庫場國會這為們來說時對過進種還發實開體電兩間問門機業區東車倉變鍋爐宿舍頂兒牆網"
        "設計圖總結構給暖風幼兒託動務衛間值班崗車棚儲處理");
    static const std::unordered_set<char16_t> set = [] {
        std::unordered_set<char16_t> s;
        for (const QChar c : chars) s.insert(c.unicode());
        return s;
    }();
    return set.contains(c);
}

bool kana(char16_t c) { return c >= 0x3040 && c <= 0x30FF; }

struct Candidate {
    const char *encoding;
    bool japanese;
};
constexpr Candidate kCandidates[] = {{"GBK", false}, {"Shift_JIS", true}, {"Big5", false}};

// Common characters the decoding gives, less those it could not decode.
long score(const Candidate &c, const std::vector<std::string_view> &strings)
{
    QStringDecoder decode(c.encoding, QStringConverter::Flag::Stateless);
    if (!decode.isValid()) return -1;
    long common = 0, broken = 0;
    for (std::string_view s : strings) {
        const QString text = decode(QByteArrayView(s.data(), qsizetype(s.size())));
        for (const QChar ch : text) {
            const char16_t u = ch.unicode();
            if (u == 0xFFFD)
                ++broken;
            else if ((c.japanese && kana(u)) || commonHan(u))
                ++common;
        }
    }
    return common - 4 * broken;
}

bool western(const std::string &encoding)
{
    return encoding.starts_with("windows-125") || encoding.starts_with("IBM");
}

} // namespace

CodePageGuess guessCodePage(const std::vector<std::string_view> &strings,
                            const std::string &declared)
{
    if (!western(declared)) return {declared, false};
    // Only strings with bytes beyond ASCII tell anything, and a few hundred of them tell enough.
    std::vector<std::string_view> high;
    std::size_t bytes = 0;
    for (std::string_view s : strings) {
        if (std::ranges::all_of(s, [](char c) { return c > 0; })) continue;
        high.push_back(s);
        if ((bytes += s.size()) > (1u << 16)) break;
    }
    if (high.empty()) return {declared, false};
    long best = 0;
    const char *taken = nullptr;
    for (const Candidate &c : kCandidates)
        if (const long s = score(c, high); s > best) {
            best = s;
            taken = c.encoding;
        }
    return taken ? CodePageGuess{taken, true} : CodePageGuess{declared, false};
}

std::optional<std::string> codePageNamed(const QString &name)
{
    const QString n = name.trimmed().toUpper().replace(QLatin1Char('-'), QLatin1Char('_'));
    if (n == QLatin1String("GBK") || n == QLatin1String("ANSI_936") || n == QLatin1String("GB2312"))
        return "GBK";
    if (n == QLatin1String("SJIS") || n == QLatin1String("SHIFT_JIS") ||
        n == QLatin1String("ANSI_932"))
        return "Shift_JIS";
    if (n == QLatin1String("BIG5") || n == QLatin1String("ANSI_950")) return "Big5";
    if (n == QLatin1String("ANSI_1252") || n == QLatin1String("CP1252")) return "windows-1252";
    if (n == QLatin1String("UTF_8") || n == QLatin1String("UTF8")) return "UTF-8";
    return std::nullopt;
}

QString codePageName(const std::string &encoding)
{
    if (encoding == "GBK") return QStringLiteral("GBK（ANSI_936）");
    if (encoding == "Shift_JIS") return QStringLiteral("Shift-JIS（ANSI_932）");
    if (encoding == "Big5") return QStringLiteral("Big5（ANSI_950）");
    if (encoding == "windows-1252") return QStringLiteral("ANSI_1252");
    return QString::fromStdString(encoding);
}

QString codePageNote(const Drawing &d)
{
    const QString name = codePageName(d.encoding);
    switch (d.encodingFrom) {
    case Drawing::EncodingFrom::Header:
        return {};
    case Drawing::EncodingFrom::Given:
        return QStringLiteral("文字按指定的代码页 %1读取").arg(name);
    case Drawing::EncodingFrom::Texts:
        break;
    }
    if (d.codepage.isEmpty()) return QStringLiteral("图中未记代码页，按文字判断为 %1").arg(name);
    return QStringLiteral("图中记为 %1，但文字按 %2读出的常用字最多，按此读取")
        .arg(d.codepage, name);
}

} // namespace dxf
