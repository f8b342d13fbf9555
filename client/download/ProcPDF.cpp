#include "ProcPDF.h"

#include <optional>

#include "DocumentDownload.h"
#include "PageModel.h"
#include "ProcTxt.h"
#include "ProcessType.h"
#include "ReportFile.h"
#include "RunContext.h"
#include "SettingValues.h"
#include "SpoolDownload.h"
#include "VB2PDF.h"

std::optional<PdfBestFit> BestFitFor(int recordWidth) {
    switch (recordWidth) {
    case 80: return PdfBestFit{2, false, 11};
    case 132: return PdfBestFit{5, false, 12};
    case 198: return PdfBestFit{4, true, 9};
    case 990: return PdfBestFit{4, true, 7};
    default: return std::nullopt;
    }
}

std::optional<int> PaperCodeOf(const QString& text) {
    static const char* const kPapers[] = {"Wide",      "Standard A4", "Narrow A5", "Tabloid",  "Ledger",
                                          "Legal",     "Statement",   "Executive", "Letter"};
    for (int i = 0; i < 9; ++i)
        if (text == QLatin1String(kPapers[i])) return i + 1;
    return std::nullopt;
}

namespace {
// Host pages are 66 lines; best fit keeps one on one PDF page.
constexpr int kHostPageLines = 66;

struct PdfOptions {
    bool bestFit = false;
    std::optional<int> paper;
    int fontSize = 10;
    std::optional<int> vertical;  // none: "Auto"
    bool landscape = false;
};

// A whole number of points; none for a text that is no number (error 13).
std::optional<int> pointsOf(const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < 1 || v > 999) return std::nullopt;
    return v;
}

// None when a size is no number.
std::optional<PdfOptions> pdfOptionsOf(const DownloadOptions& d) {
    PdfOptions o;
    // E-mail attachments always use best fit.
    const ProcessType* type = FindProcessType(d.processType);
    const bool email = type && type->mail;
    o.bestFit = d.pdfPaperSize == QLatin1String("Best fit") || email;
    if (o.bestFit) return o;
    o.paper = PaperCodeOf(d.pdfPaperSize);
    const std::optional<int> font = pointsOf(d.pdfFontSize);
    if (!font) return std::nullopt;
    o.fontSize = *font;
    if (d.pdfVertSize != QLatin1String("Auto")) {
        o.vertical = pointsOf(d.pdfVertSize);
        if (!o.vertical) return std::nullopt;
    }
    o.landscape = d.pdfLandscape;
    return o;
}

class PdfSink : public DocumentSink, private PageCanvas {
public:
    PdfSink(RunContext& ctx, const PdfOptions& o, QString creator, QString fileName)
        : ctx_(ctx), o_(o), creator_(std::move(creator)), fileName_(std::move(fileName)) {}

    void accepted(const std::string& widthCode) override {
        const int width = RecordWidth(widthCode);
        pdf_.Creator = creator_;
        pdf_.Now = [this] { return ctx_.services.now(); };
        pdf_.Spacing.bestFit = o_.bestFit;
        if (o_.bestFit) {
            if (const std::optional<PdfBestFit> fit = BestFitFor(width)) {
                pdf_.PaperSize = fit->paperSize;
                pdf_.LandScape = fit->landscape;
                pdf_.FontSize = fit->fontSize;
                pdf_.Spacing.fitLines = kHostPageLines;
                pdf_.FitColumns = width;
            }
        } else {
            if (o_.paper) pdf_.PaperSize = *o_.paper;
            pdf_.FontSize = o_.fontSize;
            pdf_.Spacing.vertical = o_.vertical;
            if (o_.vertical) pdf_.VertSpace = *o_.vertical;
            pdf_.LandScape = o_.landscape;
            // Nothing runs off the right edge: a report too wide for the paper gets a smaller font.
            pdf_.ShrinkToColumns = width;
        }
        width_ = width;
        pdf_.FileName = fileName_;
        pdf_.Output = ReportFile::optionsFor(ctx_, fileName_, false, nameWasFree);
        pdf_.StartPDF();
        if (pdf_.createdFile()) ctx_.connection.noteCreatedFile(pdf_.writtenPath());
    }
    void record(const SpoolRecordSlot& slot) override { pages_.record(slot, *this); }
    const PageModel* placing() const override { return &pages_; }
    QString completionNote() const override {
        if (pdf_.fontPoints() >= pdf_.FontSize) return {};
        return QStringLiteral("The text is set in %1 points instead of %2, so that all %3 columns fit across the paper.")
            .arg(QString::number(pdf_.fontPoints(), 'f', 1).remove(QStringLiteral(".0")))
            .arg(pdf_.FontSize)
            .arg(width_);
    }
    void finish(bool whole) override {
        writePage();
        if (whole) {
            pdf_.EndPDF();
            if (pdf_.createdFile()) ctx_.connection.noteCreatedFile(pdf_.writtenPath());
        } else {
            pdf_.EndPartialPDF();
        }
    }
    void abandon() noexcept override { pdf_.abandon(); }
    bool replacesEarlierFile() const override { return !pdf_.createdFile(); }
    QString writtenName() const override { return pdf_.writtenPath(); }

private:
    // Best fit holds each host page until it is complete, so that its
    // leading can give all of its lines room on one page.
    void pageBreak(int) override {
        writePage();
        pdf_.NewPage();
    }
    void emptyLines(int count) override {
        for (int i = 0; i < count; ++i) put(" ", false);
    }
    void line(std::string_view text, int, int) override { put(text, true); }
    // The held lines keep their room from page to page: no line costs an allocation.
    void put(std::string_view text, bool record) {
        if (o_.bestFit && held_ == page_.size()) page_.emplace_back();
        std::string& l = o_.bestFit ? page_[held_] : shown_;
        if (record)
            AssignShownText(l, text);
        else
            l.assign(text);
        if (!o_.bestFit) {
            pdf_.WritePDF(l, true);
            return;
        }
        // A page without end (no skips) is written as it comes.
        if (++held_ >= size_t(kLinesPerPage)) writePage();
    }
    void writePage() {
        if (held_ == 0) return;
        pdf_.FitPageLines(int(held_));
        for (size_t i = 0; i < held_; ++i) pdf_.WritePDF(page_[i], true);
        held_ = 0;
    }

    RunContext& ctx_;
    PdfOptions o_;
    QString creator_;
    QString fileName_;
    VB2PDF pdf_;
    // "Remove blank lines and page breaks" plays no part in a PDF.
    PageModel pages_;
    std::vector<std::string> page_;
    size_t held_ = 0;  // lines of page_ that hold the page
    std::string shown_;
    int width_ = 0;
};
}  // namespace

ReportResult ProcPDF(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const QString& fileName,
                     const SpoolFileRow& row) {
    const std::optional<PdfOptions> pdf = pdfOptionsOf(options);
    if (!pdf) {
        ShowDocumentFileError(ctx, QStringLiteral("ProcPDF"), 13, QStringLiteral("Type mismatch"), fileName);
        return {Outcome::Stopped(), {}, fileName};
    }
    const QString user = ctx.services.getSetting(Setting::User);
    PdfSink sink(ctx, *pdf, IsStored(user) ? user : QString(10, QLatin1Char(' ')), fileName);
    return RunDocumentDownload(ctx, options, progress, QStringLiteral("ProcPDF"), fileName, row, sink);
}
