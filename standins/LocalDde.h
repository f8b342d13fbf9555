#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "Automation.h"

class QLocalServer;
class QLocalSocket;

// DDE conversations of this platform: a program that serves an
// application|topic listens on a local socket in a folder of the user's own
// (mode 0700, under XDG_RUNTIME_DIR, else the temporary folder); a client
// connects there. One line per request, UTF-8:
//   INITIATE app|topic      ->  OK
//   EXECUTE command         ->  OK  |  ERROR number description
//   REQUEST item            ->  OK value  |  ERROR number description
//   TERMINATE               (the conversation ends; so does a closed socket)
namespace LocalDde {
// The private folder; empty when it cannot be made (or is not the user's own and private).
QString folder();
QString socketPath(const QString& application, const QString& topic);
// A conversation, or null when no program answers (the caller reports 282).
std::shared_ptr<DdeConversation> initiate(const QString& application, const QString& topic, int timeoutMs = 5000);
// Limit of our own for one command's answer.
constexpr int kExecuteTimeoutMs = 60000;
constexpr int kTimeout = 286;
}  // namespace LocalDde

// The server side: each conversation gets its own command handler.
class LocalDdeServer : public QObject {
    Q_OBJECT
public:
    struct Conversation {
        // Carries out one command; throws AutomationError when it is refused.
        std::function<void(const QString& command)> execute;
        std::function<void()> terminated;
        // The value of an item; throws AutomationError when there is none. Unset: no items.
        std::function<QString(const QString& item)> request;
    };
    LocalDdeServer(QString application, QString topic, std::function<Conversation()> newConversation,
                   QObject* parent = nullptr);
    ~LocalDdeServer() override;
    // Listens on the socket; false and the reason when it cannot (another program serves it).
    bool listen(QString* error = nullptr);

signals:
    void conversationsChanged(int open);

private:
    void accept();
    QString application_, topic_;
    std::function<Conversation()> newConversation_;
    QLocalServer* server_;
    int open_ = 0;
};
