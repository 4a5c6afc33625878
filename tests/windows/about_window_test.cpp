#include "gui_fixture.h"

#include "rendering/branding.h"

#include <QLabel>
#include <QScreen>

using guitest::bgr;
using guitest::colourOf;
using guitest::Fixture;
namespace colour = windows::colour;

class AboutWindowTest : public QObject {
    Q_OBJECT

    Fixture fx;

    static QWidget *openAbout()
    {
        Fixture::menuEntry("Form1", "vorn")->trigger();
        QWidget *about = Fixture::form("Form5");
        if (about && !QTest::qWaitForWindowActive(about)) return nullptr;
        return about;
    }
    static QLabel *label(const char *name) { return Fixture::control<QLabel>("Form5", name); }
    static int aboutCount()
    {
        int count = 0;
        for (QWidget *widget : QApplication::topLevelWidgets())
            count += widget->objectName() == QLatin1String("Form5") ? 1 : 0;
        return count;
    }
    static QPoint screenCentre() { return QGuiApplication::primaryScreen()->geometry().center(); }

private slots:
    void init() { fx.start(); }
    void cleanup() { fx.finish(); }

    void opensBesideTheStartWindowAndOnlyOnce()
    {
        QWidget *about = openAbout();
        QVERIFY(about);
        QVERIFY(Fixture::form("Form1")->isVisible());
        QCOMPARE(about->windowTitle(), QStringLiteral("岚舟"));
        QCOMPARE(about->size(), QSize(392, 233));
        QVERIFY((about->frameGeometry().center() - screenCentre()).manhattanLength() <= 2);

        about->move(10, 20);
        Fixture::form("Form1")->activateWindow();
        Fixture::menuEntry("Form1", "vorn")->trigger();
        QCOMPARE(Fixture::form("Form5"), about);
        QCOMPARE(aboutCount(), 1);
        QCOMPARE(about->pos(), QPoint(10, 20));
        QTRY_VERIFY(about->isActiveWindow());
    }

    void showsTheMakersLines()
    {
        QVERIFY(openAbout());
        QCOMPARE(label("Label1")->text(), QStringLiteral("岚舟"));
        QCOMPARE(label("Label1")->font().pointSizeF(), 14.25);
        QVERIFY(!label("Label1")->font().bold());
        for (const char *name : {"Label2_0", "Label2_1", "Label2_2", "Label2_3"}) {
            QVERIFY2(label(name) && !label(name)->text().isEmpty(), name);
            QCOMPARE(colourOf(label(name)), bgr(colour::kYellow));
        }
        QCOMPARE(label("Label2_3")->geometry(), QRect(216, 104, 89, 17));
        QVERIFY(label("Label3_0")->text().startsWith(QStringLiteral("地址：")));
        QVERIFY(label("Label3_0")->text().contains(QStringLiteral("   电话：")));
        QCOMPARE(label("Label3_1")->text(), QStringLiteral("详细资料，请浏览公司网页：") +
                                                QString(8, u' ') + rendering::makerHost() +
                                                QString(4, u' '));
        QCOMPARE(label("Label3_1")->toolTip(), QStringLiteral("点击去岚舟网站！"));
        QCOMPARE(colourOf(Fixture::control<QWidget>("Form5", "Line1")), bgr(colour::kYellow));
        QCOMPARE(Fixture::control<QWidget>("Form5", "Line2")->geometry().top(), 48);
    }

    void theLinkLineFlickersOverEitherLine()
    {
        QVERIFY(openAbout());
        QLabel *address = label("Label3_0");
        QLabel *link = label("Label3_1");
        QCOMPARE(colourOf(link), bgr(colour::kYellow));
        Fixture::hover(link, QPoint(5, 5));
        QCOMPARE(colourOf(link), bgr(colour::kRed));
        Fixture::hover(link, QPoint(6, 5));
        QCOMPARE(colourOf(link), bgr(colour::kYellow));
        Fixture::hover(address, QPoint(5, 5));
        QCOMPARE(colourOf(link), bgr(colour::kRed));
        QCOMPARE(colourOf(address), bgr(colour::kYellow));
        QCOMPARE(fx.urls.urls.size(), 0);
    }

    void eitherLineOpensTheSiteOncePerClick()
    {
        QVERIFY(openAbout());
        QTest::mouseClick(label("Label3_0"), Qt::LeftButton);
        QCOMPARE(fx.urls.urls, QList<QUrl>{rendering::makerAddress()});
        QTest::mouseClick(label("Label3_1"), Qt::LeftButton);
        QCOMPARE(fx.urls.urls.size(), 2);
        QCOMPARE(fx.urls.urls.last(), rendering::makerAddress());
        // Clicking the name does nothing.
        QTest::mouseClick(label("Label1"), Qt::LeftButton);
        QCOMPARE(fx.urls.urls.size(), 2);
    }

    void closingDiscardsItAndTheNextOneStartsAfresh()
    {
        QPointer<QWidget> about = openAbout();
        QVERIFY(about);
        Fixture::hover(label("Label3_1"), QPoint(5, 5));
        QCOMPARE(colourOf(label("Label3_1")), bgr(colour::kRed));
        about->move(10, 20);
        about->close();
        QTRY_VERIFY(!about);
        QVERIFY(Fixture::form("Form1")->isVisible());

        QWidget *again = openAbout();
        QVERIFY(again);
        QCOMPARE(colourOf(label("Label3_1")), bgr(colour::kYellow));
        QVERIFY((again->frameGeometry().center() - screenCentre()).manhattanLength() <= 2);
    }
};

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
