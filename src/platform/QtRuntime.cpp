#include "QtRuntime.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace {

class QtRuntimeTimer : public RuntimeTimer {
public:
    QtRuntimeTimer()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (m_callback)
                m_callback();
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

// Qt's precise timers wake us up to a millisecond late. The last stretch of a wait
// is therefore spent checking the clock, in slices short enough to end on time but
// long enough not to spin the CPU.
constexpr qint64 kFinishWindowNs = 1500000;
constexpr unsigned long kFinishSliceUs = 100;

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
    const qint64 deadline = nowNs() + timeoutNs;
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    while (!pred()) {
        const qint64 remaining = deadline - nowNs();
        if (remaining <= 0)
            return pred();
        if (remaining > kFinishWindowNs) {
            // Sleep in the event loop until something happens or the finish window opens.
            wake.start(int((remaining - kFinishWindowNs) / 1000000) + 1);
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        } else {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            const qint64 left = deadline - nowNs();
            if (left > qint64(kFinishSliceUs) * 1000)
                QThread::usleep(kFinishSliceUs);
            else if (left > 0)
                QThread::usleep((unsigned long)(left / 1000));
        }
    }
    return true;
}

void QtRuntime::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
