#pragma once

#include <QDialog>
#include <QStringList>

class QDoubleSpinBox;
class QListWidget;

// 生成屋面防雷: which buildings to lay the roof network out for (all ticked at first) and how
// high above the roof the tape and mesh run.
namespace designer {

class RoofLayOutDialog : public QDialog {
    Q_OBJECT
public:
    RoofLayOutDialog(const QStringList &buildings, const QString &classText,
                     QWidget *parent = nullptr);

    QStringList chosenBuildings() const;
    double tapeHeight() const;

private:
    QListWidget *buildings_ = nullptr;
    QDoubleSpinBox *height_ = nullptr;
};

} // namespace designer
