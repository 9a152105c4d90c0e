#pragma once

#include "Runtime.h"

#include <QElapsedTimer>

// Real time on Qt's event loop. Waits pump events in place (one UI thread, no workers),
// which is how the windows stay alive while a long sequence waits.
class QtRuntime : public Runtime {
public:
    QtRuntime();

    qint64 nowNs() const override;
    QTime timeOfDay() const override;
    std::unique_ptr<RuntimeTimer> createTimer() override;
    void singleShot(int ms, const QObject* context, std::function<void()> fn) override;
    void singleShotNs(qint64 ns, const QObject* context, std::function<void()> fn) override;
    void wait(int ms) override;
    bool waitUntilNs(const std::function<bool()>& pred, qint64 timeoutNs) override;
    void processEvents() override;

private:
    QElapsedTimer m_clock;
};
