#pragma once

#include "designer/layout_document.h"
#include "layouts/building_strikes.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QTableWidget;

// The buildings' expected yearly strikes (GB 50057-2010 附录A): the site's thunderstorm days
// (a city of the list or a typed value) and correction factor, and a table of every building
// with its parts, heights, expansion widths, equivalent area, count, group and class by that
// count. The site's values and each building's group are undoable edits of the document.
namespace designer {

class StrikesPane : public QWidget {
    Q_OBJECT
public:
    explicit StrikesPane(LayoutDocument &document, QWidget *parent = nullptr);

    // The counts of the document's layout, as the results worked them out; none when they
    // could not be.
    void showStrikes(const std::optional<calc::layout::LayoutStrikes> &strikes);
    QTableWidget &table() { return *table_; }

private:
    void showSite();
    void layoutChanged();
    void thunderstormDaysChosen(int index);
    void typedDaysChanged(double days);
    void correctionFactorChosen(int index);
    QComboBox *groupChoice(int row);
    void groupChosen(const calc::layout::BuildingStrikes &building, calc::BuildingGroup group);

    LayoutDocument &document_;
    QComboBox *days_ = nullptr;
    QDoubleSpinBox *typedDays_ = nullptr;
    QComboBox *k_ = nullptr;
    QLabel *site_ = nullptr;
    QTableWidget *table_ = nullptr;
    calc::layout::LayoutStrikes strikes_; // as shown
    // The layout has changed since: the rows no longer say which objects form each building.
    bool stale_ = false;
};

} // namespace designer
