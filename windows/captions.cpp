#include "windows/captions.h"

#include "windows/result_label.h"

#include <QLabel>

namespace windows {

namespace {

bool isChinese(QChar c)
{
    const char16_t code = c.unicode();
    return c.script() == QChar::Script_Han || (code >= 0x3000 && code <= 0x303F) ||
           (code >= 0xFF00 && code <= 0xFFEF);
}

} // namespace

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString spokenText(const QString &caption)
{
    const QString single = caption.simplified();
    QString spoken;
    spoken.reserve(single.size());
    for (qsizetype i = 0; i < single.size(); ++i) {
        const bool between =
            i > 0 && i + 1 < single.size() && isChinese(single[i - 1]) && isChinese(single[i + 1]);
        if (single[i] == u' ' && between) continue;
        spoken += single[i];
    }
    if (spoken.endsWith(u':') || spoken.endsWith(u'：')) spoken.chop(1);
    return spoken.trimmed();
}

void attachCaption(QLabel *caption, QWidget *control)
{
    const QString spoken = spokenText(caption->text());
    // The buddy makes the caption the control's label for assistive tools
    // that read labels through that relation (a list's own name is its text
    // on some desktops); the caption then reads as the control's name does.
    caption->setBuddy(control);
    caption->setAccessibleName(spoken);
    // A result label keeps its own name empty (see ResultLabel).
    if (auto *result = qobject_cast<ResultLabel *>(control))
        result->setCaption(spoken);
    else
        control->setAccessibleName(spoken);
}

} // namespace windows
