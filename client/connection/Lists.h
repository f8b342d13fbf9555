#pragma once
#include <QString>
#include <functional>
#include <string>

#include "HostLink.h"
#include "Reporting.h"

class ConnectionState;
class OutqListView;
class Services;
class SplfGrid;

// One list request exchanged block by block while the host answers "(MORE)".
struct ListExchange {
    LinkResult result = LinkResult::Reply;  // what the exchange that stopped it came to
    bool cut = false;                       // the host was still sending at the block limit
    int blocks = 0;
    HostReply last;  // the last reply read
};

// Sends `request` and repeats it while the reply reads "(MORE)", handing every
// reply to onBlock; a first reply that reads "(INVALID)" is not handed on. At
// maxListBlocks blocks the list is cut: the user is told (naming `what`)
// and the host is told to drop the rest.
ListExchange exchangeList(HostLink& link, Services& services, const ConnectionState& state, const HostRequest& request,
                          const QString& what, const std::function<void(const HostReply& reply)>& onBlock);

// What the check of a named output queue came to: done when the queue
// exists. Stopped, the user has been told why: the host answered "(INVALID)"
// (`notFound`), or the exchange failed, was cancelled or cut.
struct OutqCheck {
    Outcome outcome;
    bool notFound = false;
    // The library the host found the queue in ("*LIBL" names none); empty
    // when the host named none.
    QString library;
};

// Asks the host whether `outq` exists in `library` (the check form of the
// queue request) before its spooled files are listed.
OutqCheck checkOutq(HostLink& link, Services& services, const ConnectionState& state, const QString& outq,
                    const QString& library);

// The output queues of `library`, into `view` as they arrive (gNoOutqs is
// set when the host has none): done when the list was received; stopped
// otherwise, the user told.
Outcome ListOutputQueues(HostLink& link, Services& services, ConnectionState& state, const QString& library,
                         OutqListView& view);

// The spooled files of a queue, library and user filter, into the spooled-file
// grid: done when the list ended with rows; stopped otherwise, the user told.
// `outqShown` is the queue the main window shows, which names each row's
// queue unless it reads "*ALL".
Outcome GetSpoolFiles(HostLink& link, Services& services, ConnectionState& state, SplfGrid& grid, const QString& outq,
                      const QString& library, const QString& user, const QString& outqShown);
