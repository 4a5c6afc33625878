#pragma once

#include <QWidget>

namespace windows {

// How to use the program: what each window computes from which inputs, the
// keys, the two ways to calculate and the calculation sheet. Shown beside the
// single-rod window; closing it only hides it.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    HelpWindow();
};

} // namespace windows
