#pragma once
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "Automation.h"
#include "DownloadOptions.h"
#include "Reporting.h"
#include "SpoolFileRow.h"

class RunContext;

// What the e-mail deliveries keep for the run and between the reports of one
// download (the described module-level variables).
struct EmailState {
    QString gMailProgram;       // start command of Netscape or Outlook Express
    QString gEmailSubject;      // accepted in the automated e-mail options, or a default
    QString gEmailMessage;
    // One message collecting the attachments of a download.
    std::shared_ptr<AutomationObject> gNotesWorkspace, gNotesSession, gNotesUIDocument;
    std::shared_ptr<AutomationObject> gOutlookApp, gOutlookMailItem;
    qint64 composeTask = 0;     // the Netscape or Outlook Express window of that message
    QString composeTitle;
    // Messages that could not be handed to the user as drafts (the user was told).
    int lostDrafts = 0;
    // Every draft written and not opened for the user, in order.
    QStringList drafts;
    qsizetype draftsShown = 0;  // ... of which the status has named these
    void releaseNotes() { gNotesUIDocument.reset(), gNotesWorkspace.reset(), gNotesSession.reset(); }
    void releaseOutlook() { gOutlookMailItem.reset(), gOutlookApp.reset(); }
};
EmailState& Email(RunContext& ctx);
// "Draft written to <path>", or "3 drafts written to <folder>: <name>, <name>, <name>".
QString DraftsWrittenText(const QStringList& drafts);

// What a delivery is given besides the report.
struct MailRun {
    RunContext& ctx;
    const DownloadOptions& options;
    DownloadProgress& progress;
};

namespace EmailKeys {
// Keys in the keystroke notation, waiting until they are taken.
void send(RunContext& ctx, const QString& keys, bool wait = true);
// Data typed as it stands (file names, subjects, messages).
void type(RunContext& ctx, const QString& data, bool wait = true);
// Brings the window to the front, trying a bounded number of times with
// window events let run between tries. False: it never came; no key may be sent.
bool activate(RunContext& ctx, const QString& title);
bool activateTask(RunContext& ctx, qint64 task);
}  // namespace EmailKeys

// Where a delivery puts the report before the mail program takes it.
enum class MailFile {
    Attachment,  // named by the report's attributes; text or PDF as the screen says
    BodyFile,    // a numbered text work file the program is pointed at
    BodyText,    // the same, whose text the delivery puts into the message
};

// How an attachment or message-body delivery opens, one row per delivery:
// its work file, the status texts before its own steps and how its program
// is started.
struct MailOpening {
    MailFile file;
    const char* program;     // its name in messages
    const char* starting;    // status before the start; null: "Starting " and the program's command
    bool hourglass;          // the pointer while the program starts
    enum Loading { BeforeStart, AfterStart, ByDelivery } loading;  // when "Loading spool file..." shows
    const char* argument;    // a started program: the argument that opens a message; null: automation
    const char* progId;      // an automation program's application object
    bool running;            // ... the running one when there is one
    const char* notStarted;  // status when the program cannot be started (null: none)
};
namespace MailOpenings {
extern const MailOpening AttachNetscape, AttachOutlookExpress, AttachNotes, AttachOutlook;
extern const MailOpening BodyOutlookExpress, BodyNotes, BodyOutlook;
}  // namespace MailOpenings

struct OpenedMail {
    QString file;   // the work file
    QString body;   // MailFile::BodyText: its lines joined by CR LF
    qint64 task = 0;  // the started program
    std::shared_ptr<AutomationObject> app;  // the automation program's application object
};
// Writes the work file, shows the statuses and, when `start` is set, starts
// the program or reaches its application object. Empty when the transfer or
// the start failed (the user has been told).
std::optional<OpenedMail> OpenMail(MailRun& run, const SpoolFileRow& row, const MailOpening& how, bool start);
// The delivery's last steps: its completion status, the focus back to the
// screen (unless `focus` is false or in a batch run), the pointer normal; done.
Outcome MailDone(MailRun& run, const QString& status, bool focus = true);
// Starts the program's command (gMailProgram) with further arguments; 0 after
// telling the user that the program could not be started.
qint64 StartMailProgram(RunContext& ctx, const char* program, const QStringList& arguments);

// "Error 5 description" (a minus sign for the blank of a negative number).
QString ErrorText(int number, const QString& description);
// The stand-ins' and programs' errors as one number and text.
struct CaughtError {
    int number = 0;
    QString description;
};

// The company name of the automated e-mail options; empty when not set.
QString CompanyName(RunContext& ctx);
// The work directory in the form the delivery asks for (the short form is the long one here).
QString MailWorkDir(RunContext& ctx);
// Gives the spooled-file screen the focus, unless this is a batch run.
void FocusScreen(MailRun& run);
