#pragma once
#include <QString>

#include "EmailCommon.h"

// A report as an attachment of a new message that the user finishes in the
// mail program; with "Attach all to single email" the reports of one
// download go into one message. 0 when the file was attached.
int EmailAttachNetscape(MailRun run, QString& width, const SpoolFileRow& row);
int EmailAttachOutlookExpress(MailRun run, QString& width, const SpoolFileRow& row);
int EmailAttachNotes(MailRun run, QString& width, const SpoolFileRow& row);
int EmailAttachOutlook(MailRun run, QString& width, const SpoolFileRow& row);

