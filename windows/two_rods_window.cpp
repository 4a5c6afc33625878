#include "windows/two_rods_window.h"

#include "calc/numeric.h"
#include "calc/two_rods.h"
#include "windows/widgets.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <variant>

namespace windows {

QString hxCaptionWithLeadingZero(const QString &hxText)
{
    // A value below 1 is written with the point first; only then is a digit
    // missing. "0", a negative remnant of rounding ("-7.10") and a text cut
    // inside its exponent ("1.5E-", not a number at all) stay as they are.
    const std::string hx = hxText.toStdString();
    const bool belowOne = calc::isNumberText(hx) && calc::numberFromText(hx) < 1;
    if (belowOne && hxText.startsWith(QLatin1Char('.'))) return QLatin1Char('0') + hxText;
    return hxText;
}

TwoRodsWindow::TwoRodsWindow()
    : CalcWindow(WindowId::TwoRods, QStringLiteral("双根等高针保护范围"), 7290, 4650)
{
    buildControls();
    buildMenus();
    setFirstField(inputs_.h);

    // Load step: the first class, then the window centred on the screen.
    inputs_.classList->setCurrentIndex(0);
    centreOnScreen();
}

void TwoRodsWindow::buildControls()
{
    QWidget *area = client();
    const QColor yellow = bgrColour(colour::kYellow);
    const QFont text = rodWindowFont();
    const QColor resultColour = bgrColour(colour::kLightYellow);

    const RodWindowControls common = makeRodWindowControls(area);
    inputs_ = {common.text1, common.text2, common.classList};
    buttons_ = {common.compute, common.clear, common.exit};
    link_ = makeLinkLabel(area, "Label11", {120, 120, 4815, 375},
                          makerName() + QLatin1Char(' ') + makerHost(),
                          designFont(kKaiTi, 12, true), yellow, linkToolTip());
    makeLine(area, "Line1", 120, 600, 7200, 600, bgrColour(colour::kRed));
    makeLabel(area, "Label6", {1920, 840, 3495, 375}, QStringLiteral("双根等高避雷针保护范围计算"),
              designFont(kYouYuan, 12, true), bgrColour(colour::kWhite));
    attachCaption(makeLabel(area, "Label5", {1080, 1920, 1095, 615},
                            QStringLiteral("避雷针高度    h"), text, yellow),
                  inputs_.h);
    attachCaption(makeLabel(area, "Label1", {3840, 1920, 1095, 495},
                            QStringLiteral("针间距离      D"), text, yellow),
                  inputs_.d);
    results_.hx = makeRodResult(
        area,
        makeLabel(area, "Label3", {1080, 3000, 975, 255}, QStringLiteral("结果 hx"), text, yellow),
        "Label8", {2160, 3000, 1335, 255}, resultColour);
    results_.bo = makeRodResult(
        area,
        makeLabel(area, "Label4", {3840, 3000, 975, 255}, QStringLiteral("结果 bo"), text, yellow),
        "Label9", {4800, 3000, 1335, 375}, resultColour);

    chainTabOrder(
        {inputs_.h, inputs_.d, inputs_.classList, buttons_.compute, buttons_.clear, buttons_.exit});

    for (InputField *field : {inputs_.h, inputs_.d})
        onKeyDown(field, [this, field](int code) { return inputKeyDown(field, code); });
    onKeyDown(inputs_.classList, [this](int code) {
        if (code == kKeyF2)
            backToSingleRod();
        else if (code == kKeyF10 && inputs_.classList->currentIndex() == 2)
            showBeside(WindowId::StrikeCount);
        return code == kKeyF2 || code == kKeyF10;
    });
    for (QPushButton *button : {buttons_.compute, buttons_.clear, buttons_.exit}) {
        onKeyDown(button, [this](int code) {
            if (code != kKeyF2) return false;
            backToSingleRod();
            return true;
        });
    }

    connect(buttons_.compute, &QPushButton::clicked, this, [this] { calculate(Path::Button); });
    connect(buttons_.clear, &QPushButton::clicked, this, &TwoRodsWindow::clear);
    connect(buttons_.exit, &QPushButton::clicked, this, [this] { askExit(); });
    connect(link_, &LinkLabel::clicked, this, &openMakerSite);
    connect(link_, &LinkLabel::mouseMoved, this, [this] { toggleLinkColour(link_); });
}

void TwoRodsWindow::buildMenus()
{
    QMenu *range = addMenu("quelm", QStringLiteral("保护范围"));
    addMenuEntry(range, "dangen", QStringLiteral("单根避雷针保护范围(&D)"),
                 [this] { switchTo(WindowId::SingleRod); });
    // This window's own entry.
    addMenuEntry(range, "shuanggende", QStringLiteral("双根等高避雷针保护范围"), {})
        ->setEnabled(false);

    QMenu *rodHeight = addMenu("bileizhendehigh", QStringLiteral("避雷针高度"));
    addMenuEntry(rodHeight, "bileizhen", QStringLiteral("避雷针高度计算"),
                 [this] { switchTo(WindowId::RodHeight); });

    QMenu *strikes = addMenu("leijicishuya", QStringLiteral("雷击次数"));
    addMenuEntry(strikes, "leijicishude", QStringLiteral("雷击次数计算"),
                 [this] { switchTo(WindowId::StrikeCount); });

    QMenu *exit = addMenu("ituichu", QStringLiteral("退出"));
    addMenuEntry(exit, "exitid", QStringLiteral("退出"), &endProgram);
}

void TwoRodsWindow::activationStep() { focusAndSelect(inputs_.h); }

bool TwoRodsWindow::inputKeyDown(InputField *field, int keyCode)
{
    if (keyCode == kKeyF2) {
        backToSingleRod();
        return true;
    }
    if (keyCode != kKeyEnter) return false;
    enterPressed(field);
    return true;
}

void TwoRodsWindow::enterPressed(InputField *field)
{
    // Enter leads through the fields without a message: a text that is not a
    // number is emptied for typing afresh, first in the field itself, then in
    // the other one.
    InputField *other = field == inputs_.h ? inputs_.d : inputs_.h;
    for (InputField *checked : {field, other}) {
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
    const auto outcome = calc::computeTwoRods(fieldText(inputs_.h), fieldText(inputs_.d),
                                              std::int16_t(inputs_.classList->currentIndex()));

    const auto reportAt = [this](const std::string &message, tr::Field field) {
        showStopBox(this, toQString(message));
        focusAndSelect(field == tr::Field::H ? inputs_.h : inputs_.d);
    };

    if (const auto *ok = std::get_if<tr::TwoRodsOk>(&outcome)) {
        const QString hx = toQString(ok->hxResultText);
        results_.hx->setText(path == Path::Button ? hxCaptionWithLeadingZero(hx) : hx);
        results_.bo->setText(toQString(ok->boResultText));
    } else if (const auto *e = std::get_if<tr::TwoRodsHNotNumeric>(&outcome)) {
        reportAt(e->message, e->field);
    } else if (const auto *e = std::get_if<tr::TwoRodsDNotNumeric>(&outcome)) {
        reportAt(e->message, e->field);
    } else if (const auto *e = std::get_if<tr::TwoRodsHDNotNumeric>(&outcome)) {
        reportAt(e->message, e->field);
    } else if (const auto *e = std::get_if<tr::TwoRodsNegativeHeight>(&outcome)) {
        reportAt(e->message, e->field);
    } else if (const auto *e = std::get_if<tr::TwoRodsTooFar>(&outcome)) {
        handOver(toQString(e->message));
    }
}

void TwoRodsWindow::handOver(const QString &message)
{
    // The rods are too far apart to protect jointly: each is a single rod.
    // The class stays; hx shows the cleared result, bo nothing at all.
    showNotice(this, message);
    inputs_.h->clear();
    inputs_.d->clear();
    results_.hx->setText(kClearedResult);
    results_.bo->setText(QString());
    switchTo(WindowId::SingleRod);
}

void TwoRodsWindow::backToSingleRod()
{
    // F2 hides this window before the single-rod window shows, unlike the
    // menu entries and the hand-over.
    switchToHidingFirst(WindowId::SingleRod);
}

void TwoRodsWindow::clear()
{
    inputs_.classList->setCurrentIndex(0);
    inputs_.h->clear();
    inputs_.d->clear();
    results_.hx->setText(kClearedResult);
    results_.bo->setText(kClearedResult);
    focusAndSelect(inputs_.h);
}

} // namespace windows
