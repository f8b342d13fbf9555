#include "RunContext.h"

RunContext::RunContext() { link.addObserver(&jobPortReset_); }

RunContext::~RunContext() {
    link.removeObserver(&jobPortReset_);
    link.discardSocket();
}
