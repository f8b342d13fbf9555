#pragma once
#include <QString>
#include <QTemporaryDir>
#include <string>

#include "Clock.h"
#include "TempPaths.h"
#include "FtpClientRunner.h"
#include "HostprepContext.h"
#include "MemorySettingsStore.h"
#include "ScriptedMessageBoxes.h"
#include "TestPresenter.h"

// A fresh installer context for one test: virtual clock, scripted message
// boxes, remembered values in memory, the real FTP runner, every folder under
// a private temporary folder (the program's, the old version's drive
// "<dir>/drive_c" and the save file's "<dir>/data", which holds the stand-in
// save file), and beeps counted.
struct HostprepTest {
    HostprepTest();
    hostprep::HostprepContext ctx;
    QTemporaryDir dir;
    VirtualClock* clock = nullptr;
    ScriptedMessageBoxes* boxes = nullptr;
    MemorySettingsStore* store = nullptr;
    TempPaths* paths = nullptr;
    TestPresenter* presenter = nullptr;
    FtpClientRunner* runner = nullptr;
    int beeps = 0;

    QString dataDir() const { return dir.filePath(QStringLiteral("data")); }
    QString driveC() const { return dir.filePath(QStringLiteral("drive_c")); }
    // The stand-in save file's bytes, as the host must receive them.
    static std::string saveFileBytes();
    // The sign-on dialog, each time it comes up, gets these and OK.
    void answerSignOn(const QString& user, const QString& password);
    QString url() { return ctx.getSetting(QStringLiteral("URL")); }
};
