#pragma once

#include <QString>

#include <string_view>

class QLabel;
class QWidget;

// Texts between the calculations (UTF-8) and the controls, and the names
// assistive tools read.
namespace windows {

QString toQString(std::string_view text);

// The form in which assistive tools speak a caption: runs of spaces become
// one, spaces between two Chinese characters go ("计  算" is "计算",
// "被保护物高度  hx" is "被保护物高度 hx"), and a closing colon is dropped.
QString spokenText(const QString &caption);

// Makes `caption` the label of `control`, an input field, a list or a result
// label: its buddy, and its name for assistive tools in the spoken form.
void attachCaption(QLabel *caption, QWidget *control);

} // namespace windows
