#pragma once
#include <QString>

#include <optional>

#include "DownloadOptions.h"
#include "ReportResult.h"
#include "SpoolFileRow.h"

class RunContext;

// Downloads one spooled file and writes it as a PDF document through VB2PDF,
// with the given PDF options ("Best fit" chooses paper,
// orientation and font size by the record width). The result has the first
// reply's width code once the host has accepted the request, and the name
// written.
//
// Done: the whole report is in the document. Stopped, the user told why:
// it is not (refused, failed, cancelled, a later block refused, a file
// error, a font size that is no number); an existing document is
// then left as it was, and where there was none, the pages that arrived are
// a valid document.
ReportResult ProcPDF(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const QString& fileName,
                     const SpoolFileRow& row);

// The "Best fit" page of a record width: paper code, landscape, font size.
struct PdfBestFit {
    int paperSize;
    bool landscape;
    int fontSize;
};
std::optional<PdfBestFit> BestFitFor(int recordWidth);
// The paper code of a paper-size text of the screen; none for any other text.
std::optional<int> PaperCodeOf(const QString& text);
