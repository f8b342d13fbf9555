#include "Codec.h"
#include "PartFile.h"
#include "ProcPDF.h"
#include "VB2PDF.h"

namespace {
// A part as a PDF document, its page chosen by the report's record width.
class PdfPartFile : public PartFile {
public:
    bool open(const QString& path, const QString& width) override {
        const int columns = width.trimmed().toInt();
        if (const std::optional<PdfBestFit> fit = BestFitFor(columns)) {
            pdf_.PaperSize = fit->paperSize;
            pdf_.LandScape = fit->landscape;
            pdf_.FontSize = fit->fontSize;
            // The widest reports would run off the paper: the page grows to hold a whole record.
            pdf_.FitColumns = columns;
        }
        pdf_.FileName = path;
        pdf_.Output = PartFileOptions(path);
        return guarded([&] { pdf_.StartPDF(); });
    }
    void line(const QString& text) override {
        if (error_.isEmpty()) guarded([&] { pdf_.WritePDF(Codec::fromUnicode(text), true); });
    }
    void newPage() override {
        if (error_.isEmpty()) guarded([&] { pdf_.NewPage(); });
    }
    bool close() override {
        if (!error_.isEmpty()) {
            pdf_.abandon();
            return false;
        }
        return guarded([&] { pdf_.EndPDF(); });
    }
    QString error() const override { return error_; }
    QString path() const override { return pdf_.writtenPath(); }

private:
    template <class F>
    bool guarded(F step) {
        return GuardedPartStep(error_, step, [this] { pdf_.abandon(); });
    }
    VB2PDF pdf_;
    QString error_;
};
}  // namespace

std::unique_ptr<PartFile> MakePdfPartFile() { return std::make_unique<PdfPartFile>(); }
