#include "designer/section_pane.h"

#include "rendering/sheet_rendering.h"

#include <QPainter>

namespace designer {

SectionPane::SectionPane(QWidget *parent) : QWidget(parent)
{
    setMinimumHeight(140);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
}

void SectionPane::showSection(const std::optional<calc::drawing::View> &view)
{
    view_ = view;
    update();
}

void SectionPane::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    calc::drawing::Drawing drawing;
    if (view_)
        drawing.views.push_back(*view_);
    else
        drawing.emptyReason = "剖面：选“画剖面线”，在平面图上拖出一条线。";
    rendering::paintDrawing(painter, drawing, QRectF(rect()).adjusted(6, 6, -6, -6));
}

} // namespace designer
