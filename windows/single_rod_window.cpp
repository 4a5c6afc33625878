#include "windows/single_rod_window.h"

#include "calc/single_rod.h"
#include "sheets/single_rod_sheet.h"
#include "calc/visit.h"
#include "rendering/branding.h"
#include "windows/captions.h"
#include "windows/colours.h"
#include "windows/input_field.h"
#include "windows/result_label.h"

namespace windows {

namespace {

const QString kHxAboveH = QStringLiteral("hx应小于h");
const QString kRodTip = QStringLiteral("避雷针在hx高度的xx'平面上的保护半径");
const QString kGroundTip = QStringLiteral("避雷针在地面上的保护半径");

RodWindowDesign design()
{
    return {WindowId::SingleRod,
            QStringLiteral("单支避雷针保护范围"),
            QStringLiteral("单根避雷针保护范围计算"),
            2280,
            3495,
            7200,
            true,
            {"Label1", 495, QStringLiteral("被保护物高度  hx")},
            {"Label5", 495, QStringLiteral("避雷针高度    h")},
            {QStringLiteral("结果 rx"), 1095, kRodTip, colour::kYellow, kRodTip},
            {QStringLiteral("结果 ro"), 975, kGroundTip, colour::kLightYellow, kGroundTip},
            F2Switch{WindowId::TwoRods, false},
            true,
            &calc::singleRodSheet};
}

} // namespace

SingleRodWindow::SingleRodWindow(WindowSet &set) : RodWindow(set, design()) {}

void SingleRodWindow::setRxColour(unsigned bgr) { setTextColour(results_.first, bgrColour(bgr)); }

bool SingleRodWindow::fieldKeyDown(InputField *field, int keyCode)
{
    setRxColour(colour::kYellow);
    return RodWindow::fieldKeyDown(field, keyCode);
}

void SingleRodWindow::computeClicked()
{
    setRxColour(colour::kYellow);
    calculate(calc::ResultTextStyle::RoundToThree);
}

void SingleRodWindow::enterPressed(InputField *field)
{
    // Enter leads through the fields instead of reporting texts that are not
    // numbers: first the field itself, then the other one.
    for (InputField *checked : {field, otherField(field)}) {
        if (!calc::isNumberText(fieldText(checked))) {
            focusAndSelect(checked);
            return;
        }
    }
    calculate(calc::ResultTextStyle::CutToFive);
}

void SingleRodWindow::calculate(calc::ResultTextStyle style)
{
    namespace sr = calc::single_rod;
    calculationStarts();
    const auto outcome = calc::computeSingleRod(fieldText(inputs_.first), fieldText(inputs_.second),
                                                classIndex(), style);
    std::visit(calc::Overloaded{
                   [&](const sr::SingleRodOk &ok) {
                       showResults(toQString(ok.rxText), toQString(ok.roText));
                       if (!ok.hxAboveH) return;
                       // The button shows the value in red; Enter shows a warning instead.
                       if (style == calc::ResultTextStyle::CutToFive)
                           results_.first->setText(kHxAboveH);
                       setRxColour(colour::kRed);
                   },
                   [&](const calc::OneOf<sr::HxNotNumeric, sr::HNotNumeric, sr::BothNotNumeric,
                                         sr::NegativeHeight> auto &e) {
                       reportAt(e.message,
                                e.field == sr::Field::Hx ? inputs_.first : inputs_.second);
                   },
                   [&](const sr::HxAboveTwiceRadius &e) { limitReset(e.message); },
               },
               outcome);
    calculationDone();
}

void SingleRodWindow::clearClicked()
{
    RodWindow::clearClicked();
    setRxColour(colour::kLightYellow);
}

} // namespace windows
