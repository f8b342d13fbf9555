#pragma once
#include <QString>

#include "EmailCommon.h"

// A report as an attachment of a new message that the user finishes in the
// mail program; with "Attach all to single email" the reports of one
// download go into one message. Done when the file was attached; stopped
// after telling the user why not.
Outcome EmailAttachNetscape(MailRun run, const SpoolFileRow& row);
Outcome EmailAttachOutlookExpress(MailRun run, const SpoolFileRow& row);
Outcome EmailAttachNotes(MailRun run, const SpoolFileRow& row);
Outcome EmailAttachOutlook(MailRun run, const SpoolFileRow& row);

