#include "windows/result_label.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace windows {

namespace {

// What assistive tools see of a result label: its caption as the name, and
// the result as the value and as its read-only text.
class ResultLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ResultLabelAccessible(ResultLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return label()->caption();
        case QAccessible::Value:
            return shown();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(int startOffset, int endOffset) const override
    {
        return shown().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(shown().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        return {};
    }

private:
    const ResultLabel *label() const { return static_cast<const ResultLabel *>(object()); }
    // The padding of a cleared result is not read out.
    QString shown() const { return label()->text().trimmed(); }
};

QAccessibleInterface *resultLabelInterface(const QString &className, QObject *object)
{
    if (className != QLatin1String(ResultLabel::staticMetaObject.className())) return nullptr;
    return new ResultLabelAccessible(static_cast<ResultLabel *>(object));
}

} // namespace

ResultLabel::ResultLabel(QWidget *parent) : QLabel(parent)
{
    // Before any text is set: the toolkit asks for a label's interface as its
    // text changes and keeps the one it gets. Installing it once per process
    // is enough.
    static const bool installed = [] {
        QAccessible::installFactory(&resultLabelInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace windows
