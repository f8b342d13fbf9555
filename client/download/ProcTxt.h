#pragma once
#include <QString>

#include "SpoolFileRow.h"

class AppContext;

// Downloads one spooled file and writes it, record by record, as lines of a
// text file laid out for the caller's process code ("Text", "ProcFullView",
// "ProcExcel", "ProcAttachOAMS", ...), with the options of the spooled-file
// screen. Sets recordWidth to the first reply's width code once the host has
// accepted the request.
//
// 0: the whole report was written. -1: it was not: the host refused it (an
// existing file is left untouched), the exchange failed or was cancelled, a
// later block was refused, or a file error stopped it. What was written of an
// incomplete report stays in the file, and the status line says it is
// incomplete.
int ProcTxt(AppContext& ctx, const QString& fileName, QString& recordWidth, const QString& processCode,
            const SpoolFileRow& row);

// The options of the spooled-file screen that a download request carries.
struct SpoolDownloadRequest;
SpoolDownloadRequest DownloadRequestFromScreen(AppContext& ctx, const SpoolFileRow& row, bool suppressOverprint);
