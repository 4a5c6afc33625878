#include "windows/two_rods_window.h"

#include "calc/numeric.h"
#include "calc/two_rods.h"
#include "sheets/two_rods_sheet.h"
#include "calc/visit.h"
#include "windows/captions.h"
#include "windows/colours.h"
#include "windows/input_field.h"
#include "windows/message_boxes.h"
#include "windows/result_label.h"

namespace windows {

namespace {

// F2 hides this window before the single-rod window shows, unlike the menu
// entries and the hand-over.
RodWindowDesign design()
{
    const QString hxCaption = QStringLiteral("结果 hx");
    const QString boCaption = QStringLiteral("结果 bo");
    return {WindowId::TwoRods,
            QStringLiteral("双根等高针保护范围"),
            QStringLiteral("双根等高避雷针保护范围计算"),
            1920,
            3495,
            7200,
            false,
            {"Label5", 615, QStringLiteral("避雷针高度    h")},
            {"Label1", 495, QStringLiteral("针间距离      D")},
            {hxCaption, 975, {}, colour::kLightYellow, {}},
            {boCaption, 975, {}, colour::kLightYellow, {}},
            F2Switch{WindowId::SingleRod, true},
            true,
            &calc::twoRodsSheet};
}

} // namespace

TwoRodsWindow::TwoRodsWindow(WindowSet &set) : RodWindow(set, design()) {}

void TwoRodsWindow::computeClicked() { calculate(Path::Button); }

void TwoRodsWindow::enterPressed(InputField *field)
{
    // Enter leads through the fields without a message: a text that is not a
    // number is emptied for typing afresh, first in the field itself, then in
    // the other one.
    for (InputField *checked : {field, otherField(field)}) {
        if (!calc::isNumberText(fieldText(checked))) {
            checked->clear();
            focusAndSelect(checked);
            return;
        }
    }
    calculate(Path::Enter);
}

void TwoRodsWindow::calculate(Path path)
{
    namespace tr = calc::two_rods;
    calculationStarts();
    const auto outcome =
        calc::computeTwoRods(fieldText(inputs_.first), fieldText(inputs_.second), classIndex());
    std::visit(
        calc::Overloaded{
            [&](const tr::TwoRodsOk &ok) {
                // Only the button puts a digit before the point of an hx below 1.
                const std::string hx =
                    path == Path::Button ? calc::withLeadingZero(ok.hxResultText) : ok.hxResultText;
                showResults(toQString(hx), toQString(ok.boResultText));
            },
            [&](const calc::OneOf<tr::TwoRodsHNotNumeric, tr::TwoRodsDNotNumeric,
                                  tr::TwoRodsHDNotNumeric, tr::TwoRodsNegativeHeight> auto &e) {
                reportAt(e.message, e.field == tr::Field::H ? inputs_.first : inputs_.second);
            },
            [&](const tr::TwoRodsTooFar &e) { handOver(e.message); },
        },
        outcome);
    calculationDone();
}

void TwoRodsWindow::handOver(const std::string &message)
{
    // The rods are too far apart to protect jointly: each is a single rod.
    // The class stays; hx shows the cleared result, bo nothing at all.
    noticeReset(message, kClearedResult, QString());
    switchTo(WindowId::SingleRod);
}

} // namespace windows
