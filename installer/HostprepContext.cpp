#include "HostprepContext.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#include "DesktopPaths.h"
#include "FtpClientRunner.h"
#include "IniSettingsStore.h"
#include "QtMessageBoxes.h"
#include "QtPresenter.h"
#include "frmLogin.h"
#include "frmMain.h"

namespace hostprep {

HostprepContext::HostprepContext() = default;

HostprepContext::~HostprepContext() {
    login_.reset();
    main_.reset();
}

frmMain& HostprepContext::mainWindow() {
    if (!main_) main_ = std::make_unique<frmMain>(*this);
    return *main_;
}

frmLogin& HostprepContext::loginWindow() {
    if (!login_) login_ = std::make_unique<frmLogin>(*this, main_.get());
    return *login_;
}

void HostprepContext::unloadLoginWindow() { login_.reset(); }

int HostprepContext::msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) {
    return msg->show(text, buttons, icon, title);
}

void HostprepContext::saveSetting(const QString& key, const QString& value) {
    settings->save(QString::fromLatin1(kAppTitle), QString::fromLatin1(kSection), key, value);
}

QString HostprepContext::getSetting(const QString& key, const QString& def) {
    return settings->get(QString::fromLatin1(kAppTitle), QString::fromLatin1(kSection), key, def);
}

void HostprepContext::endProgram(int status, const QString& reason) { throw HostprepEnd{status, reason}; }

void HostprepContext::runHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const HostprepEnd& e) {
        if (endInEvent)
            endInEvent(e);
        else
            programEnded = e;
    }
}

void HostprepContext::useDesktopServices() {
    paths = std::make_unique<DesktopPaths>();
    clock = std::make_unique<RealClock>();
    msg = std::make_unique<QtMessageBoxes>(QStringLiteral("Tolvane"));
    settings = std::make_unique<IniSettingsStore>(paths->configPath(),
                                                  [this](const QString& problem) { settingsProblems << problem; });
    presenter = std::make_unique<QtPresenter>();
    // Which refusals the install script goes on after is the install's own
    // rule (RunHostInstall); every reply is read and judged.
    ftp = std::make_unique<FtpClientRunner>();
    beep = [] { QApplication::beep(); };

    const QString overridden = qEnvironmentVariable("HOSTPREP_DRIVE_C");
    if (!overridden.isEmpty()) {
        oldDriveRoot = overridden;
    } else {
#ifdef Q_OS_WIN
        oldDriveRoot = QStringLiteral("C:/");
#else
        // An older Windows install on this machine lives in a Wine prefix.
        const QString prefix = qEnvironmentVariable("WINEPREFIX", QDir::homePath() + QStringLiteral("/.wine"));
        oldDriveRoot = prefix + QStringLiteral("/drive_c");
#endif
    }

    // The save file travels with the program: beside it, or in the data
    // folders of an install (".../share/Tolvane/iSeries Spoolwright").
    const QString app = paths->appPath();
    saveFileFolders = {app, QDir(app).filePath(QStringLiteral("../share/Tolvane/iSeries Spoolwright"))};
    for (const QString& d : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        saveFileFolders << d + QStringLiteral("/Tolvane/iSeries Spoolwright");
}

}  // namespace hostprep
