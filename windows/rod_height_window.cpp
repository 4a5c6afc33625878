#include "windows/rod_height_window.h"

#include "calc/rod_height.h"
#include "sheets/rod_height_sheet.h"
#include "calc/visit.h"
#include "windows/captions.h"
#include "windows/colours.h"
#include "windows/input_field.h"
#include "windows/message_boxes.h"
#include "windows/result_label.h"

namespace windows {

namespace {

// A tool tip of one space: the result labels carry one, but it says nothing.
const QString kResultTip = QStringLiteral(" ");

RodWindowDesign design()
{
    const QString x1Caption = QStringLiteral("结果 x1");
    return {WindowId::RodHeight,
            QStringLiteral("避雷针高度计算"),
            QStringLiteral("避雷针高度计算"),
            2640,
            1815,
            7320,
            false,
            {"Label1", 495, QStringLiteral("被保护物高度  hx")},
            {"Label5", 495, QStringLiteral("距离   h")},
            {x1Caption, 1095, QStringLiteral("避雷针在hx高度的xx'平面上的保护半径"),
             colour::kLightYellow, kResultTip},
            {QStringLiteral("结果 x2"), 975, QStringLiteral("避雷针在地面上的保护半径"),
             colour::kLightYellow, kResultTip},
            std::nullopt,
            false,
            &calc::rodHeightSheet};
}

} // namespace

RodHeightWindow::RodHeightWindow(WindowSet &set) : RodWindow(set, design()) {}

void RodHeightWindow::computeClicked()
{
    namespace rh = calc::rod_height;
    calculationStarts();
    const auto outcome =
        calc::computeRodHeight(fieldText(inputs_.first), fieldText(inputs_.second), classIndex());
    std::visit(calc::Overloaded{
                   [&](const rh::RodHeightOk &ok) {
                       showResults(toQString(ok.x1Text), toQString(ok.x2Text));
                   },
                   [&](const calc::OneOf<rh::HxNotNumeric, rh::DistanceNotNumeric,
                                         rh::BothNotNumeric, rh::NegativeHx> auto &e) {
                       reportAt(e.message,
                                e.field == rh::Field::Hx ? inputs_.first : inputs_.second);
                   },
                   [&](const rh::HxAboveTwiceRadius &e) { limitReset(e.message); },
                   [&](const rh::NegativeRadicand &e) { rootReset(e.message); },
               },
               outcome);
    calculationDone();
}

void RodHeightWindow::rootReset(const std::string &message)
{
    // Unlike the limit reset, the results go blank (not four spaces) and the
    // class and the focus stay where they are.
    noticeReset(message, QString(), QString());
}

} // namespace windows
