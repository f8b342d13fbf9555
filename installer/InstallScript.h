#pragma once
#include <QString>
#include <QStringList>
#include <string>

#include "FtpScriptRunner.h"

namespace hostprep {

// The host install's FTP script and what its run tells about the install.
namespace InstallScript {

constexpr const char* kSaveFileName = "spwsvv4.sav";

// The fourteen lines, without line ends: the sign-on, the save file sent into
// QGPL/SPWSV and restored as SPWLB, the profile and message queue SPWRTER and
// the server start. The user ID and password are taken trimmed and in
// capitals; a save-file path with blanks stands in double quotes.
QStringList lines(const QString& host, const QString& userId, const QString& password, const QString& saveFilePath);
// The script as the runner reads it: the lines in the Windows code page, CR LF after each.
std::string build(const QString& host, const QString& userId, const QString& password, const QString& saveFilePath);

// Why these cannot go to the host (empty when they can). Each is checked
// before anything is sent: a line end in any of them would start another FTP
// command, run with the security officer's rights.
QString hostRefusal(const QString& host);
QString userIdRefusal(const QString& userId);
QString passwordRefusal(const QString& password);
QString savePathRefusal(const QString& path);
// The first of the three refusals above.
QString inputRefusal(const QString& host, const QString& userId, const QString& password);

// "name" or "name:port" -> the words after "open".
QString openArguments(const QString& host);

// Whether the script may go on after the host refused this command: only
// the steps that may fail (removing an old save file, ending a server that
// does not run) and a profile or message queue that already exists. Any
// other refusal stops the install there, so that nothing after it changes
// the host.
bool goesOnAfterRefusal(const FtpCommandOutcome& refused);

// What the run did on the host.
struct Outcome {
    bool succeeded = false;
    QStringList doneSteps;  // the required steps that worked, in script order
    QString failedStep;  // "restoring library SPWLB"; empty on success
    QString reply;       // the host's reply to that step (or why none came), one line, password masked
    FtpRunStatus status = FtpRunStatus::Ok;
};
// Reads each reply: the sign-on, the transfer of the save file, the restore,
// the profile and message queue (on a re-install "already exists" is no
// failure) and the server start must all have worked.
Outcome judge(const FtpRunResult& run, const QString& password);

// The text shown at the end of the install.
QString completionMessage(const Outcome& outcome, const QString& host);

// `text` with every whole-word occurrence of the password replaced by "****".
QString maskPassword(const QString& text, const QString& password);

}  // namespace InstallScript
}  // namespace hostprep
