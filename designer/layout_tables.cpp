#include "designer/layout_tables.h"

#include <QRegularExpression>

#include <cmath>

namespace designer {

using calc::layout::Conductor;
using calc::layout::Corner;
using calc::layout::Rod;
using calc::layout::Wire;

QString metreText(double x)
{
    if (!std::isfinite(x)) return QStringLiteral("—");
    QString text = QString::number(x, 'f', 3);
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    if (text == QLatin1String("-0")) text = QStringLiteral("0");
    return text;
}

QString words(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<double> parseMetres(const QString &text, double limit)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > limit) return std::nullopt;
    return value;
}

QString footprintText(const std::vector<Corner> &footprint)
{
    QStringList corners;
    for (const Corner &c : footprint) corners << metreText(c.x) + QLatin1Char(',') + metreText(c.y);
    return corners.join(QStringLiteral("; "));
}

std::optional<std::vector<Corner>> parseFootprint(const QString &text)
{
    QString plain = text;
    plain.replace(QChar(0xFF0C), QLatin1Char(',')).replace(QChar(0xFF1B), QLatin1Char(';'));
    std::vector<Corner> corners;
    for (const QString &part : plain.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList xy = part.split(QLatin1Char(','));
        if (xy.size() != 2) return std::nullopt;
        const auto x = parseMetres(xy[0], kMaxCoordinate), y = parseMetres(xy[1], kMaxCoordinate);
        if (!x || !y) return std::nullopt;
        corners.push_back({*x, *y});
    }
    if (!calc::layout::isSimplePolygon(corners)) return std::nullopt;
    return corners;
}

ConductorTableModel::ConductorTableModel(LayoutDocument &document, QObject *parent)
    : QAbstractTableModel(parent), document_(document)
{
    rows_ = static_cast<int>(document_.layout().conductors.size());
    connect(&document_, &LayoutDocument::changed, this, &ConductorTableModel::refresh);
}

void ConductorTableModel::refresh()
{
    const int rows = static_cast<int>(document_.layout().conductors.size());
    if (rows != rows_) {
        beginResetModel();
        rows_ = rows;
        endResetModel();
    } else if (rows > 0) {
        emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
    }
}

int ConductorTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int ConductorTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 7;
}

QVariant ConductorTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    static const char *const names[] = {"类型",   "x / m",  "y / m", "h 或 z / m",
                                        "x₂ / m", "y₂ / m", "z₂ / m"};
    return QString::fromUtf8(names[section]);
}

QVariant ConductorTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    const Conductor &c = document_.layout().conductors.at(static_cast<std::size_t>(index.row()));
    if (const Rod *rod = std::get_if<Rod>(&c)) {
        switch (index.column()) {
        case 0:
            return QStringLiteral("避雷针");
        case 1:
            return metreText(rod->x);
        case 2:
            return metreText(rod->y);
        case 3:
            return metreText(rod->h);
        default:
            return {};
        }
    }
    const Wire &w = std::get<Wire>(c);
    const double values[] = {w.a.x, w.a.y, w.a.z, w.b.x, w.b.y, w.b.z};
    if (index.column() == 0) return QStringLiteral("避雷线");
    return metreText(values[index.column() - 1]);
}

Qt::ItemFlags ConductorTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    const Qt::ItemFlags base = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const bool rod = std::holds_alternative<Rod>(
        document_.layout().conductors.at(static_cast<std::size_t>(index.row())));
    if (index.column() == 0 || (rod && index.column() > 3)) return base;
    return base | Qt::ItemIsEditable;
}

bool ConductorTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int column = index.column();
    const bool height = column == 3 || column == 6;
    const auto number = parseMetres(value.toString(), height ? kMaxHeight : kMaxCoordinate);
    if (!number) return false;
    calc::layout::Layout after = document_.layout();
    Conductor &c = after.conductors.at(static_cast<std::size_t>(index.row()));
    if (Rod *rod = std::get_if<Rod>(&c)) {
        if (column == 3 && !(*number > 0)) return false;
        (column == 1 ? rod->x : column == 2 ? rod->y : rod->h) = *number;
    } else {
        if (height && *number < 0) return false;
        Wire &w = std::get<Wire>(c);
        double *fields[] = {&w.a.x, &w.a.y, &w.a.z, &w.b.x, &w.b.y, &w.b.z};
        *fields[column - 1] = *number;
    }
    document_.edit(tr("修改接闪器"), after);
    return true;
}

ObjectTableModel::ObjectTableModel(LayoutDocument &document, QObject *parent)
    : QAbstractTableModel(parent), document_(document)
{
    rows_ = static_cast<int>(document_.layout().objects.size());
    connect(&document_, &LayoutDocument::changed, this, &ObjectTableModel::refresh);
}

void ObjectTableModel::refresh()
{
    const int rows = static_cast<int>(document_.layout().objects.size());
    if (rows != rows_) {
        beginResetModel();
        rows_ = rows;
        endResetModel();
    } else if (rows > 0) {
        emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
    }
}

int ObjectTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int ObjectTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant ObjectTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    static const char *const names[] = {"名称", "高度 / m", "轮廓角点 x,y; … / m"};
    return QString::fromUtf8(names[section]);
}

QVariant ObjectTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    const auto &o = document_.layout().objects.at(static_cast<std::size_t>(index.row()));
    switch (index.column()) {
    case 0:
        return QString::fromStdString(o.name);
    case 1:
        return metreText(o.height);
    default:
        return footprintText(o.footprint);
    }
}

Qt::ItemFlags ObjectTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool ObjectTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole) return false;
    calc::layout::Layout after = document_.layout();
    auto &o = after.objects.at(static_cast<std::size_t>(index.row()));
    switch (index.column()) {
    case 0: {
        const QString name = value.toString().trimmed();
        if (name.isEmpty() || name.size() > 200) return false;
        o.name = name.toStdString();
        break;
    }
    case 1: {
        const auto height = parseMetres(value.toString(), kMaxHeight);
        if (!height || *height < 0) return false;
        o.height = *height;
        break;
    }
    default: {
        const auto footprint = parseFootprint(value.toString());
        if (!footprint) return false;
        o.footprint = *footprint;
    }
    }
    document_.edit(tr("修改被保护物"), after);
    return true;
}

} // namespace designer
