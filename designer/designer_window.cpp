#include "designer/designer_window.h"

#include "layouts/layout_sheet.h"
#include "calc/numeric.h"
#include "designer/layout_edits.h"
#include "designer/layout_tables.h"
#include "designer/plan_view.h"
#include "designer/section_pane.h"
#include "project/project_file.h"
#include "rendering/sheet_rendering.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QJsonArray>
#include <QJsonValue>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>
#include <map>

namespace designer {

namespace {

const QString kFileFilter = QStringLiteral("防雷布置文件 (*.lplayout)");
const QString kViewKey = QStringLiteral("view");
const QString kHeightKey = QStringLiteral("height");
const QString kSectionKey = QStringLiteral("section");

// "section": [[x, y], [x, y]] under "view", when it holds two finite points.
SectionLine sectionFrom(const QJsonObject &view)
{
    const QJsonArray ends = view.value(kSectionKey).toArray();
    if (ends.size() != 2) return std::nullopt;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        const QJsonValue value = ends.at(i / 2).toArray().at(i % 2);
        if (!value.isDouble() || !std::isfinite(value.toDouble()) ||
            std::abs(value.toDouble()) > kMaxCoordinate)
            return std::nullopt;
        v[i] = value.toDouble();
    }
    return std::pair{calc::drawing::Vec2{v[0], v[1]}, calc::drawing::Vec2{v[2], v[3]}};
}

QString pointText(const calc::rolling_sphere::Point &p)
{
    return QStringLiteral("(%1, %2, %3)").arg(metreText(p.x), metreText(p.y), metreText(p.z));
}

// An empty site; the middle class is the usual choice.
calc::layout::Layout emptyLayout() { return calc::layout::Layout{45, {}, {}}; }

QList<int> selectedRows(const QTableView &table)
{
    QList<int> rows;
    for (const QModelIndex &index : table.selectionModel()->selectedIndexes())
        if (!rows.contains(index.row())) rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Selects these whole rows (and nothing else), the first of them current and in view.
void selectRows(QTableView &table, const QList<int> &rows)
{
    const QAbstractItemModel *model = table.model();
    QItemSelection selection;
    for (int row : rows)
        if (row >= 0 && row < model->rowCount())
            selection.select(model->index(row, 0), model->index(row, model->columnCount() - 1));
    table.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (selection.isEmpty()) return;
    const QModelIndex first = selection.first().topLeft();
    table.selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    table.scrollTo(first);
}

bool withinSite(double x, double y)
{
    return std::abs(x) <= kMaxCoordinate && std::abs(y) <= kMaxCoordinate;
}

} // namespace

DesignerWindow::DesignerWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("防雷布置[*]"));
    askToSave = [this](const QString &text) {
        return QMessageBox::question(this, QStringLiteral("防雷布置"), text,
                                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                     QMessageBox::Save);
    };
    showProblem = [this](const QString &text) {
        QMessageBox::warning(this, QStringLiteral("防雷布置"), text);
    };
    chooseFile = [this](const QString &caption, const QString &suggested, const QString &filter,
                        bool saving) {
        return saving ? QFileDialog::getSaveFileName(this, caption, suggested, filter)
                      : QFileDialog::getOpenFileName(this, caption, suggested, filter);
    };
    setUpPrinter = [this](QPrinter &printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };

    plan_ = new PlanView;
    plan_->setObjectName(QStringLiteral("plan"));
    section_ = new SectionPane;
    section_->setObjectName(QStringLiteral("section"));
    auto *drawings = new QSplitter(Qt::Vertical);
    drawings->addWidget(plan_);
    drawings->addWidget(section_);
    drawings->setStretchFactor(0, 3);
    drawings->setStretchFactor(1, 1);
    auto *splitter = new QSplitter;
    splitter->addWidget(drawings);
    splitter->addWidget(buildSidePanel());
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({680, 500});
    setCentralWidget(splitter);
    state_ = new QLabel;
    statusBar()->addPermanentWidget(state_);
    buildMenus();

    connect(&document_, &LayoutDocument::changed, this, &DesignerWindow::layoutChanged);
    connect(&document_.undoStack(), &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });
    connect(&recomputer_, &Recomputer::ready, this, &DesignerWindow::showResults);
    connect(plan_, &PlanView::rodPlaced, this, &DesignerWindow::addRod);
    connect(plan_, &PlanView::sectionDrawn, this, [this](QPointF from, QPointF to) {
        sectionLine_ =
            std::pair{calc::drawing::Vec2{from.x(), from.y()}, calc::drawing::Vec2{to.x(), to.y()}};
        plan_->showSectionLine(sectionLine_);
        recompute();
    });
    connect(plan_, &PlanView::rodMoved, this, [this](int conductor, QPointF at) {
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
    });
    connect(plan_, &PlanView::itemsMoved, this, &DesignerWindow::moveItems);
    connect(plan_, &PlanView::cornerMoved, this, &DesignerWindow::moveCorner);
    connect(plan_, &PlanView::wireDrawn, this, &DesignerWindow::addDrawnWire);
    connect(plan_, &PlanView::objectDrawn, this, &DesignerWindow::addDrawnObject);
    connect(plan_, &PlanView::selectionChanged, this, &DesignerWindow::planSelectionChanged);
    connect(conductorTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { tableSelectionChanged(conductorTable_); });
    connect(objectTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { tableSelectionChanged(objectTable_); });
    document_.reset(emptyLayout());
    resize(1180, 760);
}

DesignerWindow::~DesignerWindow()
{
    // The widgets go first, while the document they edit still exists: an open cell editor
    // commits its text as it loses focus. Selections that go with them are not passed on.
    syncingSelection_ = true;
    delete takeCentralWidget();
}

QWidget *DesignerWindow::buildSidePanel()
{
    auto *panel = new QWidget;
    auto *column = new QVBoxLayout(panel);
    auto *form = new QFormLayout;
    hrChoice_ = new QComboBox;
    hrChoice_->setObjectName(QStringLiteral("hrChoice"));
    for (std::int16_t i = 0; i < static_cast<std::int16_t>(calc::kProtectionClassEntries.size());
         ++i)
        hrChoice_->addItem(
            QString::fromUtf8(
                calc::kProtectionClassEntries[static_cast<std::size_t>(i)].data(),
                static_cast<qsizetype>(
                    calc::kProtectionClassEntries[static_cast<std::size_t>(i)].size())),
            calc::rollingSphereRadius(i));
    connect(hrChoice_, &QComboBox::activated, this, [this](int index) {
        calc::layout::Layout after = document_.layout();
        after.hr = hrChoice_->itemData(index).toInt();
        document_.edit(QStringLiteral("修改防雷类别"), after);
    });
    form->addRow(QStringLiteral("防雷类别"), hrChoice_);

    auto *heightRow = new QHBoxLayout;
    height_ = new QDoubleSpinBox;
    height_->setObjectName(QStringLiteral("height"));
    height_->setRange(0, kMaxHeight);
    height_->setDecimals(2);
    height_->setSuffix(QStringLiteral(" m"));
    height_->setKeyboardTracking(false);
    connect(height_, &QDoubleSpinBox::valueChanged, this, [this] {
        heightChoice_->setCurrentIndex(heightChoice_->findData(planHeight()));
        checkHeightButton();
        recompute();
    });
    heightChoice_ = new QComboBox;
    heightChoice_->setObjectName(QStringLiteral("heightChoice"));
    heightChoice_->setPlaceholderText(QStringLiteral("取常用高度…"));
    heightChoice_->setToolTip(QStringLiteral("取地面或某个被保护物的屋面高度"));
    connect(heightChoice_, &QComboBox::activated, this,
            [this](int index) { height_->setValue(heightChoice_->itemData(index).toDouble()); });
    heightRow->addWidget(height_, 1);
    heightRow->addWidget(heightChoice_, 2);
    form->addRow(QStringLiteral("平面图高度"), heightRow);
    heightButtons_ = new QToolBar;
    heightButtons_->setObjectName(QStringLiteral("heightButtons"));
    heightButtons_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    form->addRow(heightButtons_);
    column->addLayout(form);

    auto *tabs = tabs_ = new QTabWidget;
    conductorModel_ = new ConductorTableModel(document_, this);
    conductorTable_ = new QTableView;
    conductorTable_->setObjectName(QStringLiteral("conductors"));
    conductorTable_->setModel(conductorModel_);
    conductorTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    conductorTable_->verticalHeader()->setDefaultSectionSize(24);
    objectModel_ = new ObjectTableModel(document_, this);
    objectTable_ = new QTableView;
    objectTable_->setObjectName(QStringLiteral("objects"));
    objectTable_->setModel(objectModel_);
    objectTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    objectTable_->horizontalHeader()->setStretchLastSection(true);
    tabs->addTab(conductorTable_, QStringLiteral("接闪器"));
    tabs->addTab(objectTable_, QStringLiteral("被保护物"));
    column->addWidget(tabs, 3);

    column->addWidget(new QLabel(QStringLiteral("校核结果（滚球法，每个被保护物的全部表面）")));
    verdicts_ = new QTreeWidget;
    verdicts_->setObjectName(QStringLiteral("verdicts"));
    verdicts_->setRootIsDecorated(false);
    verdicts_->setHeaderLabels({QStringLiteral("被保护物"), QStringLiteral("结论"),
                                QStringLiteral("最小余量 / m"),
                                QStringLiteral("位置 (x, y, z) / m")});
    verdicts_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    column->addWidget(verdicts_, 2);

    column->addWidget(new QLabel(QStringLiteral("闭合公式对照（GB 50057-2010 附录D）")));
    closedForms_ = new QTextBrowser;
    closedForms_->setObjectName(QStringLiteral("closedForms"));
    closedForms_->setOpenLinks(false);
    column->addWidget(closedForms_, 3);
    return panel;
}

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

    QMenu *view = menuBar()->addMenu(QStringLiteral("视图(&V)"));
    view->addAction(QStringLiteral("显示全部布置"), this, [this] { plan_->fitLayout(); });

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
}

void DesignerWindow::layoutChanged()
{
    const calc::layout::Layout &layout = document_.layout();
    const int index = hrChoice_->findData(layout.hr);
    hrChoice_->setCurrentIndex(index);
    plan_->showLayout(layout);
    // The tables have already taken the change (their selection is gone where rows came or
    // went); the plan shows what they select.
    plan_->setSelection(selectedRows(*conductorTable_), selectedRows(*objectTable_));
    updateHeightChoices();
    recompute();
}

void DesignerWindow::updateHeightChoices()
{
    heightChoice_->clear();
    heightChoice_->addItem(QStringLiteral("地面 0 m"), 0.0);
    for (const auto &o : document_.layout().objects)
        heightChoice_->addItem(
            QStringLiteral("%1 屋面 %2 m").arg(QString::fromStdString(o.name), metreText(o.height)),
            o.height);
    heightChoice_->setCurrentIndex(heightChoice_->findData(planHeight()));

    // The same choices as buttons, one per distinct height, lowest first; objects of equal
    // height share theirs.
    std::map<double, QStringList> names{{0.0, {}}};
    for (const auto &o : document_.layout().objects)
        names[o.height] << QString::fromStdString(o.name);
    heightButtons_->clear();
    for (const auto &[height, objects] : names) {
        QString text = height == 0 ? QStringLiteral("地面") : objects.mid(0, 3).join(u'、');
        if (height != 0 && objects.size() > 3) text += QStringLiteral("等");
        QAction *button =
            heightButtons_->addAction(text + QStringLiteral(" %1 m").arg(metreText(height)));
        button->setCheckable(true);
        button->setData(height);
        button->setToolTip(
            objects.isEmpty()
                ? QStringLiteral("平面图取地面")
                : QStringLiteral("平面图取 %1 m：%2").arg(metreText(height), objects.join(u'、')));
        connect(button, &QAction::triggered, this, [this, h = height] {
            setPlanHeight(h);
            checkHeightButton(); // also when the height was already this one
        });
    }
    checkHeightButton();
}

void DesignerWindow::checkHeightButton()
{
    // The height control keeps two decimals: a roof of 6.125 m is its button's 6.13 m.
    const double step = std::pow(10.0, -height_->decimals());
    for (QAction *button : heightButtons_->actions())
        button->setChecked(std::abs(button->data().toDouble() - planHeight()) < step / 2);
}

double DesignerWindow::planHeight() const { return height_->value(); }

void DesignerWindow::setPlanHeight(double height) { height_->setValue(height); }

void DesignerWindow::recompute()
{
    recomputer_.request(document_.layout(), planHeight(), sectionLine_);
    state_->setText(QStringLiteral("计算中…"));
}

bool DesignerWindow::resultsCurrent() const
{
    return !recomputer_.isBusy() && results_.generation == recomputer_.generation();
}

void DesignerWindow::showResults(const LayoutResults &results)
{
    // The verdicts and the area come first; the least clearances, the marks, the section and
    // the closed-form check follow, and until then the section keeps its last picture.
    const bool exact = results.stage == Stage::Exact;
    results_ = results;
    plan_->showResults(results);
    if (exact) section_->showSection(results.section);
    verdicts_->clear();
    const auto &objects = document_.layout().objects;
    const QString pending = QStringLiteral("计算中…");
    for (std::size_t i = 0; i < objects.size() && i < results.verdicts.size(); ++i) {
        const auto &v = results.verdicts[i];
        auto *item = new QTreeWidgetItem(
            verdicts_, {QString::fromStdString(objects[i].name),
                        v.isProtected ? QStringLiteral("受保护") : QStringLiteral("未受保护"),
                        exact ? metreText(v.leastClearance) : pending,
                        exact ? pointText(v.where) : QString()});
        const QColor colour = v.isProtected ? QColor(0, 120, 0) : QColor(200, 0, 0);
        for (int c = 0; c < 4; ++c) item->setForeground(c, colour);
    }
    if (!results.error.isEmpty())
        closedForms_->clear();
    else if (exact)
        closedForms_->setHtml(rendering::blocksHtml(results.closedForms));
    else
        closedForms_->setPlainText(pending);
    state_->setText(!results.error.isEmpty() ? results.error : exact ? QString() : pending);
    if (!fitted_ && !results.zone.outline.empty()) {
        plan_->fitLayout();
        fitted_ = true;
    }
    emit resultsShown();
}

calc::sheet::Sheet DesignerWindow::sheet() const
{
    const std::string date = QDate::currentDate().toString(Qt::ISODate).toStdString();
    if (resultsCurrent() && results_.verdicts.size() == document_.layout().objects.size()) {
        calc::sheet::Sheet sheet =
            calc::layoutSheet(document_.layout(), results_.verdicts, planHeight(), date);
        // The section drawn on the plan goes with the sheet's own.
        if (results_.section && !sheet.error) sheet.drawing.views.push_back(*results_.section);
        return sheet;
    }
    return calc::layoutSheet(document_.layout(), planHeight(), date);
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

void DesignerWindow::planSelectionChanged(const QList<int> &conductors, const QList<int> &objects)
{
    if (syncingSelection_) return;
    syncingSelection_ = true;
    selectRows(*conductorTable_, conductors);
    selectRows(*objectTable_, objects);
    if (conductors.isEmpty() != objects.isEmpty())
        tabs_->setCurrentWidget(objects.isEmpty() ? conductorTable_ : objectTable_);
    syncingSelection_ = false;
}

void DesignerWindow::tableSelectionChanged(QTableView *table)
{
    if (syncingSelection_) return;
    syncingSelection_ = true;
    // One selection at a time: choosing in one table lets go of the other's.
    QTableView *other = table == conductorTable_ ? objectTable_ : conductorTable_;
    other->selectionModel()->clearSelection();
    const QList<int> rows = selectedRows(*table);
    plan_->setSelection(table == conductorTable_ ? rows : QList<int>{},
                        table == objectTable_ ? rows : QList<int>{});
    syncingSelection_ = false;
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

bool DesignerWindow::maybeSave()
{
    if (!document_.isModified()) return true;
    switch (askToSave(QStringLiteral("布置已修改，是否保存？"))) {
    case QMessageBox::Save:
        return save();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void DesignerWindow::newLayout()
{
    if (!maybeSave()) return;
    sectionLine_.reset();
    plan_->showSectionLine(sectionLine_);
    document_.reset(emptyLayout());
    path_.clear();
    otherKeys_ = {};
    drawing_.reset();
    statusBar()->clearMessage();
}

void DesignerWindow::open()
{
    if (!maybeSave()) return;
    const QString path =
        chooseFile(QStringLiteral("打开布置"), QFileInfo(path_).path(), kFileFilter, false);
    if (!path.isEmpty()) openFile(path);
}

bool DesignerWindow::openFile(const QString &path)
{
    if (!maybeSave()) return false;
    const lplayout::LoadResult loaded = lplayout::loadProject(path);
    if (!loaded.file) {
        showProblem(
            QStringLiteral("不能打开 %1：\n%2").arg(QFileInfo(path).fileName(), loaded.error));
        return false;
    }
    otherKeys_ = loaded.file->otherKeys;
    drawing_ = loaded.file->drawing;
    path_ = path;
    fitted_ = false;
    const QJsonObject view = otherKeys_.value(kViewKey).toObject();
    const double height = view.value(kHeightKey).toDouble(0);
    sectionLine_ = sectionFrom(view);
    plan_->showSectionLine(sectionLine_);
    height_->blockSignals(true);
    height_->setValue(std::isfinite(height) ? height : 0);
    height_->blockSignals(false);
    document_.reset(loaded.file->layout);
    statusBar()->showMessage(QFileInfo(path).fileName());
    return true;
}

bool DesignerWindow::saveTo(const QString &path)
{
    QJsonObject view = otherKeys_.value(kViewKey).toObject();
    view.insert(kHeightKey, planHeight());
    if (sectionLine_)
        view.insert(kSectionKey,
                    QJsonArray{QJsonArray{sectionLine_->first.x, sectionLine_->first.y},
                               QJsonArray{sectionLine_->second.x, sectionLine_->second.y}});
    else
        view.remove(kSectionKey);
    otherKeys_.insert(kViewKey, view);
    QString error;
    if (!lplayout::saveProject(path, {document_.layout(), drawing_, otherKeys_}, &error)) {
        showProblem(QStringLiteral("不能保存 %1：\n%2").arg(QFileInfo(path).fileName(), error));
        return false;
    }
    path_ = path;
    document_.markSaved();
    statusBar()->showMessage(QFileInfo(path).fileName());
    return true;
}

bool DesignerWindow::save() { return path_.isEmpty() ? saveAs() : saveTo(path_); }

bool DesignerWindow::saveAs()
{
    QString path =
        chooseFile(QStringLiteral("保存布置"),
                   path_.isEmpty() ? QStringLiteral("布置.lplayout") : path_, kFileFilter, true);
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".lplayout");
    return saveTo(path);
}

void DesignerWindow::exportPdf()
{
    const QString path =
        chooseFile(QStringLiteral("导出计算书"), QStringLiteral("防雷布置计算书.pdf"),
                   QStringLiteral("PDF (*.pdf)"), true);
    if (path.isEmpty()) return;
    const QString error = rendering::writeSheetPdf(sheet(), path);
    if (!error.isEmpty()) showProblem(error);
}

void DesignerWindow::printSheet()
{
    const calc::sheet::Sheet s = sheet();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QString::fromStdString(s.title));
    if (!setUpPrinter(printer)) return;
    rendering::paintSheetPages(s, printer);
    if (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted)
        showProblem(QStringLiteral("计算书未能打印。"));
}

void DesignerWindow::copySheet()
{
    const calc::sheet::Sheet s = sheet();
    const QImage image = rendering::drawingImage(s.drawing, QSize(900, 700));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    auto *mime = new QMimeData;
    mime->setHtml(rendering::sheetHtml(s, QStringLiteral("data:image/png;base64,") +
                                              QString::fromLatin1(png.toBase64())));
    mime->setText(QString::fromStdString(calc::sheet::plainText(s)));
    mime->setImageData(image);
    QApplication::clipboard()->setMimeData(mime);
}

void DesignerWindow::closeEvent(QCloseEvent *event)
{
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

} // namespace designer
