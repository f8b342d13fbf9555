#include "DesktopAutomation.h"

namespace {
AutomationError cannotCreate() {
    return AutomationError(Automation::kCannotCreateObject, QStringLiteral("ActiveX component can't create object"));
}
QString ddeId(const QString& app, const QString& topic) { return (app + QLatin1Char('|') + topic).toCaseFolded(); }
}  // namespace

void DesktopAutomation::registerBackend(const QString& progId, Backend backend) {
    backends_.insert(progId.toCaseFolded(), std::move(backend));
}

void DesktopAutomation::registerDde(const QString& application, const QString& topic,
                                    std::function<std::shared_ptr<DdeConversation>()> connect) {
    dde_.insert(ddeId(application, topic), std::move(connect));
}

std::shared_ptr<AutomationObject> DesktopAutomation::instance(const QString& progId, bool running) {
    const auto it = backends_.constFind(progId.toCaseFolded());
    std::shared_ptr<AutomationObject> obj;
    if (it != backends_.constEnd()) {
        const auto& make = running ? it->running : it->create;
        if (make) obj = make();
    }
    if (!obj) throw cannotCreate();
    return obj;
}

std::shared_ptr<AutomationObject> DesktopAutomation::getObject(const QString& progId) { return instance(progId, true); }

std::shared_ptr<AutomationObject> DesktopAutomation::createObject(const QString& progId) {
    return instance(progId, false);
}

std::shared_ptr<DdeConversation> DesktopAutomation::ddeInitiate(const QString& application, const QString& topic) {
    const auto it = dde_.constFind(ddeId(application, topic));
    std::shared_ptr<DdeConversation> c;
    if (it != dde_.constEnd() && *it) c = (*it)();
    if (!c) throw AutomationError(kNoDdeAnswer, QStringLiteral("No foreign application responded to a DDE initiate"));
    return c;
}
