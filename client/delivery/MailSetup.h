#pragma once
#include <QString>

#include "SmtpSender.h"

class RunContext;

// Settings of outgoing mail, section "Settings":
//   "Mail server"    smtp://host:587 (STARTTLS) or smtps://host:465
//   "Mail TLS"       "No" allows a server without TLS (a loopback relay)
//   "Mail user"      empty: no authentication
//   "Mail password"  scrambled as the sign-on password is
//   "Mail sender"    the From address
//   "Mail timeout"   seconds a send may wait for the server (default 120)
//   "Drafts folder"  where drafts go; unset: the user's data folder
namespace MailSetup {
constexpr int kMaxPasswordLength = 64;
SmtpConfig serverSettings(RunContext& ctx);
// Stores the password scrambled; false (nothing stored) when it is longer
// than kMaxPasswordLength or holds a character the scrambling cannot carry.
bool savePassword(RunContext& ctx, const QString& password);
QString draftsFolder(RunContext& ctx);
}  // namespace MailSetup

// Puts the mail programs' stand-ins in front of the context's process
// starter, keyboard, automation and machine registry, with drafts and sending
// through the mail layer. Called once at start-up (and by tests after their
// doubles are in place).
void InstallMailStandIns(RunContext& ctx);
// The download ended: the messages still open in the stand-ins go to the user.
// Returns what the run's status must add: the drafts written and not yet
// named there (empty when none).
QString CloseMailWindows(RunContext& ctx);
