#pragma once
#include <QString>

class AppContext;

// The subject and message of the automated e-mail options: "emailsub.txt"
// and "emailmsg.txt", each the text and one CR LF. They live in the user's
// config folder (the program's folder is not the user's to write); a file
// missing there is read from the program's folder.
namespace EmailTextFiles {
QString subjectFile(AppContext& ctx);
QString messageFile(AppContext& ctx);
// The file's whole content, line breaks and the final CR LF included; empty when missing.
QString readSubject(AppContext& ctx);
QString readMessage(AppContext& ctx);
// Replaces both files whole; the error text, or empty when both were written.
QString write(AppContext& ctx, const QString& subject, const QString& message);
// Drops trailing CR and LF characters.
QString stripLineEnds(QString text);
}  // namespace EmailTextFiles
