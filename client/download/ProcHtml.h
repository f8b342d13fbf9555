#pragma once
#include <QString>
#include <string>
#include <string_view>

#include "DownloadOptions.h"
#include "ReportResult.h"
#include "SpoolFileRow.h"

class RunContext;

// Downloads one spooled file and writes it as an HTML document of
// preformatted lines, replacing the file or adding to it (the HTML options).
// Results as ProcPDF; an existing document is kept whole unless the whole
// report arrived.
ReportResult ProcHtml(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const QString& fileName,
                     const SpoolFileRow& row);

// Record text as HTML: "&", "<" and ">" as entities, bytes that are no
// character of the code page as blanks.
std::string HtmlText(std::string_view text);
