#include "HostSimFixture.h"

#include <QDir>
#include <QFile>

#include "RunContext.h"
#include "FtpServer.h"
#include "CoreTestSupport.h"

HostSimFixture::HostSimFixture(HostSimFixtureOptions o) {
    ensureCoreApplication();
    address_ = uniqueLoopbackAddress(17850);
    HostSimOptions options;
    options.address = address_;
    options.listen = o.listener;
    options.spoolRoot = o.spool.isEmpty() ? samples() : o.spool;
    options.user = o.user;
    options.password = o.password;
    options.acceptAnyUser = o.acceptAnyUser;
    options.previewPages = o.previewPages;
    options.faults = o.faults;
    sim_ = std::make_unique<HostSim>(options);
    if (o.clock) sim_->setClock(o.clock);
    QString error;
    if (!sim_->start(&error)) qFatal("hostsim fixture: %s", qPrintable(error));
    if (o.ftp) {
        ftp_ = FtpServer::forSpoolServer(*sim_, 0, o.ftpFreshHost, &error);
        if (!ftp_) qFatal("hostsim fixture: %s", qPrintable(error));
    }
}

HostSimFixture::~HostSimFixture() {
    ftp_.reset();
    sim_.reset();
}

quint16 HostSimFixture::ftpPort() const { return ftp_ ? ftp_->port() : 0; }

quint16 HostSimFixture::openJobPort(quint16 port) { return sim_->openJobPort(port); }

bool HostSimFixture::connectJobPort(RunContext& ctx, quint16 port, qint64 limitMs) {
    if (port == 0) port = openJobPort();
    if (port == 0) return false;
    const int before = sim_->jobConnectionsAccepted();
    // A fresh socket for every connection, as the client's connect does.
    ctx.link.discardSocket();
    HostSocket* s = ctx.link.socket();
    s->remoteHost = address_;
    s->remotePort = port;
    s->connectToHost();
    ctx.connection.gHostAddress = address_;
    ctx.connection.gJobPort = port;
    return ctx.services.clock->waitUntil(
        [&] { return s->state() == HostSocket::Connected && sim_->jobConnectionsAccepted() > before; }, limitMs);
}

std::vector<std::string> HostSimFixture::jobFrames() const { return sim_->frameLog().frames(FrameLogEntry::Job); }

std::vector<std::string> HostSimFixture::listenerFrames() const {
    return sim_->frameLog().frames(FrameLogEntry::Listener);
}

std::vector<FrameLogEntry> HostSimFixture::frames() const { return sim_->frameLog().entries(); }

QString HostSimFixture::samples() { return QStringLiteral(SW_SOURCE_DIR "/samples"); }

QString HostSimFixture::writeSpooledFile(const QString& root, const QString& library, const QString& outq,
                                         const QString& fileName, const std::string& content) {
    const QString dir = QDir(root).filePath(library + QLatin1Char('/') + outq);
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(fileName);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content.data(), static_cast<qint64>(content.size()));
    return path;
}
