#pragma once

#include <QLabel>

namespace windows {

// A result label that shows nothing holds four spaces, not the empty text.
inline const QString kClearedResult = QStringLiteral("    ");

// A label that shows a result. Assistive tools read the caption beside it
// as its name and the result it shows as its value and text; its own
// accessible name stays empty, so that each new result is reported to them
// as the label's text changes.
class ResultLabel : public QLabel {
    Q_OBJECT
public:
    explicit ResultLabel(QWidget *parent);

    // The caption in its spoken form.
    QString caption() const { return caption_; }
    void setCaption(const QString &spokenCaption) { caption_ = spokenCaption; }

private:
    QString caption_;
};

} // namespace windows
