#pragma once

#include "sheets/drawing.h"

#include <QWidget>

#include <optional>

// The vertical section along the line drawn on the plan, painted true to scale by the same code
// as the calculation sheet's drawing.
namespace designer {

class SectionPane : public QWidget {
    Q_OBJECT
public:
    explicit SectionPane(QWidget *parent = nullptr);
    void showSection(const std::optional<calc::drawing::View> &view);
    const std::optional<calc::drawing::View> &section() const { return view_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<calc::drawing::View> view_;
};

} // namespace designer
