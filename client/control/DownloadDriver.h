#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "ProcessType.h"

class SpoolFileRow;

class AppContext;

// What happened to one selected report in a download run.
struct ReportOutcome {
    QString row;            // the spooled-file row
    enum Status {
        Delivered,  // the destination got the whole report
        Skipped,    // its save-as dialog was cancelled
        Failed,     // not delivered: refused, incomplete, a file error, or no such destination
        Canceled    // the user's cancel stopped it, or came before it
    } status = Failed;
    QString target;         // file written, when there was one
    QString reason;         // why it was not delivered, when something said so
    QStringList drafts;     // mail drafts written for it and not opened for the user
    QString note;           // delivered, but with something left out that the user must know
};

// The spooled-file screen's "&Open" (frmSplf.cmdOK_Click): checks the
// selection and the page range, locks the screen, and delivers every
// selected report to the chosen destination in grid order, with its save-as
// dialog where the destination writes a file. Reads the screen through
// ctx.frmSplf(). Returns one outcome per selected report, nothing when the
// run did not start (no selection, a bad page range).
//
// `names`, when given, names each file destination's file in place of its
// save-as dialog (a batch run: the one rule that asks nobody); nothing back
// skips the report.
using NameSource = std::function<std::optional<QString>(SaveDialogKind dialog, const SpoolFileRow& row)>;
std::vector<ReportOutcome> RunSelectedDownloads(AppContext& ctx, const NameSource& names = {});

// The batch run's one report: the row it built, delivered to the screen's
// destination; a file destination writes `fileName` (no dialog is shown).
ReportOutcome DeliverRow(AppContext& ctx, const SpoolFileRow& row, const std::optional<QString>& fileName);

// The screen's "&Cancel"/"&Close" (frmSplf.cmdCancel_Click): during a run it
// asks the running transfer to stop and the run to skip the rest; otherwise
// it hides the screen.
void CancelSelectedDownloads(AppContext& ctx);
