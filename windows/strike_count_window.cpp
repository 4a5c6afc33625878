#include "windows/strike_count_window.h"

#include "calc/strike_count.h"
#include "sheets/strike_count_sheet.h"
#include "windows/clock.h"
#include "calc/visit.h"
#include "rendering/branding.h"
#include "windows/captions.h"
#include "windows/colours.h"
#include "windows/control_factory.h"
#include "windows/editable_list.h"
#include "windows/fonts.h"
#include "windows/input_field.h"
#include "windows/links.h"
#include "windows/message_boxes.h"
#include "windows/result_label.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>

#include <string>
#include <variant>

namespace windows {

namespace {

const QString kLoadedResult = QString(7, u' ');
const QString kPending = QStringLiteral("(待计算)");
const QString kInputErrorTitle = QStringLiteral("输入错误");
const QString kClockTip = QStringLiteral("当前时间：");
const QString kClockTipPrefix = QStringLiteral("现在时间是：");
constexpr unsigned kLightGrey = 0xE0E0E0;
constexpr qreal kResultPoints = 9;
constexpr qreal kCountPoints = 12;

template <class Table>
QStringList entryTexts(const Table &table)
{
    QStringList entries;
    for (const auto &entry : table) entries << toQString(entry.text);
    return entries;
}

// The desktop's colour for selected text, which marks a result still to be
// calculated.
QColor pendingColour() { return QApplication::palette().color(QPalette::HighlightedText); }

QColor yellow() { return bgrColour(colour::kYellow); }

} // namespace

StrikeCountWindow::StrikeCountWindow(WindowSet &set)
    : CalcWindow(set, WindowId::StrikeCount, QStringLiteral("雷击次数计算"), 7290, 4650)
{
    buildHeader();
    buildInputs();
    buildButtons();
    buildMenuBar();

    const auto &[length, width, height] = inputs_.dimensions;
    chainTabOrder({length, width, height, inputs_.setting, buttons_.compute, buttons_.exit,
                   buttons_.clear, inputs_.city});
    setFirstField(length);
    setDefaultButton(buttons_.compute);
    // The first showing finds the focus in the length field; later showings
    // leave it where the user left it.
    length->setFocus();

    // Load step: the first setting, the window centred, the first city.
    inputs_.setting->setCurrentIndex(0);
    centreOnScreen();
    inputs_.city->setCurrentIndex(0);
}

void StrikeCountWindow::buildHeader()
{
    QWidget *area = client();
    const QColor white = bgrColour(colour::kWhite);

    header_.name = makeLinkLabel(area, "Label11", {120, 120, 3615, 375}, rendering::makerName(),
                                 designFont(kKaiTi, 14.25, true), yellow());
    header_.address = makeLinkLabel(area, "Label12", {3840, 120, 2175, 255}, rendering::makerHost(),
                                    designFont(kSongTi, 9, false), white, rendering::linkToolTip());
    makeLine(area, "Line1", 0, 600, 7080, 600, bgrColour(colour::kRed));
    header_.clock = makeLinkLabel(area, "Label5", {6240, 720, 975, 375}, QString(),
                                  designFont(kSongTi, 9, true), yellow(), kClockTip);
    makeLabel(area, "Label4", {1920, 840, 4215, 375}, QStringLiteral("雷 击 次 数 计 算 系 统"),
              designFont(kSongTi, 14.25, true), white);

    // The name only flickers; the address is the link.
    connect(header_.name->clicks(), &LinkClicks::mouseMoved, this,
            [this] { toggleLinkColour(header_.name); });
    connect(header_.address->clicks(), &LinkClicks::clicked, this, &rendering::openMakerSite);
    connect(header_.clock->clicks(), &LinkClicks::mouseMoved, this,
            [this] { header_.clock->setToolTip(kClockTipPrefix + header_.clock->text()); });

    // The clock runs from now until the program ends, shown or hidden.
    clock_ = new Clock(this);
    clock_->setObjectName(QStringLiteral("Timer1"));
    connect(clock_, &Clock::ticked, header_.clock, &QLabel::setText);
}

void StrikeCountWindow::buildInputs()
{
    auto *frame = new QGroupBox(QStringLiteral("输入有效数字"), client());
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(pixelRect({960, 1200, 5415, 2055}));
    frame->setFont(designFont(kSongTi, 12, true));
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, bgrColour(colour::kBlack));
    palette.setColor(QPalette::WindowText, bgrColour(colour::kRed));
    frame->setPalette(palette);

    // Positions inside the frame are relative to it.
    const QFont caption = designFont(kSongTi, 9, false);
    const QFont field = designFont(kSongTi, 9, true);
    const QColor grey = bgrColour(kLightGrey);
    const char *labelNames[] = {"Label1_0", "Label1_1", "Label1_2"};
    const char *fieldNames[] = {"Text1_0", "Text1_1", "Text1_2"};
    const QString captions[] = {QStringLiteral("长:"), QStringLiteral("宽:"),
                                QStringLiteral("高:")};
    const int labelLefts[] = {120, 1920, 3840};
    const int fieldLefts[] = {600, 2400, 4200};
    for (int i = 0; i < 3; ++i) {
        QLabel *label = makeLabel(frame, labelNames[i], {labelLefts[i], 600, 375, 330}, captions[i],
                                  caption, grey);
        inputs_.dimensions[std::size_t(i)] =
            makeInputField(frame, fieldNames[i], {fieldLefts[i], 544, 975, 333}, field);
        attachCaption(label, inputs_.dimensions[std::size_t(i)]);
    }

    QLabel *settingCaption = makeLabel(frame, "Label3", {120, 1200, 1095, 300},
                                       QStringLiteral("校正系数K:"), caption, yellow());
    inputs_.setting = makeEditableList(frame, "Combo1", {1320, 1125, 3855, 330}, field,
                                       entryTexts(calc::strike_count::kSettings));
    attachCaption(settingCaption, inputs_.setting);
    QLabel *cityCaption = makeLabel(frame, "Label6", {120, 1680, 1215, 255},
                                    QStringLiteral("年雷暴日td"), caption, yellow());
    inputs_.city = makeEditableList(frame, "Combo2", {1320, 1680, 2535, 300}, field,
                                    entryTexts(calc::strike_count::kCities));
    attachCaption(cityCaption, inputs_.city);
}

void StrikeCountWindow::buildButtons()
{
    QWidget *area = client();
    QLabel *resultCaption =
        makeLabel(area, "Label2_0", {2040, 3500, 1095, 375}, QStringLiteral("雷击次数:"),
                  designFont(kSongTi, 12, false), yellow());
    result_ = makeResultLabel(area, "Label2_1", {3240, 3500, 1815, 375}, kLoadedResult,
                              designFont(kSongTi, kResultPoints, false, true), yellow());
    attachCaption(resultCaption, result_);

    const QFont font = designFont(kSongTi, 10.5, true);
    buttons_ = makeCommandButtons(
        area,
        {{"Command1", "清除", "Command3"},
         {QStringLiteral("计算"), QStringLiteral("清除"), QStringLiteral("退出")},
         {2040, 3360, 4680},
         3960,
         1000,
         430},
        font);
    // Drawn as the button that Enter presses.
    buttons_.compute->setDefault(true);

    connect(buttons_.compute, &QPushButton::clicked, this, &StrikeCountWindow::calculate);
    connect(buttons_.clear, &QPushButton::clicked, this, &StrikeCountWindow::clear);
    connect(buttons_.exit, &QPushButton::clicked, this, [this] { askExit(); });
}

void StrikeCountWindow::showResult(const QString &caption, QColor colour, qreal points)
{
    result_->setFont(designFont(kSongTi, points, false, true));
    setTextColour(result_, colour);
    result_->setText(caption);
}

void StrikeCountWindow::calculate()
{
    namespace sc = calc::strike_count;
    calculationStarts();
    showResult(QString(), yellow(), kResultPoints);

    const auto &[length, width, height] = inputs_.dimensions;
    const auto outcome = calc::computeStrikeCount(
        fieldText(length), fieldText(width), fieldText(height),
        std::int16_t(inputs_.setting->currentIndex()), std::int16_t(inputs_.city->currentIndex()));

    // Fields at fault are emptied, not selected, and the first one is focused.
    const auto reportAt = [this](const std::string &message,
                                 const std::vector<sc::Dimension> &fields) {
        showStopBox(this, toQString(message), kInputErrorTitle);
        showResult(QString(), pendingColour(), kResultPoints);
        if (!fields.empty()) inputs_.dimensions[std::size_t(fields.front())]->setFocus();
        for (sc::Dimension field : fields) inputs_.dimensions[std::size_t(field)]->clear();
        result_->setText(kPending);
    };

    std::visit(
        calc::Overloaded{
            [&](const sc::StrikeCountOk &ok) {
                showResult(toQString(ok.countText), yellow(), kCountPoints);
            },
            [&](const sc::StrikeCountZero &zero) {
                showResult(toQString(zero.message), yellow(), kCountPoints);
            },
            [&](const calc::OneOf<sc::StrikeInputNotNumeric, sc::StrikeInputNegative> auto &e) {
                reportAt(e.message, e.fieldsAtFault);
            },
            // No field is at fault alone: the texts stay for the user to correct.
            [&](const sc::StrikeCountTooLarge &e) { reportAt(e.message, {}); },
        },
        outcome);
    calculationDone();
}

CalcWindow::SheetMaker StrikeCountWindow::sheetOfInputs() const
{
    const auto &[length, width, height] = inputs_.dimensions;
    return [l = fieldText(length), w = fieldText(width), h = fieldText(height),
            setting = std::int16_t(inputs_.setting->currentIndex()),
            city = std::int16_t(inputs_.city->currentIndex())](const std::string &date) {
        return calc::strikeCountSheet(l, w, h, setting, city, date);
    };
}

void StrikeCountWindow::clear()
{
    for (InputField *field : inputs_.dimensions) field->clear();
    inputs_.dimensions[0]->setFocus();
    result_->setText(QString());
    inputs_.setting->setCurrentIndex(0);
    inputs_.city->setCurrentIndex(0);
    showResult(kPending, pendingColour(), kResultPoints);
}

} // namespace windows
