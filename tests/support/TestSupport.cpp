#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>
#include <QRandomGenerator>
#include <QTcpServer>

#include "RuntimeDirectory.h"

void ensureApplication() {
    if (QCoreApplication::instance()) return;
    EnsureRuntimeDirectory();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "swtest";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

QImage saveScreenshot(QWidget& window, const QString& fileName) {
    window.show();
    QCoreApplication::processEvents();
    const QImage img = window.grab().toImage();
    const QString dir = QStringLiteral(SW_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    if (img.isNull() || !img.save(dir + QLatin1Char('/') + fileName)) return {};
    return img;
}

namespace {
// Puts the double in place of the context's service; returns it for the test.
template <class Service, class Double>
Double* install(std::unique_ptr<Service>& slot, std::unique_ptr<Double> d) {
    Double* raw = d.get();
    slot = std::move(d);
    return raw;
}
}  // namespace

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
    paths = install(ctx.paths, std::make_unique<TempPaths>(dir.path()));
    processes = install(ctx.processes, std::make_unique<RecordingProcessStarter>());
    presenter = install(ctx.presenter, std::make_unique<TestPresenter>());
    registry = install(ctx.machineRegistry, std::make_unique<MemoryMachineRegistry>());
    keyboard = install(ctx.keyboard, std::make_unique<RecordingKeyboard>());
    automation = install(ctx.automation, std::make_unique<RecordingAutomation>());
    printer = install(ctx.printer, std::make_unique<RecordingPrinter>());
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

// Under the sanitizer build: fontconfig keeps its caches for the life of the
// process, which the leak checker would otherwise report for every widget test.
extern "C" __attribute__((used, visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}
