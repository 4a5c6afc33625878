#pragma once

#include <QLabel>
#include <QLineEdit>

// The two kinds of link to the maker's site.
namespace windows {

// Watches a widget for what makes it a link: a click (the left button pressed
// and released over it) and every mouse move over it, also with no button
// pressed.
class LinkClicks : public QObject {
    Q_OBJECT
public:
    // A widget that takes its own mouse moves sees them too; one that does not
    // (a text box would select) has them taken here. Presses and releases are
    // always taken, so the widget shows no caret and no selection.
    LinkClicks(QWidget *link, bool widgetSeesMoves);

signals:
    void clicked();
    void mouseMoved();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *link_;
    bool widgetSeesMoves_;
    bool pressed_ = false;
};

// A label that serves as a link.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget *parent);
    const LinkClicks *clicks() const { return clicks_; }

private:
    LinkClicks *clicks_;
};

// A read-only text box that serves as a link: arrow cursor, no frame. A click
// does not take the focus.
class TextBoxLink : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBoxLink(QWidget *parent);
    const LinkClicks *clicks() const { return clicks_; }

private:
    LinkClicks *clicks_;
};

} // namespace windows
