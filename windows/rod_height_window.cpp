#include "windows/rod_height_window.h"

#include "calc/numeric.h"
#include "calc/rod_height.h"
#include "windows/widgets.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStringList>

#include <variant>

namespace windows {

namespace {

const QString kCleared = QStringLiteral("    ");
const QString kLinkTip = QStringLiteral("点击去岚舟网站！");
// A tool tip of one space: the result labels carry one, but it says nothing.
const QString kResultTip = QStringLiteral(" ");

QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

std::string text(const QLineEdit *field)
{
    return field->text().toStdString();
}

QStringList classEntries()
{
    QStringList entries;
    for (std::string_view entry : calc::kProtectionClassEntries)
        entries << QString::fromUtf8(entry.data(), qsizetype(entry.size()));
    return entries;
}

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
    const QFont text = designFont(kSongTi, 10.5, true);
    const QFont result = designFont(kSongTi, 10.5, true, true);

    inputs_.hx = makeInputField(area, "Text1", {2160, 1920, 1335, 375}, text);
    inputs_.distance = makeInputField(area, "Text2", {4920, 1920, 1335, 375}, text);
    inputs_.classList = makeEditableList(area, "Combo1", {2160, 1320, 1335, 300},
                                         designFont(kSongTi, 9, true), classEntries());
    buttons_.compute = makeButton(area, "Command1", {1320, 3600, 1555, 495},
                                  QStringLiteral("计  算"), text);
    buttons_.clear = makeButton(area, "Command2", {2880, 3600, 1555, 495},
                                QStringLiteral("清  除"), text);
    buttons_.exit = makeButton(area, "Command3", {4440, 3600, 1555, 495},
                               QStringLiteral("退  出"), text);
    link_ = makeLinkLabel(area, "Label11", {120, 120, 4815, 375},
                          makerName() + QLatin1Char(' ') + makerHost(),
                          designFont(kKaiTi, 12, true), yellow, kLinkTip);
    makeLine(area, "Line1", 120, 600, 7320, 600, bgrColour(colour::kRed));
    makeLabel(area, "Label6", {2640, 840, 1815, 375}, QStringLiteral("避雷针高度计算"),
              designFont(kYouYuan, 12, true), bgrColour(colour::kWhite));
    makeLabel(area, "Label2", {1080, 1320, 1095, 255}, QStringLiteral("防雷类别"), text, yellow);
    makeLabel(area, "Label1", {1080, 1920, 1095, 495}, QStringLiteral("被保护物高度  hx"), text,
              yellow);
    makeLabel(area, "Label5", {3840, 1920, 1095, 495}, QStringLiteral("距离   h"), text, yellow);
    makeLabel(area, "Label3", {1080, 3000, 1095, 255}, QStringLiteral("结果 x1"), text, yellow,
              QStringLiteral("避雷针在hx高度的xx'平面上的保护半径"));
    results_.x1 = makeResultLabel(area, "Label8", {2160, 3000, 1335, 255}, kCleared, result,
                                  lightYellow, kResultTip);
    makeLabel(area, "Label4", {3840, 3000, 975, 255}, QStringLiteral("结果 x2"), text, yellow,
              QStringLiteral("避雷针在地面上的保护半径"));
    results_.x2 = makeResultLabel(area, "Label9", {4800, 3000, 1335, 375}, kCleared, result,
                                  lightYellow, kResultTip);

    chainTabOrder({inputs_.hx, inputs_.distance, inputs_.classList, buttons_.compute,
                   buttons_.clear, buttons_.exit});

    // F10 on the third class is the window's only key: the fields and
    // buttons take their keys as usual, and Enter in a field does nothing.
    onKeyDown(inputs_.classList, [this](int code) {
        if (code != kKeyF10)
            return false;
        if (inputs_.classList->currentIndex() == 2)
            showBeside(WindowId::StrikeCount);
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
    const auto outcome =
        calc::computeRodHeight(text(inputs_.hx), text(inputs_.distance),
                               std::int16_t(inputs_.classList->currentIndex()));

    const auto fieldAt = [this](rh::Field field) {
        return field == rh::Field::Hx ? inputs_.hx : inputs_.distance;
    };

    if (const auto *ok = std::get_if<rh::RodHeightOk>(&outcome)) {
        results_.x1->setText(qs(ok->x1Text));
        results_.x2->setText(qs(ok->x2Text));
    } else if (const auto *e = std::get_if<rh::HxNotNumeric>(&outcome)) {
        reportAt(e->message, fieldAt(e->field));
    } else if (const auto *e = std::get_if<rh::DistanceNotNumeric>(&outcome)) {
        reportAt(e->message, fieldAt(e->field));
    } else if (const auto *e = std::get_if<rh::BothNotNumeric>(&outcome)) {
        reportAt(e->message, fieldAt(e->field));
    } else if (const auto *e = std::get_if<rh::NegativeHx>(&outcome)) {
        reportAt(e->message, fieldAt(e->field));
    } else if (const auto *e = std::get_if<rh::HxAboveTwiceRadius>(&outcome)) {
        limitReset(qs(e->message));
    } else if (const auto *e = std::get_if<rh::NegativeRadicand>(&outcome)) {
        rootReset(qs(e->message));
    }
}

void RodHeightWindow::reportAt(const std::string &message, InputField *field)
{
    // Results, the other field and the class stay as they were.
    showStopBox(this, qs(message));
    focusAndSelect(field);
}

void RodHeightWindow::limitReset(const QString &message)
{
    showNotice(this, message);
    inputs_.hx->clear();
    inputs_.distance->clear();
    results_.x1->setText(kCleared);
    results_.x2->setText(kCleared);
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
    results_.x1->setText(kCleared);
    results_.x2->setText(kCleared);
    focusAndSelect(inputs_.hx);
}

} // namespace windows
