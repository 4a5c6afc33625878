#include "windows/about_window.h"

#include "rendering/branding.h"
#include "windows/colours.h"
#include "windows/control_factory.h"
#include "windows/fonts.h"
#include "windows/links.h"
#include "windows/placement.h"
#include "windows/window_id.h"

#include <QLabel>

#include <array>

namespace windows {

namespace {

constexpr std::array<const char *, 4> kBusinessLines{"防雷工程设计", "防雷装置检测", "避雷器材销售",
                                                     "雷击风险评估"};
constexpr std::array<Twips, 4> kBusinessPlaces{{{1560, 1080, 1335, 255},
                                                {3240, 1080, 1335, 255},
                                                {1560, 1560, 1335, 255},
                                                {3240, 1560, 1335, 255}}};
constexpr std::array<const char *, 4> kBusinessNames{"Label2_0", "Label2_1", "Label2_2",
                                                     "Label2_3"};

} // namespace

AboutWindow::AboutWindow()
{
    setObjectName(QString::fromLatin1(formName(WindowId::About)));
    setWindowTitle(rendering::makerName());
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(pixels(5880), pixels(3495));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, bgrColour(colour::kBlack));
    setPalette(palette);
    setAutoFillBackground(true);

    const QColor yellow = bgrColour(colour::kYellow);
    const QFont text = designFont(kSongTi, 10.5, false);

    makeLine(this, "Line1", 1200, 240, 4800, 240, yellow);
    makeLabel(this, "Label1", {1440, 360, 3615, 255}, rendering::makerName(),
              designFont(kSongTi, 14.25, false), yellow);
    makeLine(this, "Line2", 1200, 720, 4800, 720, yellow);
    for (std::size_t i = 0; i < kBusinessLines.size(); ++i) {
        makeLabel(this, kBusinessNames[i], kBusinessPlaces[i], QString::fromUtf8(kBusinessLines[i]),
                  text, yellow);
    }

    // The address line and the link line form one group: a click on either
    // opens the site, a move over either makes the link line flicker.
    LinkLabel *addressLine =
        makeLinkLabel(this, "Label3_0", {480, 2400, 5295, 255},
                      QStringLiteral("地址：广州市岚舟路8号   电话：020-5550100"), text, yellow);
    linkLine_ = makeLinkLabel(this, "Label3_1", {480, 2760, 5175, 255},
                              QStringLiteral("详细资料，请浏览公司网页：") + QString(8, u' ') +
                                  rendering::makerHost() + QString(4, u' '),
                              text, yellow, rendering::linkToolTip());
    for (LinkLabel *member : {addressLine, linkLine_}) {
        connect(member->clicks(), &LinkClicks::clicked, this, &rendering::openMakerSite);
        connect(member->clicks(), &LinkClicks::mouseMoved, this,
                [this] { toggleLinkColour(linkLine_); });
    }

    // Load step.
    centreOnScreen(this);
}

} // namespace windows
