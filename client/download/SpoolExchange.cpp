#include "SpoolExchange.h"

#include "AppContext.h"
#include "HostLink.h"

namespace {
bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// Tells the host to drop the rest of the report; a failure here is the link's
// own and shows with the next exchange.
void abandonTransfer(AppContext& ctx) {
    try {
        SendCancelRequest(ctx);
    } catch (const SocketError&) {
        Disconnect(ctx);
    }
}
}  // namespace

ExchangeResult RunSpoolExchange(AppContext& ctx, const std::string& request, const ExchangeStyle& style,
                                SpoolRecordSink& sink, DownloadProgress& progress) {
    ExchangeResult r;
    std::string reply;
    reply.reserve(HostWire::kReplyLength);
    if (SendReceive(ctx, request, reply) != 0) return r;
    std::string control = HostWire::controlArea(reply);
    if (startsWith(control, "(INVALID)")) {
        r.end = ExchangeEnd::Refused;
        if (!ctx.gBatchNoDialogs)
            ctx.msgBox(style.refusedText, MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Tolvane"));
        return r;
    }
    r.widthCode = control.size() >= 3 ? control.substr(control.size() - 3) : std::string(3, ' ');
    const int width = RecordWidth(r.widthCode);
    qint32 threshold = 50;
    // A sink that fails while the host still holds blocks leaves the host
    // mid-report; it is told to stop so that the next request starts clean.
    auto toSink = [&](const auto& fn) {
        try {
            fn();
        } catch (...) {
            if (!startsWith(control, "(END)") && !startsWith(control, "(INVALID)")) abandonTransfer(ctx);
            throw;
        }
    };
    toSink([&] { sink.accepted(r.widthCode); });
    for (;;) {
        toSink([&] {
            ForEachRecord(std::string_view(reply).substr(0, HostWire::kDataLength), width,
                          [&](const SpoolRecordSlot& slot) {
                              sink.record(slot);
                              ++r.records;
                          });
        });
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
        const int sent = SendReceive(ctx, request, reply);
        if (sent != 0) {
            r.end = sent == 1 ? ExchangeEnd::Canceled : ExchangeEnd::Broken;
            return r;
        }
        control = HostWire::controlArea(reply);
    }
}
