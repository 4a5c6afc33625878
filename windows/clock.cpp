#include "windows/clock.h"

#include <QApplication>

#include <utility>

namespace windows {

namespace {

TimeSource &timeSource()
{
    static TimeSource source;
    return source;
}

Beeper &beeper()
{
    static Beeper sound;
    return sound;
}

// The second of the day that the clock's text shows.
int secondOfDay(QTime time) { return time.msecsSinceStartOfDay() / 1000; }

} // namespace

void setTimeSource(TimeSource source) { timeSource() = std::move(source); }

void setBeeper(Beeper sound) { beeper() = std::move(sound); }

QDateTime currentTime() { return timeSource() ? timeSource()() : QDateTime::currentDateTime(); }

void beep()
{
    if (beeper())
        beeper()();
    else
        QApplication::beep();
}

QString clockText(QTime time) { return time.toString(QStringLiteral("H:mm:ss")); }

bool AlarmSchedule::tick(const QDateTime &now)
{
    const QDate today = now.date();
    const int second = secondOfDay(now.time());
    // A tick on another day than the previous one starts that day afresh.
    const int previous = previous_.date() == today ? secondOfDay(previous_.time()) : -1;
    previous_ = now;

    bool due = false;
    for (std::size_t i = 0; i < kAlarmTimes.size(); ++i) {
        const int alarm = secondOfDay(kAlarmTimes[i]);
        const bool reached = previous < alarm && alarm <= second;
        if (reached && second - alarm <= kAlarmLateSeconds && soundedOn_[i] != today) {
            soundedOn_[i] = today;
            due = true;
        }
    }
    return due;
}

Clock::Clock(QObject *parent) : QObject(parent), alarms_(currentTime())
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &Clock::tick);
    timer_.start();
}

void Clock::tick()
{
    const QDateTime now = currentTime();
    text_ = clockText(now.time());
    emit ticked(text_);
    if (alarms_.tick(now)) {
        for (int i = 0; i < kBeepsPerAlarm; ++i) beep();
    }
}

} // namespace windows
