#pragma once
#include <QDateTime>
#include <QString>
#include <functional>
#include <string>

#include "DownloadOptions.h"
#include "FileDownload.h"
#include "ReportFile.h"
#include "SpoolExchange.h"

class RunContext;

// A destination's writer, fed record by record by the exchange; finish()
// writes the document's end.
class DocumentSink : public FileSink {};

// A document of text lines (HTML, XML) in a ReportFile.
class LineDocumentSink : public DocumentSink {
public:
    void finish(bool whole) override;
    void abandon() noexcept override { file_.discard(); }
    bool replacesEarlierFile() const override { return file_.replacesEarlierFile(); }
    QString writtenName() const override { return file_.path(); }

protected:
    // The document's closing lines.
    virtual void writeEnd() = 0;
    ReportFile file_;
};

// What the three document procedures share: the file download
// (RunFileDownload), and a file error's document dropped and its PC file
// error box titled with the procedure's name. Done when the whole report is
// in the document; a stop has been told.
ReportResult RunDocumentDownload(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                                 const QString& procedure, const QString& fileName, const SpoolFileRow& row,
                                 DocumentSink& sink);

// The PC file error box of the document procedures.
void ShowDocumentFileError(RunContext& ctx, const QString& procedure, int number, const QString& description,
                           const QString& fileName);

// The record's text without its trailing blanks.
std::string_view RecordText(const SpoolRecordSlot& slot);
