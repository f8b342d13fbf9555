// What an FTP server sends on the control connection, as the client takes
// replies off it (single and multi-line) and reads a passive reply's port.
#include <cstdlib>

#include "FtpClient.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string buffer = fuzz::bytes(data, size);
    FtpClient::Reply reply;
    while (FtpClient::takeReply(buffer, reply)) {
        (void)FtpClient::passivePort(reply);
        // Every reply taken shortens what is left: the reader cannot loop.
        if (buffer.size() >= size) std::abort();
        size = buffer.size();
    }
    return 0;
}
