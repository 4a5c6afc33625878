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

namespace {

QVariant conductorCell(const calc::layout::Layout &layout, int row, int column)
{
    const Conductor &c = layout.conductors.at(static_cast<std::size_t>(row));
    if (const Rod *rod = std::get_if<Rod>(&c)) {
        switch (column) {
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
    if (column == 0) return QStringLiteral("避雷线");
    return metreText(values[column - 1]);
}

// The kind is not edited, nor a rod's second end.
bool conductorEditable(const calc::layout::Layout &layout, int row, int column)
{
    const bool rod =
        std::holds_alternative<Rod>(layout.conductors.at(static_cast<std::size_t>(row)));
    return !(column == 0 || (rod && column > 3));
}

bool takeConductorText(calc::layout::Layout &layout, int row, int column, const QString &text)
{
    const bool height = column == 3 || column == 6;
    const auto number = parseMetres(text, height ? kMaxHeight : kMaxCoordinate);
    if (!number) return false;
    Conductor &c = layout.conductors.at(static_cast<std::size_t>(row));
    if (Rod *rod = std::get_if<Rod>(&c)) {
        if (column == 3 && !(*number > 0)) return false;
        (column == 1 ? rod->x : column == 2 ? rod->y : rod->h) = *number;
    } else {
        if (height && *number < 0) return false;
        Wire &w = std::get<Wire>(c);
        double *fields[] = {&w.a.x, &w.a.y, &w.a.z, &w.b.x, &w.b.y, &w.b.z};
        *fields[column - 1] = *number;
    }
    return true;
}

QVariant objectCell(const calc::layout::Layout &layout, int row, int column)
{
    const auto &o = layout.objects.at(static_cast<std::size_t>(row));
    switch (column) {
    case 0:
        return QString::fromStdString(o.name);
    case 1:
        return metreText(o.height);
    case 2:
        return footprintText(o.footprint);
    case 3:
        return QString::fromStdString(o.building);
    default:
        return {}; // the metal column shows its check box only
    }
}

bool takeObjectText(calc::layout::Layout &layout, int row, int column, const QString &text)
{
    auto &o = layout.objects.at(static_cast<std::size_t>(row));
    switch (column) {
    case 0: {
        const QString name = text.trimmed();
        if (name.isEmpty() || name.size() > lplayout::kMaxNameLength) return false;
        o.name = name.toStdString();
        break;
    }
    case 1: {
        const auto height = parseMetres(text, kMaxHeight);
        if (!height || *height < 0) return false;
        o.height = *height;
        break;
    }
    case 2: {
        const auto footprint = parseFootprint(text);
        if (!footprint) return false;
        o.footprint = *footprint;
        break;
    }
    default: {
        // Empty: the part joins the parts it touches, as one without a name does.
        const QString building = text.trimmed();
        if (building.size() > lplayout::kMaxNameLength) return false;
        o.building = building.toStdString();
    }
    }
    return true;
}

} // namespace

LayoutTableModel::LayoutTableModel(LayoutDocument &document, Kind kind, QObject *parent)
    : QAbstractTableModel(parent), document_(document), kind_(std::move(kind))
{
    rows_ = static_cast<int>(kind_.count(document_.layout()));
    connect(&document_, &LayoutDocument::changed, this, &LayoutTableModel::refresh);
}

void LayoutTableModel::refresh()
{
    const int rows = static_cast<int>(kind_.count(document_.layout()));
    if (rows != rows_) {
        beginResetModel();
        rows_ = rows;
        endResetModel();
    } else if (rows > 0) {
        emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
    }
}

int LayoutTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int LayoutTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(kind_.headers.size());
}

QVariant LayoutTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= kind_.headers.size()) return {};
    return kind_.headers[section];
}

QVariant LayoutTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return kind_.cell(document_.layout(), index.row(), index.column());
}

Qt::ItemFlags LayoutTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    const Qt::ItemFlags base = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!kind_.editable(document_.layout(), index.row(), index.column())) return base;
    return base | Qt::ItemIsEditable;
}

bool LayoutTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    calc::layout::Layout after = document_.layout();
    if (!kind_.take(after, index.row(), index.column(), value.toString())) return false;
    document_.edit(metaObject()->tr(kind_.editName, nullptr), after);
    return true;
}

ConductorTableModel::ConductorTableModel(LayoutDocument &document, QObject *parent)
    : LayoutTableModel(document,
                       {{QStringLiteral("类型"), QStringLiteral("x / m"), QStringLiteral("y / m"),
                         QStringLiteral("h 或 z / m"), QStringLiteral("x₂ / m"),
                         QStringLiteral("y₂ / m"), QStringLiteral("z₂ / m")},
                        [](const calc::layout::Layout &layout) { return layout.conductors.size(); },
                        conductorCell,
                        conductorEditable,
                        takeConductorText,
                        QT_TR_NOOP("修改接闪器")},
                       parent)
{}

ObjectTableModel::ObjectTableModel(LayoutDocument &document, QObject *parent)
    : LayoutTableModel(
          document,
          {{QStringLiteral("名称"), QStringLiteral("高度 / m"),
            QStringLiteral("轮廓角点 x,y; … / m"), QStringLiteral("所属建筑物"),
            QStringLiteral("金属")},
           [](const calc::layout::Layout &layout) { return layout.objects.size(); },
           objectCell,
           [](const calc::layout::Layout &, int, int column) { return column != kMetalColumn; },
           takeObjectText,
           QT_TR_NOOP("修改被保护物")},
          parent)
{}

QVariant ObjectTableModel::data(const QModelIndex &index, int role) const
{
    if (index.isValid() && index.column() == kMetalColumn) {
        if (role != Qt::CheckStateRole) return {};
        const auto &objects = document().layout().objects;
        const auto row = static_cast<std::size_t>(index.row());
        return row < objects.size() && objects[row].metal ? Qt::Checked : Qt::Unchecked;
    }
    return LayoutTableModel::data(index, role);
}

Qt::ItemFlags ObjectTableModel::flags(const QModelIndex &index) const
{
    if (index.isValid() && index.column() == kMetalColumn)
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable;
    return LayoutTableModel::flags(index);
}

bool ObjectTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != kMetalColumn)
        return LayoutTableModel::setData(index, value, role);
    if (role != Qt::CheckStateRole) return false;
    calc::layout::Layout after = document().layout();
    const auto row = static_cast<std::size_t>(index.row());
    if (row >= after.objects.size()) return false;
    const bool metal = value.toInt() == Qt::Checked;
    if (after.objects[row].metal == metal) return false;
    after.objects[row].metal = metal;
    document().edit(metal ? QStringLiteral("标为金属物体") : QStringLiteral("取消金属物体"), after);
    return true;
}

} // namespace designer
