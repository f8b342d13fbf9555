#include "CoreTestSupport.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpServer>

#include "Codec.h"
#include "SignOn.h"

void ensureCoreApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "swtest";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

QString uniqueLoopbackAddress(quint16 port) {
    ensureCoreApplication();
    for (int attempt = 0; attempt < 200; ++attempt) {
        const quint32 r = QRandomGenerator::global()->bounded(1u, 250u * 250u * 250u);
        const QString addr = QStringLiteral("127.%1.%2.%3").arg(1 + r % 250).arg(1 + (r / 250) % 250).arg(
            1 + (r / 62500) % 250);
        QTcpServer probe;
        if (probe.listen(QHostAddress(addr), port)) return addr;
    }
    return QStringLiteral("127.0.0.1");
}

void rememberSignOn(Services& services, const QString& user, const QString& password) {
    services.saveSetting(QStringLiteral("User"), user.trimmed().toUpper());
    const std::string field = HostWire::field(Codec::fromUnicode(password), SignOnScrambling::kPasswordLength);
    services.saveSetting(QStringLiteral("century"), Codec::toUnicode(SignOnScrambling::scrambleField(field)));
}
