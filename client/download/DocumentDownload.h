#pragma once
#include <QDateTime>
#include <QString>
#include <functional>
#include <string>

#include "SpoolExchange.h"

class AppContext;

// The wall clock of the documents' dates (PDF creation date, XML download
// date); tests fix it.
QDateTime DocumentNow();
void SetDocumentClock(std::function<QDateTime()> clock);

// A document written beside its target and renamed over it only when it is
// complete, so that the earlier document is never gone for a moment and is
// kept whole when anything fails.
class SafeDocumentFile {
public:
    explicit SafeDocumentFile(QString target);
    ~SafeDocumentFile();
    SafeDocumentFile(const SafeDocumentFile&) = delete;
    SafeDocumentFile& operator=(const SafeDocumentFile&) = delete;

    const QString& target() const { return target_; }
    // Creates the file beside the target and gives its path. Throws PcFileError.
    QString create();
    bool targetExisted() const { return existed_; }
    // Renames the written file over the target. Throws PcFileError.
    void commit(AppContext& ctx);
    void discard() noexcept;

private:
    QString target_;
    QString temp_;
    bool existed_ = false;
};

// A destination's writer, fed record by record by the exchange.
class DocumentSink : public SpoolRecordSink {
public:
    // Writes the document's end and closes it: the closing part of a whole
    // report, or what makes the part that arrived a valid document.
    virtual void finish() = 0;
    // Closes without writing more (a file error).
    virtual void abandon() noexcept = 0;
};

// What the three document procedures share: the status texts, the exchange,
// the file kept or replaced, and the PC file error box titled with the
// procedure's name. Returns the procedure's result: 0 when the whole report
// is in the document, -1 otherwise. A report that ends early replaces no
// existing document; where there was none, the part that arrived stays.
int RunDocumentDownload(AppContext& ctx, const QString& procedure, const QString& fileName, QString& recordWidth,
                        const std::string& request, DocumentSink& sink, SafeDocumentFile& out);

// The PC file error box of the document procedures.
void ShowDocumentFileError(AppContext& ctx, const QString& procedure, int number, const QString& description,
                           const QString& fileName);

// Turns a record's print control into blank lines and page breaks, as the
// PDF and HTML documents lay out their lines: a skip below the current line
// starts a page, a skip below it fills blank lines up to it, a spacing of n
// leaves n - 1 blank lines; a blank spacing does not advance the line.
class DocumentPageLayout {
public:
    DocumentPageLayout(std::function<void()> newPage, std::function<void()> blankLine)
        : newPage_(std::move(newPage)), blank_(std::move(blankLine)) {}
    void before(const SpoolRecordSlot& slot);

private:
    std::function<void()> newPage_, blank_;
    int line_ = 1;
};

// The record's text without its trailing blanks.
std::string_view RecordText(const SpoolRecordSlot& slot);
