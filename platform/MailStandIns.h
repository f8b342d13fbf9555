#pragma once
#include <QStringList>
#include <functional>
#include <memory>

#include "Automation.h"
#include "Keyboard.h"
#include "MachineRegistry.h"
#include "MailOutbox.h"
#include "ProcessStarter.h"

// The four mail programs on this platform. Each takes exactly what the
// deliveries hand to its original and nothing else; a key string or call it
// does not know is an error (KeysError, AutomationError 438) that reaches the
// delivery. Messages leave through the mail layer: a message the user is to
// finish becomes a draft when its window closes, one that is sent goes over
// SMTP.
//
// - Netscape: the program "swmail-netscape", started with "-compose" or
//   "-compose <file>"; its window "Composition" takes "%F" "H" "F", a typed
//   path and "{ENTER}" to attach a file.
// - Outlook Express: "swmail-msimn.exe" (or "MSIMN.EXE") with "/mailurl:test";
//   its window "New Message" (titled by the subject once one is typed) has the
//   fields To, Cc, Subject and the text; "{TAB}" and "+{TAB}" move between
//   them; "%I" "A" path "%A" or "{ENTER}" attaches, "%I" "T" path "%O" puts a
//   text file into the text, "%F" "E" sends.
// - Lotus Notes: the automation objects "Notes.NotesUIWorkspace" and
//   "Notes.NotesSession"; the memo that ComposeDocument opens is the window
//   "Lotus Notes" with the fields To, cc, bcc, Subject and Body ("{TAB}"
//   forward; "+{TAB}" goes To -> action bar -> Body -> attachment bar -> To);
//   "%F" "A" path "%R" attaches, "%A" "S" "{ENTER}" sends.
// - Outlook: the automation object "Outlook.application": CreateItem(0), and
//   on the item Display, Attachments.Add, Recipients.Add, Subject, Body, Send.
class MailStandIns {
public:
    static constexpr const char* kNetscapeProgram = "swmail-netscape";
    static constexpr const char* kOutlookExpressProgram = "swmail-msimn.exe";
    // The version text the Notes session reports.
    static constexpr const char* kNotesVersion = "Release 6.5.6 (stand-in)";

    explicit MailStandIns(std::shared_ptr<MailOutbox> outbox);
    ~MailStandIns();

    // Decorators: the stand-ins first, everything else to the inner service.
    std::unique_ptr<ProcessStarter> wrap(std::unique_ptr<ProcessStarter> inner);
    std::unique_ptr<Keyboard> wrap(std::unique_ptr<Keyboard> inner);
    std::unique_ptr<Automation> wrap(std::unique_ptr<Automation> inner);
    // Answers the machine-registry keys by which discovery finds the four programs.
    std::unique_ptr<MachineRegistry> wrap(std::unique_ptr<MachineRegistry> inner);

    // The compose windows still open are handed to the user: each unsent
    // message becomes a draft. Returns how many drafts were written.
    int closeWindows();
    // A draft that could not be written when its window closed or its object
    // went (no call is left to report it to).
    std::function<void(const QString& problem)> onProblem;

    // Everything the stand-ins received, one line each, in order:
    //   start swmail-netscape -compose          keys Composition: %FHF
    //   call Notes.NotesUIWorkspace.ComposeDocument("", "mail/user.nsf", "Memo")
    QStringList log() const;
    void clearLog();
    // Titles of the windows now open.
    QStringList openWindows() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};
