#include "windows/rod_height_window.h"

#include "calc/rod_height.h"
#include "windows/widgets.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <variant>

namespace windows {

namespace {

// A tool tip of one space: the result labels carry one, but it says nothing.
const QString kResultTip = QStringLiteral(" ");

} // namespace

RodHeightWindow::RodHeightWindow()
    : CalcWindow(WindowId::RodHeight, QStringLiteral("避雷针高度计算"), 7290, 4650)
{
    buildControls();
    buildMenus();
    setFirstField(inputs_.hx);

    // Load step: the first class, then the window centred on the screen.
    inputs_.classList->setCurrentIndex(0);
    centreOnScreen();
}

void RodHeightWindow::buildControls()
{
    QWidget *area = client();
    const QColor yellow = bgrColour(colour::kYellow);
    const QColor lightYellow = bgrColour(colour::kLightYellow);
    const QFont text = rodWindowFont();

    const RodWindowControls common = makeRodWindowControls(area);
    inputs_ = {common.text1, common.text2, common.classList};
    buttons_ = {common.compute, common.clear, common.exit};
    link_ = makeLinkLabel(area, "Label11", {120, 120, 4815, 375},
                          makerName() + QLatin1Char(' ') + makerHost(),
                          designFont(kKaiTi, 12, true), yellow, linkToolTip());
    makeLine(area, "Line1", 120, 600, 7320, 600, bgrColour(colour::kRed));
    makeLabel(area, "Label6", {2640, 840, 1815, 375}, QStringLiteral("避雷针高度计算"),
              designFont(kYouYuan, 12, true), bgrColour(colour::kWhite));
    attachCaption(makeLabel(area, "Label1", {1080, 1920, 1095, 495},
                            QStringLiteral("被保护物高度  hx"), text, yellow),
                  inputs_.hx);
    attachCaption(makeLabel(area, "Label5", {3840, 1920, 1095, 495}, QStringLiteral("距离   h"),
                            text, yellow),
                  inputs_.distance);
    results_.x1 = makeRodResult(area,
                                makeLabel(area, "Label3", {1080, 3000, 1095, 255},
                                          QStringLiteral("结果 x1"), text, yellow,
                                          QStringLiteral("避雷针在hx高度的xx'平面上的保护半径")),
                                "Label8", {2160, 3000, 1335, 255}, lightYellow, kResultTip);
    results_.x2 =
        makeRodResult(area,
                      makeLabel(area, "Label4", {3840, 3000, 975, 255}, QStringLiteral("结果 x2"),
                                text, yellow, QStringLiteral("避雷针在地面上的保护半径")),
                      "Label9", {4800, 3000, 1335, 375}, lightYellow, kResultTip);

    chainTabOrder({inputs_.hx, inputs_.distance, inputs_.classList, buttons_.compute,
                   buttons_.clear, buttons_.exit});

    // F10 on the third class is the window's only key: the fields and
    // buttons take their keys as usual, and Enter in a field does nothing.
    onKeyDown(inputs_.classList, [this](int code) {
        if (code != kKeyF10) return false;
        if (inputs_.classList->currentIndex() == 2) showBeside(WindowId::StrikeCount);
        return true;
    });

    connect(buttons_.compute, &QPushButton::clicked, this, &RodHeightWindow::calculate);
    connect(buttons_.clear, &QPushButton::clicked, this, &RodHeightWindow::clear);
    connect(buttons_.exit, &QPushButton::clicked, this, [this] { askExit(); });
    connect(link_, &LinkLabel::clicked, this, &openMakerSite);
    connect(link_, &LinkLabel::mouseMoved, this, [this] { toggleLinkColour(link_); });
}

void RodHeightWindow::buildMenus()
{
    QMenu *range = addMenu("tirasol", QStringLiteral("保护范围"));
    addMenuEntry(range, "dangen", QStringLiteral("单根避雷针保护范围"),
                 [this] { switchTo(WindowId::SingleRod); });
    addMenuEntry(range, "shuanggen", QStringLiteral("双根等高避雷针保护范围"),
                 [this] { switchTo(WindowId::TwoRods); });

    QMenu *strikes = addMenu("leijicishuki", QStringLiteral("雷击次数"));
    addMenuEntry(strikes, "leijicishudejisuan", QStringLiteral("雷击次数计算"),
                 [this] { switchTo(WindowId::StrikeCount); });

    QMenu *exit = addMenu("tuichuley", QStringLiteral("退出"));
    addMenuEntry(exit, "tuichuleded", QStringLiteral("退出"), &endProgram);
}

void RodHeightWindow::calculate()
{
    namespace rh = calc::rod_height;
    const auto outcome = calc::computeRodHeight(fieldText(inputs_.hx), fieldText(inputs_.distance),
                                                std::int16_t(inputs_.classList->currentIndex()));

    const auto fieldAt = [this](rh::Field field) {
        return field == rh::Field::Hx ? inputs_.hx : inputs_.distance;
    };

    if (const auto *ok = std::get_if<rh::RodHeightOk>(&outcome)) {
        results_.x1->setText(toQString(ok->x1Text));
        results_.x2->setText(toQString(ok->x2Text));
    } else if (const auto *e = std::get_if<rh::HxNotNumeric>(&outcome)) {
        reportAt(e->message, fieldAt(e->field));
    } else if (const auto *e = std::get_if<rh::DistanceNotNumeric>(&outcome)) {
        reportAt(e->message, fieldAt(e->field));
    } else if (const auto *e = std::get_if<rh::BothNotNumeric>(&outcome)) {
        reportAt(e->message, fieldAt(e->field));
    } else if (const auto *e = std::get_if<rh::NegativeHx>(&outcome)) {
        reportAt(e->message, fieldAt(e->field));
    } else if (const auto *e = std::get_if<rh::HxAboveTwiceRadius>(&outcome)) {
        limitReset(toQString(e->message));
    } else if (const auto *e = std::get_if<rh::NegativeRadicand>(&outcome)) {
        rootReset(toQString(e->message));
    }
}

void RodHeightWindow::reportAt(const std::string &message, InputField *field)
{
    // Results, the other field and the class stay as they were.
    showStopBox(this, toQString(message));
    focusAndSelect(field);
}

void RodHeightWindow::limitReset(const QString &message)
{
    showNotice(this, message);
    inputs_.hx->clear();
    inputs_.distance->clear();
    results_.x1->setText(kClearedResult);
    results_.x2->setText(kClearedResult);
    inputs_.classList->setCurrentIndex(0);
    focusAndSelect(inputs_.hx);
}

void RodHeightWindow::rootReset(const QString &message)
{
    // Unlike the limit reset, the results go blank (not four spaces) and the
    // class and the focus stay where they are.
    showNotice(this, message);
    inputs_.hx->clear();
    inputs_.distance->clear();
    results_.x1->clear();
    results_.x2->clear();
}

void RodHeightWindow::clear()
{
    inputs_.classList->setCurrentIndex(0);
    inputs_.hx->clear();
    inputs_.distance->clear();
    results_.x1->setText(kClearedResult);
    results_.x2->setText(kClearedResult);
    focusAndSelect(inputs_.hx);
}

} // namespace windows
