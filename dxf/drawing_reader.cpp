#include "dxf/drawing_reader.h"

#include "dxf/code_page.h"
#include "dxf/drawing_size.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace dxf::reading {

void Reader::advance()
{
    if (!in_.next(cur_))
        throw ReadError{atLine(in_.line(), QStringLiteral("文件不完整：段未结束文件就结束了"))};
}

std::uint32_t Reader::layerIndex(std::string_view raw)
{
    if (raw.empty()) raw = "0";
    const auto [it, added] = layers_.try_emplace(raw, std::uint32_t(d_.layers.size()));
    if (added) d_.layers.push_back(Layer{raw, {}, 7, true, false});
    return it->second;
}

void Reader::read()
{
    bool sawEntities = false;
    // Room for what a file of this size usually holds, so that the arrays seldom move.
    d_.entities.reserve(std::size_t(d_.bytes.size() / 160));
    d_.vertices.reserve(std::size_t(d_.bytes.size() / 80));
    if (!in_.next(cur_)) throw ReadError{QStringLiteral("文件是空的")};
    for (;;) {
        if (at("EOF")) break;
        if (!at("SECTION"))
            throw ReadError{atLine(cur_.line, QStringLiteral("不是 DXF 文件：此处应为 0/SECTION"))};
        advance();
        if (cur_.code != 2)
            throw ReadError{atLine(cur_.line, QStringLiteral("段名（组码 2）缺失"))};
        const std::string_view name = cur_.value;
        advance();
        if (name == "HEADER") {
            readHeader();
        } else if (name == "TABLES") {
            readTables();
        } else if (name == "BLOCKS") {
            readBlocks();
        } else if (name == "ENTITIES") {
            const std::uint32_t first = std::uint32_t(d_.entities.size());
            if (!sawEntities)
                d_.modelFirst = first;
            else if (d_.modelFirst + d_.modelCount != first)
                throw ReadError{
                    atLine(cur_.line, QStringLiteral("块段两边各有一个实体段，图形有误"))};
            sawEntities = true;
            readEntities();
            d_.modelCount += std::uint32_t(d_.entities.size()) - first;
        } else {
            while (!at("ENDSEC")) advance();
        }
        // A file that ends after a whole section, without its EOF, is taken as it is.
        if (!in_.next(cur_)) break;
    }
    if (!sawEntities)
        throw ReadError{QStringLiteral("图中没有实体段（ENTITIES），不是完整的图形文件")};
    d_.zeroLayer = layerIndex("0");
    d_.layers[d_.zeroLayer].inTable = true;
    for (InsertPlacement &insert : d_.inserts) {
        const auto it = blocks_.find(insert.blockName);
        if (it != blocks_.end()) insert.block = std::int32_t(it->second);
    }
    chooseEncoding();
    TextDecoder decode(d_.encoding);
    for (Layer &layer : d_.layers) layer.name = decode(layer.rawName);
    for (Block &block : d_.blocks) block.name = decode(block.rawName);
    checkSize();
}

// The user's code page, else the header's, unless the texts read as Chinese or Japanese in
// another while the header names a Western one or none.
void Reader::chooseEncoding()
{
    d_.codepage = QString::fromLatin1(codepage_.data(), qsizetype(codepage_.size()));
    if (!options_.encoding.empty()) {
        d_.encoding = options_.encoding;
        d_.encodingFrom = Drawing::EncodingFrom::Given;
        return;
    }
    std::vector<std::string_view> strings;
    for (const Layer &layer : d_.layers) strings.push_back(layer.rawName);
    for (const Block &block : d_.blocks) strings.push_back(block.rawName);
    strings.insert(strings.end(), d_.chunks.begin(), d_.chunks.end());
    const CodePageGuess guess = guessCodePage(strings, encodingFor(d_.version, codepage_));
    d_.encoding = guess.encoding;
    if (guess.guessed) d_.encodingFrom = Drawing::EncodingFrom::Texts;
}

void Reader::readHeader()
{
    std::string_view variable;
    while (!at("ENDSEC")) {
        if (cur_.code == 9) {
            variable = cur_.value;
        } else if (variable == "$ACADVER" && cur_.code == 1) {
            d_.version = QString::fromLatin1(cur_.value.data(), qsizetype(cur_.value.size()));
        } else if (variable == "$INSUNITS" && cur_.code == 70) {
            d_.insUnits = int(std::clamp(integer(cur_), -1LL, 100LL));
        } else if (variable == "$DWGCODEPAGE" && cur_.code == 3) {
            codepage_ = cur_.value;
        }
        advance();
    }
}

void Reader::readTables()
{
    std::string_view table;
    while (!at("ENDSEC")) {
        if (at("TABLE")) {
            advance();
            table = cur_.code == 2 ? cur_.value : std::string_view();
        } else if (at("LAYER") && table == "LAYER") {
            advance();
            std::string_view name;
            long long colour = 7, flags = 0;
            for (; cur_.code != 0; advance()) {
                if (cur_.code == 2) name = cur_.value;
                if (cur_.code == 62) colour = integer(cur_);
                if (cur_.code == 70) flags = integer(cur_);
            }
            Layer &layer = d_.layers[layerIndex(name)];
            layer.colour = int(std::clamp(std::abs(colour), 0LL, 256LL));
            layer.shown = colour >= 0 && !(flags & 1); // a negative colour: off; flag 1: frozen
            layer.inTable = true;
            continue;
        } else if (at("ENDTAB")) {
            table = {};
        }
        advance();
    }
}

void Reader::readBlocks()
{
    while (!at("ENDSEC")) {
        if (!at("BLOCK")) {
            advance();
            continue;
        }
        Block block;
        for (advance(); cur_.code != 0; advance()) {
            if (cur_.code == 2) block.rawName = cur_.value;
            if (cur_.code == 70) block.external = (integer(cur_) & (4 | 32)) != 0;
            if (cur_.code == 10) block.base.x = number(cur_);
            if (cur_.code == 20) block.base.y = number(cur_);
            if (cur_.code == 30) block.base.z = number(cur_);
        }
        block.first = std::uint32_t(d_.entities.size());
        readEntities();
        block.count = std::uint32_t(d_.entities.size()) - block.first;
        blocks_.try_emplace(block.rawName, std::uint32_t(d_.blocks.size()));
        d_.blocks.push_back(block);
        if (at("ENDBLK"))
            for (advance(); cur_.code != 0;) advance();
    }
}

void Reader::readEntities()
{
    while (!at("ENDSEC") && !at("ENDBLK")) {
        if (cur_.code != 0)
            throw ReadError{atLine(cur_.line, QStringLiteral("此处应为实体的开始（组码 0）"))};
        readEntity(d_.entities);
    }
    finishPolyline(d_.entities);
}

void Reader::checkSize()
{
    d_.expandedSize = expandedSize(d_);
    if (d_.expandedSize > kMaxExpandedEntities)
        throw ReadError{
            QStringLiteral("图中块参照展开后的实体超过 %1 个，无法读入").arg(kMaxExpandedEntities)};
}

} // namespace dxf::reading

namespace dxf {

namespace {

const QString kSaveAsAscii =
    QStringLiteral("：请在 CAD 程序中另存为 ASCII 格式的 DXF（R12 至 2018 版）");

bool startsWith(const QByteArray &bytes, std::string_view prefix)
{
    return bytes.size() >= qsizetype(prefix.size()) &&
           std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

} // namespace

ReadResult readDrawing(QByteArray bytes, const ReadOptions &options)
{
    if (startsWith(bytes, "AutoCAD Binary DXF"))
        return {std::nullopt,
                QStringLiteral("这是二进制 DXF 文件，本程序只读 ASCII DXF") + kSaveAsAscii};
    // A DWG file begins with its version, "AC1015" and the like.
    if (startsWith(bytes, "AC") && bytes.size() >= 6 &&
        std::all_of(bytes.begin() + 2, bytes.begin() + 6,
                    [](char c) { return c >= '0' && c <= '9'; }))
        return {std::nullopt, QStringLiteral("这是 DWG 图形文件，不是 DXF") + kSaveAsAscii};
    ReadResult result;
    result.drawing.emplace();
    Drawing &d = *result.drawing;
    d.bytes = std::move(bytes);
    d.version = QStringLiteral("AC1009");
    d.extrusions.push_back({0, 0, 1});
    std::string_view text(d.bytes.constData(), std::size_t(d.bytes.size()));
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    try {
        reading::Reader(d, text, options).read();
    } catch (const ReadError &e) {
        return {std::nullopt, e.what};
    }
    return result;
}

ReadResult loadDrawing(const QString &path, const ReadOptions &options)
{
    // Beyond this a file is no site plan the program could show.
    constexpr qint64 kMaxFileSize = qint64(1) << 30;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("无法打开（%1）").arg(f.errorString())};
    if (f.size() > kMaxFileSize)
        return {std::nullopt, QStringLiteral("文件超过 1 GB，不像是一张总平面图")};
    return readDrawing(f.readAll(), options);
}

} // namespace dxf
