#pragma once
#include <functional>

#include "ProcessStarter.h"

class Clock;

// Programs started with QProcess: detached for start(), waited for by run().
// run() waits through the clock when one is given, so the window stays
// responsive, and kills a program that outlives its limit.
class QProcessStarter : public ProcessStarter {
public:
    explicit QProcessStarter(std::function<Clock*()> clock = {}) : clock_(std::move(clock)) {}
    bool start(const QString& program, const QStringList& args, bool hidden = false) override;
    int run(const QString& program, const QStringList& args, int timeoutMs = 600000) override;
    qint64 startTask(const QString& program, const QStringList& args, WindowStyle style) override;

private:
    std::function<Clock*()> clock_;
};
