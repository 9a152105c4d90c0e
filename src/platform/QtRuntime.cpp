#include "QtRuntime.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <limits>

namespace {

class QtRuntimeTimer : public RuntimeTimer {
public:
    QtRuntimeTimer()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            // A copy: the handler may replace the callback or delete this timer.
            if (const auto callback = m_callback)
                callback();
        });
    }
    void setInterval(int ms) override { m_timer.setInterval(ms); }
    int interval() const override { return m_timer.interval(); }
    void setSingleShot(bool singleShot) override { m_timer.setSingleShot(singleShot); }
    bool isSingleShot() const override { return m_timer.isSingleShot(); }
    void start() override { m_timer.start(); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }
    void setCallback(std::function<void()> callback) override { m_callback = std::move(callback); }

private:
    QTimer m_timer;
    std::function<void()> m_callback;
};

// Qt's precise timers wake us up to a millisecond (rarely two) late. A wait therefore
// sleeps in the event loop only until this close to its deadline and spends the rest
// checking the clock in short sleeps: short enough to end on time, long enough not to
// spin the CPU. A sleep itself overruns by some 50 us (the kernel's timer slack), so the
// last stretch is only checked, not slept.
constexpr qint64 kFinishWindowNs = 2000000;
constexpr qint64 kFinishSliceNs = 100000;
constexpr qint64 kFinishSpinNs = 100000;

} // namespace

QtRuntime::QtRuntime()
{
    m_clock.start();
}

qint64 QtRuntime::nowNs() const
{
    return m_clock.nsecsElapsed();
}

QTime QtRuntime::timeOfDay() const
{
    return QTime::currentTime();
}

std::unique_ptr<RuntimeTimer> QtRuntime::createTimer()
{
    return std::make_unique<QtRuntimeTimer>();
}

void QtRuntime::singleShot(int ms, const QObject* context, std::function<void()> fn)
{
    singleShotNs(qint64(ms) * 1000000, context, std::move(fn));
}

void QtRuntime::singleShotNs(qint64 ns, const QObject* context, std::function<void()> fn)
{
    const QObject* ctx = context ? context : QCoreApplication::instance();
    if (ns <= 0) {
        QMetaObject::invokeMethod(const_cast<QObject*>(ctx), std::move(fn), Qt::QueuedConnection);
        return;
    }
    const int ms = int((ns + 999999) / 1000000);
    QTimer::singleShot(ms, Qt::PreciseTimer, ctx, std::move(fn));
}

void QtRuntime::wait(int ms)
{
    waitUntilNs([] { return false; }, qint64(ms) * 1000000);
}

bool QtRuntime::waitUntilNs(const std::function<bool()>& pred, qint64 timeoutNs)
{
    const qint64 deadline = nowNs() + qMax<qint64>(0, timeoutNs);
    if (pred())
        return true;
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    // Even a wait of zero lets the events that are already due run once, as a wait
    // in virtual time does.
    for (;;) {
        const qint64 sleepMs = (deadline - nowNs() - kFinishWindowNs) / 1000000;
        if (sleepMs >= 1) {
            // Until something happens or the finish window opens.
            wake.start(int(qMin<qint64>(sleepMs, std::numeric_limits<int>::max())));
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        } else {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        if (pred())
            return true;
        const qint64 left = deadline - nowNs();
        if (left <= 0)
            return false;
        if (sleepMs < 1 && left > kFinishSpinNs)
            QThread::usleep((unsigned long)(qMin(left - kFinishSpinNs, kFinishSliceNs) / 1000));
    }
}

void QtRuntime::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
