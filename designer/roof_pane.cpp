#include "designer/roof_pane.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace designer {

namespace {

QString text(const std::string &s) { return QString::fromStdString(s); }
QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QColor colourOf(calc::roof::Verdict verdict)
{
    switch (verdict) {
    case calc::roof::Verdict::Pass:
        return {0, 120, 0};
    case calc::roof::Verdict::Fail:
        return {200, 0, 0};
    case calc::roof::Verdict::NotApplicable:
        break;
    }
    return {90, 90, 90};
}

constexpr int kFaultRole = Qt::UserRole + 1;

} // namespace

RoofPane::RoofPane(QWidget *parent) : QWidget(parent)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    tree_ = new QTreeWidget;
    tree_->setObjectName(QStringLiteral("roofReport"));
    tree_->setHeaderLabels({QStringLiteral("项目"), QStringLiteral("条文"), QStringLiteral("结论"),
                            QStringLiteral("计算结果"), QStringLiteral("要求")});
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // A fault's sentence spans the row; the columns fit the rules' own texts.
    tree_->header()->setStretchLastSection(false);
    tree_->setWordWrap(true);
    column->addWidget(tree_);
    connect(tree_, &QTreeWidget::itemClicked, this, &RoofPane::itemClicked);
}

void RoofPane::markStale() { stale_ = true; }

void RoofPane::showRoofs(const std::optional<calc::roof::SiteRoofs> &roofs,
                         const std::vector<calc::roof::ObjectProtection> &protections)
{
    stale_ = false;
    tree_->clear();
    faults_.clear();
    if (!roofs) {
        new QTreeWidgetItem(tree_, {QStringLiteral("屋面防雷不能校核")});
        return;
    }
    if (roofs->buildings.empty()) {
        new QTreeWidgetItem(tree_, {QStringLiteral("无建筑物")});
        return;
    }
    for (const calc::roof::BuildingRoofs &building : roofs->buildings) {
        // The building's row: its class and height, and whether its network passes.
        auto *top = new QTreeWidgetItem(
            tree_,
            {text(building.name), QString(), QString(),
             text(calc::roof::classText(roofs->rules)) +
                 QStringLiteral("，H = %1 m").arg(text(calc::roof::twoDecimals(building.height)))});
        const bool checked = building.state == calc::roof::BuildingState::Checked;
        top->setText(2, !checked            ? text(calc::roof::stateText(building.state))
                        : building.passes() ? QStringLiteral("满足")
                                            : QStringLiteral("不满足"));
        top->setForeground(2, checked && building.passes() ? colourOf(calc::roof::Verdict::Pass)
                                                           : colourOf(calc::roof::Verdict::Fail));
        QFont bold = top->font(0);
        bold.setBold(true);
        top->setFont(0, bold);
        // A row per rule, its faults and notes under it, each sentence spanning the row.
        for (const calc::roof::RuleLine &line :
             calc::roof::buildingRules(*roofs, building, protections)) {
            auto *row =
                new QTreeWidgetItem(top, {text(line.rule), text(line.clause), text(line.conclusion),
                                          text(line.found), text(line.asked)});
            row->setForeground(2, colourOf(line.verdict));
            row->setToolTip(3, text(line.found));
            row->setToolTip(4, text(line.asked));
            for (const calc::roof::Fault &fault : line.faults) {
                auto *item = new QTreeWidgetItem(row, {text(fault.text)});
                item->setForeground(0, colourOf(calc::roof::Verdict::Fail));
                item->setData(0, kFaultRole, static_cast<qulonglong>(faults_.size()));
                item->setToolTip(0, QStringLiteral("单击在平面图上选中"));
                item->setFirstColumnSpanned(true);
                faults_.push_back(fault);
            }
            for (const std::string &note : line.notes)
                (new QTreeWidgetItem(row, {text(note)}))->setFirstColumnSpanned(true);
            row->setExpanded(!line.faults.empty() || !line.notes.empty());
        }
        top->setExpanded(true);
    }
}

void RoofPane::itemClicked(QTreeWidgetItem *item)
{
    if (stale_ || !item) return;
    const QVariant index = item->data(0, kFaultRole);
    if (!index.isValid() || index.toULongLong() >= faults_.size()) return;
    emit faultChosen(faults_[index.toULongLong()]);
}

} // namespace designer
