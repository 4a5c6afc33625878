#pragma once

#include <QLabel>
#include <QLineEdit>

// The two kinds of link to the maker's site.
namespace windows {

// A label that reports clicks and every mouse move over it, also with no
// button pressed.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget *parent);

signals:
    void clicked();
    void mouseMoved();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool pressed_ = false;
};

// A read-only text box that serves as a link: arrow cursor, no frame, reports
// clicks and every mouse move over it. A click does not take the focus.
class TextBoxLink : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBoxLink(QWidget *parent);

signals:
    void clicked();
    void mouseMoved();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool pressed_ = false;
};

} // namespace windows
