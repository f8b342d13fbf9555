#include "Lists.h"

#include <QFont>
#include <QStringList>

#include "Codec.h"
#include "ConnectView.h"
#include "ConnectionState.h"
#include "HostLink.h"
#include "ListRecords.h"
#include "MousePointer.h"
#include "Services.h"
#include "SplfGrid.h"

namespace {
const QString kTitle = QStringLiteral("Tolvane");

const char* const kGridKeys[] = {"Date", "File", "User", "Outq", "Pages", "Form", "JobNumber", "Job", "UserData"};
}  // namespace

ListExchange exchangeList(HostLink& link, Services& services, const ConnectionState& state, const HostRequest& request,
                          const QString& what, const std::function<void(const HostReply& reply)>& onBlock) {
    ListExchange x;
    HostLink::Hold hold(link);
    x.result = SendReceive(link, request, x.last);
    if (x.result != LinkResult::Reply) return x;
    x.blocks = 1;
    if (listBlockEnd(x.last.text()) == ListBlockEnd::Invalid) return x;
    for (;;) {
        const bool more = listBlockEnd(x.last.text()) == ListBlockEnd::More;
        // The next request goes out before this block is taken apart: the
        // host prepares its answer meanwhile, and a long list costs little
        // more than its exchange.
        const bool ahead = more && x.blocks < state.maxListBlocks;
        LinkResult sent = LinkResult::Reply;
        if (ahead) sent = link.sendRequest(request);
        try {
            onBlock(x.last);
        } catch (...) {
            HostReply dropped;
            if (ahead && sent == LinkResult::Reply) link.dropOwedReply(dropped);
            throw;
        }
        if (!more) return x;
        if (ahead) {
            x.result = sent == LinkResult::Reply ? link.receiveReply(x.last) : sent;
            if (x.result != LinkResult::Reply) return x;
            ++x.blocks;
            continue;
        }
        x.cut = true;
        services.report(Failure{QStringLiteral("The iSeries was still sending more %1 after %2 blocks.  "
                                               "The list has been cut there.")
                                    .arg(what)
                                    .arg(x.blocks),
                                MsgIcon::Exclamation, kTitle});
        // The host still holds the rest; told to drop it, it answers the next request afresh.
        link.abandonTransfer();
        return x;
    }
}

OutqCheck checkOutq(HostLink& link, Services& services, const ConnectionState& state, const QString& outq,
                    const QString& library) {
    OutqCheck check;
    const HostRequest request(OutqQueryRequest(Codec::fromUnicode(outq), Codec::fromUnicode(library)));
    bool first = true;
    const ListExchange x =
        exchangeList(link, services, state, request, QStringLiteral("outqs"), [&](const HostReply& reply) {
            if (first) check.library = outqCheckLibrary(reply.text());
            first = false;
        });
    if (x.result != LinkResult::Reply || x.cut) return check;
    if (listBlockEnd(x.last.text()) == ListBlockEnd::Invalid) {
        services.report(Failure{QStringLiteral("iSeries library or outq not found."), MsgIcon::None, kTitle});
        check.notFound = true;
        return check;
    }
    check.outcome = Outcome::Done();
    return check;
}

Outcome ListOutputQueues(HostLink& link, Services& services, ConnectionState& state, const QString& library,
                         OutqListView& view) {
    if (link.refuseWhileBusy()) return Outcome::Stopped();
    setMousePointer(MousePointer::Hourglass);
    view.status(QStringLiteral("Retrieving a list of outqs.  "));
    view.clearOutqs();

    const HostRequest request(OutqListRequest(Codec::fromUnicode(library)));
    const ListExchange x = exchangeList(link, services, state, request, QStringLiteral("outqs"),
                                        [&](const HostReply& reply) { view.addOutqs(outqListRows(reply.text())); });
    if (x.result != LinkResult::Reply) {
        if (x.blocks == 0) setMousePointer(MousePointer::Normal);
        return Outcome::Stopped();
    }
    if (x.blocks == 1 && listBlockEnd(x.last.text()) == ListBlockEnd::Invalid) {
        services.report(Failure{QStringLiteral("No output queues selected.  There may be none present in the library."),
                                MsgIcon::Exclamation, kTitle});
        setMousePointer(MousePointer::Normal);
        state.gNoOutqs = true;
        return Outcome::Stopped();
    }
    view.status(QStringLiteral("Please specify a user, an outq or both.  "));
    setMousePointer(MousePointer::Normal);
    return Outcome::Done();
}

Outcome GetSpoolFiles(HostLink& link, Services& services, ConnectionState& state, SplfGrid& grid, const QString& outq,
                      const QString& library, const QString& user, const QString& outqShown) {
    // The grid is not touched while the link is busy with another transfer.
    if (link.refuseWhileBusy()) return Outcome::Stopped();
    int step = 1;
    try {
        setMousePointer(MousePointer::Hourglass);
        grid.clear();

        const QFont pagesFont(QStringLiteral("Courier New"));
        QStringList gridKeys;
        for (const char* key : kGridKeys) gridKeys << QString::fromLatin1(key);
        QStringList refused;
        state.gListLeftOut.clear();
        const HostRequest request(
            SpoolListRequest(Codec::fromUnicode(outq), Codec::fromUnicode(library), Codec::fromUnicode(user)));
        const ListExchange x =
            exchangeList(link, services, state, request, QStringLiteral("spool files"), [&](const HostReply& reply) {
                step = step == 1 ? 2 : 3;
                const bool allQueues = outqShown == QLatin1String("*ALL");
                // A block's rows go into the list at once, in the grid's column order.
                std::vector<QStringList> rows;
                for (SpoolListEntry& e : spoolListEntries(reply.text())) {
                    const QString why = e.refusal();
                    if (!why.isEmpty()) {
                        refused << QStringLiteral("%1 of job %2 (%3)").arg(e.file, e.jobNumber, why);
                        state.gListLeftOut.push_back({QStringLiteral("%1 of job %2").arg(e.file, e.jobNumber), why});
                        continue;
                    }
                    // The entry's texts move into the row: a long list copies none of them.
                    QStringList& row = rows.emplace_back();
                    row.reserve(9);
                    for (QString* cell : {&e.date, &e.file, &e.user, allQueues ? &e.outq : nullptr, &e.pages, &e.form,
                                          &e.jobNumber, &e.job, &e.userData})
                        row.append(cell ? std::move(*cell) : outqShown);
                }
                const int first = grid.rowCount() + 1;
                grid.addRows(gridKeys, std::move(rows));
                // The font is the column's: once a block is enough.
                if (grid.rowCount() >= first) grid.setCellFont(first, QStringLiteral("Pages"), pagesFont);
            });
        grid.listEnded();
        if (x.result != LinkResult::Reply) return Outcome::Stopped();
        step = 4;
        if (!refused.isEmpty()) {
            services.report(
                Failure{QStringLiteral("%1 spool file(s) cannot be downloaded and are left out of the list: %2%3")
                            .arg(refused.size())
                            .arg(refused.first())
                            .arg(refused.size() > 1 ? QStringLiteral(" and others.") : QStringLiteral(".")),
                        MsgIcon::Exclamation, kTitle});
        }
        if (grid.rowCount() == 0 || listBlockEnd(x.last.text()) == ListBlockEnd::Invalid) {
            services.report(Failure{QStringLiteral("There are no spool files available. "), MsgIcon::None, kTitle});
            setMousePointer(MousePointer::Normal);
            return Outcome::Stopped();
        }
        for (const char* key : kGridKeys) grid.autoWidthColumn(QString::fromLatin1(key));
        grid.setCellSelected(1, 1, true);
        setMousePointer(MousePointer::Normal);
        return Outcome::Done();
    } catch (const std::exception& e) {
        services.report(Failure{QStringLiteral("Error in GetSpoolFiles function.  ") + QStringLiteral("0 ") +
                                    QString::fromLocal8Bit(e.what()) + QLatin1Char(' ') + QString::number(step),
                                MsgIcon::Critical, kTitle});
        return Outcome::Stopped();
    }
}
