#pragma once

#include "roof/roof_report.h"

#include <QWidget>

#include <optional>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

// The tab 屋面防雷: per building the class used and each rule of its roof network with its
// clause, what it asks, what was found and the conclusion, the faults under their rule. A click
// on a fault reports it, for the plan to select.
namespace designer {

class RoofPane : public QWidget {
    Q_OBJECT
public:
    explicit RoofPane(QWidget *parent = nullptr);

    // The check of the layout shown; none when it could not be worked out.
    void showRoofs(const std::optional<calc::roof::SiteRoofs> &roofs,
                   const std::vector<calc::roof::ObjectProtection> &protections);
    // The layout has changed: the rows no longer point at its conductors and objects.
    void markStale();
    QTreeWidget &tree() { return *tree_; }

signals:
    void faultChosen(const calc::roof::Fault &fault);

private:
    void itemClicked(QTreeWidgetItem *item);

    QTreeWidget *tree_ = nullptr;
    std::vector<calc::roof::Fault> faults_; // as the rows point at them
    bool stale_ = false;
};

} // namespace designer
