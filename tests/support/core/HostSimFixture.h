#pragma once
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "FrameLog.h"
#include "HostSim.h"
#include "HostSimOptions.h"

class RunContext;
class Clock;
class FtpServer;

// What a test may choose for its hostsim; every field has a default, so name
// only what matters (fields in this order):
//   HostSimFixture host({.spool = dir, .faults = f, .clock = t.clock});
struct HostSimFixtureOptions {
    QString spool;                 // spool folder; empty: the project's samples/
    HostSimFaults faults;          // knobs, also changeable later through faults()
    Clock* clock = nullptr;        // fault delays measured on it (pass the test's VirtualClock)
    bool listener = true;          // false: no listener, job ports only
    QString user = QStringLiteral("SWUSER");
    QString password = QStringLiteral("SWPASS");
    bool acceptAnyUser = false;
    int previewPages = 5;
    bool ftp = false;              // also the FTP server, on a free port (ftpPort())
    bool ftpFreshHost = false;     // its host has no server library yet
};

// An in-process hostsim for one test, on a loopback address of its own
// (uniqueLoopbackAddress) with the real port numbers 17850 and 17851..18050.
// It runs in the test's thread: it is served while the client waits through
// its clock, so no extra thread and no real sleeps.
//
//   TestContext t;
//   HostSimFixture host({.clock = t.clock});
//   t.ctx.services.saveSetting("URL", host.address());   // ConnectToHost signs on there
//   // or skip the sign-on and put the context's socket on a job port:
//   ASSERT_TRUE(host.connectJobPort(t.ctx));
//   SendReceive(t.ctx.link, request, reply);
//   EXPECT_EQ(host.jobFrames().back(), request);  // byte for byte
class HostSimFixture {
public:
    explicit HostSimFixture(HostSimFixtureOptions options = {});
    ~HostSimFixture();
    HostSimFixture(const HostSimFixture&) = delete;
    HostSimFixture& operator=(const HostSimFixture&) = delete;

    // The loopback address the host listens on ("URL" of the client).
    QString address() const { return address_; }
    HostSim& sim() { return *sim_; }
    HostSimFaults& faults() { return sim_->faults(); }
    // The FTP server (options.ftp): its log and host objects. Its start
    // command brings up the listener when options.listener was false.
    FtpServer& ftp() { return *ftp_; }
    // Where its FTP server listens (options.ftp); a client's FTP runner is
    // pointed there, the script's "open host" line staying as it is.
    quint16 ftpPort() const;

    // Opens a job port without sign-on (0: the next free one from 17851).
    quint16 openJobPort(quint16 port = 0);
    // Connects a fresh socket of ctx to a job port (opened first when port is
    // 0), as a sign-on would leave it, and sets gHostAddress and gJobPort; waits
    // through ctx.services.clock until both ends see the connection. False on failure.
    bool connectJobPort(RunContext& ctx, quint16 port = 0, qint64 limitMs = 10000);

    // What the host received, whole frames in order: 124-byte requests on the
    // job ports, 1024-byte messages on the listener.
    std::vector<std::string> jobFrames() const;
    std::vector<std::string> listenerFrames() const;
    // Every entry, with its port, connection and partial flag.
    std::vector<FrameLogEntry> frames() const;

    // The project's sample spool folder.
    static QString samples();
    // Writes <root>/<library>/<outq>/<fileName> with the given .splf text
    // (attribute lines, "[records]", records); returns its path.
    static QString writeSpooledFile(const QString& root, const QString& library, const QString& outq,
                                    const QString& fileName, const std::string& content);

private:
    QString address_;
    std::unique_ptr<HostSim> sim_;
    std::unique_ptr<FtpServer> ftp_;
};
