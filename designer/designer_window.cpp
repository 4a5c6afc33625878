#include "designer/designer_window.h"

#include "calc/numeric.h"
#include "layouts/layout_words.h"
#include "designer/layout_tables.h"
#include "designer/plan_view.h"
#include "designer/roof_pane.h"
#include "designer/section_pane.h"
#include "designer/strikes_pane.h"
#include "designer/table_selection.h"
#include "rendering/sheet_rendering.h"
#include "rendering/translation.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
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

// The window's panes and how they follow the document: the plan height's choices, the results
// as they come, and the plan's and the tables' selections kept in step. The menus and the edits
// they make are in designer_window_edits.cpp, the file and the sheet in designer_window_files.cpp.
namespace designer {

namespace {

QString pointText(const calc::rolling_sphere::Point &p)
{
    return QStringLiteral("(%1, %2, %3)").arg(metreText(p.x), metreText(p.y), metreText(p.z));
}

} // namespace

DesignerWindow::DesignerWindow(QWidget *parent) : QMainWindow(parent)
{
    // Qt's own dialogs and buttons (the file dialog, OK and Cancel) in Chinese, as the
    // calculator's are, whatever the system's language.
    rendering::loadQtChineseTexts();
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
    connect(plan_, &PlanView::rodMoved, this, &DesignerWindow::moveRod);
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
    strikes_ = new StrikesPane(document_);
    strikes_->setObjectName(QStringLiteral("strikesPane"));
    tabs->addTab(strikes_, QStringLiteral("年预计雷击次数"));
    roof_ = new RoofPane;
    roof_->setObjectName(QStringLiteral("roofPane"));
    tabs->addTab(roof_, QStringLiteral("屋面防雷"));
    connect(roof_, &RoofPane::faultChosen, this, &DesignerWindow::roofFaultChosen);
    column->addWidget(tabs, 3);

    column->addWidget(
        new QLabel(QStringLiteral("校核结果（每个被保护物的全部表面；滚球最小余量供参考）")));
    verdicts_ = new QTreeWidget;
    verdicts_->setObjectName(QStringLiteral("verdicts"));
    verdicts_->setRootIsDecorated(false);
    verdicts_->setHeaderLabels({QStringLiteral("被保护物"), QStringLiteral("结论"),
                                words(calc::layout::kLeastClearanceWord) + QStringLiteral(" / m"),
                                QStringLiteral("位置 (x, y, z) / m"), QStringLiteral("保护方法"),
                                QStringLiteral("说明")});
    verdicts_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    column->addWidget(verdicts_, 2);

    column->addWidget(new QLabel(QStringLiteral("闭合公式对照（GB 50057-2010 附录D）")));
    closedForms_ = new QTextBrowser;
    closedForms_->setObjectName(QStringLiteral("closedForms"));
    closedForms_->setOpenLinks(false);
    column->addWidget(closedForms_, 3);
    return panel;
}

void DesignerWindow::layoutChanged()
{
    const calc::layout::Layout &layout = document_.layout();
    const int index = hrChoice_->findData(layout.hr);
    hrChoice_->setCurrentIndex(index);
    plan_->showLayout(layout);
    roof_->markStale();
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
    strikes_->showStrikes(results.strikes);
    roof_->showRoofs(results.roofs, results.protections);
    verdicts_->clear();
    const auto &objects = document_.layout().objects;
    const QString pending = QStringLiteral("计算中…");
    for (std::size_t i = 0; i < objects.size() && i < results.verdicts.size(); ++i) {
        const auto &v = results.verdicts[i];
        // The method that protects it judges it; the sphere's clearance stays for information.
        const calc::roof::ObjectProtection *by =
            results.roofs && i < results.protections.size() ? &results.protections[i] : nullptr;
        const bool isProtected = by ? by->isProtected : v.isProtected;
        auto *item = new QTreeWidgetItem(
            verdicts_,
            {QString::fromStdString(objects[i].name), words(calc::layout::verdictWord(isProtected)),
             exact ? metreText(v.leastClearance) : pending, exact ? pointText(v.where) : QString(),
             by ? words(calc::roof::methodText(by->method)) : QString(),
             by ? QString::fromStdString(
                      calc::roof::protectionReason(*results.roofs, *by, v.isProtected))
                : QString()});
        const QColor colour = isProtected ? QColor(0, 120, 0) : QColor(200, 0, 0);
        for (int c = 0; c < 6; ++c) item->setForeground(c, colour);
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

void DesignerWindow::roofFaultChosen(const calc::roof::Fault &fault)
{
    std::vector<QPointF> where;
    for (const auto &c : fault.where) where.emplace_back(c.x, c.y);
    plan_->showFault(where, fault.closed);
    // What the fault concerns is selected in the plan and the tables, the tab staying open.
    QList<int> conductors, objects;
    for (const std::size_t i : fault.conductors)
        if (i < document_.layout().conductors.size()) conductors << static_cast<int>(i);
    for (const std::size_t i : fault.objects)
        if (i < document_.layout().objects.size()) objects << static_cast<int>(i);
    syncingSelection_ = true;
    selectRows(*conductorTable_, conductors);
    selectRows(*objectTable_, objects);
    plan_->setSelection(conductors, objects);
    syncingSelection_ = false;
}

} // namespace designer
