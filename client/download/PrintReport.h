#pragma once
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "DownloadOptions.h"
#include "PageModel.h"
#include "Reporting.h"
#include "SpoolExchange.h"
#include "SpoolFileRow.h"

class RunContext;
class Printer;

// The font size and orientation for a report of one width code, from the
// printer format values or the automatic rule. A size that is not a whole
// number from 1 to 72 counts as "Auto"; without a stored orientation the
// printer keeps its own. Sets font name, orientation and size on the printer;
// returns the size.
double SetUpPrinterForWidth(Printer& printer, const std::string& widthCode, const DownloadOptions::PrinterFormat& format);
// A size at which the report's lines do not fit across the printer's page is
// taken down to the largest that fits (to a tenth of a point); returns the
// size the lines are printed in.
double FitPrinterFontToWidth(Printer& printer, int columns, double size);

// "Auto" or a font size from 1 to 72 (blanks around it allowed).
std::optional<int> PrintFontSizeOf(const QString& text);
bool IsPrintFontSizeText(const QString& text);

// Prints the records of a download, one line each, on the page model's pages
// and lines unless the layout is off ("Remove blank lines and page breaks").
// Every record prints with all its width, trailing blanks included.
class PrintLayout : public SpoolRecordSink, private PageCanvas {
public:
    PrintLayout(Printer& printer, bool layout, std::function<void(const std::string& widthCode)> onAccepted = {});
    void accepted(const std::string& widthCode) override;
    void record(const SpoolRecordSlot& slot) override;
    qint32 printed() const { return printed_; }

private:
    void pageBreak(int) override;
    void emptyLines(int count) override;
    void line(std::string_view text, int page, int line) override;

    Printer& printer_;
    PageModel pages_;
    std::function<void(const std::string&)> onAccepted_;
    std::string_view whole_;
    qint32 printed_ = 0;
};

// The "PC printer" destination: the print dialog (none in a batch run, which
// prints on the default printer), the download, the lines on the printer.
// Done: every record was printed; stopped: not, or not all (the user has
// been told). The print document is ended or dropped on every path.
Outcome PrintSpoolFileToPrinter(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                                const SpoolFileRow& row);
