#pragma once
#include <QString>

#include "EmailCommon.h"

// Automatic e-mail to the recipients named in the report: the report is cut
// at its "MAILTO:" lines, each part becomes a text or PDF file, and the parts
// for one list of addresses are sent as one message. Done when every message
// of the report was sent; stopped, the user told, when the transfer failed,
// the report names nobody, or a message was not sent (it is kept as a draft,
// and the other messages are still tried).
Outcome ProcAttachOAMS(MailRun run, const SpoolFileRow& row);
Outcome ProcAttachIEAMS(MailRun run, const SpoolFileRow& row);
Outcome ProcAttachNotesAMS(MailRun run, const SpoolFileRow& row);
