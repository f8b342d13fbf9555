#include "HostLink.h"

#include <algorithm>
#include <array>
#include <limits>

#include "HostSocket.h"
#include "Services.h"

namespace {
constexpr int kTimedOut = 10060;
constexpr int kAborted = 10053;
constexpr int kOutOfStep = 10054;

bool isBlank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

std::string readReply(HostSocket* s) {
    return HostWire::field(s->getData(HostWire::kReplyLength), HostWire::kReplyLength);
}

const QString kTitle = QStringLiteral("Tolvane");
const QString kCanceled = QStringLiteral("Operation has been canceled by request of the user.  ");
const QString kCanceledStatus = QStringLiteral("Last operation was canceled by user request.");
}  // namespace

HostLink::HostLink(Services& services) : services_(services) {}

HostLink::~HostLink() = default;

HostSocket* HostLink::socket() {
    if (!socket_) {
        socket_ = services_.makeSocket();
        QObject::connect(socket_.get(), &HostSocket::dataArrival, socket_.get(),
                         [this](qint64 n) { countArrived(n); });
    }
    return socket_.get();
}

void HostLink::discardSocket() {
    if (!socket_) return;
    // The discarded socket must not count bytes for its successor.
    QObject::disconnect(socket_.get(), nullptr, nullptr, nullptr);
    socket_->close();
    socket_.release()->deleteLater();
}

void HostLink::countArrived(qint64 bytes) {
    const qint64 sum = static_cast<qint64>(received_) + qMax<qint64>(0, bytes);
    received_ = static_cast<qint32>(qMin<qint64>(sum, std::numeric_limits<qint32>::max()));
}

HostLink::Hold::Hold(HostLink& link) : link_(link) {
    const bool was = link_.busy();
    ++link_.holds_;
    if (!was) link_.notify([](LinkObserver* o) { o->linkBusy(true); });
}

HostLink::Hold::~Hold() {
    --link_.holds_;
    if (!link_.busy()) link_.notify([](LinkObserver* o) { o->linkBusy(false); });
}

void HostLink::addObserver(LinkObserver* o) {
    if (std::find(observers_.begin(), observers_.end(), o) == observers_.end()) observers_.push_back(o);
}

void HostLink::removeObserver(LinkObserver* o) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), o), observers_.end());
}

template <class F>
void HostLink::notify(F f) {
    // An observer may unregister (a window unloads) while it is told, so they
    // are told from a copy; a few fit without an allocation per exchange.
    std::array<LinkObserver*, 8> few{};
    std::vector<LinkObserver*> many;
    LinkObserver* const* all = few.data();
    const size_t n = observers_.size();
    if (n <= few.size()) {
        std::copy(observers_.begin(), observers_.end(), few.begin());
    } else {
        many = observers_;
        all = many.data();
    }
    for (size_t i = 0; i < n; ++i)
        if (std::find(observers_.begin(), observers_.end(), all[i]) != observers_.end()) f(all[i]);
}

void HostLink::status(const QString& text) {
    notify([&](LinkObserver* o) { o->linkStatus(text); });
}

// Waits until a whole reply has arrived. A closed link or a host that sends
// nothing for the reply limit ends the wait in a SocketError. A cancel ends
// it too when no reply comes within the grace after it.
bool HostLink::refuseWhileBusy() {
    if (!busy()) return false;
    services_.report(
        Failure{QStringLiteral("Error in SendReceive procedure.  The iSeries is still busy with the running "
                               "download or list, so this request was not sent.  Please wait until it has ended."),
                MsgIcon::Exclamation, kTitle});
    return true;
}

HostLink::Wait HostLink::awaitReply(HostSocket* s, bool cancelling) {
    Clock& clock = *services_.clock;
    qint64 lastCount = received_;
    qint64 lastProgress = clock.nowMs();
    const qint64 sent = lastProgress;
    // The reply to a cancel request comes at once or not at all.
    qint64 cancelSeen = cancelling ? lastProgress : -1;
    for (;;) {
        qint64 limit = qMin(replyTimeoutMs - (clock.nowMs() - lastProgress), wholeReplyMs - (clock.nowMs() - sent));
        if (cancelSeen >= 0) limit = qMin(limit, cancelGraceMs - (clock.nowMs() - cancelSeen));
        const bool done = clock.waitUntil(
            [&] {
                return received_ >= HostWire::kReplyLength || s->state() != HostSocket::Connected ||
                       received_ != lastCount || (cancel_ && cancelSeen < 0);
            },
            qMax<qint64>(1, limit));
        if (received_ >= HostWire::kReplyLength) return Wait::Reply;
        // A closed link ends the wait either way: a whole reply that came
        // before the close is still read, anything less is a lost link.
        if (s->state() != HostSocket::Connected) {
            if (s->bytesAvailable() >= HostWire::kReplyLength) return Wait::Reply;
            throw SocketError(kAborted, "The connection was closed by the host");
        }
        if (clock.nowMs() - sent >= wholeReplyMs && cancelSeen < 0)
            throw SocketError(kTimedOut, "The host did not send its whole reply in time");
        if (received_ != lastCount) {
            lastCount = received_;
            lastProgress = clock.nowMs();
            continue;
        }
        if (cancel_ && cancelSeen < 0) {
            cancelSeen = clock.nowMs();
            continue;
        }
        if (cancelSeen >= 0 && clock.nowMs() - cancelSeen >= cancelGraceMs) return Wait::Cancelled;
        if (!done && clock.nowMs() - lastProgress >= replyTimeoutMs)
            throw SocketError(kTimedOut, "The host did not answer in time");
    }
}

void HostLink::sendChecked(HostSocket* s, const std::string& bytes) {
    // Bytes that nobody asked for would be taken as the next reply.
    if (s->bytesAvailable() > 0) throw SocketError(kOutOfStep, "Unexpected data from the host");
    received_ = 0;
    s->sendData(bytes);
}

bool HostLink::sendCancelRequest() {
    HostSocket* s = socket();
    exchange_ = SessionState::CancelPending;
    struct Settled {
        SessionState& exchange;
        ~Settled() { exchange = SessionState::Connected; }
    } settled{exchange_};
    sendChecked(s, CancelRequest().text());
    if (awaitReply(s, true) == Wait::Cancelled) {
        // Its reply is still owed: the link is out of step.
        if (!cancel_) throw SocketError(kTimedOut, "The host did not answer the cancel request");
        closeUnanswered();
        return false;
    }
    (void)readReply(s);
    return true;
}

void HostLink::closeUnanswered() {
    lose();
    services_.report(Failure{.text = kCanceled + QStringLiteral("The iSeries had not answered yet, so the link to it "
                                                                "has been closed.  Please re-connect."),
                             .icon = MsgIcon::Information,
                             .title = kTitle,
                             .cancelNotice = true});
    status(kCanceledStatus);
}

LinkResult HostLink::abandonTransfer() {
    try {
        return sendCancelRequest() ? LinkResult::Reply : LinkResult::Cancelled;
    } catch (const SocketError&) {
        lose();
        return LinkResult::LinkLost;
    }
}

void HostLink::lose() {
    disconnect();
    notify([](LinkObserver* o) { o->linkLost(); });
}

void HostLink::disconnect() {
    if (socket_) socket_->close();
    services_.clock->pumpOnce();
    discardSocket();
    services_.clock->pumpOnce();
    exchange_ = SessionState::Connected;
    notify([](LinkObserver* o) { o->linkClosed(); });
}

LinkResult HostLink::sendReceive(const std::string& request, std::string& reply) {
    if (isBlank(request)) return LinkResult::Reply;
    const LinkResult sent = sendRequest(request);
    if (sent == LinkResult::Reply) return receiveReply(reply);
    // A refused request leaves the caller's reply as it was; a broken link leaves none.
    if (sent == LinkResult::LinkLost) reply.clear();
    return sent;
}

LinkResult HostLink::sendRequest(const std::string& request) {
    // A window event during the wait asked for a second exchange: sent now,
    // its reply and the owed one would be taken for each other.
    if (replyOwed() && refuseWhileBusy()) return LinkResult::Refused;
    // The owed reply alone marks the link busy: a download or list holds it
    // (and tells the windows) for its whole length, a single exchange need not.
    try {
        HostSocket* s = socket();
        exchange_ = SessionState::AwaitingReply;
        sendChecked(s, HostWire::field(request, HostWire::kRequestLength));
        return LinkResult::Reply;
    } catch (const SocketError& e) {
        return broken(e);
    }
}

LinkResult HostLink::receiveReply(std::string& reply) {
    try {
        HostSocket* s = socket();
        reply.clear();
        if (awaitReply(s) == Wait::Cancelled) {
            // The reply is still owed: the next one read would be this one.
            closeUnanswered();
            reply = HostWire::endOfDataReply();
            return LinkResult::Cancelled;
        }
        reply = readReply(s);
        exchange_ = SessionState::Connected;
        if (cancel_) {
            status(QStringLiteral("Canceling..."));
            const bool answered = sendCancelRequest();
            reply = HostWire::endOfDataReply();
            if (!answered) return LinkResult::Cancelled;
            services_.report(
                Failure{.text = kCanceled, .icon = MsgIcon::Information, .title = kTitle, .cancelNotice = true});
            status(kCanceledStatus);
            return LinkResult::Cancelled;
        }
        return LinkResult::Reply;
    } catch (const SocketError& e) {
        return broken(e);
    }
}

LinkResult HostLink::dropOwedReply(std::string& reply) {
    if (!replyOwed()) return LinkResult::Reply;
    try {
        HostSocket* s = socket();
        // The caller has given up on the transfer: a reply on its way comes
        // within the cancel's grace, as after a cancel, or the host has
        // fallen silent and the link is out of step. Only the user's cancel
        // says so; otherwise the caller's own failure is the message.
        if (awaitReply(s, true) == Wait::Cancelled) {
            if (!cancel_) {
                lose();
                return LinkResult::LinkLost;
            }
            closeUnanswered();
            return LinkResult::Cancelled;
        }
        reply = readReply(s);
        exchange_ = SessionState::Connected;
        return LinkResult::Reply;
    } catch (const SocketError&) {
        exchange_ = SessionState::Connected;
        lose();
        return LinkResult::LinkLost;
    }
}

LinkResult HostLink::broken(const SocketError& e) {
    exchange_ = SessionState::Connected;
    services_.report(Failure{QStringLiteral("Error in SendReceive procedure.  ") +
                                 QStringLiteral("  Possible causes:  The link to the iSeries has been lost due to "
                                                "inactivity.  Please re-connect.") +
                                 QStringLiteral("  (Check the qsysopr message queue.)  If local error, code is ") +
                                 QString::number(e.number) + QLatin1Char(' ') + QString::fromStdString(e.what()),
                             MsgIcon::Critical, kTitle});
    lose();
    return LinkResult::LinkLost;
}

LinkResult HostLink::sendReceive(const HostRequest& request, HostReply& reply) {
    return sendReceive(request.text(), reply.text_);
}
LinkResult HostLink::sendRequest(const HostRequest& request) { return sendRequest(request.text()); }
LinkResult HostLink::receiveReply(HostReply& reply) { return receiveReply(reply.text_); }
LinkResult HostLink::dropOwedReply(HostReply& reply) { return dropOwedReply(reply.text_); }

LinkResult SendReceive(HostLink& link, const HostRequest& request, HostReply& reply) {
    return link.sendReceive(request, reply);
}

LinkResult SendReceive(HostLink& link, const std::string& request, std::string& reply) {
    return link.sendReceive(request, reply);
}


void Disconnect(HostLink& link) { link.disconnect(); }
