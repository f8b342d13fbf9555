#pragma once
#include <optional>
#include <string>
#include <vector>

#include "HostSimOptions.h"
#include "SpoolStore.h"

// The wire layouts of the host's replies.
namespace HostReply {
constexpr size_t kRequestLength = 124;
constexpr size_t kReplyLength = 1024;
constexpr size_t kDataLength = 1000;
std::string field(const std::string& text, size_t width);
// A whole reply: the data area and the control text ("(MORE)", "(END)",
// "(INVALID)"); widthCode, when given, fills the last 3 characters.
std::string make(const std::string& data, const std::string& control, const std::string& widthCode = {});
std::string widthCode(int width);
std::string outqSlot(const OutputQueueInfo& q);
std::string spoolListSlot(const SpooledFileInfo& f);
std::string recordSlot(const SpoolRecord& r, int width);
// A number followed by "-" or "CR" gets its minus sign in front, in the same columns.
std::string convertRightMinus(std::string text);
bool isJobTestMessage(const std::string& frame);
bool isCancelRequest(const std::string& frame);
}  // namespace HostReply

// One client's conversation on its job port: each 124-byte request gets one
// 1024-byte reply. A list or download that does not fit one reply says
// "(MORE)" and keeps its position; the client asks for the next block by
// sending the identical request again. Any other request starts afresh.
class JobSession {
public:
    // faults is read at every block, so a test may change it on the way.
    JobSession(const SpoolStore& store, std::string currentUser, int previewPages, const HostSimFaults& faults);
    // The reply to one request; nothing for the job-port test message.
    std::optional<std::string> answer(const std::string& frame);

private:
    std::string start(const std::string& frame);
    // Starts a list or download of these slots and gives its first block;
    // widthCode is set for downloads.
    std::string begin(const std::string& frame, std::vector<std::string> list, size_t perBlock,
                      std::string widthCode = {});
    // The queues that a queue field ("*ALL" or a name) and a library field name.
    std::vector<OutputQueueInfo> queuesFor(const std::string& queueField, const std::string& libraryField) const;
    std::string nextBlock();
    std::string listOutputQueues(const std::string& frame);
    std::string listSpooledFiles(const std::string& frame);
    std::string download(const std::string& frame, bool preview);

    const SpoolStore& store_;
    std::string user_;
    int previewPages_;
    const HostSimFaults& faults_;

    // The running list or download.
    bool active_ = false;
    std::string request_;
    std::vector<std::string> slots_;
    size_t perBlock_ = 1;
    size_t pos_ = 0;
    int blocksSent_ = 0;
    bool isDownload_ = false;
    std::string widthCode_;
};
