#include "RunContext.h"

#include "TcpHostSocket.h"

RunContext::RunContext() {
    makeSocket = [] { return std::make_unique<TcpHostSocket>(); };
    // A run over a whole queue keeps its refusals quiet.
    reporter = std::make_unique<MessageBoxReporter>([this] { return msg.get(); }, &mode);
    asker = std::make_unique<MessageBoxAsker>([this] { return msg.get(); },
                                              [this] { return mode.gBatchMode || (presenter && presenter->unattended); });
    link.addObserver(&jobPortReset_);
}

RunContext::~RunContext() { link.removeObserver(&jobPortReset_); }
