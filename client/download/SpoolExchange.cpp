#include "SpoolExchange.h"

#include "Clock.h"
#include "HostLink.h"
#include "PageModel.h"
#include "RunContext.h"

namespace {
bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

qint64 PageLimitOf(const SpoolFileRow& row) {
    // A report of 100,000 pages or more has lost its first digit in the row's columns.
    const std::optional<qint64> pages =
        row.listedPages().empty() ? WholeNumberOf(QString::fromLatin1(row.columns(33, 37)), 5)
                                  : WholeNumberOf(QString::fromLatin1(row.listedPages()), 6);
    return pages ? *pages : 0;
}

namespace {
// Counts the lines the page model writes for the records, as every
// destination lays them out.
class LineCount : public PageCanvas {
public:
    void pageBreak(int) override {}
    void emptyLines(int) override {}
    void line(std::string_view, int, int) override {}
};
}  // namespace

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
        Failure refused{style.refusedText, MsgIcon::Critical};
        refused.quietInQueueRun = true;
        ctx.services.report(refused);
        return r;
    }
    r.widthCode = control.size() >= 3 ? control.substr(control.size() - 3) : std::string(3, ' ');
    auto hostHoldsMore = [&] { return !startsWith(control, "(END)") && !startsWith(control, "(INVALID)"); };
    const int width = RecordWidth(r.widthCode);
    if (width == 0) {
        // Records of an unknown width cannot be read: nothing is written.
        r.end = ExchangeEnd::UnknownWidth;
        if (hostHoldsMore()) ctx.link.abandonTransfer();
        ctx.services.report(Failure{QStringLiteral("The host sent the report with the record width code \"") +
                               QString::fromLatin1(r.widthCode.c_str()) +
                               QStringLiteral("\", which this program cannot read.  Nothing was written."),
                           MsgIcon::Critical, QStringLiteral("Tolvane")});
        return r;
    }
    // Lines that the report's pages can hold, as the page model writes them;
    // a host still saying "(MORE)" past them would hold the run for ever. A
    // record printed over the line before it (bold, underlining) is no line
    // of the host's page; a few of them per line are allowed for, so that
    // endless ones stop the run too. A host that says "(MORE)" and sends
    // nothing is stopped soon after its last record.
    const qint64 pages = style.pageLimit > 0 ? style.pageLimit : kMostPages;
    const qint64 lineLimit = pages * kLinesPerPage;
    const qint64 overprintLimit = lineLimit * kOverprintsPerLine;
    PageModel model;
    LineCount counted;
    qint64 overprintsReceived = 0;
    qint64 quietBlocks = 0;
    qint64 quietSinceMs = 0;  // when the blocks without a record began
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
    // A sink whose page model places every record counts the lines for the
    // guard as it places them; for any other the exchange places them itself.
    const PageModel* placing = sink.placing();
    const PageModel& lines = placing ? *placing : model;
    // The reply to the request sent ahead, when it is read only to be dropped.
    std::string dropped;
    for (;;) {
        const bool end = startsWith(control, "(END)");
        const bool invalid = startsWith(control, "(INVALID)");
        const bool more = style.next == ExchangeStyle::Continue::OnlyOnMore ? startsWith(control, "(MORE)")
                                                                             : !end && !invalid;
        // The next request goes out before this block is written: the host
        // prepares its answer while the writer works.
        LinkResult sent = LinkResult::Reply;
        if (more) sent = ctx.link.sendRequest(request);
        const bool owed = more && sent == LinkResult::Reply;
        // What the host answers to the request sent ahead decides whether it
        // still holds blocks, once that answer has been read and dropped.
        auto dropOwed = [&] {
            if (!owed) return true;
            if (ctx.link.dropOwedReply(dropped) != LinkResult::Reply) return false;
            control = HostWire::controlArea(dropped);
            return true;
        };
        const qint32 before = r.records;
        try {
            ForEachRecord(std::string_view(reply).substr(0, HostWire::kDataLength), width,
                          [&](const SpoolRecordSlot& slot) {
                              sink.record(slot);
                              ++r.records;
                              if (slot.spacing == "0") ++overprintsReceived;
                              // Only the places count here, not the text.
                              if (!placing) model.record(slot.skipLine(), slot.spacingLines(), {}, counted);
                          });
            sink.blockDone();
        } catch (...) {
            if (dropOwed() && hostHoldsMore()) ctx.link.abandonTransfer();
            throw;
        }
        if (r.records > before)
            quietBlocks = 0;
        else if (quietBlocks++ == 0)
            quietSinceMs = ctx.services.clock->nowMs();
        if (r.records > threshold) {
            threshold = style.thresholdFromCount ? r.records + 50 : threshold + 50;
            progress.status(style.progressPrefix + QString::number(r.records) + QStringLiteral("   "));
        }
        if (invalid && style.laterInvalidDenied) {
            r.end = ExchangeEnd::Denied;
            ctx.services.report(Failure{QStringLiteral("Access denied.  Possible authority problem."), MsgIcon::Exclamation,
                               QStringLiteral("iSeries Spoolwright")});
            return r;
        }
        if (!more) {
            r.end = ExchangeEnd::Complete;
            return r;
        }
        if (sent != LinkResult::Reply) {
            r.end = ExchangeEnd::Broken;
            return r;
        }
        // The clock runs with the host's own time for each block: a slow host
        // sending a page of empty lines between two records is still sending
        // a report. Only more empty slots than a page holds are counted by time.
        const bool quiet = quietBlocks >= kQuietBlocks ||
                           (quietBlocks * SlotsPerBlock(width) > kLinesPerPage &&
                            ctx.services.clock->nowMs() - quietSinceMs >= kQuietMs);
        if (quiet || lines.plainLinesWritten() > lineLimit || overprintsReceived >= overprintLimit) {
            r.end = ExchangeEnd::Overrun;
            if (dropOwed() && hostHoldsMore()) ctx.link.abandonTransfer();
            const QString stopped = QStringLiteral("  The download was stopped and the host told to cancel it.");
            if (quiet)
                ctx.services.report(
                    Failure{QStringLiteral("The host keeps saying that more of the report follows, but sends nothing "
                                           "more.") +
                                stopped,
                            MsgIcon::Exclamation, QStringLiteral("iSeries Spoolwright")});
            else
                ctx.services.report(
                    Failure{QStringLiteral("The host keeps sending lines beyond what the report's page count (") +
                                (style.pageLimit > 0 ? QString::number(style.pageLimit)
                                                     : QStringLiteral("none, so ") + QString::number(kMostPages)) +
                                QStringLiteral(") can hold.") + stopped,
                            MsgIcon::Exclamation, QStringLiteral("iSeries Spoolwright")});
            return r;
        }
        const LinkResult got = ctx.link.receiveReply(reply);
        if (got != LinkResult::Reply) {
            r.end = got == LinkResult::Cancelled ? ExchangeEnd::Canceled : ExchangeEnd::Broken;
            return r;
        }
        control = HostWire::controlArea(reply);
    }
}
