#include "windows/single_rod_window.h"

#include "calc/single_rod.h"
#include "windows/widgets.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <variant>

namespace windows {

namespace {

const QString kHxAboveH = QStringLiteral("hx应小于h");
const QString kRodTip = QStringLiteral("避雷针在hx高度的xx'平面上的保护半径");
const QString kGroundTip = QStringLiteral("避雷针在地面上的保护半径");

} // namespace

SingleRodWindow::SingleRodWindow()
    : CalcWindow(WindowId::SingleRod, QStringLiteral("单支避雷针保护范围"), 7290, 4650)
{
    buildControls();
    buildMenus();
    setFirstField(inputs_.hx);

    // Load step: the first class, then the window centred on the screen.
    inputs_.classList->setCurrentIndex(0);
    centreOnScreen();
}

void SingleRodWindow::buildControls()
{
    QWidget *area = client();
    const QColor yellow = bgrColour(colour::kYellow);
    const QFont text = rodWindowFont();

    const RodWindowControls common = makeRodWindowControls(area);
    inputs_ = {common.text1, common.text2, common.classList};
    buttons_ = {common.compute, common.clear, common.exit};
    link_ = makeTextBoxLink(area, "Text3", {120, 120, 5235, 405},
                            makerName() + QLatin1Char(' ') + makerHost(),
                            designFont(kKaiTi, 12, true), yellow, linkToolTip());
    makeLine(area, "Line1", 120, 600, 7200, 600, bgrColour(colour::kRed));
    makeLabel(area, "Label6", {2280, 840, 3495, 375}, QStringLiteral("单根避雷针保护范围计算"),
              designFont(kYouYuan, 12, true), bgrColour(colour::kWhite));
    attachCaption(makeLabel(area, "Label1", {1080, 1920, 1095, 495},
                            QStringLiteral("被保护物高度  hx"), text, yellow),
                  inputs_.hx);
    attachCaption(makeLabel(area, "Label5", {3840, 1920, 1095, 495},
                            QStringLiteral("避雷针高度    h"), text, yellow),
                  inputs_.h);
    results_.rx = makeRodResult(area,
                                makeLabel(area, "Label3", {1080, 3000, 1095, 255},
                                          QStringLiteral("结果 rx"), text, yellow, kRodTip),
                                "Label8", {2160, 3000, 1335, 255}, yellow, kRodTip);
    results_.ro = makeRodResult(area,
                                makeLabel(area, "Label4", {3840, 3000, 975, 255},
                                          QStringLiteral("结果 ro"), text, yellow, kGroundTip),
                                "Label9", {4800, 3000, 1335, 375}, bgrColour(colour::kLightYellow),
                                kGroundTip);

    chainTabOrder({inputs_.hx, inputs_.h, inputs_.classList, buttons_.compute, buttons_.clear,
                   buttons_.exit, link_});

    for (InputField *field : {inputs_.hx, inputs_.h})
        onKeyDown(field, [this, field](int code) { return inputKeyDown(field, code); });
    onKeyDown(inputs_.classList, [this](int code) {
        if (code == kKeyF2)
            switchTo(WindowId::TwoRods);
        else if (code == kKeyF10 && inputs_.classList->currentIndex() == 2)
            showBeside(WindowId::StrikeCount);
        return code == kKeyF2 || code == kKeyF10;
    });
    for (QPushButton *button : {buttons_.compute, buttons_.clear, buttons_.exit}) {
        onKeyDown(button, [this](int code) {
            if (code != kKeyF2) return false;
            switchTo(WindowId::TwoRods);
            return true;
        });
    }

    connect(buttons_.compute, &QPushButton::clicked, this, &SingleRodWindow::computeClicked);
    connect(buttons_.clear, &QPushButton::clicked, this, &SingleRodWindow::clear);
    connect(buttons_.exit, &QPushButton::clicked, this, [this] { askExit(); });
    connect(link_, &TextBoxLink::clicked, this, &openMakerSite);
    connect(link_, &TextBoxLink::mouseMoved, this, [this] { toggleLinkColour(link_); });
}

void SingleRodWindow::buildMenus()
{
    QMenu *range = addMenu("quelm", QStringLiteral("保护范围"));
    addMenuEntry(range, "shuanggen", QStringLiteral("双根等高避雷针保护范围(&S)"),
                 [this] { switchTo(WindowId::TwoRods); });
    // This window's own entry.
    addMenuEntry(range, "dangende", QStringLiteral("单根避雷针保护范围"), {})->setEnabled(false);

    QMenu *rodHeight = addMenu("bileizhen", QStringLiteral("避雷针高度"));
    addMenuEntry(rodHeight, "gethigh", QStringLiteral("避雷针高度计算"),
                 [this] { switchTo(WindowId::RodHeight); });

    QMenu *strikes = addMenu("leiji", QStringLiteral("雷击次数"));
    addMenuEntry(strikes, "leijicishu", QStringLiteral("雷击次数计算"),
                 [this] { switchTo(WindowId::StrikeCount); });

    QMenu *help = addMenu("help", QStringLiteral("帮助文件"));
    addMenuEntry(help, "vorn", makerName(), [] { showBeside(WindowId::About); });
    addMenuEntry(help, "note", QStringLiteral("使用说明"), {});

    addMenuCommand("tuichule", QStringLiteral("退出"), &endProgram);
}

void SingleRodWindow::activationStep() { focusAndSelect(inputs_.hx); }

void SingleRodWindow::computeClicked()
{
    setTextColour(results_.rx, bgrColour(colour::kYellow));
    calculate(calc::ResultTextStyle::RoundToThree);
}

bool SingleRodWindow::inputKeyDown(InputField *field, int keyCode)
{
    setTextColour(results_.rx, bgrColour(colour::kYellow));
    if (keyCode == kKeyF2) {
        switchTo(WindowId::TwoRods);
        return true;
    }
    if (keyCode != kKeyEnter) return false;
    enterPressed(field);
    return true;
}

void SingleRodWindow::enterPressed(InputField *field)
{
    // Enter leads through the fields instead of reporting texts that are not
    // numbers: first the field itself, then the other one.
    if (!calc::isNumberText(fieldText(field))) {
        focusAndSelect(field);
        return;
    }
    InputField *other = field == inputs_.hx ? inputs_.h : inputs_.hx;
    if (!calc::isNumberText(fieldText(other))) {
        focusAndSelect(other);
        return;
    }
    calculate(calc::ResultTextStyle::CutToFive);
}

void SingleRodWindow::calculate(calc::ResultTextStyle style)
{
    namespace sr = calc::single_rod;
    const auto outcome =
        calc::computeSingleRod(fieldText(inputs_.hx), fieldText(inputs_.h),
                               std::int16_t(inputs_.classList->currentIndex()), style);

    const auto fieldAt = [this](sr::Field field) {
        return field == sr::Field::Hx ? inputs_.hx : inputs_.h;
    };
    const auto reportAt = [this](const std::string &message, InputField *field) {
        showStopBox(this, toQString(message));
        focusAndSelect(field);
    };

    if (const auto *ok = std::get_if<sr::SingleRodOk>(&outcome)) {
        results_.rx->setText(toQString(ok->rxText));
        results_.ro->setText(toQString(ok->roText));
        if (ok->hxAboveH) {
            // The button shows the value in red; Enter shows a warning instead.
            if (style == calc::ResultTextStyle::CutToFive) results_.rx->setText(kHxAboveH);
            setTextColour(results_.rx, bgrColour(colour::kRed));
        }
    } else if (const auto *e = std::get_if<sr::HxNotNumeric>(&outcome)) {
        reportAt(e->message, fieldAt(e->field));
    } else if (const auto *e = std::get_if<sr::HNotNumeric>(&outcome)) {
        reportAt(e->message, fieldAt(e->field));
    } else if (const auto *e = std::get_if<sr::BothNotNumeric>(&outcome)) {
        reportAt(e->message, fieldAt(e->field));
    } else if (const auto *e = std::get_if<sr::NegativeHeight>(&outcome)) {
        reportAt(e->message, fieldAt(e->field));
    } else if (const auto *e = std::get_if<sr::HxAboveTwiceRadius>(&outcome)) {
        limitReset(toQString(e->message));
    }
}

void SingleRodWindow::limitReset(const QString &message)
{
    showNotice(this, message);
    inputs_.hx->clear();
    inputs_.h->clear();
    results_.rx->setText(kClearedResult);
    results_.ro->setText(kClearedResult);
    inputs_.classList->setCurrentIndex(0);
    focusAndSelect(inputs_.hx);
}

void SingleRodWindow::clear()
{
    inputs_.classList->setCurrentIndex(0);
    inputs_.hx->clear();
    inputs_.h->clear();
    results_.rx->setText(kClearedResult);
    results_.ro->setText(kClearedResult);
    focusAndSelect(inputs_.hx);
    setTextColour(results_.rx, bgrColour(colour::kLightYellow));
}

} // namespace windows
