#include "RunContext.h"

#include "TcpHostSocket.h"

RunContext::RunContext() {
    makeSocket = [] { return std::make_unique<TcpHostSocket>(); };
    link.addObserver(&jobPortReset_);
}

RunContext::~RunContext() { link.removeObserver(&jobPortReset_); }
