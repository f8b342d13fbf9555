#include "LocalDde.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray line(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return t.toUtf8() + '\n';
}

class SocketConversation : public DdeConversation {
public:
    explicit SocketConversation(std::unique_ptr<QLocalSocket> s) : s_(std::move(s)) {}
    ~SocketConversation() override {
        if (s_->state() == QLocalSocket::ConnectedState) {
            s_->write("TERMINATE\n");
            s_->waitForBytesWritten(2000);
            s_->disconnectFromServer();
        }
    }
    void execute(const QString& command) override {
        answer(exchange(QStringLiteral("EXECUTE ") + command, LocalDde::kExecuteTimeoutMs));
    }
    QString request(const QString& item) override {
        return answer(exchange(QStringLiteral("REQUEST ") + item, LocalDde::kExecuteTimeoutMs));
    }
    // "OK" and the value behind it, or the error the program gave.
    static QString answer(const QString& reply) {
        if (reply == u"OK") return {};
        if (reply.startsWith(u"OK ")) return reply.mid(3);
        if (reply.startsWith(u"ERROR ")) {
            const QString rest = reply.mid(6);
            const qsizetype blank = rest.indexOf(QLatin1Char(' '));
            bool ok = false;
            const int number = rest.left(blank < 0 ? rest.size() : blank).toInt(&ok);
            throw AutomationError(ok ? number : 285, blank < 0 ? QString() : rest.mid(blank + 1));
        }
        throw AutomationError(285, QStringLiteral("Foreign application won't perform DDE method or operation"));
    }
    // One request and its one-line answer; a timeout or a lost link is an error.
    QString exchange(const QString& text, int timeoutMs) {
        s_->write(line(text));
        if (!s_->waitForBytesWritten(timeoutMs)) throw timeout();
        while (!s_->canReadLine()) {
            if (s_->state() != QLocalSocket::ConnectedState || !s_->waitForReadyRead(timeoutMs)) {
                if (s_->canReadLine()) break;
                throw timeout();
            }
        }
        return QString::fromUtf8(s_->readLine()).trimmed();
    }

private:
    static AutomationError timeout() {
        return AutomationError(LocalDde::kTimeout, QStringLiteral("Timeout while waiting for DDE response"));
    }
    std::unique_ptr<QLocalSocket> s_;
};
}  // namespace

namespace LocalDde {
QString folder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QString base = !runtime.isEmpty() && QFileInfo(QString::fromLocal8Bit(runtime)).isDir()
                             ? QString::fromLocal8Bit(runtime) + QStringLiteral("/tolvane-dde")
                             : QDir::tempPath() + QStringLiteral("/tolvane-dde-%1").arg(getuid());
    const QByteArray path = QFile::encodeName(base);
    ::mkdir(path.constData(), 0700);
    struct stat st {};
    // Only a real folder of this user that no one else may enter.
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() ||
        (st.st_mode & 077) != 0)
        return {};
    return base;
}

QString socketPath(const QString& application, const QString& topic) {
    const QString dir = folder();
    if (dir.isEmpty()) return {};
    QString name = (application + QLatin1Char('.') + topic).toLower();
    for (QChar& c : name)
        if (!c.isLetterOrNumber() && c != QLatin1Char('.')) c = QLatin1Char('_');
    return dir + QLatin1Char('/') + name;
}

std::shared_ptr<DdeConversation> initiate(const QString& application, const QString& topic, int timeoutMs) {
    const QString path = socketPath(application, topic);
    if (path.isEmpty()) return nullptr;
    auto s = std::make_unique<QLocalSocket>();
    s->connectToServer(path);
    if (!s->waitForConnected(timeoutMs)) return nullptr;
    auto c = std::make_shared<SocketConversation>(std::move(s));
    try {
        if (c->exchange(QStringLiteral("INITIATE ") + application + QLatin1Char('|') + topic, timeoutMs) != u"OK")
            return nullptr;
    } catch (const AutomationError&) {
        return nullptr;
    }
    return c;
}
}  // namespace LocalDde

LocalDdeServer::LocalDdeServer(QString application, QString topic, std::function<Conversation()> newConversation,
                               QObject* parent)
    : QObject(parent),
      application_(std::move(application)),
      topic_(std::move(topic)),
      newConversation_(std::move(newConversation)),
      server_(new QLocalServer(this)) {
    connect(server_, &QLocalServer::newConnection, this, &LocalDdeServer::accept);
}

LocalDdeServer::~LocalDdeServer() = default;

bool LocalDdeServer::listen(QString* error) {
    const QString path = LocalDde::socketPath(application_, topic_);
    if (path.isEmpty()) {
        if (error) *error = QStringLiteral("no private folder for the conversation's socket");
        return false;
    }
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (server_->listen(path)) return true;
    // A socket left by a program that ended: nobody answers there any more.
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(1000)) {
        if (error) *error = QStringLiteral("%1|%2 is served by another program").arg(application_, topic_);
        return false;
    }
    QLocalServer::removeServer(path);
    if (server_->listen(path)) return true;
    if (error) *error = server_->errorString();
    return false;
}

void LocalDdeServer::accept() {
    while (QLocalSocket* s = server_->nextPendingConnection()) {
        auto conv = std::make_shared<Conversation>();
        auto initiated = std::make_shared<bool>(false);
        auto ended = std::make_shared<bool>(false);
        auto end = [this, conv, initiated, ended] {
            if (*ended) return;
            *ended = true;
            if (*initiated) {
                if (conv->terminated) conv->terminated();
                --open_;
                emit conversationsChanged(open_);
            }
        };
        connect(s, &QLocalSocket::disconnected, this, [s, end] {
            end();
            s->deleteLater();
        });
        connect(s, &QLocalSocket::readyRead, this, [this, s, conv, initiated, end] {
            while (s->canReadLine()) {
                const QString req = QString::fromUtf8(s->readLine()).chopped(1);
                if (req.startsWith(u"INITIATE ")) {
                    const QString want = req.mid(9);
                    if (*initiated || want.compare(application_ + QLatin1Char('|') + topic_, Qt::CaseInsensitive) != 0) {
                        s->write("ERROR 282 No application answered\n");
                        continue;
                    }
                    *conv = newConversation_();
                    *initiated = true;
                    ++open_;
                    emit conversationsChanged(open_);
                    s->write("OK\n");
                } else if (req.startsWith(u"EXECUTE ") && *initiated) {
                    try {
                        if (conv->execute) conv->execute(req.mid(8));
                        s->write("OK\n");
                    } catch (const AutomationError& e) {
                        s->write(line(QStringLiteral("ERROR %1 %2").arg(e.number).arg(e.description)));
                    }
                } else if (req.startsWith(u"REQUEST ") && *initiated && conv->request) {
                    try {
                        s->write(line(QStringLiteral("OK ") + conv->request(req.mid(8))));
                    } catch (const AutomationError& e) {
                        s->write(line(QStringLiteral("ERROR %1 %2").arg(e.number).arg(e.description)));
                    }
                } else if (req == u"TERMINATE") {
                    end();
                    s->disconnectFromServer();
                    return;
                } else {
                    s->write("ERROR 285 Foreign application won't perform DDE method or operation\n");
                }
            }
        });
    }
}
