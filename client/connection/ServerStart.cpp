#include "ServerStart.h"

#include "AppContext.h"

int StartHostServerViaFtp(AppContext&) { return 1; }
