#pragma once
#include <QString>

#include "DownloadOptions.h"
#include "ReportResult.h"
#include "SpoolFileRow.h"

class RunContext;

// Downloads one spooled file and writes it, record by record, as lines of a
// text file laid out for the caller's process code ("Text", "ProcFullView",
// "ProcExcel", "ProcAttachOAMS", ...), with the given options; progress and
// completion texts go to progress; the result has the first reply's width
// code once the host has accepted the request.
//
// Done: the whole report was written (a report without records gives an
// empty file). Stopped (the user has been told why) when it was not: the
// host refused it or sent a record width this program cannot read, the
// exchange failed or was cancelled, a later block was refused, the host sent more than the report's pages can hold, or a file
// error stopped it. Less than the whole report never replaces or adds to an
// earlier file, which stays byte for byte as it was; with no earlier file what
// arrived is kept under the name. The status line says the report is
// incomplete. A name that no file had when the report started is never put
// over another run's file: the result's writtenAs is the name written, the
// next free one when another run took fileName meanwhile.
ReportResult ProcTxt(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const QString& fileName,
                     const QString& processCode, const SpoolFileRow& row);

// The download request ("W") of a row with the options it carries: the page
// range, the minus-sign conversion and the overprint suppression.
struct SpoolDownloadRequest;
SpoolDownloadRequest DownloadRequestFor(const DownloadOptions& options, const SpoolFileRow& row);
