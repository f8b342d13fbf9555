#pragma once

class AppContext;

// Starts the host server program through the host's FTP server: 0 once the
// start command has been sent and its script removed. Any other result means
// the program must end.
int StartHostServerViaFtp(AppContext& ctx);
