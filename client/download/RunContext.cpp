#include "RunContext.h"

#include "TcpHostSocket.h"

RunContext::RunContext() {
    services.makeSocket = [] { return std::make_unique<TcpHostSocket>(); };
    // A run over a whole queue keeps its refusals quiet.
    services.reporter = std::make_unique<MessageBoxReporter>([this] { return services.msg.get(); }, &mode);
    services.asker = std::make_unique<MessageBoxAsker>([this] { return services.msg.get(); },
                                              [this] { return mode.gBatchMode || (services.presenter && services.presenter->unattended); });
    link.addObserver(&jobPortReset_);
}

RunContext::~RunContext() { link.removeObserver(&jobPortReset_); }
