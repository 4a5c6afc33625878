#include "windows/rod_window.h"

#include "rendering/branding.h"
#include "windows/captions.h"
#include "windows/colours.h"
#include "windows/control_factory.h"
#include "windows/editable_list.h"
#include "windows/fonts.h"
#include "windows/input_field.h"
#include "windows/key_hooks.h"
#include "windows/links.h"
#include "windows/message_boxes.h"
#include "windows/result_label.h"

#include <QPushButton>

#include <tuple>

namespace windows {

namespace {

// Captions, fields and buttons: 宋体 10.5 pt bold; results the same, underlined.
QFont rodWindowFont() { return designFont(kSongTi, 10.5, true); }
QFont rodResultFont() { return designFont(kSongTi, 10.5, true, true); }

ResultLabel *makeResult(QWidget *client, const ResultDesign &design, bool first)
{
    const QFont font = rodWindowFont();
    QLabel *caption = makeLabel(
        client, first ? "Label3" : "Label4", {first ? 1080 : 3840, 3000, design.captionWidth, 255},
        design.caption, font, bgrColour(colour::kYellow), design.captionTip);
    ResultLabel *result = makeResultLabel(
        client, first ? "Label8" : "Label9", {first ? 2160 : 4800, 3000, 1335, first ? 255 : 375},
        kClearedResult, rodResultFont(), bgrColour(design.colour), design.tip);
    attachCaption(caption, result);
    return result;
}

} // namespace

RodWindow::RodWindow(WindowSet &set, const RodWindowDesign &design)
    : CalcWindow(set, design.id, design.title, 7290, 4650), f2_(design.f2),
      focusFirstOnActivation_(design.focusFirstOnActivation), sheet_(design.sheet)
{
    buildControls(design);
    hookKeys();
    setFirstField(inputs_.first);
    buildMenuBar();

    connect(buttons_.compute, &QPushButton::clicked, this, [this] { computeClicked(); });
    connect(buttons_.clear, &QPushButton::clicked, this, [this] { clearClicked(); });
    connect(buttons_.exit, &QPushButton::clicked, this, [this] { askExit(); });

    // Load step: the first class, then the window centred on the screen.
    inputs_.classList->setCurrentIndex(0);
    centreOnScreen();
}

void RodWindow::buildControls(const RodWindowDesign &design)
{
    QWidget *area = client();
    const QColor yellow = bgrColour(colour::kYellow);
    const QFont font = rodWindowFont();

    inputs_.first = makeInputField(area, "Text1", {2160, 1920, 1335, 375}, font);
    inputs_.second = makeInputField(area, "Text2", {4920, 1920, 1335, 375}, font);
    inputs_.classList = makeEditableList(area, "Combo1", {2160, 1320, 1335, 300},
                                         designFont(kSongTi, 9, true), protectionClassEntries());
    buttons_ = makeCommandButtons(
        area,
        {{"Command1", "Command2", "Command3"},
         {QStringLiteral("计  算"), QStringLiteral("清  除"), QStringLiteral("退  出")},
         {1320, 2880, 4440},
         3600,
         1555,
         495},
        font);
    attachCaption(makeLabel(area, "Label2", {1080, 1320, 1095, 255}, QStringLiteral("防雷类别"),
                            font, yellow),
                  inputs_.classList);

    buildLink(design);
    makeLine(area, "Line1", 120, 600, design.lineRight, 600, bgrColour(colour::kRed));
    makeLabel(area, "Label6", {design.headingLeft, 840, design.headingWidth, 375}, design.heading,
              designFont(kYouYuan, 12, true), bgrColour(colour::kWhite));
    for (const auto &[caption, left, field] : {std::tuple{design.first, 1080, inputs_.first},
                                               std::tuple{design.second, 3840, inputs_.second}}) {
        attachCaption(makeLabel(area, caption.name, {left, 1920, 1095, caption.height},
                                caption.text, font, yellow),
                      field);
    }
    results_.first = makeResult(area, design.firstResult, true);
    results_.second = makeResult(area, design.secondResult, false);

    if (design.linkIsTextBox) {
        chainTabOrder({inputs_.first, inputs_.second, inputs_.classList, buttons_.compute,
                       buttons_.clear, buttons_.exit, link_});
    } else {
        chainTabOrder({inputs_.first, inputs_.second, inputs_.classList, buttons_.compute,
                       buttons_.clear, buttons_.exit});
    }
}

void RodWindow::buildLink(const RodWindowDesign &design)
{
    const QString text = rendering::makerName() + QLatin1Char(' ') + rendering::makerHost();
    const QFont font = designFont(kKaiTi, 12, true);
    const QColor yellow = bgrColour(colour::kYellow);
    const auto wire = [this](auto *link) {
        connect(link->clicks(), &LinkClicks::clicked, this, &rendering::openMakerSite);
        connect(link->clicks(), &LinkClicks::mouseMoved, this, [link] { toggleLinkColour(link); });
        link_ = link;
    };
    if (design.linkIsTextBox)
        wire(makeTextBoxLink(client(), "Text3", {120, 120, 5235, 405}, text, font, yellow,
                             rendering::linkToolTip()));
    else
        wire(makeLinkLabel(client(), "Label11", {120, 120, 4815, 375}, text, font, yellow,
                           rendering::linkToolTip()));
}

void RodWindow::hookKeys()
{
    if (f2_) {
        for (InputField *field : {inputs_.first, inputs_.second})
            onKeyDown(field, [this, field](int code) { return fieldKeyDown(field, code); });
    }
    onKeyDown(inputs_.classList, [this](int code) {
        if (code == kKeyF2 && f2_) {
            f2Pressed();
            return true;
        }
        if (code != kKeyF10) return false;
        if (inputs_.classList->currentIndex() == 2) showBeside(WindowId::StrikeCount);
        return true;
    });
    if (!f2_) return;
    for (QPushButton *button : {buttons_.compute, buttons_.clear, buttons_.exit}) {
        onKeyDown(button, [this](int code) {
            if (code != kKeyF2) return false;
            f2Pressed();
            return true;
        });
    }
}

void RodWindow::f2Pressed()
{
    if (f2_->hideFirst)
        switchToHidingFirst(f2_->target);
    else
        switchTo(f2_->target);
}

void RodWindow::activationStep()
{
    if (focusFirstOnActivation_) focusAndSelect(inputs_.first);
}

bool RodWindow::fieldKeyDown(InputField *field, int keyCode)
{
    if (keyCode == kKeyF2) {
        f2Pressed();
        return true;
    }
    if (keyCode != kKeyEnter) return false;
    enterPressed(field);
    return true;
}

void RodWindow::clearClicked()
{
    inputs_.classList->setCurrentIndex(0);
    clearInputs();
    showResults(kClearedResult, kClearedResult);
    focusAndSelect(inputs_.first);
}

void RodWindow::reportAt(const std::string &message, InputField *field)
{
    // Results, the other field and the class stay as they were.
    showStopBox(this, toQString(message));
    focusAndSelect(field);
}

void RodWindow::noticeReset(const std::string &message, const QString &first, const QString &second)
{
    showNotice(this, toQString(message));
    clearInputs();
    showResults(first, second);
}

void RodWindow::limitReset(const std::string &message)
{
    noticeReset(message, kClearedResult, kClearedResult);
    inputs_.classList->setCurrentIndex(0);
    focusAndSelect(inputs_.first);
}

void RodWindow::showResults(const QString &first, const QString &second)
{
    results_.first->setText(first);
    results_.second->setText(second);
}

void RodWindow::clearInputs()
{
    inputs_.first->clear();
    inputs_.second->clear();
}

CalcWindow::SheetMaker RodWindow::sheetOfInputs() const
{
    return [sheet = sheet_, first = fieldText(inputs_.first), second = fieldText(inputs_.second),
            index = classIndex()](const std::string &date) {
        return sheet(first, second, index, date);
    };
}

std::int16_t RodWindow::classIndex() const
{
    return std::int16_t(inputs_.classList->currentIndex());
}

InputField *RodWindow::otherField(InputField *field) const
{
    return field == inputs_.first ? inputs_.second : inputs_.first;
}

} // namespace windows
