#pragma once
#include <QString>
#include <memory>

#include "Automation.h"
#include "DownloadOptions.h"
#include "SpoolFileRow.h"

class AppContext;

// What the e-mail deliveries keep for the run and between the reports of one
// download (the original's module-level variables).
struct EmailState {
    QString gMailProgram;       // start command of Netscape or Outlook Express
    QString gEmailSubject;      // accepted in the automated e-mail options, or a default
    QString gEmailMessage;
    // One message collecting the attachments of a download.
    std::shared_ptr<AutomationObject> gNotesWorkspace, gNotesSession, gNotesUIDocument;
    std::shared_ptr<AutomationObject> gOutlookApp, gOutlookMailItem;
    qint64 composeTask = 0;     // the Netscape or Outlook Express window of that message
    QString composeTitle;
    void releaseNotes() { gNotesUIDocument.reset(), gNotesWorkspace.reset(), gNotesSession.reset(); }
    void releaseOutlook() { gOutlookMailItem.reset(), gOutlookApp.reset(); }
};
EmailState& Email(AppContext& ctx);

// What a delivery is given besides the report.
struct MailRun {
    AppContext& ctx;
    const DownloadOptions& options;
    DownloadProgress& progress;
};

namespace EmailKeys {
// Keys in the keystroke notation, waiting until they are taken.
void send(AppContext& ctx, const QString& keys, bool wait = true);
// Data typed as it stands (file names, subjects, messages).
void type(AppContext& ctx, const QString& data, bool wait = true);
// Brings the window to the front, trying a bounded number of times with
// window events let run between tries. False: it never came; no key may be sent.
bool activate(AppContext& ctx, const QString& title);
bool activateTask(AppContext& ctx, qint64 task);
}  // namespace EmailKeys

// "Error 5 description" (a minus sign for the blank of a negative number).
QString ErrorText(int number, const QString& description);
// The stand-ins' and programs' errors as one number and text.
struct CaughtError {
    int number = 0;
    QString description;
};

// The company name of the automated e-mail options; empty when not set.
QString CompanyName(AppContext& ctx);
// The work directory in the form the delivery asks for (the short form is the long one here).
QString MailWorkDir(AppContext& ctx);
// Gives the spooled-file screen the focus, unless this is a batch run.
void FocusScreen(AppContext& ctx);
