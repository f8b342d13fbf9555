#pragma once
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "CoreDelivery.h"
#include "DownloadOptions.h"
#include "HostLink.h"
#include "ProcessType.h"

class RunContext;
class SpoolFileRow;

// What happened to one report of a download run.
struct ReportOutcome {
    QString row;            // the spooled-file row
    enum Status {
        Delivered,  // the destination got the whole report
        Skipped,    // its save-as dialog was cancelled
        Failed,     // not delivered: refused, incomplete, a file error, or no such destination
        Canceled    // the user's cancel stopped it, or came before it
    } status = Failed;
    QString target;         // file written, when there was one
    // A failed report's new file that holds what arrived before the failure.
    QString partial;
    QString reason;         // why it was not delivered, when something said so
    QStringList drafts;     // mail drafts written for it and not opened for the user
    QString note;           // delivered, but with something left out that the user must know
    bool nothingArrived = false;  // the host sent none of its records: no file was left
};

// The name of a file destination's file: asked in its save-as dialog, or
// given by the one batch naming rule. `chosenByUser`: a person picked it for
// this report, so it may replace what the run wrote before.
struct ChosenName {
    QString name;
    bool chosenByUser = false;
};
// Nothing back skips the report (its dialog was cancelled).
using NameSource = std::function<std::optional<ChosenName>(SaveDialogKind dialog, const SpoolFileRow& row)>;

// A destination wired to its procedure; `busy`: the pointer shows work going on.
struct ReportDelivery {
    DeliveryProcedure run;
    bool busy = true;
};
// How a run delivers each destination, with the options the report starts
// with (the procedure may keep them for the length of the report); none for
// a destination it cannot deliver.
using DeliveryDispatch =
    std::function<std::optional<ReportDelivery>(const ProcessType& type, const DownloadOptions& options)>;

// One run's way of delivering its reports: the same for each of them.
struct ReportRun {
    RunContext& ctx;
    DeliveryDispatch dispatch;
    NameSource names;
    // The files this run has written (absolute paths).
    QSet<QString> writtenThisRun;
};

// Delivers one report to the destination `options` names: finds it in the
// table and in `run.dispatch`, refuses a work-folder destination without a
// work folder, takes the file name from `presetName` or else from the run's
// name source (a name nobody chose for this report never replaces what the
// run wrote before: the next free name is taken), runs the procedure and
// says how it went, with the first message it showed as the reason it failed.
ReportOutcome DeliverReport(ReportRun& run, const DownloadOptions& options, const SpoolFileRow& row,
                            const std::optional<QString>& presetName = std::nullopt);

// Whether the link was reported lost while it watched: the reports after
// that would only fail again on the closed link.
struct LinkLostWatch : LinkObserver {
    explicit LinkLostWatch(HostLink& l) : link(l) { link.addObserver(this); }
    ~LinkLostWatch() override { link.removeObserver(this); }
    LinkLostWatch(const LinkLostWatch&) = delete;
    LinkLostWatch& operator=(const LinkLostWatch&) = delete;
    void linkLost() override { lost = true; }
    HostLink& link;
    bool lost = false;
};
