#pragma once
#include <QString>
#include <functional>
#include <string>

#include "HostLink.h"

class AppContext;

// One list request exchanged block by block while the host answers "(MORE)".
struct ListExchange {
    LinkResult result = LinkResult::Reply;  // what the exchange that stopped it came to
    bool cut = false;   // the host was still sending at the block limit
    int blocks = 0;
    std::string last;   // the last reply read
};

// Sends `request` and repeats it while the reply reads "(MORE)", handing every
// reply to onBlock; a first reply that reads "(INVALID)" is not handed on. At
// ctx.maxListBlocks blocks the list is cut: the user is told (naming `what`)
// and the host is told to drop the rest.
ListExchange exchangeList(AppContext& ctx, const std::string& request, const QString& what,
                          const std::function<void(const std::string& reply)>& onBlock);

// The output queues of the library in the main window, into frmOutq.lstOutq:
// 0 the list was received, 1 not.
int ListOutputQueues(AppContext& ctx);

// The spooled files of a queue, library and user filter, into the grid of the
// spooled-file screen: 0 the list ended with rows, 1 not.
int GetSpoolFiles(AppContext& ctx, const QString& outq, const QString& library, const QString& user);
