#include "ScriptedHostSocket.h"

#include "RunContext.h"
#include "SpoolDownload.h"

void ScriptedHostSocket::sendData(const std::string& bytes) {
    if (state_ != Connected) throw SocketError(40006, "Wrong protocol or connection state");
    host_->requests.push_back(bytes);
    const int n = static_cast<int>(host_->requests.size()) - 1;
    if (bytes.size() >= 100 && bytes[99] == 'X') {
        ++host_->cancelRequests;
        buffer_ += std::string(1024, ' ');
        emit dataArrival(1024);
        return;
    }
    if (host_->script.empty() || host_->script.front().kind == ScriptedHost::Step::Drop) {
        if (!host_->script.empty()) host_->script.pop_front();
        state_ = Closed;
        emit peerClosed();
        return;
    }
    const ScriptedHost::Step step = host_->script.front();
    host_->script.pop_front();
    if (step.kind == ScriptedHost::Step::Reply) {
        buffer_ += step.bytes;
        emit dataArrival(static_cast<qint64>(step.bytes.size()));
    }
    if (host_->afterReply) host_->afterReply(n);
}

std::string ScriptedHostSocket::getData(qsizetype maxBytes) {
    const size_t n = std::min(buffer_.size(), static_cast<size_t>(maxBytes));
    std::string out = buffer_.substr(0, n);
    buffer_.erase(0, n);
    return out;
}

std::shared_ptr<ScriptedHost> UseScriptedHost(RunContext& ctx) {
    auto host = std::make_shared<ScriptedHost>();
    ctx.services.makeSocket = [host] { return std::make_unique<ScriptedHostSocket>(host); };
    ctx.link.discardSocket();
    return host;
}

namespace SpoolReplies {
std::string slot(int width, const Record& r) {
    std::string s = (r.skip + "   ").substr(0, 3);
    s += r.spacing;
    std::string text = r.text.substr(0, static_cast<size_t>(width));
    text.resize(static_cast<size_t>(width), ' ');
    return s + text;
}

std::string reply(const std::vector<std::string>& slotTexts, const std::string& control, const std::string& widthCode) {
    std::string data;
    for (const auto& s : slotTexts) data += s;
    data.resize(1000, ' ');
    std::string area = control;
    area.resize(21, ' ');
    area += (widthCode + "   ").substr(0, 3);
    return data + area;
}

std::vector<std::string> report(const std::vector<Record>& records, const std::string& widthCode) {
    int width = RecordWidth(widthCode);
    const int perBlock = width ? SlotsPerBlock(width) : 11;
    if (!width) width = 80;
    std::vector<std::string> out;
    std::vector<std::string> block;
    for (size_t i = 0; i < records.size(); ++i) {
        block.push_back(slot(width, records[i]));
        const bool last = i + 1 == records.size();
        if (static_cast<int>(block.size()) == perBlock || last) {
            out.push_back(reply(block, last ? "(END)" : "(MORE)", widthCode));
            block.clear();
        }
    }
    if (records.empty()) out.push_back(reply({}, "(END)", widthCode));
    return out;
}
}  // namespace SpoolReplies
