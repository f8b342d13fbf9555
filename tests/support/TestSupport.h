#pragma once
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "AppContext.h"
#include "Clock.h"
#include "MemorySettingsStore.h"
#include "ScriptedMessageBoxes.h"

// A fresh context for one test: virtual clock, scripted message boxes,
// remembered values in memory and a private temporary folder.
struct TestContext {
    TestContext();
    AppContext ctx;
    VirtualClock* clock = nullptr;
    ScriptedMessageBoxes* boxes = nullptr;
    MemorySettingsStore* store = nullptr;
    QTemporaryDir dir;
    QString setting(const QString& key) { return ctx.getSetting(key); }
};

// A loopback address of this test process's own (127.x.y.z), so that tests
// using the real port numbers run in parallel. Checks that `port` is free there.
QString uniqueLoopbackAddress(quint16 port = 17850);

// The QApplication of a test program (offscreen); created on first call.
void ensureApplication();
