#pragma once
#include <QString>
#include <QtGlobal>
#include <memory>
#include <string>
#include <vector>

#include "HostMessages.h"

struct SocketError;

class HostSocket;
class Services;

// What the windows learn of the link. Nothing below the windows calls one:
// they implement this and register with the link.
class LinkObserver {
public:
    virtual ~LinkObserver() = default;
    // A status text of the exchange ("Canceling...").
    virtual void linkStatus(const QString& /*text*/) {}
    // A download or list holds the link, or has let it go: while it is busy
    // every command that would talk to the host is off.
    virtual void linkBusy(bool /*busy*/) {}
    // The socket was closed (a disconnect, or after a failure).
    virtual void linkClosed() {}
    // The link failed or went out of step and was closed; the user has been told.
    virtual void linkLost() {}
};

// What one exchange came to.
enum class LinkResult {
    Reply,      // a reply was read (or nothing was sent for a blank request)
    Cancelled,  // the user cancelled; the host was told, or the link closed when it could not be
    LinkLost,   // the link broke or the host stopped answering; it is closed
    Refused,    // a reply was still owed: the request was not sent
};

// Where the link stands: no socket; idle; a request's reply owed; the cancel
// request's reply awaited. A disconnect, or a failure in an exchange, leads
// back to NotConnected; a cancel leaves the link Connected.
enum class SessionState { NotConnected, Connected, AwaitingReply, CancelPending };

// The one link to the host server program: the socket, the count of bytes
// that arrived since the last send, the user's cancel request, and whether a
// reply is owed or a transfer holds the link.
class HostLink {
public:
    explicit HostLink(Services& services);
    ~HostLink();
    HostLink(const HostLink&) = delete;
    HostLink& operator=(const HostLink&) = delete;

    // The socket, created on first use; one per connection attempt.
    HostSocket* socket();
    HostSocket* socketIfOpen() const { return socket_.get(); }
    // Drops the socket (a fresh one comes with the next socket()).
    void discardSocket();

    // Bytes the socket reported since clearReceived() (the sign-on counts them too).
    qint32 receivedBytes() const { return received_; }
    void clearReceived() { received_ = 0; }
    // The socket's data-arrival count; saturates instead of overflowing.
    void countArrived(qint64 bytes);

    // The user's cancel of the running transfer; read after every reply and
    // during every wait.
    void requestCancel() { cancel_ = true; }
    void clearCancel() { cancel_ = false; }
    bool cancelRequested() const { return cancel_; }

    // A reply is owed, or a download or list holds the link.
    bool busy() const { return replyOwed() || holds_ > 0; }
    bool replyOwed() const { return exchange_ != SessionState::Connected; }
    SessionState state() const { return socket_ ? exchange_ : SessionState::NotConnected; }

    // A new download or list that would start while the link is busy is
    // refused with a message: true then.
    bool refuseWhileBusy();

    // Marks the link busy for a whole download or list (nests).
    class Hold {
    public:
        explicit Hold(HostLink& link);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        HostLink& link_;
    };

    void addObserver(LinkObserver* o);
    void removeObserver(LinkObserver* o);
    void status(const QString& text);

    // One request, one reply. See SendReceive.
    LinkResult sendReceive(const HostRequest& request, HostReply& reply);
    // The two halves of sendReceive, for a caller that works while the host
    // answers: the request goes out and its reply is owed until
    // receiveReply reads it (or dropOwedReply reads and drops it). Each half
    // answers as sendReceive does.
    LinkResult sendRequest(const HostRequest& request);
    LinkResult receiveReply(HostReply& reply);
    // Reads the owed reply and drops it, as a cancel does with a reply on its
    // way: it is awaited for the cancel grace only. Reply when it came or none
    // was owed; when none came the link is closed: Cancelled after the user's
    // Cancel (the user told), LinkLost otherwise.
    LinkResult dropOwedReply(HostReply& reply);
    // The same on the records' text, as the download exchange reads them: the
    // request text is placed into the 124 characters as HostRequest does.
    LinkResult sendReceive(const std::string& request, std::string& reply);
    LinkResult sendRequest(const std::string& request);
    LinkResult receiveReply(std::string& reply);
    LinkResult dropOwedReply(std::string& reply);
    // Tells the host to drop the rest of a transfer: Reply once it has. A
    // link that fails here, or a host that does not answer within the cancel
    // grace, is closed and reported lost (LinkLost); after the user's Cancel
    // the user is told instead (Cancelled).
    LinkResult abandonTransfer();
    // Closes the socket and tells the observers; never fails.
    void disconnect();

    // Limits of our own, so that no wait is without end: a reply may fall
    // silent this long, and must be whole this long after the send (a host
    // that sends a byte now and then holds nobody for ever either).
    qint64 replyTimeoutMs = 120000;
    qint64 wholeReplyMs = 120000;
    // How long a reply that is on its way may still come after a cancel.
    qint64 cancelGraceMs = 1000;

private:
    enum class Wait { Reply, Cancelled };
    // Sends the cancel request and drops its reply; throws SocketError on a link error.
    // Its reply is awaited for the cancel grace only: when none comes, the link
    // is out of step. After the user's Cancel it is closed, the user told, and
    // the answer is false; otherwise that is a SocketError.
    bool sendCancelRequest();
    // `cancelling`: the reply to a cancel request, awaited for the grace only.
    Wait awaitReply(HostSocket* s, bool cancelling = false);
    void sendChecked(HostSocket* s, const std::string& bytes);
    void lose();
    // A cancel that no reply ended within the grace: the link is closed and the user told.
    void closeUnanswered();
    // A broken link: reported and closed.
    LinkResult broken(const SocketError& e);
    template <class F>
    void notify(F f);

    Services& services_;
    std::unique_ptr<HostSocket> socket_;
    qint32 received_ = 0;
    bool cancel_ = false;
    // With a socket: Connected, AwaitingReply or CancelPending.
    SessionState exchange_ = SessionState::Connected;
    int holds_ = 0;
    std::vector<LinkObserver*> observers_;
};

// Sends one request and reads the next reply. A reply that is still owed
// refuses the request: it is reported and not sent. A cancel seen after the
// reply sends the cancel request and hands back a reply that reads as the end
// of the data; a cancel during a wait that no reply ends within a second
// closes the link (it is out of step). A broken link is reported and closed.
LinkResult SendReceive(HostLink& link, const HostRequest& request, HostReply& reply);
LinkResult SendReceive(HostLink& link, const std::string& request, std::string& reply);
// Closes the socket; never fails.
void Disconnect(HostLink& link);
