#include "HostLink.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <limits>

#include "AppContext.h"
#include "SplfScreenApi.h"
#include "frmMain.h"
#include "frmOptions.h"

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

namespace {
constexpr int kTimedOut = 10060;
constexpr int kAborted = 10053;
constexpr int kOutOfStep = 10054;

bool isBlank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

// Waits until `count` bytes have arrived since gRecvBytes was cleared. The
// wait ends in a SocketError when the host closes the link or sends nothing
// for the reply limit, so that a dead host leads into the error path.
void awaitReply(AppContext& ctx, HostSocket* s) {
    qint64 lastCount = ctx.gRecvBytes;
    qint64 lastProgress = ctx.clock->nowMs();
    for (;;) {
        const bool done = ctx.clock->waitUntil(
            [&] {
                return ctx.gRecvBytes >= HostWire::kReplyLength || s->state() != HostSocket::Connected ||
                       ctx.gRecvBytes != lastCount;
            },
            qMax<qint64>(1, ctx.replyTimeoutMs - (ctx.clock->nowMs() - lastProgress)));
        if (ctx.gRecvBytes >= HostWire::kReplyLength) return;
        // A closed link ends the wait either way: a whole reply that came
        // before the close is still read, anything less is a lost link.
        if (s->state() != HostSocket::Connected) {
            if (s->bytesAvailable() >= HostWire::kReplyLength) return;
            throw SocketError(kAborted, "The connection was closed by the host");
        }
        if (ctx.gRecvBytes != lastCount) {
            lastCount = ctx.gRecvBytes;
            lastProgress = ctx.clock->nowMs();
            continue;
        }
        if (!done && ctx.clock->nowMs() - lastProgress >= ctx.replyTimeoutMs)
            throw SocketError(kTimedOut, "The host did not answer in time");
    }
}

void sendChecked(AppContext& ctx, HostSocket* s, const std::string& bytes) {
    // Bytes that nobody asked for would be taken as the next reply.
    if (s->bytesAvailable() > 0) throw SocketError(kOutOfStep, "Unexpected data from the host");
    ctx.gRecvBytes = 0;
    s->sendData(bytes);
}

std::string readReply(HostSocket* s) { return HostWire::field(s->getData(HostWire::kReplyLength), HostWire::kReplyLength); }
}  // namespace

void socket_DataArrival(AppContext& ctx, qint64 bytesTotal) {
    // Saturates instead of overflowing: the count only has to reach 1024.
    const qint64 sum = static_cast<qint64>(ctx.gRecvBytes) + qMax<qint64>(0, bytesTotal);
    ctx.gRecvBytes = static_cast<qint32>(qMin<qint64>(sum, std::numeric_limits<qint32>::max()));
}

void SendCancelRequest(AppContext& ctx) {
    HostSocket* s = ctx.socket();
    std::string cancel(HostWire::kRequestLength, ' ');
    cancel[99] = 'X';
    sendChecked(ctx, s, cancel);
    awaitReply(ctx, s);
    (void)readReply(s);
}

int SendReceive(AppContext& ctx, const std::string& request, std::string& reply) {
    if (isBlank(request)) return 0;
    try {
        HostSocket* s = ctx.socket();
        reply.clear();
        sendChecked(ctx, s, HostWire::field(request, HostWire::kRequestLength));
        awaitReply(ctx, s);
        reply = readReply(s);
        if (ctx.gCancelRequested) {
            SplfScreenApi& splf = ctx.frmSplf();
            splf.setStatus(QStringLiteral("Canceling..."));
            SendCancelRequest(ctx);
            reply = HostWire::endOfDataReply();
            ctx.msgBox(QStringLiteral("Operation has been canceled by request of the user.  "), MsgButtons::OK,
                       MsgIcon::Information, QStringLiteral("Tolvane"));
            splf.setStatus(QStringLiteral("Last operation was canceled by user request."));
            return 1;
        }
        return 0;
    } catch (const SocketError& e) {
        ctx.msgBox(QStringLiteral("Error in SendReceive procedure.  ") +
                       QStringLiteral("  Possible causes:  The link to the iSeries has been lost due to "
                                      "inactivity.  Please re-connect.") +
                       QStringLiteral("  (Check the qsysopr message queue.)  If local error, code is ") +
                       QString::number(e.number) + QLatin1Char(' ') + QString::fromStdString(e.what()),
                   MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Tolvane"));
        ctx.mainWindow().itmDisconnect_Click();
        return -1;
    }
}

void Disconnect(AppContext& ctx) {
    if (HostSocket* s = ctx.socketIfLoaded()) s->close();
    ctx.clock->pumpOnce();
    ctx.discardSocket();
    ctx.clock->pumpOnce();
    frmMain& m = ctx.mainWindow();
    m.itmChangeAddress->setEnabled(true);
    m.itmWaitTime->setEnabled(true);
    ctx.optionsWindow().fraIPAddress[0]->setVisible(true);
    m.picDisConnect->show();
    m.picConnect->hide();
    m.lblStatus->setText(QStringLiteral("Not connected."));
}
