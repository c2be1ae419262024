#pragma once
// Watches one widget; once its first paint has been handled, prints the wall
// clock in nanoseconds and the resident memory in KiB, and ends the event loop.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

class FirstPaintReport : public QObject {
public:
    explicit FirstPaintReport(QObject* watched) { watched->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            watched->removeEventFilter(this);
            QTimer::singleShot(0, [] {
                std::printf("%lld %ld\n", NowNanoseconds(), ResidentKiB());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    static long long NowNanoseconds()
    {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    }

    static long ResidentKiB()
    {
        std::ifstream status("/proc/self/status");
        std::string key;
        long value = 0;
        while (status >> key)
            if (key == "VmRSS:" && status >> value)
                return value;
        return -1;
    }

    bool reported_ = false;
};
