#pragma once
#include <QString>
#include <QStringList>

// Starts programs with an argument list, never through a shell string.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // Returns true when the program was started.
    virtual bool start(const QString& program, const QStringList& args, bool hidden = false) = 0;
    // Runs to the end; returns the exit code, or -1 when it could not start.
    virtual int run(const QString& program, const QStringList& args, int timeoutMs = 600000) = 0;
};
