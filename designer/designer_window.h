#pragma once

#include "sheets/sheet.h"
#include "designer/layout_document.h"
#include "designer/layout_results.h"
#include "roof/roof_report.h"
#include "project/project_file.h"

#include <QJsonObject>
#include <QMainWindow>
#include <QMessageBox>

#include <functional>
#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPrinter;
class QTabWidget;
class QTextBrowser;
class QTableView;
class QToolBar;
class QTreeWidget;

// The layout designer's main window, "防雷布置": the plan, the tables of conductors and objects,
// the protection class, the height at which the plan shows the protected area, every object's
// verdict, the file and the layout's calculation sheet.
namespace designer {

class PlanView;
class SectionPane;
class StrikesPane;
class RoofPane;
class ConductorTableModel;
class ObjectTableModel;

class DesignerWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit DesignerWindow(QWidget *parent = nullptr);
    ~DesignerWindow() override;

    LayoutDocument &document() { return document_; }
    PlanView &plan() { return *plan_; }
    QTableView &conductorTable() { return *conductorTable_; }
    QTableView &objectTable() { return *objectTable_; }
    QTreeWidget &verdictList() { return *verdicts_; }
    // The closed-form check beside the engine's values, as the sheet has it.
    QTextBrowser &closedFormPane() { return *closedForms_; }
    // One button per height the plan is often wanted at: the ground and each roof height.
    QToolBar &heightButtons() { return *heightButtons_; }
    SectionPane &sectionPane() { return *section_; }
    // Each building's yearly strikes, and the site's values they are worked out from.
    StrikesPane &strikesPane() { return *strikes_; }
    // Each building's roof network checked rule by rule (the tab 屋面防雷).
    RoofPane &roofPane() { return *roof_; }

    // Opens the file, after asking about unsaved changes; a file that cannot be used is shown
    // as a message and leaves the current layout as it was.
    bool openFile(const QString &path);
    bool saveTo(const QString &path);
    QString filePath() const { return path_; }

    double planHeight() const;
    void setPlanHeight(double height);

    // The results shown now, and whether they belong to the layout and height shown now.
    const LayoutResults &results() const { return results_; }
    bool resultsCurrent() const;

    // The layout's calculation sheet as the export writes it.
    calc::sheet::Sheet sheet() const;

    // How the window asks and tells; tests put their own answers in.
    std::function<QMessageBox::StandardButton(const QString &text)> askToSave;
    std::function<void(const QString &text)> showProblem;
    std::function<QString(const QString &caption, const QString &suggested, const QString &filter,
                          bool saving)>
        chooseFile;
    // Sets up the printer for the calculation sheet (the print dialog); false when cancelled.
    std::function<bool(QPrinter &printer)> setUpPrinter;

signals:
    void resultsShown();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    QWidget *buildSidePanel();
    void layoutChanged();
    void recompute();
    void showResults(const LayoutResults &results);
    void updateHeightChoices();
    void checkHeightButton();
    void printSheet();
    bool maybeSave();
    // What is being typed, put in the layout before it is saved or copied.
    void commitTyping();
    void newLayout();
    void open();
    bool save();
    bool saveAs();
    void exportPdf();
    void exportDxf();
    void importDxf();
    // 生成屋面防雷: the dialog, then the network laid out as one edit.
    void layOutRoofs();
    void roofFaultChosen(const calc::roof::Fault &fault);
    void copySheet();
    void addRod(QPointF at);
    void addWire();
    void addObject();
    void addDrawnObject(const QPolygonF &footprint);
    void addDrawnWire(QPointF from, QPointF to);
    void moveRod(int conductor, QPointF at);
    void moveItems(const QList<int> &conductors, const QList<int> &objects, QPointF offset);
    void moveCorner(int object, int corner, QPointF at);
    void removeSelected();
    void planSelectionChanged(const QList<int> &conductors, const QList<int> &objects);
    void tableSelectionChanged(QTableView *table);
    QPointF viewCentre() const;

    LayoutDocument document_;
    Recomputer recomputer_;
    LayoutResults results_;
    quint64 shownGeneration_ = 0;
    PlanView *plan_ = nullptr;
    SectionPane *section_ = nullptr;
    StrikesPane *strikes_ = nullptr;
    RoofPane *roof_ = nullptr;
    SectionLine sectionLine_;
    QTableView *conductorTable_ = nullptr;
    QTableView *objectTable_ = nullptr;
    ConductorTableModel *conductorModel_ = nullptr;
    ObjectTableModel *objectModel_ = nullptr;
    QComboBox *hrChoice_ = nullptr;
    QDoubleSpinBox *height_ = nullptr;
    QComboBox *heightChoice_ = nullptr;
    QToolBar *heightButtons_ = nullptr;
    QTabWidget *tabs_ = nullptr;
    bool syncingSelection_ = false;
    QTreeWidget *verdicts_ = nullptr;
    QTextBrowser *closedForms_ = nullptr;
    QLabel *state_ = nullptr;
    QString path_;
    QJsonObject otherKeys_;
    bool fitted_ = false;
};

// An empty site; the middle class is the usual choice.
calc::layout::Layout emptyLayout();

} // namespace designer
