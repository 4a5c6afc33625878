#pragma once

#include "designer/layout_document.h"
#include "project/project_file.h"

#include <QAbstractTableModel>

// The conductors and the objects of the layout as editable tables. An accepted cell edit is one
// undoable edit of the document; a value the layout cannot take (not a number, a rod of height
// 0 or less, an end below the ground, a footprint that crosses itself, an absurd size) is
// refused and the cell keeps its value.
namespace designer {

// Limits of what the tables accept, as the project file accepts.
inline constexpr double kMaxCoordinate = lplayout::kMaxCoordinate;
inline constexpr double kMaxHeight = lplayout::kMaxHeight;

// Columns: 类型, x, y, h/z (rod: its foot and height; wire: first end), x₂, y₂, z₂ (wire: second
// end).
class ConductorTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ConductorTableModel(LayoutDocument &document, QObject *parent = nullptr);
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

private:
    void refresh();
    LayoutDocument &document_;
    int rows_ = 0;
};

// Columns: 名称, 高度, 轮廓角点 ("x,y; x,y; …").
class ObjectTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ObjectTableModel(LayoutDocument &document, QObject *parent = nullptr);
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

private:
    void refresh();
    LayoutDocument &document_;
    int rows_ = 0;
};

// "12.5" for metres as the tables and the plan show them (at most three decimals, no trailing
// zeros).
QString metreText(double x);
// A table's number: finite, within ±limit; nullopt otherwise.
std::optional<double> parseMetres(const QString &text, double limit);
// "x,y; x,y; x,y" (also with spaces, Chinese commas or semicolons).
QString footprintText(const std::vector<calc::layout::Corner> &footprint);
std::optional<std::vector<calc::layout::Corner>> parseFootprint(const QString &text);

} // namespace designer
