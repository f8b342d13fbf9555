#pragma once
#include <QString>

#include <optional>

#include "DownloadOptions.h"
#include "SpoolFileRow.h"

class RunContext;

// Downloads one spooled file and writes it as a PDF document through VB2PDF,
// with the given PDF options ("Best fit" chooses paper,
// orientation and font size by the record width). Sets recordWidth to the
// first reply's width code once the host has accepted the request.
//
// 0: the whole report is in the document. -1: it is not (refused, failed,
// cancelled, a later block refused, a file error); an existing document is
// then left as it was, and where there was none, the pages that arrived are
// a valid document.
int ProcPDF(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const QString& fileName,
            QString& recordWidth, const SpoolFileRow& row, QString* writtenAs);
// The same, for a caller that needs no other name than the one it gave.
inline int ProcPDF(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const QString& fileName,
            QString& recordWidth, const SpoolFileRow& row) {
    return ProcPDF(ctx, options, progress, fileName, recordWidth, row, nullptr);
}

// The "Best fit" page of a record width: paper code, landscape, font size.
struct PdfBestFit {
    int paperSize;
    bool landscape;
    int fontSize;
};
std::optional<PdfBestFit> BestFitFor(int recordWidth);
// The paper code of a paper-size text of the screen; none for any other text.
std::optional<int> PaperCodeOf(const QString& text);
