#pragma once
#include <QString>
#include <QStringList>

// Starts programs with an argument list, never through a shell string.
class ProcessStarter {
public:
    // The window a started program gets, as the caller asks for it (only
    // advisory on Linux).
    enum WindowStyle { Hidden = 0, NormalFocus = 1, MinimizedFocus = 2, MaximizedFocus = 3, NormalNoFocus = 4,
                       MinimizedNoFocus = 6 };
    virtual ~ProcessStarter() = default;
    // Returns true when the program was started.
    virtual bool start(const QString& program, const QStringList& args, bool hidden = false) = 0;
    // Runs to the end; returns the exit code, or -1 when it could not start.
    virtual int run(const QString& program, const QStringList& args, int timeoutMs = 600000) = 0;
    // Starts the program and returns its task id (> 0), or 0 when nothing started.
    virtual qint64 startTask(const QString& program, const QStringList& args, WindowStyle style) {
        return start(program, args, style == Hidden) ? 1 : 0;
    }
    // A command line as the settings keep it ("\"/opt/x y/mail\" -compose file"): split
    // into the program and its arguments (double quotes group, no shell), then startTask.
    qint64 startCommandLine(const QString& commandLine, WindowStyle style);
    static QStringList splitCommandLine(const QString& commandLine);
};
