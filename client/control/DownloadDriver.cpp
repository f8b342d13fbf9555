#include "DownloadDriver.h"

#include "AppContext.h"

std::vector<ReportOutcome> RunSelectedDownloads(AppContext&) { return {}; }
