#include "HostMessages.h"

namespace HostWire {
std::string endOfDataReply() { return std::string(1000, ' ') + "(END)" + std::string(19, ' '); }

std::string field(const std::string& text, size_t width) {
    std::string f = text.substr(0, width);
    f.resize(width, ' ');
    return f;
}

std::string controlArea(const std::string& reply) {
    return reply.size() > 1000 ? reply.substr(1000, 24) : std::string();
}
}  // namespace HostWire

std::string ListenerTestMessage() { return std::string(1020, ' ') + "test"; }

std::string SignOnMessage(const std::string& scrambledUserId, const std::string& scrambledPassword) {
    return HostWire::field("new 128        " + scrambledUserId + scrambledPassword, HostWire::kReplyLength);
}

std::string SignOnAck() { return std::string(1020, ' ') + "(ok)"; }

std::string JobTestMessage() { return HostWire::field(std::string(120, ' ') + "test", HostWire::kRequestLength); }
