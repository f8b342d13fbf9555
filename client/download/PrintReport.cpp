#include "PrintReport.h"

#include <algorithm>
#include <cmath>

#include "RunContext.h"
#include "Codec.h"
#include "MousePointer.h"
#include "ProcTxt.h"

std::optional<int> PrintFontSizeOf(const QString& text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (ok && n >= 1 && n <= 72) return n;
    return std::nullopt;
}

bool IsPrintFontSizeText(const QString& text) {
    return text.trimmed() == QLatin1String("Auto") || PrintFontSizeOf(text).has_value();
}

double SetUpPrinterForWidth(Printer& printer, const std::string& widthCode, const DownloadOptions::PrinterFormat& format) {
    printer.setFontName(QStringLiteral("Courier New"));
    struct Row {
        const char* code;
        int autoPortrait, autoLandscape;
    };
    static const Row rows[] = {{" 80", 9, 9}, {"132", 6, 9}, {"198", 4, 6}};
    for (size_t i = 0; i < 3; ++i) {
        const Row& r = rows[i];
        if (widthCode != r.code) continue;
        if (format.orientationSet[i]) printer.setOrientation(format.landscape[i] ? Printer::Landscape : Printer::Portrait);
        const int size = PrintFontSizeOf(format.fontSize[i]).value_or(
            printer.orientation() == Printer::Portrait ? r.autoPortrait : r.autoLandscape);
        printer.setFontSize(size);
        return size;
    }
    printer.setOrientation(Printer::Landscape);
    printer.setFontSize(6);
    return 6;
}

double FitPrinterFontToWidth(Printer& printer, int columns, double size) {
    const double room = printer.printableWidthPoints();
    const double need = columns > 0 ? printer.textWidthPoints(columns) : 0;
    if (room <= 0 || need <= room) return size;
    const double fits = std::max(std::floor(size * room / need * 10) / 10, 0.1);
    printer.setFontSize(fits);
    return fits;
}

PrintLayout::PrintLayout(Printer& printer, bool layout, std::function<void(const std::string&)> onAccepted)
    : printer_(printer), pages_(PageModelOptions{.layout = layout}), onAccepted_(std::move(onAccepted)) {}

void PrintLayout::accepted(const std::string& widthCode) {
    if (onAccepted_) onAccepted_(widthCode);
}

void PrintLayout::record(const SpoolRecordSlot& slot) {
    whole_ = slot.text;
    pages_.record(slot, *this);
    ++printed_;
}

void PrintLayout::pageBreak(int) { printer_.newPage(); }

void PrintLayout::emptyLines(int count) {
    for (int i = 0; i < count; ++i) printer_.printLine(QString());
}

void PrintLayout::line(std::string_view, int, int) { printer_.printLine(Codec::toUnicode(ShownText(whole_))); }

namespace {
void printerMessage(RunContext& ctx, const PrinterError& e) {
    ctx.services.report(Failure{QStringLiteral("PC printer error") + (e.number >= 0 ? QStringLiteral(" ") : QString()) +
                           QString::number(e.number),
                       MsgIcon::Exclamation, QStringLiteral("iSeries Spoolwright")});
}
}  // namespace

Outcome PrintSpoolFileToPrinter(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                                const SpoolFileRow& row) {
    struct DefaultPointerOnExit {
        ~DefaultPointerOnExit() { setMousePointer(MousePointer::Normal); }
    } pointer;
    setMousePointer(MousePointer::ArrowHourglass);
    Printer& printer = *ctx.services.printer;

    // Without a printer there is nothing to choose in the print dialog and
    // nothing to print on: the report is not asked for.
    if (!printer.hasPrinter()) {
        ctx.services.report(Failure{QStringLiteral("No printer is set up on this computer.  The spool file was not printed."),
                           MsgIcon::Critical, QStringLiteral("Tolvane")});
        return Outcome::Stopped();
    }
    // A run nobody watches prints on the default printer and waits for nobody.
    if (!ctx.services.nobodyAnswers()) {
        try {
            // A cancelled dialog prints nothing and says nothing.
            if (!printer.showDialog(*ctx.services.presenter, nullptr)) return Outcome::Stopped();
        } catch (const PrinterError& e) {
            ctx.services.report(Failure{QStringLiteral("A printer error has been reported by Windows.  The error text is ") +
                                   e.description + QStringLiteral(". The error code number is ") +
                                   QString::number(e.number) + QStringLiteral("."),
                               MsgIcon::Critical, QStringLiteral("Tolvane")});
            return Outcome::Stopped();
        }
    }

    // A shared queue holds many users' reports: each job is named after its own.
    QStringList title;
    for (const std::string& part : {row.fileName(), row.jobName(), row.jobNumber(), row.spooledFileNumber()})
        if (!Trim(part).empty()) title << QString::fromStdString(Trim(part));
    printer.setDocumentName(title.join(QLatin1Char(' ')));

    QString printerName;
    QString fitNote;
    PrintLayout sink(printer, !options.removeBlankLines, [&](const std::string& widthCode) {
        const double chosen = SetUpPrinterForWidth(printer, widthCode, options.printer);
        // Nothing runs off the right edge of the paper.
        const double used = FitPrinterFontToWidth(printer, RecordWidth(widthCode), chosen);
        if (used < chosen)
            fitNote = QStringLiteral("  The lines are printed in %1 points instead of %2, so that all %3 columns fit "
                                     "across the page.")
                          .arg(used)
                          .arg(chosen)
                          .arg(RecordWidth(widthCode));
        printerName = printer.deviceName();
        progress.status(QStringLiteral("Printing spool records to ") + printerName + QStringLiteral("..."));
    });
    ExchangeStyle style;
    style.progressPrefix = QStringLiteral("Records printed: ");
    style.pageLimit = PageLimitOf(row);
    try {
        const ExchangeResult r =
            RunSpoolExchange(ctx, DownloadRequestFor(options, row).build(), style, sink, progress);
        if (!r.started()) return Outcome::Stopped();
        if (r.end == ExchangeEnd::Canceled || r.end == ExchangeEnd::Broken) {
            // What came is printed; the status keeps the exchange's own text.
            printer.endDoc();
            return Outcome::Stopped();
        }
        progress.status(QStringLiteral("Print is complete to ") + printerName + QStringLiteral(".  ") +
                       QString::number(sink.printed()) + QStringLiteral(" records printed.") + fitNote);
        printer.endDoc();
        return r.complete() ? Outcome::Done() : Outcome::Stopped();
    } catch (const PrinterError& e) {
        printer.abortDoc();
        printerMessage(ctx, e);
        return Outcome::Stopped();
    } catch (...) {
        printer.abortDoc();
        throw;
    }
}
