#pragma once
#include <QString>
#include <string>

#include "InstallScript.h"

namespace hostprep {

class HostprepContext;

// The host install: asks for the security officer's sign-on, finds the save
// file, runs the install script through the platform's FTP runner (in memory:
// the password never reaches the disk), reads every reply and remembers the
// host as "URL" once the install has worked. May end the program (Cancel in a
// dialog or message, no save file). The outcome holds the completion message.
struct InstallResult {
    InstallScript::Outcome outcome;
    QString message;  // the completion message, or why nothing was sent
};
InstallResult RunHostInstall(HostprepContext& ctx, const QString& host);

// Finds the save file (the installer's data folders, then by asking the user)
// and builds the script from the sign-on dialog's boxes into `script`; sets
// gSaveFileDir. 0 when the script is ready, -1 when the installer must give
// up (its message has been shown, or the user cancelled).
int WriteFtpScript(HostprepContext& ctx, const QString& host, std::string& script);

}  // namespace hostprep
