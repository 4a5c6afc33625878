#include "designer/roof_dialog.h"

#include "roof/roof_rules.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace designer {

namespace {

// The tape stands on supports: a few centimetres to a metre above the roof is a roof conductor.
constexpr double kHighestTape = calc::roof::kRoofConductorRise;

} // namespace

RoofLayOutDialog::RoofLayOutDialog(const QStringList &buildings, const QString &classText,
                                   QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("生成屋面防雷"));
    setObjectName(QStringLiteral("roofLayOutDialog"));
    auto *column = new QVBoxLayout(this);
    column->addWidget(new QLabel(QStringLiteral("按%1布置接闪带、接闪网和引下线；"
                                                "再次生成时替换此前生成的导体，手绘导体保留。")
                                     .arg(classText)));
    buildings_ = new QListWidget;
    buildings_->setObjectName(QStringLiteral("roofBuildings"));
    for (const QString &name : buildings) {
        auto *item = new QListWidgetItem(name, buildings_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    column->addWidget(new QLabel(QStringLiteral("建筑物")));
    column->addWidget(buildings_);
    auto *form = new QFormLayout;
    height_ = new QDoubleSpinBox;
    height_->setObjectName(QStringLiteral("tapeHeight"));
    height_->setRange(0, kHighestTape);
    height_->setDecimals(2);
    height_->setSingleStep(0.05);
    height_->setSuffix(QStringLiteral(" m"));
    height_->setValue(calc::roof::kDefaultTapeHeight);
    form->addRow(QStringLiteral("接闪带、接闪网高出屋面"), height_);
    column->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("生成"));
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Nothing to lay out with no building ticked.
    const auto update = [this, buttons] {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!chosenBuildings().isEmpty());
    };
    connect(buildings_, &QListWidget::itemChanged, this, update);
    update();
}

QStringList RoofLayOutDialog::chosenBuildings() const
{
    QStringList names;
    for (int i = 0; i < buildings_->count(); ++i)
        if (buildings_->item(i)->checkState() == Qt::Checked) names << buildings_->item(i)->text();
    return names;
}

double RoofLayOutDialog::tapeHeight() const { return height_->value(); }

} // namespace designer
