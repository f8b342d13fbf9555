#include "CoreDelivery.h"

#include "PrintReport.h"
#include "ProcHtml.h"
#include "ProcPDF.h"
#include "ProcTxt.h"
#include "ProcXml.h"
#include "RunContext.h"

std::optional<DeliveryProcedure> CoreDeliveryFor(RunContext& ctx, const DownloadOptions& options,
                                                 DownloadProgress& progress, const ProcessType& type) {
    // The documents: procedures of one shape, each with its save dialog.
    using DocumentProc = ReportResult (*)(RunContext&, const DownloadOptions&, DownloadProgress&, const QString&,
                                          const SpoolFileRow&);
    auto document = [&](DocumentProc proc) -> DeliveryProcedure {
        return [&ctx, &options, &progress, proc](const QString& name, const SpoolFileRow& row) {
            return proc(ctx, options, progress, name, row);
        };
    };
    switch (type.id) {
    case Destination::PcPrinter:
        return [&ctx, &options, &progress](const QString&, const SpoolFileRow& row) {
            return ReportResult{PrintSpoolFileToPrinter(ctx, options, progress, row), {}, {}};
        };
    case Destination::TextFile: {
        const QString code = type.processCode;
        return [&ctx, &options, &progress, code](const QString& name, const SpoolFileRow& row) {
            return ProcTxt(ctx, options, progress, name, code, row);
        };
    }
    case Destination::XmlDocument: return document(ProcXml);
    case Destination::HtmlDocument: return document(ProcHtml);
    case Destination::PdfDocument: return document(ProcPDF);
    default: return std::nullopt;
    }
}
