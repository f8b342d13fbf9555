#include "TestSupport.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTcpServer>

void ensureApplication() {
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "swtest";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

TestContext::TestContext() {
    ensureApplication();
    auto c = std::make_unique<VirtualClock>();
    clock = c.get();
    ctx.clock = std::move(c);
    auto b = std::make_unique<ScriptedMessageBoxes>();
    boxes = b.get();
    ctx.msg = std::move(b);
    auto s = std::make_unique<MemorySettingsStore>();
    store = s.get();
    ctx.settings = std::move(s);
}

QString uniqueLoopbackAddress(quint16 port) {
    ensureApplication();
    for (int attempt = 0; attempt < 200; ++attempt) {
        const quint32 r = QRandomGenerator::global()->bounded(1u, 250u * 250u * 250u);
        const QString addr = QStringLiteral("127.%1.%2.%3").arg(1 + r % 250).arg(1 + (r / 250) % 250).arg(
            1 + (r / 62500) % 250);
        QTcpServer probe;
        if (probe.listen(QHostAddress(addr), port)) return addr;
    }
    return QStringLiteral("127.0.0.1");
}

// Leak checks of the sanitizer build: fontconfig keeps caches for the life of
// the process (Qt never calls FcFini), which every widget test would report.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
