#pragma once
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "FtpScriptRunner.h"

// Our own FTP client in place of the command-line one: reads the same script
// lines, and reads every reply. A refused logon ends the run at once (the
// lines after it would otherwise go to the server as commands); a refused
// command ends it too unless goOnAfterRefusal (when set) or
// continueAfterRefusal lets the script go on.
class FtpClientRunner : public FtpScriptRunner {
public:
    bool passive = true;
    bool continueAfterRefusal = false;
    // Where an "open host" line without a port number connects.
    quint16 port = 21;
    QString localDir;  // where relative "put" paths are found; empty: the current folder
    qint64 connectLimitMs = 30000;
    qint64 replyLimitMs = 60000;
    qint64 transferStallLimitMs = 60000;
    std::function<void(const QString&)> trace;

    FtpRunResult run(const std::string& script, Clock& clock) override;

    // Blank-separated arguments; "double quotes" hold blanks.
    static std::vector<std::string> splitArguments(const std::string& line);
    // The script's lines, without their CR LF or LF.
    static std::vector<std::string> splitLines(const std::string& script);
    // True when a line holds a control character (a CR or LF inside it would
    // start another command on the wire).
    static bool hasControlCharacter(const std::string& text);
};
