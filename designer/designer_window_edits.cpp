#include "designer/designer_window.h"

#include "designer/layout_edits.h"
#include "designer/layout_tables.h"
#include "designer/plan_view.h"
#include "designer/roof_dialog.h"
#include "roof/lay_out.h"
#include "roof/roof_report.h"
#include "designer/table_selection.h"

#include <QAction>
#include <QActionGroup>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>

#include <algorithm>
#include <exception>
#include <cmath>

// The menus and the tool bar, and the edits they and the plan make of the layout.
namespace designer {

namespace {

bool withinSite(double x, double y)
{
    return std::abs(x) <= kMaxCoordinate && std::abs(y) <= kMaxCoordinate;
}

} // namespace

void DesignerWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->addAction(QStringLiteral("新建(&N)"), QKeySequence::New, this,
                    &DesignerWindow::newLayout);
    file->addAction(QStringLiteral("打开(&O)…"), QKeySequence::Open, this, &DesignerWindow::open);
    file->addAction(QStringLiteral("保存(&S)"), QKeySequence::Save, this, &DesignerWindow::save);
    file->addAction(QStringLiteral("另存为(&A)…"), QKeySequence::SaveAs, this,
                    &DesignerWindow::saveAs);
    file->addSeparator();
    file->addAction(QStringLiteral("导出计算书 PDF(&E)…"), this, &DesignerWindow::exportPdf);
    file->addAction(QStringLiteral("导入DXF(&I)…"), this, &DesignerWindow::importDxf)
        ->setObjectName(QStringLiteral("importDxfAction"));
    file->addAction(QStringLiteral("导出DXF(&D)…"), this, &DesignerWindow::exportDxf)
        ->setObjectName(QStringLiteral("exportDxfAction"));
    QAction *print = file->addAction(QStringLiteral("打印计算书(&P)…"), QKeySequence::Print, this,
                                     &DesignerWindow::printSheet);
    print->setObjectName(QStringLiteral("printSheet"));
    file->addAction(QStringLiteral("复制计算书(&C)"), this, &DesignerWindow::copySheet);
    file->addSeparator();
    file->addAction(QStringLiteral("退出(&X)"), QKeySequence::Quit, this, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    QAction *undo = document_.undoStack().createUndoAction(this, QStringLiteral("撤销"));
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = document_.undoStack().createRedoAction(this, QStringLiteral("重做"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    QAction *place = edit->addAction(QStringLiteral("在平面图上放置避雷针(&P)"));
    place->setObjectName(QStringLiteral("placeRod"));
    place->setCheckable(true);
    place->setShortcut(QKeySequence(Qt::Key_P));
    connect(place, &QAction::toggled, plan_, &PlanView::setPlacingRods);
    QAction *section = edit->addAction(QStringLiteral("画剖面线(&L)"));
    section->setObjectName(QStringLiteral("drawSection"));
    section->setCheckable(true);
    section->setShortcut(QKeySequence(Qt::Key_L));
    connect(section, &QAction::toggled, plan_, &PlanView::setDrawingSection);
    QAction *rectangle = edit->addAction(QStringLiteral("画矩形被保护物(&R)"));
    rectangle->setObjectName(QStringLiteral("drawRectangle"));
    rectangle->setToolTip(QStringLiteral("在平面图上拖出被保护物的矩形轮廓"));
    rectangle->setCheckable(true);
    rectangle->setShortcut(QKeySequence(Qt::Key_R));
    connect(rectangle, &QAction::toggled, plan_, &PlanView::setDrawingRectangles);
    QAction *polygon = edit->addAction(QStringLiteral("画多边形被保护物(&G)"));
    polygon->setObjectName(QStringLiteral("drawPolygon"));
    polygon->setToolTip(QStringLiteral("在平面图上逐点单击轮廓角点，双击结束；Esc 放弃"));
    polygon->setCheckable(true);
    polygon->setShortcut(QKeySequence(Qt::Key_G));
    connect(polygon, &QAction::toggled, plan_, &PlanView::setDrawingPolygons);
    QAction *drawWire = edit->addAction(QStringLiteral("画避雷线(&W)"));
    drawWire->setObjectName(QStringLiteral("drawWire"));
    drawWire->setToolTip(QStringLiteral("在平面图上从一端拖到另一端，或先后单击两端；Esc 放弃"));
    drawWire->setCheckable(true);
    drawWire->setShortcut(QKeySequence(Qt::Key_W));
    connect(drawWire, &QAction::toggled, plan_, &PlanView::setDrawingWires);
    // One mode at a time, or none (the plan pans).
    auto *modes = new QActionGroup(this);
    modes->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction *mode : {place, section, rectangle, polygon, drawWire}) modes->addAction(mode);
    QAction *rod =
        edit->addAction(QStringLiteral("添加避雷针"), this, [this] { addRod(viewCentre()); });
    QAction *wire = edit->addAction(QStringLiteral("添加避雷线"), this, &DesignerWindow::addWire);
    QAction *object =
        edit->addAction(QStringLiteral("添加被保护物"), this, &DesignerWindow::addObject);
    QAction *remove =
        edit->addAction(QStringLiteral("删除所选行"), this, &DesignerWindow::removeSelected);
    remove->setShortcut(QKeySequence::Delete);
    edit->addSeparator();
    QAction *roofs =
        edit->addAction(QStringLiteral("生成屋面防雷(&M)…"), this, &DesignerWindow::layOutRoofs);
    roofs->setObjectName(QStringLiteral("layOutRoofs"));
    roofs->setToolTip(QStringLiteral("按防雷类别为所选建筑物布置接闪带、接闪网和引下线"));

    QMenu *view = menuBar()->addMenu(QStringLiteral("视图(&V)"));
    view->addAction(QStringLiteral("显示全部布置"), this, [this] { plan_->fitLayout(); });
    QAction *strikeOutlines = view->addAction(QStringLiteral("显示等效面积外扩线"));
    strikeOutlines->setObjectName(QStringLiteral("showStrikeOutlines"));
    strikeOutlines->setCheckable(true);
    strikeOutlines->setToolTip(QStringLiteral(
        "在平面图上画出每个建筑物的等效面积外扩线（年预计雷击次数按其所围面积计算）"));
    connect(strikeOutlines, &QAction::toggled, plan_, &PlanView::setShowingStrikeOutlines);

    QToolBar *tools = addToolBar(QStringLiteral("工具"));
    tools->setObjectName(QStringLiteral("tools"));
    tools->addAction(undo);
    tools->addAction(redo);
    tools->addSeparator();
    tools->addAction(place);
    tools->addAction(section);
    tools->addAction(rectangle);
    tools->addAction(polygon);
    tools->addAction(drawWire);
    tools->addAction(rod);
    tools->addAction(wire);
    tools->addAction(object);
    tools->addAction(remove);
    tools->addAction(roofs);
}

void DesignerWindow::layOutRoofs()
{
    const calc::layout::Layout &layout = document_.layout();
    // The buildings by the names the checks give them.
    QStringList names;
    try {
        for (const auto &building : calc::layout::layoutStrikes(layout).buildings)
            names << QString::fromStdString(building.name);
    } catch (const std::exception &) {
        names.clear();
    }
    if (names.isEmpty()) {
        showProblem(QStringLiteral("布置中没有可生成屋面防雷的建筑物。"));
        return;
    }
    RoofLayOutDialog dialog(
        names, QString::fromStdString(calc::roof::classText(calc::roof::classRules(layout.hr))),
        this);
    if (dialog.exec() != QDialog::Accepted) return;
    calc::roof::LayOutOptions options;
    options.tapeHeight = dialog.tapeHeight();
    for (const QString &name : dialog.chosenBuildings())
        options.buildings.push_back(name.toStdString());
    calc::layout::Layout after;
    try {
        after = calc::roof::layOutRoofs(layout, options);
    } catch (const std::exception &) {
        showProblem(QStringLiteral("屋面防雷不能生成：建筑物的轮廓或高度不能使用。"));
        return;
    }
    document_.edit(QStringLiteral("生成屋面防雷"), after);
}

QPointF DesignerWindow::viewCentre() const
{
    return PlanView::snapped(plan_->planPoint(plan_->viewport()->rect().center()));
}

void DesignerWindow::addRod(QPointF at)
{
    calc::layout::Layout after = document_.layout();
    // A new rod as tall as the last one placed.
    double h = calc::layout::kNewRodHeight;
    for (const auto &c : after.conductors)
        if (const auto *rod = std::get_if<calc::layout::Rod>(&c)) h = rod->h;
    after.conductors.push_back(calc::layout::Rod{at.x(), at.y(), h});
    document_.edit(QStringLiteral("放置避雷针"), after);
}

void DesignerWindow::addWire()
{
    calc::layout::Layout after = document_.layout();
    const QPointF c = viewCentre();
    after.conductors.push_back(
        calc::layout::Wire{{c.x() - 10, c.y(), 15}, {c.x() + 10, c.y(), 15}});
    document_.edit(QStringLiteral("添加避雷线"), after);
}

void DesignerWindow::addObject()
{
    calc::layout::Layout after = document_.layout();
    const QPointF c = viewCentre();
    after.objects.push_back({calc::layout::newObjectName(after),
                             {{c.x() - 5, c.y() - 5},
                              {c.x() + 5, c.y() - 5},
                              {c.x() + 5, c.y() + 5},
                              {c.x() - 5, c.y() + 5}},
                             calc::layout::kNewObjectHeight});
    document_.edit(QStringLiteral("添加被保护物"), after);
}

void DesignerWindow::addDrawnObject(const QPolygonF &footprint)
{
    std::vector<calc::layout::Corner> corners;
    for (const QPointF &p : footprint) {
        if (!withinSite(p.x(), p.y())) {
            statusBar()->showMessage(QStringLiteral("轮廓超出场地范围，未添加被保护物"), 5000);
            return;
        }
        corners.push_back({p.x(), p.y()});
    }
    if (!calc::layout::isSimplePolygon(corners)) {
        statusBar()->showMessage(QStringLiteral("轮廓自相交，未添加被保护物"), 5000);
        return;
    }
    calc::layout::Layout after = document_.layout();
    after.objects.push_back(
        {calc::layout::newObjectName(after), std::move(corners), calc::layout::kNewObjectHeight});
    document_.edit(QStringLiteral("画被保护物"), after);
    // The new object is selected, its row ready for its name and height.
    tabs_->setCurrentWidget(objectTable_);
    selectRows(*objectTable_, {static_cast<int>(after.objects.size()) - 1});
}

void DesignerWindow::addDrawnWire(QPointF from, QPointF to)
{
    const EditResult result = withDrawnWire(document_.layout(), from, to);
    if (!result.layout) {
        statusBar()->showMessage(result.refusal, 5000);
        return;
    }
    document_.edit(QStringLiteral("画避雷线"), *result.layout);
    // The new wire is selected, its row ready for the heights of its ends.
    tabs_->setCurrentWidget(conductorTable_);
    selectRows(*conductorTable_, {static_cast<int>(result.layout->conductors.size()) - 1});
}

void DesignerWindow::moveRod(int conductor, QPointF at)
{
    calc::layout::Layout after = document_.layout();
    if (conductor < 0 || conductor >= static_cast<int>(after.conductors.size())) return;
    auto *rod =
        std::get_if<calc::layout::Rod>(&after.conductors[static_cast<std::size_t>(conductor)]);
    if (!rod) return;
    if (!withinSite(at.x(), at.y())) {
        // Off the site the file can hold: the rod goes back.
        plan_->showLayout(document_.layout());
        return;
    }
    rod->x = at.x();
    rod->y = at.y();
    document_.edit(QStringLiteral("移动避雷针"), after);
}

void DesignerWindow::moveItems(const QList<int> &conductors, const QList<int> &objects,
                               QPointF offset)
{
    const auto after = withMoved(document_.layout(), conductors, objects, offset);
    if (!after) {
        plan_->showLayout(document_.layout()); // off the site: the items go back
        return;
    }
    document_.edit(moveName(document_.layout(), conductors, objects), *after);
}

void DesignerWindow::moveCorner(int object, int corner, QPointF at)
{
    const EditResult result = withCornerMoved(document_.layout(), object, corner, at);
    if (!result.layout) {
        statusBar()->showMessage(result.refusal, 5000);
        plan_->showLayout(document_.layout()); // the outline goes back
        return;
    }
    document_.edit(QStringLiteral("修改被保护物轮廓"), *result.layout);
}

void DesignerWindow::removeSelected()
{
    // A selection made on the plan may hold rows of both tables: they go together.
    const QList<int> conductors = selectedRows(*conductorTable_);
    const QList<int> objects = selectedRows(*objectTable_);
    if (!conductors.isEmpty() && !objects.isEmpty()) {
        document_.edit(QStringLiteral("删除所选"),
                       withoutItems(document_.layout(), conductors, objects));
        return;
    }
    calc::layout::Layout after = document_.layout();
    const auto rows = [](QTableView *table) {
        QList<int> list;
        for (const QModelIndex &index : table->selectionModel()->selectedRows())
            list << index.row();
        if (list.isEmpty() && table->currentIndex().isValid()) list << table->currentIndex().row();
        std::sort(list.begin(), list.end(), std::greater<>());
        return list;
    };
    QString what;
    if (objectTable_->isVisible() && objectTable_->currentIndex().isValid()) {
        for (int row : rows(objectTable_)) after.objects.erase(after.objects.begin() + row);
        what = QStringLiteral("删除被保护物");
    } else if (conductorTable_->currentIndex().isValid()) {
        for (int row : rows(conductorTable_))
            after.conductors.erase(after.conductors.begin() + row);
        what = QStringLiteral("删除接闪器");
    } else {
        return;
    }
    document_.edit(what, after);
}

} // namespace designer
