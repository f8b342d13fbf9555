#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "HostSocket.h"

class RunContext;

// The host side of a test: answers each 124-byte request with the next
// scripted 1024-byte reply, without a network. The cancel request is
// answered on its own and does not use the script.
struct ScriptedHost {
    struct Step {
        enum Kind { Reply, Drop, Silence } kind = Reply;
        std::string bytes;
    };
    std::deque<Step> script;
    std::vector<std::string> requests;  // every request received, the cancel requests included
    int cancelRequests = 0;
    // Runs after request n (0-based) has been answered.
    std::function<void(int n)> afterReply;

    void reply(const std::string& bytes) { script.push_back({Step::Reply, bytes}); }
    void replies(const std::vector<std::string>& all) {
        for (const auto& r : all) reply(r);
    }
    void drop() { script.push_back({Step::Drop, {}}); }
    int downloadRequests() const { return static_cast<int>(requests.size()) - cancelRequests; }
};

class ScriptedHostSocket : public HostSocket {
public:
    explicit ScriptedHostSocket(std::shared_ptr<ScriptedHost> host) : host_(std::move(host)) {}
    void connectToHost() override { state_ = Connected; }
    int state() const override { return state_; }
    void sendData(const std::string& bytes) override;
    std::string getData(qsizetype maxBytes) override;
    qsizetype bytesAvailable() const override { return static_cast<qsizetype>(buffer_.size()); }
    void close() override { state_ = Closed; }
    int lastErrorNumber() const override { return 0; }
    QString lastErrorDescription() const override { return {}; }
    void clearError() override {}

private:
    std::shared_ptr<ScriptedHost> host_;
    int state_ = Connected;
    std::string buffer_;
};

// Makes every socket of ctx talk to `host`.
std::shared_ptr<ScriptedHost> UseScriptedHost(RunContext& ctx);

// Download replies as the host builds them.
namespace SpoolReplies {
struct Record {
    std::string skip;  // "001", "   ", ...
    char spacing = ' ';
    std::string text;
};
// One slot of the width: skip (3), spacing (1), text padded to the width.
std::string slot(int width, const Record& r);
// A reply: the slots (padded to the data area) and a control area holding
// `control` and the width code in its last 3 characters.
std::string reply(const std::vector<std::string>& slotTexts, const std::string& control, const std::string& widthCode);
// The replies of a whole report: full blocks of "(MORE)", the last "(END)".
std::vector<std::string> report(const std::vector<Record>& records, const std::string& widthCode);
}  // namespace SpoolReplies
