#include "TcpHostSocket.h"

#include <QTcpSocket>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace {
constexpr int kWrongState = 40006;
const char* kWrongStateText =
    "Wrong protocol or connection state for the requested transaction or request";

// Writes straight to the descriptor: bytes written, or -1 with the error's
// number and text (0 would-block). Returns 0 when nothing could go out now.
qint64 sendDirect(qintptr fd, const char* data, qint64 size, int& errNumber, std::string& errText) {
#ifdef Q_OS_WIN
    const int n = ::send(static_cast<SOCKET>(fd), data, static_cast<int>(size), 0);
    if (n >= 0) return n;
    errNumber = WSAGetLastError();
    if (errNumber == WSAEWOULDBLOCK) return 0;
    errText = "Socket send failed";
    return -1;
#else
    for (;;) {
        const ssize_t n = ::send(static_cast<int>(fd), data, static_cast<size_t>(size), MSG_NOSIGNAL);
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        errNumber = errno == ECONNRESET ? 10054 : errno == EPIPE ? 10053 : 10050;
        errText = std::strerror(errno);
        return -1;
    }
#endif
}

int winsockNumber(QAbstractSocket::SocketError e) {
    switch (e) {
        case QAbstractSocket::ConnectionRefusedError: return 10061;
        case QAbstractSocket::RemoteHostClosedError: return 10053;
        case QAbstractSocket::HostNotFoundError: return 11001;
        case QAbstractSocket::SocketTimeoutError: return 10060;
        case QAbstractSocket::NetworkError: return 10065;
        case QAbstractSocket::AddressInUseError: return 10048;
        default: return 10050;
    }
}
}  // namespace

TcpHostSocket::TcpHostSocket(QObject* parent) : HostSocket(parent), sock_(new QTcpSocket(this)) {
    sock_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // The control reported the bytes of each arrival, not the running total.
    connect(sock_, &QTcpSocket::readyRead, this, [this] {
        const qint64 avail = sock_->bytesAvailable();
        const qint64 fresh = avail - reported_;
        reported_ = avail;
        if (fresh > 0) emit dataArrival(fresh);
    });
    connect(sock_, &QTcpSocket::errorOccurred, this, [this] { onError(); });
    connect(sock_, &QTcpSocket::disconnected, this, [this] { emit peerClosed(); });
}

TcpHostSocket::~TcpHostSocket() = default;

void TcpHostSocket::onError() {
    if (sock_->error() == QAbstractSocket::RemoteHostClosedError) {
        failed_ = true;
        emit peerClosed();
        return;
    }
    failed_ = true;
    errNumber_ = winsockNumber(sock_->error());
    errText_ = sock_->errorString();
}

void TcpHostSocket::connectToHost() {
    if (sock_->state() != QAbstractSocket::UnconnectedState && !failed_)
        throw SocketError(kWrongState, kWrongStateText);
    sock_->abort();
    failed_ = false;
    reported_ = 0;
    sock_->connectToHost(remoteHost, static_cast<quint16>(remotePort));
}

int TcpHostSocket::state() const {
    switch (sock_->state()) {
        case QAbstractSocket::HostLookupState: return ResolvingHost;
        case QAbstractSocket::ConnectingState: return Connecting;
        case QAbstractSocket::ConnectedState: return Connected;
        case QAbstractSocket::ClosingState: return Closing;
        default: return failed_ ? Error : Closed;
    }
}

void TcpHostSocket::sendData(const std::string& bytes) {
    if (sock_->state() != QAbstractSocket::ConnectedState)
        throw SocketError(kWrongState, kWrongStateText);
    const qint64 size = static_cast<qint64>(bytes.size());
    // Straight to the descriptor while Qt's write buffer is empty: the
    // buffered path switches the write notifier on and off for every request,
    // and each switch wakes the event loop once for nothing.
    qint64 sent = 0;
    if (sock_->bytesToWrite() == 0 && sock_->socketDescriptor() != -1) {
        int number = 0;
        std::string text;
        sent = sendDirect(sock_->socketDescriptor(), bytes.data(), size, number, text);
        if (sent < 0) throw SocketError(number, text);
    }
    if (sent == size) return;
    const qint64 n = sock_->write(bytes.data() + sent, size - sent);
    if (n != size - sent) throw SocketError(winsockNumber(sock_->error()), sock_->errorString().toStdString());
    sock_->flush();
}

std::string TcpHostSocket::getData(qsizetype maxBytes) {
    std::string out(static_cast<size_t>(qMax<qsizetype>(0, maxBytes)), '\0');
    const qint64 n = sock_->read(out.data(), maxBytes);
    out.resize(static_cast<size_t>(qMax<qint64>(0, n)));
    reported_ = qMax<qint64>(0, reported_ - qMax<qint64>(0, n));
    return out;
}

qsizetype TcpHostSocket::bytesAvailable() const { return sock_->bytesAvailable(); }

void TcpHostSocket::close() {
    sock_->abort();
    reported_ = 0;
    failed_ = false;
}
