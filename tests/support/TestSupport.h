#pragma once
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class QWidget;

#include "AppContext.h"
#include "Clock.h"
#include "DesktopPaths.h"
#include "MemoryMachineRegistry.h"
#include "MemorySettingsStore.h"
#include "RecordingAutomation.h"
#include "RecordingKeyboard.h"
#include "RecordingPrinter.h"
#include "RecordingProcessStarter.h"
#include "ScriptedMessageBoxes.h"
#include "TestPresenter.h"

// A fresh context for one test: virtual clock, scripted message boxes,
// remembered values in memory, a private temporary folder with every path of
// the program under it, and doubles for everything else (an empty machine
// registry, no automation program, recorded starts, keys and printing,
// windows closed by presenter hooks).
struct TestContext {
    TestContext();
    AppContext ctx;
    VirtualClock* clock = nullptr;
    ScriptedMessageBoxes* boxes = nullptr;
    MemorySettingsStore* store = nullptr;
    TempPaths* paths = nullptr;
    RecordingProcessStarter* processes = nullptr;
    TestPresenter* presenter = nullptr;
    MemoryMachineRegistry* registry = nullptr;
    RecordingKeyboard* keyboard = nullptr;
    RecordingAutomation* automation = nullptr;
    RecordingPrinter* printer = nullptr;
    QTemporaryDir dir;
    QString setting(const QString& key) { return ctx.getSetting(key); }
};

// A loopback address of this test process's own (127.x.y.z), so that tests
// using the real port numbers run in parallel. Checks that `port` is free there.
QString uniqueLoopbackAddress(quint16 port = 17850);

// The QApplication of a test program (offscreen); created on first call.
void ensureApplication();

// Shows the window (offscreen), takes its picture and saves it as
// <build>/screenshots/<fileName> for a person to look at. Returns the picture,
// or a null image when it could not be taken or saved.
QImage saveScreenshot(QWidget& window, const QString& fileName);
