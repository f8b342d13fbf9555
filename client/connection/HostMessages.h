#pragma once
#include <string>
#include <string_view>

// The fixed-width records of the host protocol: the request and reply of
// every exchange after sign-on, and the messages of the sign-on itself.
// Wire text is bytes in the single-byte code page, blank-padded on the right.
namespace HostWire {
constexpr int kRequestLength = 124;
constexpr int kBodyLength = 100;
constexpr int kReplyLength = 1024;
constexpr int kDataLength = 1000;
constexpr int kControlLength = 24;
// The reply that every reader takes as a last, empty block.
std::string endOfDataReply();
// Text placed left-aligned into a blank field of the given width (longer text is cut).
std::string field(const std::string& text, size_t width);
// Columns 1001-1024 of a reply.
std::string controlArea(const std::string& reply);
}  // namespace HostWire

// One request after sign-on: 124 characters, the body in columns 1-100 and
// blanks in 101-124.
class HostRequest {
public:
    // Text as the link sends it: placed left-aligned into the 124
    // characters, padded with blanks or cut.
    explicit HostRequest(const std::string& text) : text_(HostWire::field(text, HostWire::kRequestLength)) {}
    // A body, cut at column 100, and the 24 blanks every request ends with.
    static HostRequest withBody(const std::string& body) {
        return HostRequest(HostWire::field(body, HostWire::kBodyLength));
    }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// The request that tells the host to drop the rest of a transfer: blanks with
// "X" in column 100. The host answers it with one reply, which is dropped.
struct CancelRequest : HostRequest {
    CancelRequest() : HostRequest(std::string(HostWire::kBodyLength - 1, ' ') + 'X') {}
};

// Columns 1001-1024 of a reply: "(MORE)", "(END)" or "(INVALID)" at its
// start; in a download reply the record width (" 80", "132", "198", "990")
// in its last three characters.
class ReplyControlArea {
public:
    explicit ReplyControlArea(const std::string& text) : text_(HostWire::field(text, HostWire::kControlLength)) {}
    const std::string& text() const { return text_; }
    // Readers test the first 5, 6 or 9 characters.
    bool begins(std::string_view mark) const { return std::string_view(text_).substr(0, mark.size()) == mark; }
    std::string widthCode() const { return text_.substr(HostWire::kControlLength - 3); }

private:
    std::string text_;
};

// One reply: 1024 characters, the data area in columns 1-1000 and the
// control area in 1001-1024. Empty while nothing was read into it.
class HostReply {
public:
    HostReply() = default;
    // Bytes as read, taken into the 1024 characters (a short read is blank-padded).
    explicit HostReply(const std::string& bytes) : text_(HostWire::field(bytes, HostWire::kReplyLength)) {}
    // What a cancel hands on: an empty last block.
    static HostReply endOfData() { return HostReply(HostWire::endOfDataReply()); }
    const std::string& text() const { return text_; }
    bool empty() const { return text_.empty(); }
    std::string_view data() const { return std::string_view(text_).substr(0, HostWire::kDataLength); }
    ReplyControlArea controlArea() const { return ReplyControlArea(HostWire::controlArea(text_)); }

private:
    friend class HostLink;  // reads into it
    std::string text_;
};

// The sign-on on the listener port, in its order: the test message (twice),
// the sign-on message, the host's reply, the acknowledgement; then the test
// message on the job port the reply names.
std::string ListenerTestMessage();
// "new 128", the scrambled user ID (10) and password (128), in 1024 characters.
std::string SignOnMessage(const std::string& scrambledUserId, const std::string& scrambledPassword);
std::string SignOnAck();
std::string JobTestMessage();

// The host's answer to the sign-on message (1024 characters): "(INVALID)",
// or the job port's digits in columns 1-5 and the server's version letter in
// column 7.
class SignOnReply {
public:
    explicit SignOnReply(const std::string& bytes) : text_(HostWire::field(bytes, HostWire::kReplyLength)) {}
    bool refused() const { return text_.compare(0, 9, "(INVALID)") == 0; }
    std::string portText() const { return text_.substr(0, 5); }
    char versionLetter() const { return text_[6]; }

private:
    std::string text_;
};
