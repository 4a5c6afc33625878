#include "project/project_file.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSaveFile>

#include <cmath>

namespace lplayout {

using namespace calc::layout;

namespace {

// The first problem found; reading stops there.
struct Problem {
    QString place;
    QString what;
};

QString index(const QString &place, qsizetype i)
{
    return place + QLatin1Char('[') + QString::number(i) + QLatin1Char(']');
}
QString member(const QString &place, const char *key)
{
    return place.isEmpty() ? QString::fromLatin1(key) : place + QLatin1Char('.') + key;
}

QJsonValue required(const QJsonObject &object, const QString &place, const char *key)
{
    const QJsonValue v = object.value(QLatin1String(key));
    if (v.isUndefined()) throw Problem{member(place, key), QStringLiteral("缺少此项")};
    return v;
}

double number(const QJsonValue &v, const QString &place)
{
    if (!v.isDouble()) throw Problem{place, QStringLiteral("应为数字")};
    const double d = v.toDouble();
    if (!std::isfinite(d)) throw Problem{place, QStringLiteral("数值超出范围")};
    return d;
}

double coordinate(const QJsonValue &v, const QString &place)
{
    const double d = number(v, place);
    if (std::abs(d) > kMaxCoordinate)
        throw Problem{place, QStringLiteral("超出 ±%1 m").arg(kMaxCoordinate)};
    return d;
}

double height(const QJsonValue &v, const QString &place, bool zeroAllowed, const QString &what)
{
    const double d = number(v, place);
    if (zeroAllowed ? d < 0 : d <= 0) throw Problem{place, what};
    if (d > kMaxHeight) throw Problem{place, QStringLiteral("超过 %1 m").arg(kMaxHeight)};
    return d;
}

QJsonObject object(const QJsonValue &v, const QString &place)
{
    if (!v.isObject()) throw Problem{place, QStringLiteral("应为 JSON 对象")};
    return v.toObject();
}

QJsonArray array(const QJsonValue &v, const QString &place, qsizetype limit)
{
    if (!v.isArray()) throw Problem{place, QStringLiteral("应为数组")};
    const QJsonArray a = v.toArray();
    if (a.size() > limit) throw Problem{place, QStringLiteral("超过 %1 项").arg(limit)};
    return a;
}

calc::rolling_sphere::Point end(const QJsonValue &v, const QString &place)
{
    const QJsonArray a = array(v, place, 3);
    if (a.size() != 3) throw Problem{place, QStringLiteral("应为 [x, y, z] 三个数")};
    return {coordinate(a[0], index(place, 0)), coordinate(a[1], index(place, 1)),
            height(a[2], index(place, 2), true, QStringLiteral("端点低于地面"))};
}

// An optional true or false, false when left out.
bool flag(const QJsonObject &o, const QString &place, const char *key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined()) return false;
    if (!v.isBool()) throw Problem{member(place, key), QStringLiteral("应为 true 或 false")};
    return v.toBool();
}

Conductor conductor(const QJsonValue &v, const QString &place)
{
    const QJsonObject o = object(v, place);
    const QJsonValue kind = required(o, place, "kind");
    if (kind.toString() == QLatin1String("rod"))
        return Rod{coordinate(required(o, place, "x"), member(place, "x")),
                   coordinate(required(o, place, "y"), member(place, "y")),
                   height(required(o, place, "h"), member(place, "h"), false,
                          QStringLiteral("避雷针高度应大于 0"))};
    if (kind.toString() == QLatin1String("wire"))
        return Wire{end(required(o, place, "a"), member(place, "a")),
                    end(required(o, place, "b"), member(place, "b")), flag(o, place, "laidOut")};
    throw Problem{member(place, "kind"), QStringLiteral("应为 \"rod\" 或 \"wire\"")};
}

// A name: text of at most kMaxNameLength characters.
std::string text(const QJsonValue &v, const QString &place)
{
    if (!v.isString()) throw Problem{place, QStringLiteral("应为文字")};
    if (v.toString().size() > kMaxNameLength)
        throw Problem{place, QStringLiteral("超过 %1 个字符").arg(kMaxNameLength)};
    return v.toString().toStdString();
}

calc::BuildingGroup group(const QJsonValue &v, const QString &place)
{
    const auto parsed = parseGroup(v.toString());
    if (!v.isString() || !parsed)
        throw Problem{place, QStringLiteral("应为 \"important\" 或 \"ordinary\"")};
    return *parsed;
}

Object protectedObject(const QJsonValue &v, const QString &place)
{
    const QJsonObject o = object(v, place);
    Object result;
    result.name = text(required(o, place, "name"), member(place, "name"));

    const QString fpPlace = member(place, "footprint");
    const QJsonArray corners = array(required(o, place, "footprint"), fpPlace, kMaxCorners);
    if (corners.size() < 3) throw Problem{fpPlace, QStringLiteral("至少需要 3 个角点")};
    for (qsizetype i = 0; i < corners.size(); ++i) {
        const QString cornerPlace = index(fpPlace, i);
        const QJsonArray xy = array(corners[i], cornerPlace, 2);
        if (xy.size() != 2) throw Problem{cornerPlace, QStringLiteral("应为 [x, y] 两个数")};
        result.footprint.push_back(
            {coordinate(xy[0], index(cornerPlace, 0)), coordinate(xy[1], index(cornerPlace, 1))});
    }
    if (!isSimplePolygon(result.footprint))
        throw Problem{fpPlace, QStringLiteral("轮廓自相交、有重合角点或面积为零")};
    result.height = height(required(o, place, "height"), member(place, "height"), false,
                           QStringLiteral("高度应大于 0"));
    if (o.contains(QLatin1String("building")))
        // Trimmed as the object table trims it, so that "1#楼 " and "1#楼" are one building.
        result.building = QString::fromStdString(
                              text(o.value(QLatin1String("building")), member(place, "building")))
                              .trimmed()
                              .toStdString();
    if (o.contains(QLatin1String("group")))
        result.group = group(o.value(QLatin1String("group")), member(place, "group"));
    result.metal = flag(o, place, "metal");
    return result;
}

DrawingPlace drawingPlace(const QJsonValue &v, const QString &place)
{
    const QJsonObject o = object(v, place);
    DrawingPlace result;
    const QJsonValue units = required(o, place, "units");
    const auto parsed = parseUnits(units.toString());
    if (!units.isString() || !parsed)
        throw Problem{member(place, "units"), QStringLiteral("应为 \"mm\"、\"cm\" 或 \"m\"")};
    result.units = *parsed;
    const QString originPlace = member(place, "origin");
    const QJsonArray origin = array(required(o, place, "origin"), originPlace, 2);
    if (origin.size() != 2) throw Problem{originPlace, QStringLiteral("应为 [x, y] 两个数")};
    const auto within = [](const QJsonValue &c, const QString &cPlace) {
        const double d = number(c, cPlace);
        if (std::abs(d) > kMaxDrawingCoordinate)
            throw Problem{cPlace, QStringLiteral("超出 ±%1").arg(kMaxDrawingCoordinate)};
        return d;
    };
    result.originX = within(origin[0], index(originPlace, 0));
    result.originY = within(origin[1], index(originPlace, 1));
    return result;
}

// The site's thunderstorm days, typed ("td") or by city ("city"), and its correction factor.
StrikeSite strikeSite(const QJsonObject &root)
{
    StrikeSite site;
    if (root.contains(QLatin1String("td"))) {
        const double td = number(root.value(QLatin1String("td")), QStringLiteral("td"));
        if (!calc::isThunderstormDays(td))
            throw Problem{QStringLiteral("td"), QStringLiteral("年雷暴日应大于 0 且不超过 365")};
        site.thunderstormDays = td;
    }
    if (root.contains(QLatin1String("city"))) {
        const QString place = QStringLiteral("city");
        site.city = text(root.value(QLatin1String("city")), place);
        if (!calc::cityByName(site.city)) throw Problem{place, QStringLiteral("不在城市列表中")};
    }
    if (root.contains(QLatin1String("k"))) {
        const double k = number(root.value(QLatin1String("k")), QStringLiteral("k"));
        if (!calc::isCorrectionFactor(k))
            throw Problem{QStringLiteral("k"), QStringLiteral("校正系数应为 1、1.5、1.7 或 2")};
        site.k = k;
    }
    return site;
}

// The keys this version reads; every other top-level key is kept as it was.
const char *const kKnownKeys[] = {"format",  "version", "hr",   "conductors", "objects",
                                  "drawing", "td",      "city", "k"};

ProjectFile project(const QJsonObject &root)
{
    const QJsonValue format = required(root, {}, "format");
    if (format.toString() != QLatin1String("lplayout"))
        throw Problem{QStringLiteral("format"),
                      QStringLiteral("不是防雷布置文件（应为 \"lplayout\"）")};
    const double version = number(required(root, {}, "version"), QStringLiteral("version"));
    if (version != std::floor(version) || version < 1)
        throw Problem{QStringLiteral("version"), QStringLiteral("应为正整数")};
    if (version > kFormatVersion)
        throw Problem{
            QStringLiteral("version"),
            QStringLiteral("文件版本 %1 高于本程序能读的版本 %2").arg(version).arg(kFormatVersion)};

    ProjectFile file;
    const double hr = number(required(root, {}, "hr"), QStringLiteral("hr"));
    if (!isSphereRadius(hr))
        throw Problem{QStringLiteral("hr"), QStringLiteral("滚球半径应为 30、45 或 60")};
    file.layout.hr = static_cast<int>(hr);

    const QString cPlace = QStringLiteral("conductors");
    const QJsonArray conductors = array(required(root, {}, "conductors"), cPlace, kMaxConductors);
    for (qsizetype i = 0; i < conductors.size(); ++i)
        file.layout.conductors.push_back(conductor(conductors[i], index(cPlace, i)));

    const QString oPlace = QStringLiteral("objects");
    const QJsonArray objects = array(required(root, {}, "objects"), oPlace, kMaxObjects);
    for (qsizetype i = 0; i < objects.size(); ++i)
        file.layout.objects.push_back(protectedObject(objects[i], index(oPlace, i)));

    file.layout.site = strikeSite(root);
    if (root.contains(QLatin1String("drawing")))
        file.drawing =
            drawingPlace(root.value(QLatin1String("drawing")), QStringLiteral("drawing"));

    file.otherKeys = root;
    for (const char *key : kKnownKeys) file.otherKeys.remove(QLatin1String(key));
    return file;
}

QJsonArray triple(const calc::rolling_sphere::Point &p) { return {p.x, p.y, p.z}; }

} // namespace

double metresPerUnit(DrawingPlace::Units units)
{
    switch (units) {
    case DrawingPlace::Units::Millimetres:
        return 0.001;
    case DrawingPlace::Units::Centimetres:
        return 0.01;
    case DrawingPlace::Units::Metres:
        break;
    }
    return 1;
}

QString unitsName(DrawingPlace::Units units)
{
    switch (units) {
    case DrawingPlace::Units::Millimetres:
        return QStringLiteral("mm");
    case DrawingPlace::Units::Centimetres:
        return QStringLiteral("cm");
    case DrawingPlace::Units::Metres:
        break;
    }
    return QStringLiteral("m");
}

std::optional<DrawingPlace::Units> parseUnits(const QString &name)
{
    for (const auto units : {DrawingPlace::Units::Millimetres, DrawingPlace::Units::Centimetres,
                             DrawingPlace::Units::Metres})
        if (name == unitsName(units)) return units;
    return std::nullopt;
}

QString groupName(calc::BuildingGroup group)
{
    return group == calc::BuildingGroup::Important ? QStringLiteral("important")
                                                   : QStringLiteral("ordinary");
}

std::optional<calc::BuildingGroup> parseGroup(const QString &name)
{
    for (const auto group : {calc::BuildingGroup::Important, calc::BuildingGroup::Ordinary})
        if (name == groupName(group)) return group;
    return std::nullopt;
}

LoadResult parseProject(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return {std::nullopt, QStringLiteral("第 %1 字节：不是有效的 JSON（%2）")
                                  .arg(error.offset)
                                  .arg(error.errorString())};
    if (!doc.isObject()) return {std::nullopt, QStringLiteral("文件顶层：应为 JSON 对象")};
    try {
        return {project(doc.object()), {}};
    } catch (const Problem &p) {
        return {std::nullopt, p.place + QStringLiteral(": ") + p.what};
    }
}

LoadResult loadProject(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {std::nullopt, path + QStringLiteral(": 无法打开（%1）").arg(f.errorString())};
    return parseProject(f.readAll());
}

QByteArray serializeProject(const ProjectFile &file)
{
    QJsonObject root = file.otherKeys;
    root.insert(QStringLiteral("format"), QStringLiteral("lplayout"));
    root.insert(QStringLiteral("version"), kFormatVersion);
    root.insert(QStringLiteral("hr"), file.layout.hr);
    QJsonArray conductors;
    for (const Conductor &c : file.layout.conductors) {
        if (const Rod *rod = std::get_if<Rod>(&c))
            conductors.append(QJsonObject{{QStringLiteral("kind"), QStringLiteral("rod")},
                                          {QStringLiteral("x"), rod->x},
                                          {QStringLiteral("y"), rod->y},
                                          {QStringLiteral("h"), rod->h}});
        else {
            const Wire &wire = std::get<Wire>(c);
            QJsonObject o{{QStringLiteral("kind"), QStringLiteral("wire")},
                          {QStringLiteral("a"), triple(wire.a)},
                          {QStringLiteral("b"), triple(wire.b)}};
            if (wire.laidOut) o.insert(QStringLiteral("laidOut"), true);
            conductors.append(o);
        }
    }
    root.insert(QStringLiteral("conductors"), conductors);
    QJsonArray objects;
    for (const Object &o : file.layout.objects) {
        QJsonArray footprint;
        for (const Corner &c : o.footprint) footprint.append(QJsonArray{c.x, c.y});
        QJsonObject object{{QStringLiteral("name"), QString::fromStdString(o.name)},
                           {QStringLiteral("footprint"), footprint},
                           {QStringLiteral("height"), o.height}};
        if (!o.building.empty())
            object.insert(QStringLiteral("building"), QString::fromStdString(o.building));
        if (o.group) object.insert(QStringLiteral("group"), groupName(*o.group));
        if (o.metal) object.insert(QStringLiteral("metal"), true);
        objects.append(object);
    }
    root.insert(QStringLiteral("objects"), objects);
    const StrikeSite &site = file.layout.site;
    if (site.thunderstormDays) root.insert(QStringLiteral("td"), *site.thunderstormDays);
    if (!site.city.empty()) root.insert(QStringLiteral("city"), QString::fromStdString(site.city));
    if (site.k) root.insert(QStringLiteral("k"), *site.k);
    if (file.drawing)
        root.insert(QStringLiteral("drawing"),
                    QJsonObject{{QStringLiteral("units"), unitsName(file.drawing->units)},
                                {QStringLiteral("origin"),
                                 QJsonArray{file.drawing->originX, file.drawing->originY}}});
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool saveProject(const QString &path, const ProjectFile &file, QString *error)
{
    return saveWhole(path, serializeProject(file), error);
}

bool saveWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error) *error = path + QStringLiteral(": 无法写入（%1）").arg(out.errorString());
        return false;
    }
    if (out.write(bytes) != bytes.size() || !out.commit()) {
        if (error) *error = path + QStringLiteral(": 保存失败（%1）").arg(out.errorString());
        return false;
    }
    return true;
}

} // namespace lplayout
