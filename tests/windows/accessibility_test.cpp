#include "gui_fixture.h"

#include "windows/captions.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>

using guitest::Fixture;
using windows::WindowId;

// What a screen reader finds in the windows: every input, list, button and
// result under the name of its caption, and every result's current text.
class AccessibilityTest : public QObject {
    Q_OBJECT

    Fixture fx;

    static QAccessibleInterface *accessible(const char *formName, const QString &name)
    {
        QWidget *control = Fixture::control(formName, name);
        return control ? QAccessible::queryAccessibleInterface(control) : nullptr;
    }

    static QString valueOf(const char *formName, const char *name)
    {
        return accessible(formName, QString::fromUtf8(name))->text(QAccessible::Value);
    }

private slots:
    void init() { fx.start(); }
    void cleanup() { fx.finish(); }

    void captionsAreSpokenWithoutTheirLayoutSpaces_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("two spaces before Latin") << "被保护物高度  hx"
                                                 << "被保护物高度 hx";
        QTest::newRow("six spaces before Latin") << "针间距离      D"
                                                 << "针间距离 D";
        QTest::newRow("spaced button") << "计  算"
                                       << "计算";
        QTest::newRow("spaced heading") << "雷 击 次 数 计 算 系 统"
                                        << "雷击次数计算系统";
        QTest::newRow("full-width space") << "退　出"
                                          << "退出";
        QTest::newRow("one space kept") << "结果 rx"
                                        << "结果 rx";
        QTest::newRow("digits beside Chinese") << "hr 60 米"
                                               << "hr 60 米";
        QTest::newRow("closing colon") << "校正系数K:"
                                       << "校正系数K";
        QTest::newRow("full-width colon") << "地址："
                                          << "地址";
        QTest::newRow("outer spaces") << "  长 : "
                                      << "长";
        QTest::newRow("empty") << ""
                               << "";
    }
    void captionsAreSpokenWithoutTheirLayoutSpaces()
    {
        QFETCH(QString, caption);
        QFETCH(QString, spoken);
        QCOMPARE(windows::spokenText(caption), spoken);
    }

    void everyControlIsNamedByItsCaption_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("caption"); // the label beside it; none for a button
        QTest::addColumn<QString>("name");
        const auto add = [](const char *form, const char *control, const char *caption,
                            const char *name) {
            QTest::addRow("%s %s", form, control) << form << control << caption << name;
        };
        for (const char *form : {"Form1", "Form2", "Form3"}) {
            add(form, "Combo1", "Label2", "防雷类别");
            add(form, "Command1", "", "计算");
            add(form, "Command2", "", "清除");
            add(form, "Command3", "", "退出");
        }
        add("Form1", "Text1", "Label1", "被保护物高度 hx");
        add("Form1", "Text2", "Label5", "避雷针高度 h");
        add("Form1", "Label8", "Label3", "结果 rx");
        add("Form1", "Label9", "Label4", "结果 ro");
        add("Form2", "Text1", "Label5", "避雷针高度 h");
        add("Form2", "Text2", "Label1", "针间距离 D");
        add("Form2", "Label8", "Label3", "结果 hx");
        add("Form2", "Label9", "Label4", "结果 bo");
        add("Form3", "Text1", "Label1", "被保护物高度 hx");
        add("Form3", "Text2", "Label5", "距离 h");
        add("Form3", "Label8", "Label3", "结果 x1");
        add("Form3", "Label9", "Label4", "结果 x2");
        add("Form4", "Text1_0", "Label1_0", "长");
        add("Form4", "Text1_1", "Label1_1", "宽");
        add("Form4", "Text1_2", "Label1_2", "高");
        add("Form4", "Combo1", "Label3", "校正系数K");
        add("Form4", "Combo2", "Label6", "年雷暴日td");
        add("Form4", "Command1", "", "计算");
        add("Form4", "清除", "", "清除");
        add("Form4", "Command3", "", "退出");
        add("Form4", "Label2_1", "Label2_0", "雷击次数");
    }
    void everyControlIsNamedByItsCaption()
    {
        QFETCH(QString, form);
        QFETCH(QString, control);
        QFETCH(QString, caption);
        QFETCH(QString, name);
        for (WindowId id : {WindowId::TwoRods, WindowId::RodHeight, WindowId::StrikeCount})
            QVERIFY(fx.set().window(id));
        const QByteArray formName = form.toLatin1();
        QWidget *widget = Fixture::control(formName.constData(), control);
        QVERIFY(widget);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(iface);
        // On this desktop the toolkit names an editable list by its text and
        // leaves its caption to the label relation below.
        if (iface->role() == QAccessible::ComboBox)
            QCOMPARE(widget->accessibleName(), name);
        else
            QCOMPARE(iface->text(QAccessible::Name), name);
        if (caption.isEmpty()) return;
        auto *label = Fixture::control<QLabel>(formName.constData(), caption);
        QVERIFY(label);
        QCOMPARE(label->buddy(), widget);
        QStringList labelledBy;
        for (const auto &[other, relation] : iface->relations(QAccessible::Label)) {
            if (other->object() == label) labelledBy << other->text(QAccessible::Name);
        }
        QCOMPARE(labelledBy, QStringList{name});
    }

    // A result label's own name stays empty, so that the toolkit reports each
    // new text to assistive tools; they read the caption as its name and the
    // result, without the padding of a cleared result, as its value.
    void resultsAreReadWithTheirCurrentText()
    {
        QLabel *rx = Fixture::control<QLabel>("Form1", "Label8");
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(rx);
        QCOMPARE(iface->role(), QAccessible::StaticText);
        QVERIFY(rx->accessibleName().isEmpty());
        QCOMPARE(rx->text(), QStringLiteral("    "));
        QCOMPARE(iface->text(QAccessible::Value), QString());
        QCOMPARE(iface->text(QAccessible::Description), rx->toolTip());

        Fixture::control<QLineEdit>("Form1", "Text1")->setText("10");
        Fixture::control<QLineEdit>("Form1", "Text2")->setText("30");
        QTest::mouseClick(Fixture::control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("结果 rx"));
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("18.795"));
        QCOMPARE(valueOf("Form1", "Label9"), QStringLiteral("51.962"));
        QVERIFY(rx->accessibleName().isEmpty());

        // Its text is also readable as text, as a label's is.
        QAccessibleTextInterface *text = iface->textInterface();
        QVERIFY(text);
        QCOMPARE(text->characterCount(), 6);
        QCOMPARE(text->text(0, text->characterCount()), QStringLiteral("18.795"));

        QTest::mouseClick(Fixture::control<QPushButton>("Form1", "Command2"), Qt::LeftButton);
        QCOMPARE(iface->text(QAccessible::Value), QString());
        QCOMPARE(text->characterCount(), 0);
    }

    void theStrikeCountIsReadInEachOfItsStates()
    {
        Fixture::menuEntry("Form1", "leijicishu")->trigger();
        QVERIFY(QTest::qWaitForWindowActive(Fixture::form("Form4")));
        QCOMPARE(valueOf("Form4", "Label2_1"), QString());
        const QStringList dimensions{"50", "20", "30"};
        for (int i = 0; i < 3; ++i)
            Fixture::control<QLineEdit>("Form4", QStringLiteral("Text1_%1").arg(i))
                ->setText(dimensions[i]);
        QTest::mouseClick(Fixture::control<QPushButton>("Form4", "Command1"), Qt::LeftButton);
        QCOMPARE(valueOf("Form4", "Label2_1"), QStringLiteral("0.243"));
        QTest::mouseClick(Fixture::control<QPushButton>("Form4", "清除"), Qt::LeftButton);
        QCOMPARE(valueOf("Form4", "Label2_1"), QStringLiteral("(待计算)"));
        QCOMPARE(accessible("Form4", "Label2_1")->text(QAccessible::Name),
                 QStringLiteral("雷击次数"));
    }

    // The inputs and lists are read with what they hold.
    void inputsAndListsAreReadWithTheirText()
    {
        Fixture::control<QLineEdit>("Form1", "Text1")->setText("12");
        QCOMPARE(valueOf("Form1", "Text1"), QStringLiteral("12"));
        QCOMPARE(valueOf("Form1", "Combo1"), QStringLiteral("3类 hr=60米"));
        Fixture::typeIntoList(Fixture::control<QComboBox>("Form1", "Combo1"), "7");
        QCOMPARE(valueOf("Form1", "Combo1"), QStringLiteral("7"));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
