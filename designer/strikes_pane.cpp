#include "designer/strikes_pane.h"

#include "calc/strike_count.h"
#include "designer/layout_tables.h"
#include "layouts/strikes_sheet.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace designer {

using calc::layout::BuildingState;
using calc::layout::BuildingStrikes;
using calc::layout::LayoutStrikes;
using calc::layout::SiteState;

namespace {

// The choices of the thunderstorm days' list before its cities.
constexpr int kNotGiven = -1;
constexpr int kTyped = -2;
// The days a typed value starts from when nothing was given before.
constexpr double kFirstTypedDays = 40;

enum Column { Name, Parts, Heights, Widths, Area, Count, Group, Class, Columns };

QString text(std::string_view s) { return words(s); }

QString joined(const BuildingStrikes &b, const std::function<QString(std::size_t)> &part)
{
    QStringList list;
    for (std::size_t i = 0; i < b.parts.size(); ++i) list << part(i);
    return list.join(QLatin1Char('\n')); // a line per part, the columns side by side
}

QString stateText(BuildingState state)
{
    switch (state) {
    case BuildingState::Measured:
        break;
    case BuildingState::BadFootprint:
        return QStringLiteral("轮廓不能使用");
    case BuildingState::BadHeight:
        return QStringLiteral("高度不能使用");
    case BuildingState::Unmeasured:
        return QStringLiteral("无法求得");
    }
    return {};
}

QString siteText(const LayoutStrikes &s)
{
    switch (s.site) {
    case SiteState::Ready:
        break;
    case SiteState::NoThunderstormDays:
        return text(calc::kNoThunderstormDaysText);
    case SiteState::BadThunderstormDays:
        return QStringLiteral("年雷暴日不能使用");
    case SiteState::BadCorrectionFactor:
        return QStringLiteral("校正系数不能使用");
    }
    return {};
}

QString groupShort(calc::BuildingGroup group)
{
    return group == calc::BuildingGroup::Important ? QStringLiteral("重要")
                                                   : QStringLiteral("一般");
}

} // namespace

StrikesPane::StrikesPane(LayoutDocument &document, QWidget *parent)
    : QWidget(parent), document_(document)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto *form = new QFormLayout;

    days_ = new QComboBox;
    days_->setObjectName(QStringLiteral("strikeDays"));
    days_->addItem(text(calc::kNoThunderstormDaysText), kNotGiven);
    days_->addItem(QStringLiteral("输入年雷暴日"), kTyped);
    for (int i = 0; i < static_cast<int>(calc::strike_count::kCities.size()); ++i)
        days_->addItem(text(calc::strike_count::kCities[static_cast<std::size_t>(i)].text), i);
    connect(days_, &QComboBox::activated, this, &StrikesPane::thunderstormDaysChosen);
    typedDays_ = new QDoubleSpinBox;
    typedDays_->setObjectName(QStringLiteral("strikeTypedDays"));
    typedDays_->setDecimals(2);
    typedDays_->setSuffix(QStringLiteral(" d/a"));
    typedDays_->setKeyboardTracking(false);
    connect(typedDays_, &QDoubleSpinBox::valueChanged, this, &StrikesPane::typedDaysChanged);
    auto *daysRow = new QHBoxLayout;
    daysRow->addWidget(days_, 2);
    daysRow->addWidget(typedDays_, 1);
    form->addRow(QStringLiteral("年雷暴日 Td"), daysRow);

    k_ = new QComboBox;
    k_->setObjectName(QStringLiteral("strikeK"));
    for (const calc::CorrectionFactor &f : calc::kCorrectionFactors)
        k_->addItem(QStringLiteral("k = %1：%2").arg(metreText(f.k), text(f.text)), f.k);
    // The words are long: the box shows their start, its list the whole of them.
    k_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    k_->setMinimumContentsLength(16);
    connect(k_, &QComboBox::activated, this, &StrikesPane::correctionFactorChosen);
    form->addRow(QStringLiteral("校正系数 k"), k_);
    column->addLayout(form);

    site_ = new QLabel;
    site_->setObjectName(QStringLiteral("strikeSite"));
    site_->setWordWrap(true);
    column->addWidget(site_);

    table_ = new QTableWidget(0, Columns);
    table_->setObjectName(QStringLiteral("strikes"));
    table_->setHorizontalHeaderLabels({QStringLiteral("建筑物"), QStringLiteral("组成部分"),
                                       QStringLiteral("H / m"), QStringLiteral("D / m"),
                                       QStringLiteral("Ae / km²"), QStringLiteral("N / (次/a)"),
                                       QStringLiteral("分组"), QStringLiteral("防雷类别")});
    table_->horizontalHeaderItem(Group)->setToolTip(
        QStringLiteral("按雷击次数划分防雷类别时建筑物所属的分组"));
    table_->horizontalHeaderItem(Class)->setToolTip(
        QStringLiteral("按年预计雷击次数划分的防雷类别（GB 50057-2010 第3.0.3条、第3.0.4条）"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The class takes what width is left, on two lines where it must.
    table_->horizontalHeader()->setSectionResizeMode(Class, QHeaderView::Stretch);
    table_->horizontalHeader()->setMinimumSectionSize(40);
    table_->setWordWrap(true);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    column->addWidget(table_, 1);
    auto *note = new QLabel(text(calc::kNeighboursNotReduced));
    note->setWordWrap(true);
    column->addWidget(note);

    connect(&document_, &LayoutDocument::changed, this, &StrikesPane::layoutChanged);
    showSite();
}

void StrikesPane::layoutChanged()
{
    // Until the counts of the new layout come, no group can be chosen for a building of the
    // old one.
    stale_ = true;
    for (int row = 0; row < table_->rowCount(); ++row)
        if (QWidget *group = table_->cellWidget(row, Group)) group->setEnabled(false);
    showSite();
}

void StrikesPane::showSite()
{
    const calc::layout::StrikeSite &site = document_.layout().site;
    const QSignalBlocker daysBlocked(days_), typedBlocked(typedDays_), kBlocked(k_);
    int index = days_->findData(kNotGiven);
    // The box shows the days in use: typed, or the city's (then not to be typed over).
    // Typed, it takes any number of days a year; else it only shows those of the city, or a
    // dash (its least, 0) when none are given.
    const bool typed = site.thunderstormDays.has_value();
    typedDays_->setSpecialValueText(typed ? QString() : QStringLiteral("—"));
    typedDays_->setRange(typed ? 0.01 : 0, 365);
    typedDays_->setValue(0);
    if (typed) {
        index = days_->findData(kTyped);
        typedDays_->setValue(*site.thunderstormDays);
    } else if (const auto city = calc::cityByName(site.city)) {
        index = days_->findData(static_cast<int>(*city));
        typedDays_->setValue(calc::thunderstormDays(*city));
    }
    days_->setCurrentIndex(index);
    typedDays_->setEnabled(typed);
    const int k = k_->findData(site.k.value_or(1));
    k_->setCurrentIndex(k < 0 ? 0 : k);
}

void StrikesPane::thunderstormDaysChosen(int index)
{
    calc::layout::Layout after = document_.layout();
    const int choice = days_->itemData(index).toInt();
    after.site.city.clear();
    after.site.thunderstormDays.reset();
    if (choice == kTyped) {
        const auto &before = document_.layout().site;
        const auto city = calc::cityByName(before.city);
        after.site.thunderstormDays = before.thunderstormDays ? *before.thunderstormDays
                                      : city                  ? calc::thunderstormDays(*city)
                                                              : kFirstTypedDays;
    } else if (choice >= 0) {
        after.site.city = std::string(calc::cityName(static_cast<std::int16_t>(choice)));
    }
    document_.edit(QStringLiteral("修改年雷暴日"), after);
    showSite(); // also when nothing changed
}

void StrikesPane::typedDaysChanged(double days)
{
    if (!document_.layout().site.thunderstormDays) return;
    calc::layout::Layout after = document_.layout();
    after.site.thunderstormDays = days;
    document_.edit(QStringLiteral("修改年雷暴日"), after);
}

void StrikesPane::correctionFactorChosen(int index)
{
    calc::layout::Layout after = document_.layout();
    const double k = k_->itemData(index).toDouble();
    // Choosing the general case where none was given changes nothing.
    if (after.site.k.value_or(1) == k) return;
    after.site.k = k;
    document_.edit(QStringLiteral("修改校正系数"), after);
}

QComboBox *StrikesPane::groupChoice(int row)
{
    // Kept from one showing to the next, so that a count worked out while its list is open
    // leaves it open.
    auto *group = new QComboBox;
    group->setObjectName(QStringLiteral("strikeGroup"));
    for (const auto g : {calc::BuildingGroup::Ordinary, calc::BuildingGroup::Important}) {
        group->addItem(groupShort(g), static_cast<int>(g));
        group->setItemData(group->count() - 1,
                           text(g == calc::BuildingGroup::Important ? calc::kImportantGroupText
                                                                    : calc::kOrdinaryGroupText),
                           Qt::ToolTipRole);
    }
    connect(group, &QComboBox::activated, this, [this, group, row](int index) {
        if (stale_ || static_cast<std::size_t>(row) >= strikes_.buildings.size()) return;
        groupChosen(strikes_.buildings[static_cast<std::size_t>(row)],
                    static_cast<calc::BuildingGroup>(group->itemData(index).toInt()));
    });
    table_->setCellWidget(row, Group, group);
    return group;
}

void StrikesPane::groupChosen(const BuildingStrikes &building, calc::BuildingGroup group)
{
    if (group == building.group) return;
    calc::layout::Layout after = document_.layout();
    for (const std::size_t i : building.parts)
        if (i < after.objects.size()) after.objects[i].group = group;
    document_.edit(QStringLiteral("修改建筑物分组"), after);
}

void StrikesPane::showStrikes(const std::optional<LayoutStrikes> &shown)
{
    const calc::layout::Layout &layout = document_.layout();
    stale_ = false;
    if (!shown) {
        strikes_ = {};
        table_->setRowCount(0);
        site_->setText(QStringLiteral("不能计算年预计雷击次数。"));
        return;
    }
    const LayoutStrikes &strikes = *shown;
    site_->setText(
        strikes.site == SiteState::Ready
            ? QStringLiteral("Td = %1 d/a，Ng = 0.1·Td = %2 次/(km²·a)，k = %3")
                  .arg(metreText(strikes.td), metreText(strikes.ng), metreText(strikes.k))
            : siteText(strikes) + QStringLiteral("，不能计算年预计雷击次数。"));
    strikes_ = strikes;
    table_->setRowCount(static_cast<int>(strikes.buildings.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const BuildingStrikes &b = strikes.buildings[static_cast<std::size_t>(row)];
        const auto partOf = [&](std::size_t i) -> const calc::layout::Object * {
            return b.parts[i] < layout.objects.size() ? &layout.objects[b.parts[i]] : nullptr;
        };
        const bool measured = b.state == BuildingState::Measured;
        const bool counted = measured && b.n.has_value();
        const QString uncounted = measured ? siteText(strikes) : stateText(b.state);
        const QString cells[Columns] = {
            QString::fromStdString(b.name),
            joined(b,
                   [&](std::size_t i) {
                       return partOf(i) ? QString::fromStdString(partOf(i)->name) : QString();
                   }),
            joined(b,
                   [&](std::size_t i) {
                       return partOf(i) ? metreText(partOf(i)->height) : QString();
                   }),
            joined(b, [&](std::size_t i) { return QString::number(b.widths[i], 'f', 3); }),
            measured ? QString::number(b.ae, 'f', 6) : stateText(b.state),
            counted ? QString::number(*b.n, 'f', 4) : uncounted,
            {},
            counted ? text(calc::strikeClassText(b.strikeClass)) : uncounted,
        };
        for (int c = 0; c < Columns; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c != Name && c != Parts && c != Class)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, c, item);
        }
        auto *group = qobject_cast<QComboBox *>(table_->cellWidget(row, Group));
        if (!group) group = groupChoice(row);
        const QSignalBlocker blocked(group);
        group->setEnabled(true);
        group->setCurrentIndex(group->findData(static_cast<int>(b.group)));
        group->setToolTip(group->currentData(Qt::ToolTipRole).toString());
    }
}

} // namespace designer
