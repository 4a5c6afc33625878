#pragma once

#include <QWidget>

namespace windows {

// A straight decorative line in its palette's foreground colour.
class DecorLine : public QWidget {
    Q_OBJECT
public:
    explicit DecorLine(QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace windows
