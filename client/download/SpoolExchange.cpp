#include "SpoolExchange.h"

#include "RunContext.h"
#include "HostLink.h"

namespace {
bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

qint64 PageLimitOf(const SpoolFileRow& row) {
    // A report of 100,000 pages or more has lost its first digit in the row's columns.
    const std::optional<qint64> pages =
        row.listedPages().empty() ? WholeNumberOf(QString::fromLatin1(row.columns(33, 37)), 5)
                                  : WholeNumberOf(QString::fromLatin1(row.listedPages()), 6);
    return pages ? *pages : kMostPages;
}

ExchangeResult RunSpoolExchange(RunContext& ctx, const std::string& request, const ExchangeStyle& style,
                                SpoolRecordSink& sink, DownloadProgress& progress) {
    ExchangeResult r;
    // The host's blocks of this report come one by one; nothing else may ask
    // it anything until the report has ended.
    HostLink::Hold hold(ctx.link);
    std::string reply;
    reply.reserve(HostWire::kReplyLength);
    if (SendReceive(ctx.link, request, reply) != LinkResult::Reply) return r;
    std::string control = HostWire::controlArea(reply);
    if (startsWith(control, "(INVALID)")) {
        r.end = ExchangeEnd::Refused;
        if (!ctx.gBatchNoDialogs)
            ctx.msgBox(style.refusedText, MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Tolvane"));
        else if (ctx.gFailureReason.isEmpty())
            ctx.gFailureReason = style.refusedText;
        return r;
    }
    r.widthCode = control.size() >= 3 ? control.substr(control.size() - 3) : std::string(3, ' ');
    auto hostHoldsMore = [&] { return !startsWith(control, "(END)") && !startsWith(control, "(INVALID)"); };
    const int width = RecordWidth(r.widthCode);
    if (width == 0) {
        // Records of an unknown width cannot be read: nothing is written.
        r.end = ExchangeEnd::UnknownWidth;
        if (hostHoldsMore()) ctx.link.abandonTransfer();
        ctx.msgBox(QStringLiteral("The host sent the report with the record width code \"") +
                       QString::fromLatin1(r.widthCode.c_str()) +
                       QStringLiteral("\", which this program cannot read.  Nothing was written."),
                   MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Tolvane"));
        return r;
    }
    // Lines that the report's pages can hold; a host still saying "(MORE)"
    // past them would hold the run for ever. A record printed over the line
    // before it (bold, underlining) adds no line; a few of them per line are
    // allowed for, so that endless ones stop the run too.
    const qint64 lineLimit = style.pageLimit * kLinesPerPage;
    const qint64 overprintLimit = lineLimit * kOverprintsPerLine;
    qint64 linesReceived = 0;
    qint64 overprintsReceived = 0;
    qint32 threshold = 50;
    // A sink that fails while the host still holds blocks leaves the host
    // mid-report; it is told to stop so that the next request starts clean.
    auto toSink = [&](const auto& fn) {
        try {
            fn();
        } catch (...) {
            if (hostHoldsMore()) ctx.link.abandonTransfer();
            throw;
        }
    };
    toSink([&] { sink.accepted(r.widthCode); });
    for (;;) {
        qint64 overprints = 0;
        toSink([&] {
            ForEachRecord(std::string_view(reply).substr(0, HostWire::kDataLength), width,
                          [&](const SpoolRecordSlot& slot) {
                              sink.record(slot);
                              ++r.records;
                              if (slot.spacing == "0") ++overprints;
                          });
            sink.blockDone();
        });
        linesReceived += SlotsPerBlock(width) - overprints;
        overprintsReceived += overprints;
        if (r.records > threshold) {
            threshold = style.thresholdFromCount ? r.records + 50 : threshold + 50;
            progress.status(style.progressPrefix + QString::number(r.records) + QStringLiteral("   "));
        }
        const bool end = startsWith(control, "(END)");
        const bool invalid = startsWith(control, "(INVALID)");
        if (invalid && style.laterInvalidDenied) {
            r.end = ExchangeEnd::Denied;
            ctx.msgBox(QStringLiteral("Access denied.  Possible authority problem."), MsgButtons::OK,
                       MsgIcon::Exclamation, QStringLiteral("iSeries Spoolwright"));
            return r;
        }
        const bool more = style.next == ExchangeStyle::Continue::OnlyOnMore ? startsWith(control, "(MORE)")
                                                                             : !end && !invalid;
        if (!more) {
            r.end = ExchangeEnd::Complete;
            return r;
        }
        if (linesReceived >= lineLimit || overprintsReceived >= overprintLimit) {
            r.end = ExchangeEnd::Overrun;
            ctx.link.abandonTransfer();
            ctx.msgBox(QStringLiteral("The host keeps sending lines beyond what the report's page count (") +
                           QString::number(style.pageLimit) +
                           QStringLiteral(") can hold.  The download was stopped and the host told to cancel it."),
                       MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("iSeries Spoolwright"));
            return r;
        }
        const LinkResult sent = SendReceive(ctx.link, request, reply);
        if (sent != LinkResult::Reply) {
            r.end = sent == LinkResult::Cancelled ? ExchangeEnd::Canceled : ExchangeEnd::Broken;
            return r;
        }
        control = HostWire::controlArea(reply);
    }
}
