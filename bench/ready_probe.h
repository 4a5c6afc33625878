#pragma once

// Shared by the start-up probes: once `ready` holds, prints how long the
// process took from its launch (a CLOCK_REALTIME stamp in nanoseconds that the
// bench script passes as the first argument) and its peak resident set, then
// quits. Both probes use the same polling, so it costs them the same. A probe
// that is not ready within ten seconds fails instead of spinning.
#include <QCoreApplication>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

inline long long realtimeNanos()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

inline void reportWhenReady(int argc, char **argv, std::function<bool()> ready)
{
    const long long launched = argc > 1 ? std::atoll(argv[1]) : 0;
    auto *poll = new QTimer(QCoreApplication::instance());
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, [=] {
        if (!ready()) {
            if (realtimeNanos() - launched > 10000000000LL) {
                std::fprintf(stderr, "never ready\n");
                QCoreApplication::exit(1);
            }
            return;
        }
        poll->stop();
        const long long nanos = realtimeNanos();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("startup_ms=%.3f maxrss_kb=%ld\n", (nanos - launched) / 1e6, usage.ru_maxrss);
        std::fflush(stdout);
        // quit() would send close events, and the exit question with them.
        QCoreApplication::exit(0);
    });
    poll->start();
}
