#pragma once
#include <QMap>
#include <functional>

#include "Automation.h"

// The automation of a desktop install. Linux has no OLE or DDE, so no program
// is found unless a backend (a bridge to a program of this platform) is
// registered for its programmatic identifier or DDE service.
class DesktopAutomation : public Automation {
public:
    struct Backend {
        // The running instance, or null; unset: never running.
        std::function<std::shared_ptr<AutomationObject>()> running;
        // A new instance; unset or null: cannot be created.
        std::function<std::shared_ptr<AutomationObject>()> create;
    };
    void registerBackend(const QString& progId, Backend backend);
    void registerDde(const QString& application, const QString& topic,
                     std::function<std::shared_ptr<DdeConversation>()> connect);

    std::shared_ptr<AutomationObject> getObject(const QString& progId) override;
    std::shared_ptr<AutomationObject> createObject(const QString& progId) override;
    std::shared_ptr<DdeConversation> ddeInitiate(const QString& application, const QString& topic) override;

private:
    std::shared_ptr<AutomationObject> instance(const QString& progId, bool running);
    QMap<QString, Backend> backends_;
    QMap<QString, std::function<std::shared_ptr<DdeConversation>()>> dde_;
};
