#pragma once

#include <QWidget>

namespace windows {

class LinkLabel;

// Who made the program: name, lines of business, address and a link line.
// Shown beside the single-rod window; closing it discards it.
class AboutWindow : public QWidget {
    Q_OBJECT
public:
    AboutWindow();

private:
    LinkLabel *linkLine_ = nullptr; // Label3_1
};

} // namespace windows
