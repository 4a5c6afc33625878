#pragma once

#include "designer/layout_document.h"
#include "project/project_file.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <string_view>

// The conductors and the objects of the layout as editable tables. An accepted cell edit is one
// undoable edit of the document; a value the layout cannot take (not a number, a rod of height
// 0 or less, an end below the ground, a footprint that crosses itself, an absurd size) is
// refused and the cell keeps its value.
namespace designer {

// Limits of what the tables accept, as the project file accepts.
inline constexpr double kMaxCoordinate = lplayout::kMaxCoordinate;
inline constexpr double kMaxHeight = lplayout::kMaxHeight;

// A table of one kind of the layout's items, a row each, that follows the document: rows that
// come or go reset it, any other change may have changed every cell.
class LayoutTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

protected:
    // The kind of item: the columns' captions, and how a row shows the item and takes an edit.
    struct Kind {
        QStringList headers;
        std::size_t (*count)(const calc::layout::Layout &layout);
        // The value a cell shows and edits.
        QVariant (*cell)(const calc::layout::Layout &layout, int row, int column);
        bool (*editable)(const calc::layout::Layout &layout, int row, int column);
        // Puts a cell's new text in the layout; false when the layout cannot take it.
        bool (*take)(calc::layout::Layout &layout, int row, int column, const QString &text);
        // The edit's name on the undo stack, translated in the context of the table's class.
        const char *editName;
    };
    LayoutTableModel(LayoutDocument &document, Kind kind, QObject *parent);
    LayoutDocument &document() const { return document_; }

private:
    void refresh();
    LayoutDocument &document_;
    Kind kind_;
    int rows_ = 0;
};

// Columns: 类型, x, y, h/z (rod: its foot and height; wire: first end), x₂, y₂, z₂ (wire: second
// end).
class ConductorTableModel : public LayoutTableModel {
    Q_OBJECT
public:
    explicit ConductorTableModel(LayoutDocument &document, QObject *parent = nullptr);
};

// Columns: 名称, 高度, 轮廓角点 ("x,y; x,y; …"), 所属建筑物 (the building the part is joined to
// by name; empty when it joins only the parts it touches), 金属 (a check box: a metal object
// bonded to the roof's network).
class ObjectTableModel : public LayoutTableModel {
    Q_OBJECT
public:
    static constexpr int kMetalColumn = 4;
    explicit ObjectTableModel(LayoutDocument &document, QObject *parent = nullptr);
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
};

// "12.5" for metres as the tables and the plan show them (at most three decimals, no trailing
// zeros).
QString metreText(double x);
// One of the fixed texts of the layers below (UTF-8) as the windows show it.
QString words(std::string_view text);
// A table's number: finite, within ±limit; nullopt otherwise.
std::optional<double> parseMetres(const QString &text, double limit);
// "x,y; x,y; x,y" (also with spaces, Chinese commas or semicolons).
QString footprintText(const std::vector<calc::layout::Corner> &footprint);
std::optional<std::vector<calc::layout::Corner>> parseFootprint(const QString &text);

} // namespace designer
