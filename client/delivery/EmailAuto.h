#pragma once
#include <QString>

#include "EmailCommon.h"

// Automatic e-mail to the recipients named in the report: the report is cut
// at its "MAILTO:" lines, each part becomes a text or PDF file, and the parts
// for one list of addresses are sent as one message. 0 when every message of
// the report was sent; non-zero when the transfer failed, the report names
// nobody, or a message was not sent (later messages of the report are then
// not sent either).
int ProcAttachOAMS(MailRun run, QString& width, const SpoolFileRow& row);
int ProcAttachIEAMS(MailRun run, QString& width, const SpoolFileRow& row);
int ProcAttachNotesAMS(MailRun run, QString& width, const SpoolFileRow& row);
