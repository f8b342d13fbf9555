#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <cstring>
#include <memory>
#include <numeric>

#include "Clock.h"
#include "TcpHostSocket.h"
#include "TestSupport.h"

// The socket as the Winsock control behaved, against a listener of the test's
// own on a loopback address of its own.
namespace {
struct Loopback {
    Loopback() {
        ensureApplication();
        address = uniqueLoopbackAddress(kPort);
        socket.remoteHost = address;
        socket.remotePort = kPort;
        QObject::connect(&socket, &HostSocket::dataArrival, [this](qint64 n) { arrivals.push_back(n); });
    }
    bool listen() {
        if (!server.listen(QHostAddress(address), kPort)) return false;
        QObject::connect(&server, &QTcpServer::newConnection, [this] { peer.reset(server.nextPendingConnection()); });
        return true;
    }
    bool connected() {
        return clock.waitUntil([&] { return socket.state() == HostSocket::Connected && peer; }, 10000);
    }
    static constexpr quint16 kPort = 17850;
    VirtualClock clock;
    QString address;
    QTcpServer server;
    std::unique_ptr<QTcpSocket> peer;
    TcpHostSocket socket;
    std::vector<qint64> arrivals;
};

TEST(TcpHostSocket, ConnectsCountsWhatArrivesAndReadsAtMostWhatIsAsked) {
    Loopback l;
    ASSERT_TRUE(l.listen());
    EXPECT_EQ(l.socket.state(), HostSocket::Closed);
    l.socket.connectToHost();
    const int early = l.socket.state();
    EXPECT_TRUE(early == HostSocket::Connecting || early == HostSocket::Connected) << early;
    ASSERT_TRUE(l.connected());
    // A second connect on a connected socket is the control's state error.
    try {
        l.socket.connectToHost();
        ADD_FAILURE() << "connected twice";
    } catch (const SocketError& e) {
        EXPECT_EQ(e.number, 40006);
    }

    l.socket.sendData("hello");
    ASSERT_TRUE(l.clock.waitUntil([&] { return l.peer->bytesAvailable() == 5; }, 5000));
    EXPECT_EQ(l.peer->readAll(), "hello");

    for (const char* piece : {"0123456789", "abc"}) {
        const qint64 total = std::accumulate(l.arrivals.begin(), l.arrivals.end(), qint64{0});
        l.peer->write(piece);
        l.peer->flush();
        ASSERT_TRUE(l.clock.waitUntil(
            [&] { return std::accumulate(l.arrivals.begin(), l.arrivals.end(), qint64{0}) == total + qint64(strlen(piece)); },
            5000))
            << piece;
    }
    // Each arrival reports its own bytes, never the running total.
    EXPECT_EQ(std::accumulate(l.arrivals.begin(), l.arrivals.end(), qint64{0}), 13);
    EXPECT_EQ(l.socket.bytesAvailable(), 13);
    EXPECT_EQ(l.socket.getData(4), "0123");
    EXPECT_EQ(l.socket.getData(100), "456789abc");
    EXPECT_EQ(l.socket.getData(100), "");

    l.socket.close();
    EXPECT_EQ(l.socket.state(), HostSocket::Closed);
    try {
        l.socket.sendData("late");
        ADD_FAILURE() << "sent on a closed socket";
    } catch (const SocketError& e) {
        EXPECT_EQ(e.number, 40006);
    }
}

TEST(TcpHostSocket, NobodyListeningIsTheErrorStateWithTheRefusedNumber) {
    Loopback l;  // nothing listens there
    l.socket.connectToHost();
    ASSERT_TRUE(l.clock.waitUntil([&] { return l.socket.state() == HostSocket::Error; }, 10000));
    EXPECT_EQ(l.socket.lastErrorNumber(), 10061);
    EXPECT_FALSE(l.socket.lastErrorDescription().isEmpty());
    l.socket.clearError();
    EXPECT_EQ(l.socket.lastErrorNumber(), 0);

    // A failed socket may connect again: a real new attempt that now succeeds.
    ASSERT_TRUE(l.listen());
    l.socket.connectToHost();
    EXPECT_TRUE(l.connected());
}
}  // namespace
