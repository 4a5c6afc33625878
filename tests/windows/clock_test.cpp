#include "windows/clock.h"

#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QtTest>

using windows::AlarmSchedule;
using windows::Clock;

namespace {

const QDate kDay(2024, 6, 3);

QDateTime at(int h, int m, int s, int ms = 0, QDate day = kDay)
{
    // Universal time keeps the simulated days free of summer-time shifts.
    return QDateTime(day, QTime(h, m, s, ms), Qt::UTC);
}

// The seconds of the day at which ticks sounded an alarm.
QList<int> alarmsSounded(AlarmSchedule &alarms, const QList<QDateTime> &ticks)
{
    QList<int> sounded;
    for (const QDateTime &tick : ticks) {
        if (alarms.tick(tick)) sounded << tick.time().msecsSinceStartOfDay() / 1000;
    }
    return sounded;
}

int second(int h, int m, int s) { return QTime(h, m, s).msecsSinceStartOfDay() / 1000; }

} // namespace

class ClockTest : public QObject {
    Q_OBJECT

    QDateTime now_ = at(9, 0, 0);
    int beeps_ = 0;

private slots:
    void init()
    {
        beeps_ = 0;
        windows::setTimeSource([this] { return now_; });
        windows::setBeeper([this] { ++beeps_; });
    }
    void cleanup()
    {
        windows::setTimeSource({});
        windows::setBeeper({});
    }

    void textShowsHoursWithoutALeadingZero()
    {
        QCOMPARE(windows::clockText(QTime(9, 5, 3)), QStringLiteral("9:05:03"));
        QCOMPARE(windows::clockText(QTime(17, 20, 23)), QStringLiteral("17:20:23"));
        QCOMPARE(windows::clockText(QTime(0, 0, 0)), QStringLiteral("0:00:00"));
        QCOMPARE(windows::clockText(QTime(23, 59, 59, 999)), QStringLiteral("23:59:59"));
    }

    void theAlarmSoundsOnTheTickThatReachesIt_data()
    {
        QTest::addColumn<QList<QDateTime>>("ticks");
        QTest::addColumn<QList<int>>("sounded");
        const int morning = second(11, 50, 23);
        QTest::newRow("exact") << QList{at(11, 50, 22), at(11, 50, 23), at(11, 50, 24)}
                               << QList{morning};
        QTest::newRow("alarm second skipped")
            << QList{at(11, 50, 22, 900), at(11, 50, 24, 10)} << QList{second(11, 50, 24)};
        QTest::newRow("alarm second repeated")
            << QList{at(11, 50, 22), at(11, 50, 23, 5), at(11, 50, 23, 990), at(11, 50, 24)}
            << QList{morning};
        QTest::newRow("five seconds late")
            << QList{at(11, 50, 22), at(11, 50, 28)} << QList{second(11, 50, 28)};
        QTest::newRow("six seconds late") << QList{at(11, 50, 22), at(11, 50, 29)} << QList<int>{};
        QTest::newRow("jump over the alarm")
            << QList{at(11, 0, 0), at(14, 0, 0), at(14, 0, 1)} << QList<int>{};
        QTest::newRow("jump over one, reach the other")
            << QList{at(11, 0, 0), at(17, 20, 22), at(17, 20, 23)} << QList{second(17, 20, 23)};
        QTest::newRow("set back after it sounded")
            << QList{at(17, 20, 22), at(17, 20, 23), at(17, 19, 0), at(17, 20, 22), at(17, 20, 23)}
            << QList{second(17, 20, 23)};
        QTest::newRow("after midnight the tick starts a new day")
            << QList{at(23, 59, 59), at(11, 50, 25, 0, kDay.addDays(1))}
            << QList{second(11, 50, 25)};
    }
    void theAlarmSoundsOnTheTickThatReachesIt()
    {
        QFETCH(QList<QDateTime>, ticks);
        QFETCH(QList<int>, sounded);
        AlarmSchedule alarms(at(11, 0, 0));
        QCOMPARE(alarmsSounded(alarms, ticks), sounded);
    }

    void aClockStartedAfterTheAlarmStaysSilent()
    {
        AlarmSchedule alarms(at(11, 50, 24));
        QCOMPARE(alarmsSounded(alarms, {at(11, 50, 25), at(11, 50, 26)}), QList<int>{});
        AlarmSchedule justBefore(at(11, 50, 22, 999));
        QCOMPARE(alarmsSounded(justBefore, {at(11, 50, 23, 999)}), QList{second(11, 50, 23)});
    }

    // Two simulated days of uneven ticks: some seconds skipped, some seen
    // twice, and a sleep that jumps over the evening alarm of the second day.
    void aSimulatedDayOfUnevenTicksSoundsEachAlarmOnce()
    {
        auto *random = QRandomGenerator::global();
        for (int run = 0; run < 5; ++run) {
            const quint32 seed = random->generate();
            QRandomGenerator steps(seed);
            AlarmSchedule alarms(at(0, 0, 0));
            QMap<QDate, QList<int>> sounded;
            QDateTime tick = at(0, 0, 0);
            const QDateTime end = at(0, 0, 0, 0, kDay.addDays(2));
            while (tick < end) {
                if (alarms.tick(tick))
                    sounded[tick.date()] << tick.time().msecsSinceStartOfDay() / 1000;
                // 1 s on average: 0.9 to 1.1 s, now and then 2 s or none at all.
                int step = 900 + int(steps.bounded(201));
                const quint32 odd = steps.bounded(20);
                if (odd == 0)
                    step = 2000;
                else if (odd == 1)
                    step = 10;
                // The machine sleeps through the second evening.
                if (tick.date() == kDay.addDays(1) && tick.time() >= QTime(17, 0) &&
                    tick.time() < QTime(17, 0, 2))
                    step = 3 * 3600 * 1000;
                tick = tick.addMSecs(step);
            }
            const auto inWindow = [](int s, QTime alarm) {
                const int a = alarm.msecsSinceStartOfDay() / 1000;
                return s >= a && s - a <= windows::kAlarmLateSeconds;
            };
            const QList<int> first = sounded.value(kDay);
            QVERIFY2(first.size() == 2, qPrintable(QString::number(seed)));
            QVERIFY(inWindow(first[0], QTime(11, 50, 23)));
            QVERIFY(inWindow(first[1], QTime(17, 20, 23)));
            const QList<int> second = sounded.value(kDay.addDays(1));
            QVERIFY2(second.size() == 1, qPrintable(QString::number(seed)));
            QVERIFY(inWindow(second[0], QTime(11, 50, 23)));
        }
    }

    void aTickWritesTheTextAndBeepsThreeTimesWhenDue()
    {
        now_ = at(11, 50, 21, 500);
        Clock clock;
        QCOMPARE(clock.text(), QString());
        QSignalSpy ticked(&clock, &Clock::ticked);
        now_ = at(11, 50, 22, 500);
        clock.tick();
        QCOMPARE(clock.text(), QStringLiteral("11:50:22"));
        QCOMPARE(beeps_, 0);
        now_ = at(11, 50, 23, 500);
        clock.tick();
        clock.tick();
        QCOMPARE(clock.text(), QStringLiteral("11:50:23"));
        QCOMPARE(beeps_, windows::kBeepsPerAlarm);
        QCOMPARE(ticked.size(), 3);
        QCOMPARE(ticked.last().first().toString(), QStringLiteral("11:50:23"));
    }

    void theTimerTicksAboutOnceASecond()
    {
        now_ = at(9, 5, 3);
        Clock clock;
        QSignalSpy ticked(&clock, &Clock::ticked);
        QVERIFY(ticked.wait(1500));
        QCOMPARE(clock.text(), QStringLiteral("9:05:03"));
        now_ = at(9, 5, 4);
        QVERIFY(ticked.wait(1500));
        QCOMPARE(clock.text(), QStringLiteral("9:05:04"));
    }
};

QTEST_GUILESS_MAIN(ClockTest)
#include "clock_test.moc"
