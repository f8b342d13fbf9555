#pragma once
#include <QString>
#include <functional>
#include <string>

#include "HostLink.h"

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

// What the check of a named output queue came to.
enum class OutqCheck {
    Found,     // the queue exists
    NotFound,  // the host answered "(INVALID)"; the user has been told
    Stopped,   // the exchange failed, was cancelled or cut
};

// Asks the host whether `outq` exists in `library` (the check form of the
// queue request) before its spooled files are listed. `foundLibrary` is the
// library the host found it in ("*LIBL" names none), empty when the host
// named none.
OutqCheck checkOutq(HostLink& link, Services& services, const ConnectionState& state, const QString& outq,
                    const QString& library, QString& foundLibrary);

// The output queues of `library`, into `view` as they arrive (gNoOutqs is
// set when the host has none): 0 the list was received, 1 not.
int ListOutputQueues(HostLink& link, Services& services, ConnectionState& state, const QString& library,
                     OutqListView& view);

// The spooled files of a queue, library and user filter, into the spooled-file
// grid: 0 the list ended with rows, 1 not. `outqShown` is the queue the main
// window shows, which names each row's queue unless it reads "*ALL".
int GetSpoolFiles(HostLink& link, Services& services, ConnectionState& state, SplfGrid& grid, const QString& outq,
                  const QString& library, const QString& user, const QString& outqShown);
