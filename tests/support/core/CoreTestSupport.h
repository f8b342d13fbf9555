#pragma once
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "Clock.h"
#include "TempPaths.h"
#include "DownloadOptions.h"
#include "HostLink.h"
#include "MemoryMachineRegistry.h"
#include "MemorySettingsStore.h"
#include "RecordingAutomation.h"
#include "RecordingKeyboard.h"
#include "RecordingPrinter.h"
#include "RecordingProcessStarter.h"
#include "RunContext.h"
#include "ScriptedMessageBoxes.h"

// The QCoreApplication of a test program of the libraries below the windows.
void ensureCoreApplication();

// A fresh context for one test: virtual clock, scripted message boxes,
// remembered values in memory, a private temporary folder with every path of
// the program under it, and doubles for everything else (an empty machine
// registry, no automation program, recorded starts, keys and printing).
// Ctx is RunContext below the windows, AppContext above them.
template <class Ctx>
struct BasicTestContext {
    explicit BasicTestContext(void (*makeApplication)() = ensureCoreApplication) {
        makeApplication();
        clock = install(ctx.services.clock, std::make_unique<VirtualClock>());
        boxes = install(ctx.services.msg, std::make_unique<ScriptedMessageBoxes>());
        store = install(ctx.services.settings, std::make_unique<MemorySettingsStore>());
        paths = install(ctx.services.paths, std::make_unique<TempPaths>(dir.path()));
        processes = install(ctx.services.processes, std::make_unique<RecordingProcessStarter>());
        registry = install(ctx.services.machineRegistry, std::make_unique<MemoryMachineRegistry>());
        keyboard = install(ctx.services.keyboard, std::make_unique<RecordingKeyboard>());
        automation = install(ctx.services.automation, std::make_unique<RecordingAutomation>());
        printer = install(ctx.services.printer, std::make_unique<RecordingPrinter>());
    }
    Ctx ctx;
    VirtualClock* clock = nullptr;
    ScriptedMessageBoxes* boxes = nullptr;
    MemorySettingsStore* store = nullptr;
    TempPaths* paths = nullptr;
    RecordingProcessStarter* processes = nullptr;
    MemoryMachineRegistry* registry = nullptr;
    RecordingKeyboard* keyboard = nullptr;
    RecordingAutomation* automation = nullptr;
    RecordingPrinter* printer = nullptr;
    QTemporaryDir dir;
    QString setting(const QString& key) { return ctx.services.getSetting(key); }

protected:
    // Puts the double in place of the context's service; returns it for the test.
    template <class Service, class Double>
    static Double* install(std::unique_ptr<Service>& slot, std::unique_ptr<Double> d) {
        Double* raw = d.get();
        slot = std::move(d);
        return raw;
    }
};
using CoreTestContext = BasicTestContext<RunContext>;

// What a download and its link tell the user on the way, in order: the
// download's progress texts and the link's status texts, and the link's ends.
class StatusRecorder : public DownloadProgress, public LinkObserver {
public:
    explicit StatusRecorder(HostLink& link) : link_(link) { link_.addObserver(this); }
    ~StatusRecorder() override { link_.removeObserver(this); }
    void status(const QString& text) override { history << text; }
    void linkStatus(const QString& text) override { history << text; }
    void linkLost() override { ++lost; }
    void linkClosed() override { ++closed; }
    QString last() const { return history.isEmpty() ? QString() : history.last(); }
    QStringList history;
    int lost = 0;
    int closed = 0;

private:
    HostLink& link_;
};

// Remembers a user and the scrambled form of a password, as a sign-on with
// "Save password" ticked leaves them, so that a connection asks nothing.
void rememberSignOn(Services& services, const QString& user, const QString& password);

// A loopback address of this test process's own (127.x.y.z), so that tests
// using the real port numbers run in parallel. Checks that `port` is free there.
QString uniqueLoopbackAddress(quint16 port = 17850);
