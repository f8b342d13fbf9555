#pragma once
#include <QString>

#include "EmailCommon.h"

// A report as the body of a new message that the user finishes in the mail
// program. 0 when the message was opened with the whole report.
int ProcEmail(MailRun run, QString& width, const SpoolFileRow& row);
int EmailBodyOutlookExpress(MailRun run, QString& width, const SpoolFileRow& row);
int EmailBodyNotes(MailRun run, QString& width, const SpoolFileRow& row);
int EmailBodyOutlook(MailRun run, QString& width, const SpoolFileRow& row);

// A report line as HTML text: "&", "<" and ">" escaped.
QString HtmlText(const QString& text);
