#pragma once
#include <functional>
#include <vector>

#include "ProcessStarter.h"

// Test double: records every start and run instead of starting anything.
// A program given as a path (it holds a separator) starts only when that file
// exists; a bare name always starts, unless `unstartable` names it.
class RecordingProcessStarter : public ProcessStarter {
public:
    struct Started {
        QString program;
        QStringList args;
        WindowStyle style;
        bool run;       // run() rather than a start
        bool started;   // false when the start failed
        qint64 taskId;  // 0 when it failed
    };
    bool start(const QString& program, const QStringList& args, bool hidden = false) override;
    int run(const QString& program, const QStringList& args, int timeoutMs = 600000) override;
    qint64 startTask(const QString& program, const QStringList& args, WindowStyle style) override;

    // Programs that fail to start.
    QStringList unstartable;
    bool checkPathsExist = true;
    // Plays the program of a run() (writes files, ...); returns its exit code. Unset: 0.
    std::function<int(const QString& program, const QStringList& args)> onRun;

    const std::vector<Started>& started() const { return started_; }
    // "program arg1 arg2" of each successful start, for short assertions.
    QStringList commandLines() const;

private:
    bool startable(const QString& program) const;
    std::vector<Started> started_;
    qint64 nextTask_ = 1001;
};
