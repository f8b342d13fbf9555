#pragma once
#include <QByteArray>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "BatchParameters.h"
#include "ReportDelivery.h"

class RunContext;

// The batch run of a command line, below the windows: no window, no grid, no
// dialog. It reads and checks everything that needs no host (the arguments,
// the remembered settings, the settings files, the destination, the page
// range), connects as a run nobody watches, lists the queue or builds the
// one report's row, names and delivers each report, prints a line for each
// on standard output and ends the link and the work folder. Its messages go
// to standard error. Returns the exit status (BatchParameters.h, Connect.h).
int RunUnattended(RunContext& ctx, const QStringList& arguments);

// SIGTERM, SIGINT and SIGHUP from now on stop a batch run as a cancel does,
// however often they come; one that comes before the run starts stops it
// before it connects. RunUnattended catches them itself; `main` calls this
// first, so that no signal of the start-up ends the process.
void CatchStopSignals();

// The services of a run nobody watches: the desktop's clock, paths,
// remembered settings, machine registry, programs and FTP, the office
// programs' stand-ins behind the desktop automation, message boxes on
// standard error with their default answer. The printer is the caller's.
void UseUnattendedServices(RunContext& ctx);
// Failures and questions of a run nobody watches: each as "title: text" on
// standard error (or to `write`), each question answered with its unattended
// button.
void ReportOnStandardError(RunContext& ctx, std::function<void(const QString&)> write = {});

// A SETS file's bytes; nothing, after its message, when it cannot be read or
// is not a settings file.
std::optional<QByteArray> ReadBatchSettingsFile(RunContext& ctx, const QString& path);

// The message of a parameter that cannot be used; `why`: what is wrong with
// it, when the value alone does not say.
void ReportBadParameter(RunContext& ctx, const BatchRun::BadParameter& bad, const QString& why = {});

// One line per report on standard output, for the person or job that started
// the run: "written", "delivered" or "FAILED" and what it names, and where
// the mail drafts it left are (`draftsText` says that of a report's drafts);
// returns the reports not delivered.
int PrintBatchLines(const std::vector<ReportOutcome>& outcomes,
                    const std::function<QString(const QStringList& drafts)>& draftsText = {});
