#pragma once
#include <QtGlobal>
#include <string>

class AppContext;

// The fixed-width exchange with the host server program.
namespace HostWire {
constexpr int kRequestLength = 124;
constexpr int kReplyLength = 1024;
constexpr int kDataLength = 1000;
// The reply that every reader takes as a last, empty block.
std::string endOfDataReply();
// Text placed left-aligned into a blank field of the given width (longer text is cut).
std::string field(const std::string& text, size_t width);
// Columns 1001-1024 of a reply.
std::string controlArea(const std::string& reply);
}  // namespace HostWire

// Sends one request and returns the next reply: 0 a reply (or nothing sent for
// a blank request), 1 after the user's cancel, -1 after a broken link (message
// shown, link torn down).
int SendReceive(AppContext& ctx, const std::string& request, std::string& reply);
// Sends the cancel request and drops its reply; throws on a link error.
void SendCancelRequest(AppContext& ctx);
// Closes the socket and resets the connection indicators; never fails.
void Disconnect(AppContext& ctx);
// frmSocket.socket_DataArrival: counts the bytes that arrived.
void socket_DataArrival(AppContext& ctx, qint64 bytesTotal);
