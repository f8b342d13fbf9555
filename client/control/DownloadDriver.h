#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "ReportDelivery.h"

class AppContext;

// The spooled-file screen's "&Open" (frmSplf.cmdOK_Click): checks the
// selection and the page range, locks the screen, and delivers every
// selected report to the chosen destination in grid order, with its save-as
// dialog where the destination writes a file. Reads the screen through
// ctx.frmSplf(). Returns one outcome per selected report, nothing when the
// run did not start (no selection, a bad page range).
//
// `names`, when given, names each file destination's file in place of its
// save-as dialog (a batch run: the one rule that asks nobody).
std::vector<ReportOutcome> RunSelectedDownloads(AppContext& ctx, const NameSource& names = {});

// The screen's "&Cancel"/"&Close" (frmSplf.cmdCancel_Click): during a run it
// asks the running transfer to stop and the run to skip the rest; otherwise
// it hides the screen.
void CancelSelectedDownloads(AppContext& ctx);
