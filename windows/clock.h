#pragma once

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTime>
#include <QTimer>

#include <array>
#include <functional>

// The strike-count window's running clock: the time of day once a second and
// three beeps at two fixed times of day.
namespace windows {

// Where clocks read the local time and how they sound the system beep. Tests
// put their own in place; an empty function brings back the system's.
using TimeSource = std::function<QDateTime()>;
using Beeper = std::function<void()>;
void setTimeSource(TimeSource source);
void setBeeper(Beeper beeper);
QDateTime currentTime();
void beep();

// The clock's text for a time of day: hours without a leading zero, then
// minutes and seconds (9:05:03, 17:20:23).
QString clockText(QTime time);

// The alarm times of every day and how long after one a tick may come and
// still sound it.
inline const std::array<QTime, 2> kAlarmTimes{QTime(11, 50, 23), QTime(17, 20, 23)};
inline constexpr int kAlarmLateSeconds = 5;
inline constexpr int kBeepsPerAlarm = 3;

// Decides which ticks sound an alarm. The timer ticks only about once a
// second, so a tick may skip the alarm second or see it twice: the alarm
// sounds on the first tick that reaches or passes it, if that tick comes at
// most kAlarmLateSeconds after it, and at most once a day. A clock jumping
// far ahead (a machine waking from sleep) stays silent for the times it
// jumped over.
class AlarmSchedule {
public:
    // `start` is the time the clock started: an alarm before it has not been
    // reached by this clock.
    explicit AlarmSchedule(const QDateTime &start) : previous_(start) {}

    // Takes one tick's time; true when the tick sounds an alarm.
    bool tick(const QDateTime &now);

private:
    QDateTime previous_;
    std::array<QDate, kAlarmTimes.size()> soundedOn_{};
};

// Ticks once a second from creation until it is destroyed, whether or not
// anything shows it. Its text is empty until the first tick.
class Clock : public QObject {
    Q_OBJECT
public:
    explicit Clock(QObject *parent = nullptr);

    QString text() const { return text_; }

    // One tick: reads the time, writes the text, beeps when an alarm is due.
    void tick();

signals:
    void ticked(const QString &text);

private:
    QTimer timer_;
    AlarmSchedule alarms_;
    QString text_;
};

} // namespace windows
