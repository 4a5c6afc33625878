#pragma once

#include "dxf/drawing.h"
#include "dxf/site_import.h"
#include "layouts/layout.h"
#include "project/project_file.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTableWidget;

// 导入DXF: which of a drawing's layers hold the buildings, the rods, the wires and the roof
// network (tape, mesh, down conductors, with the tape's height above the roof), the drawing's
// units and the heights of what the drawing gives none for, with the layers' counts and a
// picture of them. 导入 takes the site from the drawing; a drawing it cannot be taken from is
// shown as a message and the dialog stays open.
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

    void accept() override;

private:
    QWidget *buildChoices();
    QComboBox *layerChoice(const QString &objectName);
    void choiceChanged();
    void showExtent();

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
    ImportPreview *preview_ = nullptr;
    QLabel *extent_ = nullptr;
    QPushButton *ok_ = nullptr;
};

} // namespace designer
