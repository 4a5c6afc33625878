#pragma once

#include <QWidget>

namespace windows {

// How to use the program: what each window computes from which inputs, the
// keys, the two ways to calculate, the calculation sheet and the layout
// program for many rods and wires, which it starts. Shown beside the
// single-rod window; closing it only hides it.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    HelpWindow();

private:
    // Starts the layout program for many rods and wires.
    void startLayoutProgram();
};

} // namespace windows
