#pragma once
#include <QString>

#include "EmailCommon.h"

// A report as the body of a new message that the user finishes in the mail
// program. Done when the message was opened with the whole report; stopped
// after telling the user why not.
Outcome ProcEmail(MailRun run, const SpoolFileRow& row);
Outcome EmailBodyOutlookExpress(MailRun run, const SpoolFileRow& row);
Outcome EmailBodyNotes(MailRun run, const SpoolFileRow& row);
Outcome EmailBodyOutlook(MailRun run, const SpoolFileRow& row);

// A report line as HTML text: "&", "<" and ">" escaped.
QString HtmlText(const QString& text);
