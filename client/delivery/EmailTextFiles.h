#pragma once
#include <QString>

class RunContext;

// The subject and message of the automated e-mail options: "emailsub.txt"
// and "emailmsg.txt", each the text and one CR LF. They live in the user's
// config folder (the program's folder is not the user's to write); a file
// missing there is read from the program's folder.
namespace EmailTextFiles {
QString subjectFile(RunContext& ctx);
QString messageFile(RunContext& ctx);
// The file's whole content, line breaks and the final CR LF included; empty when missing.
QString readSubject(RunContext& ctx);
QString readMessage(RunContext& ctx);
// Replaces both files whole; the error text, or empty when both were written.
QString write(RunContext& ctx, const QString& subject, const QString& message);
// Drops trailing CR and LF characters.
QString stripLineEnds(QString text);
}  // namespace EmailTextFiles
