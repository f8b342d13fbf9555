#include "ProcPDF.h"

#include <optional>

#include "AppContext.h"
#include "DocumentDownload.h"
#include "ProcTxt.h"
#include "ReportFile.h"
#include "SplfScreenApi.h"
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

// A whole number of points, or error 13 as a text that is no number was.
int pointsOf(const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < 1 || v > 999) throw PcFileError{13, QStringLiteral("Type mismatch")};
    return v;
}

PdfOptions optionsFromScreen(AppContext& ctx) {
    SplfScreenApi& splf = ctx.frmSplf();
    PdfOptions o;
    const QString paper = splf.text(QStringLiteral("cboPaperSize"));
    // E-mail attachments always use best fit (the e-mail frame is shown for
    // exactly these destinations).
    const QString type = splf.text(QStringLiteral("cboProcessType"));
    const bool email = type == QLatin1String("Netscape e-mail") || type == QLatin1String("Outlook Express e-mail") ||
                       type == QLatin1String("Outlook e-mail") || type == QLatin1String("Lotus Notes");
    o.bestFit = paper == QLatin1String("Best fit") || email;
    if (o.bestFit) return o;
    o.paper = PaperCodeOf(paper);
    o.fontSize = pointsOf(splf.text(QStringLiteral("cboFontSize")));
    const QString vert = splf.text(QStringLiteral("cboVertSize"));
    if (vert != QLatin1String("Auto")) o.vertical = pointsOf(vert);
    o.landscape = splf.value(QStringLiteral("optPageOrientation_1")) == 1;
    return o;
}

class PdfSink : public DocumentSink {
public:
    PdfSink(const PdfOptions& o, QString creator, SafeDocumentFile& out) : o_(o), creator_(std::move(creator)), out_(out) {}

    void accepted(const std::string& widthCode) override {
        const int width = RecordWidth(widthCode);
        pdf_.Creator = creator_;
        pdf_.Now = DocumentNow;
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
        }
        pdf_.FileName = out_.create();
        pdf_.StartPDF();
    }
    void record(const SpoolRecordSlot& slot) override {
        layout_.before(slot);
        pdf_.WritePDF(RecordText(slot), true);
    }
    void finish() override { pdf_.EndPDF(); }
    void abandon() noexcept override { pdf_.abandon(); }

private:
    PdfOptions o_;
    QString creator_;
    SafeDocumentFile& out_;
    VB2PDF pdf_;
    DocumentPageLayout layout_{[this] { pdf_.NewPage(); }, [this] { pdf_.WritePDF(" ", true); }};
};
}  // namespace

int ProcPDF(AppContext& ctx, const QString& fileName, QString& recordWidth, const SpoolFileRow& row) {
    SafeDocumentFile out(fileName);
    PdfOptions options;
    try {
        options = optionsFromScreen(ctx);
    } catch (const PcFileError& e) {
        ShowDocumentFileError(ctx, QStringLiteral("ProcPDF"), e.number, e.description, fileName);
        return -1;
    }
    const QString user = ctx.getSetting(QStringLiteral("User"));
    PdfSink sink(options, user == QLatin1String("None") ? QString(10, QLatin1Char(' ')) : user, out);
    SplfScreenApi& splf = ctx.frmSplf();
    // Overprinting is left to the host whatever the print-control box says.
    const bool suppress = splf.value(QStringLiteral("chkOverprinting")) == 1;
    return RunDocumentDownload(ctx, QStringLiteral("ProcPDF"), fileName, recordWidth,
                               DownloadRequestFromScreen(ctx, row, suppress).build(), sink, out);
}
