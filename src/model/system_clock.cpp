#include "model/system_clock.h"

#include "model/wakeup.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <sys/timerfd.h>
#include <unistd.h>

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTimeUtc();
}

QCoro::Task<> SystemClock::sleep(std::chrono::milliseconds duration, CancelToken cancel) {
    if (cancel.isCancelled())
        co_return;
    Wakeup wakeup;
    QObject context;
    cancel.onCancel(&context, [wakeup] { wakeup.wake(); });

    const int fd = ::timerfd_create(CLOCK_BOOTTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd < 0) {
        // Without a boot-time timer (an old kernel), a plain timer is the best there is.
        QTimer::singleShot(duration, Qt::PreciseTimer, &context, [wakeup] { wakeup.wake(); });
        co_await wakeup;
        co_return;
    }
    // A zero expiry would disarm the timer, so the shortest sleep is one nanosecond.
    const auto nanoseconds =
        std::max<std::chrono::nanoseconds::rep>(std::chrono::nanoseconds(duration).count(), 1);
    itimerspec expiry{};
    expiry.it_value.tv_sec = static_cast<time_t>(nanoseconds / 1'000'000'000);
    expiry.it_value.tv_nsec = static_cast<long>(nanoseconds % 1'000'000'000);
    ::timerfd_settime(fd, 0, &expiry, nullptr);

    QSocketNotifier notifier(fd, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &context, [&notifier, wakeup] {
        notifier.setEnabled(false);
        wakeup.wake();
    });
    co_await wakeup;
    notifier.setEnabled(false);
    ::close(fd);
}
