#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class Clock;

// How a script run ended. Anything but Ok is a failure.
enum class FtpRunStatus {
    Ok = 0,
    CommandRefused = 1,    // the server answered a command with 4xx/5xx
    LogonRefused = 2,      // user or password not accepted
    ConnectionFailed = 3,  // no server, no answer in time, or the link broke
    ScriptError = 4,       // a line we cannot run (unknown command, control character, missing file)
};

// One script command and the server's answer to it.
struct FtpCommandOutcome {
    QString scriptLine;  // as written in the script; a password line reads "****"
    int replyCode = 0;   // 0 when no reply came (local failure)
    QString reply;       // the server's reply, lines joined with '\n'
    bool accepted = false;
};

struct FtpRunResult {
    FtpRunStatus status = FtpRunStatus::Ok;
    // The first failure: which line, and what the server (or we) said.
    QString failedLine;
    QString serverReply;  // empty when the failure was ours, not the server's
    QString description;  // one line for a message box
    std::vector<FtpCommandOutcome> commands;
    // What went over the control connection ("> USER X", "< 331 ..."), password masked.
    QStringList transcript;

    bool ok() const { return status == FtpRunStatus::Ok; }
    // Non-zero for every failure, as the procedures return it.
    int code() const { return static_cast<int>(status); }
};

// Runs an FTP command script of the command-line FTP client: "open host [port]"
// followed by the user and password answers, "user", "quote"/"literal",
// "binary"/"ascii", "put"/"send", "close"/"disconnect", "quit"/"bye". Lines end
// with LF or CR LF. The script is handed over in memory, so a password in it
// never reaches the disk.
class FtpScriptRunner {
public:
    virtual ~FtpScriptRunner() = default;
    // Asked after each command the server refused: true lets the script go on,
    // false ends the run there. Unset: the runner's own rule decides.
    std::function<bool(const FtpCommandOutcome& refused)> goOnAfterRefusal;
    // Every wait goes through `clock` and has a limit.
    virtual FtpRunResult run(const std::string& script, Clock& clock) = 0;
};
