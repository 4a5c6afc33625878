// Drives every window through thousands of seeded random inputs, clicks, keys
// and switches, and checks after each step that no label shows "nan" or
// "inf", no message box is empty, and a calculation window is still shown and
// usable; once more with the calculation sheet open, which must never show
// "nan" or "inf" either. Bounded in steps and in time.
#include "gui_fixture.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTextEdit>

#include <random>

namespace {

constexpr int kSteps = 3000;
constexpr qint64 kTimeLimitMs = 60000;

// Texts a user might type: numbers in every accepted form, junk, extremes.
const QStringList kTexts{
    QStringLiteral("10"),     QStringLiteral("30"),     QStringLiteral("0"),
    QStringLiteral("-0"),     QStringLiteral("120"),    QStringLiteral("121"),
    QStringLiteral("59.99"),  QStringLiteral(".5"),     QStringLiteral("5."),
    QStringLiteral(" 12 "),   QStringLiteral("1,200"),  QStringLiteral("1e2"),
    QStringLiteral("2.5D-1"), QStringLiteral("-3"),     QStringLiteral("-40"),
    QStringLiteral("1e308"),  QStringLiteral("-1e308"), QStringLiteral("1e-320"),
    QStringLiteral("1e400"),  QStringLiteral("abc"),    QStringLiteral(""),
    QStringLiteral("   "),    QStringLiteral("1.2.3"),  QStringLiteral("+"),
    QStringLiteral("88.9"),   QStringLiteral("44"),     QStringLiteral("1e154"),
    QStringLiteral("-1e200"), QStringLiteral("0.0001"), QStringLiteral("99.9"),
    QStringLiteral("100"),    QStringLiteral("250"),    QStringLiteral("高"),
    QStringLiteral("12m")};

// Menu entries that end the program: the soak keeps it running.
const QStringList kEndingEntries{QStringLiteral("tuichule"), QStringLiteral("exitid"),
                                 QStringLiteral("tuichuleded"), QStringLiteral("exitll")};

bool showsNonNumber(const QString &text)
{
    const QString lower = text.toLower();
    return lower.contains(QLatin1String("nan")) || lower.contains(QLatin1String("inf"));
}

// Answers every box: No to the exit question, OK to everything else, and
// remembers what was wrong with any of them.
class AnyBoxAnswerer : public QObject {
public:
    AnyBoxAnswerer()
    {
        timer_.setInterval(1);
        connect(&timer_, &QTimer::timeout, this, &AnyBoxAnswerer::poll);
        timer_.start();
    }
    QStringList faults;
    int answered = 0;

private:
    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box == handled_) return;
        handled_ = box;
        ++answered;
        if (box->text().trimmed().isEmpty()) faults << QStringLiteral("an empty message box");
        if (showsNonNumber(box->text())) faults << box->text();
        QAbstractButton *answer = box->button(QMessageBox::No);
        if (!answer) answer = box->button(QMessageBox::Ok);
        if (answer)
            answer->click();
        else
            box->reject();
    }
    QTimer timer_;
    QPointer<QMessageBox> handled_;
};

QList<QWidget *> shownCalcWindows()
{
    QList<QWidget *> shown;
    for (const char *name : {"Form1", "Form2", "Form3", "Form4"}) {
        QWidget *form = guitest::Fixture::form(name);
        if (form && form->isVisible()) shown << form;
    }
    return shown;
}

template <class T>
T *pick(std::mt19937 &random, const QList<T *> &items)
{
    if (items.isEmpty()) return nullptr;
    return items[std::uniform_int_distribution<qsizetype>(0, items.size() - 1)(random)];
}

QList<QLineEdit *> inputsOf(QWidget *form)
{
    QList<QLineEdit *> inputs;
    for (QLineEdit *edit : form->findChildren<QLineEdit *>()) {
        if (!edit->isReadOnly() && !qobject_cast<QComboBox *>(edit->parentWidget())) inputs << edit;
    }
    return inputs;
}

} // namespace

class SoakTest : public QObject {
    Q_OBJECT

private slots:
    void init() { fx.start(); }
    void cleanup() { fx.finish(); }

    void randomUseKeepsEveryWindowSound() { soak(false); }
    void randomUseWithTheSheetOpen() { soak(true); }

private:
    void soak(bool withSheet)
    {
        fx.boxes.stop();
        if (withSheet) {
            guitest::Fixture::form("Form1")
                ->findChild<QAction *>(QStringLiteral("sheetAction"))
                ->trigger();
            QVERIFY(guitest::Fixture::form("SheetWindow")->isVisible());
        }
        AnyBoxAnswerer answerer;
        std::mt19937 random(20261207);
        QElapsedTimer clock;
        clock.start();
        int steps = 0;
        for (; steps < kSteps && clock.elapsed() < kTimeLimitMs; ++steps) {
            QWidget *form = pick(random, shownCalcWindows());
            QVERIFY2(form, "no calculation window is shown");
            step(random, form);
            QCoreApplication::processEvents();
            checkSound(steps);
            if (withSheet) checkSheet(steps);
            if (QTest::currentTestFailed()) return;
        }
        QVERIFY2(answerer.faults.isEmpty(), qPrintable(answerer.faults.join(u'|')));
        qInfo("%d steps, %d message boxes, %lld ms", steps, answerer.answered, clock.elapsed());
        QVERIFY(answerer.answered > 0);
    }

    void step(std::mt19937 &random, QWidget *form)
    {
        const QString text =
            kTexts[std::uniform_int_distribution<qsizetype>(0, kTexts.size() - 1)(random)];
        switch (std::uniform_int_distribution<int>(0, 9)(random)) {
        case 0:
        case 1:
        case 2:
            if (QLineEdit *input = pick(random, inputsOf(form))) input->setText(text);
            break;
        case 3:
            if (QLineEdit *input = pick(random, inputsOf(form))) {
                input->setFocus();
                QTest::keyClick(input, Qt::Key_Return);
            }
            break;
        case 4:
        case 5:
            if (QPushButton *button = pick(random, form->findChildren<QPushButton *>()))
                button->click();
            break;
        case 6:
            if (QComboBox *list = pick(random, form->findChildren<QComboBox *>())) {
                const int index = std::uniform_int_distribution<int>(-1, list->count() - 1)(random);
                if (index >= 0) {
                    list->setCurrentIndex(index);
                } else {
                    list->setFocus();
                    QTest::keyClicks(list, QStringLiteral("7"));
                }
            }
            break;
        case 7: {
            QList<QAction *> entries;
            for (QAction *entry : form->findChildren<QAction *>()) {
                if (!entry->menu() && entry->isEnabled() && !entry->objectName().isEmpty() &&
                    !kEndingEntries.contains(entry->objectName()))
                    entries << entry;
            }
            if (QAction *entry = pick(random, entries)) entry->trigger();
            break;
        }
        case 8: {
            QList<QWidget *> targets;
            for (QWidget *child : form->findChildren<QWidget *>()) {
                if (child->focusPolicy() != Qt::NoFocus && child->isVisible()) targets << child;
            }
            if (QWidget *target = pick(random, targets)) {
                target->setFocus();
                QTest::keyClick(target, std::uniform_int_distribution<int>(0, 1)(random)
                                            ? Qt::Key_F2
                                            : Qt::Key_F10);
            }
            break;
        }
        case 9:
            form->close(); // the exit question is answered No, or the window hides
            break;
        }
    }

    void checkSound(int step)
    {
        const QList<QWidget *> shown = shownCalcWindows();
        QVERIFY2(!shown.isEmpty(), qPrintable(QStringLiteral("no window after step %1").arg(step)));
        for (QWidget *form : shown) {
            QPushButton *compute = form->findChild<QPushButton *>(QStringLiteral("Command1"));
            QVERIFY(compute && compute->isEnabled());
        }
        for (QWidget *top : QApplication::topLevelWidgets()) {
            for (QLabel *label : top->findChildren<QLabel *>()) {
                QVERIFY2(!showsNonNumber(label->text()),
                         qPrintable(QStringLiteral("%1 shows %2 after step %3")
                                        .arg(label->objectName(), label->text())
                                        .arg(step)));
            }
        }
    }

    static void checkSheet(int step)
    {
        auto *text = guitest::Fixture::control<QTextEdit>("SheetWindow", "sheetText");
        QVERIFY(text);
        const QString shown = text->toPlainText();
        QVERIFY2(
            !showsNonNumber(shown),
            qPrintable(QStringLiteral("the sheet shows %1 after step %2").arg(shown).arg(step)));
    }

    guitest::Fixture fx;
};

QTEST_MAIN(SoakTest)
#include "soak_test.moc"
