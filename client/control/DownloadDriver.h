#pragma once
#include <QString>
#include <vector>

class AppContext;

// What happened to one selected report in a download run.
struct ReportOutcome {
    QString row;            // the spooled-file row
    enum Status { Delivered, Skipped, Failed, Canceled } status = Failed;
    QString target;         // file written, when there was one
};

// The spooled-file screen's "&Open": downloads every selected report to the
// chosen destination. Reads the screen through ctx.frmSplf().
std::vector<ReportOutcome> RunSelectedDownloads(AppContext& ctx);
