#pragma once

#include "dxf/drawing.h"
#include "dxf/site_import.h"
#include "layouts/layout.h"
#include "project/project_file.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTimer;

// 导入DXF: which of a drawing's layers hold the buildings, the rods, the wires and the roof
// network (tape, mesh, down conductors, with the tape's height above the roof), the drawing's
// units and code page, how lines are joined and storeys become heights, and the heights of what
// the drawing gives none for, with the layers' counts and a picture of them. As the choice
// changes, what an import would do is shown: how many come in, the outlines left out or mended
// (listed, and marked on the picture) and each building's height beside it. 导入 takes the site
// from the drawing; a choice it cannot be taken with is shown as a message and the dialog stays
// open. Another code page chosen closes the dialog asking for the drawing read again so.
namespace designer {

class ImportPreview;

class ImportDialog : public QDialog {
    Q_OBJECT
public:
    // The drawing and the layout must outlive the dialog. `place` is where the layout already
    // lies in the drawing, if it came from it: the new items are placed to line up with it.
    explicit ImportDialog(const dxf::Drawing &drawing, const calc::layout::Layout &current,
                          const std::optional<lplayout::DrawingPlace> &place,
                          QWidget *parent = nullptr);

    // The choice as the controls give it now.
    dxf::SiteChoice choice() const;
    // What 导入 took; none until the dialog was accepted.
    const std::optional<dxf::SiteImport> &imported() const { return imported_; }

    // The dialog's result when another code page was chosen: the drawing is to be read again
    // with `rereadWith()` (a decoder's name; empty for the drawing's own) and the dialog shown
    // anew.
    static constexpr int kReread = 2;
    const std::string &rereadWith() const { return reread_; }

    void accept() override;

private:
    QWidget *buildChoices();
    QWidget *buildReading();
    QComboBox *layerChoice(const QString &objectName);
    void choiceChanged();
    void showExtent();
    void codePageChosen();
    // What an import of the choice would do, shown in the report, the summary and the picture.
    void showTrial();

    const dxf::Drawing &drawing_;
    const calc::layout::Layout &current_;
    std::optional<lplayout::DrawingPlace> place_;
    std::optional<dxf::SiteImport> imported_;
    QTableWidget *layers_ = nullptr;
    QComboBox *rods_ = nullptr;
    QComboBox *wires_ = nullptr;
    QComboBox *tapes_ = nullptr; // roof conductors: a tape layer and a mesh layer
    QComboBox *meshes_ = nullptr;
    QComboBox *downs_ = nullptr;
    QDoubleSpinBox *tapeHeight_ = nullptr;
    QComboBox *units_ = nullptr;
    QDoubleSpinBox *objectHeight_ = nullptr;
    QDoubleSpinBox *rodHeight_ = nullptr;
    QDoubleSpinBox *wireHeight_ = nullptr;
    QDoubleSpinBox *joinTolerance_ = nullptr;
    QDoubleSpinBox *storeyHeight_ = nullptr;
    QDoubleSpinBox *parapet_ = nullptr;
    QCheckBox *bareMetres_ = nullptr;
    QComboBox *codePage_ = nullptr;
    QPushButton *useUnits_ = nullptr;
    ImportPreview *preview_ = nullptr;
    QLabel *extent_ = nullptr;
    QLabel *summary_ = nullptr;
    QListWidget *report_ = nullptr;
    QTimer *trial_ = nullptr;
    QPushButton *ok_ = nullptr;
    std::string reread_;
};

} // namespace designer
