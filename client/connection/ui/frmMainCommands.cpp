// The main window's own commands: settings files, naming options, help, about, exit.
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include "AppContext.h"
#include "frmAbout.h"
#include "frmMain.h"

namespace {
const QString kSettingsFilter = QStringLiteral("Spoolwright settings (*.spw)");
// A settings file saved under another extension still opens.
const QString kOpenFilter = QStringLiteral("Spoolwright settings (*.spw);;All files (*)");

QString programFolder(AppContext& ctx) {
    return ctx.services.paths ? ctx.services.paths->appPath() : QCoreApplication::applicationDirPath();
}
}  // namespace

void frmMain::cmdExit_Click() {
    picConnect->hide();
    picDisConnect->show();
    Form_Unload();
}

void frmMain::itmExit_Click() { Form_Unload(); }

void frmMain::itmOpen_Click() {
    const QString path = ctx_.services.presenter ? ctx_.services.presenter->openFileName(
                                              this, QStringLiteral("Load settings from a file..."),
                                              QFileInfo(ctx_.connection.gSettingsFile).path(), kOpenFilter)
                                        : QString();
    if (path.isEmpty()) {
        setStatusPanel(QStringLiteral("Open file operation canceled."));
        return;
    }
    // The loader reports its own failures; nothing changes here then.
    if (!ctx_.upperWindows().openSettingsFile(path)) return;
    itmSave->setEnabled(true);
    setStatusPanel(QStringLiteral("Settings loaded from ") + path);
    ctx_.connection.gSettingsFile = path;
}

void frmMain::itmSave_Click() {
    if (ctx_.connection.gSettingsFile.isEmpty()) {
        itmSaveAs_Click();
        return;
    }
    if (!ctx_.upperWindows().saveSettingsFile(ctx_.connection.gSettingsFile, true)) return;
    setStatusPanel(QStringLiteral("Settings saved to file ") + ctx_.connection.gSettingsFile.trimmed() +
                   QStringLiteral("."));
    Refresh();
}

void frmMain::itmSaveAs_Click() {
    const QString start =
        ctx_.connection.gSettingsFile.isEmpty() ? QStringLiteral("*.spw") : ctx_.connection.gSettingsFile;
    // The dialog leaves the replace question to SaveSettingsFile, which asks
    // about the name really written (with ".spw" added), once.
    QString path = ctx_.services.presenter ? ctx_.services.presenter->saveFileNameCallerAsks(
                                        this, QStringLiteral("Save settings file as..."), start, kSettingsFilter)
                                  : QString();
    if (path.isEmpty()) {
        setStatusPanel(QStringLiteral("Save operation canceled."));
        return;
    }
    // A name typed without an extension is a settings file all the same, and
    // Open's filter must find it.
    if (QFileInfo(path).suffix().isEmpty())
        path += path.endsWith(QLatin1Char('.')) ? QStringLiteral("spw") : QStringLiteral(".spw");
    // Only a file that was written becomes the current one: "&Save" must not
    // later replace, without asking, a file the user declined to replace.
    if (ctx_.upperWindows().saveSettingsFile(path, false)) {
        ctx_.connection.gSettingsFile = path;
        itmSave->setEnabled(true);
    }
}

void frmMain::itmSaveSettings_Click() {
    itmSaveSettings->setChecked(!itmSaveSettings->isChecked());
}

void frmMain::mnuOptions_Click() {
    // The naming options window reads "FullName" into its check box and shows itself modally.
    ctx_.runWindows().showNamingOptions(ctx_.services.getSetting(Setting::FullName));
}

// The manual is an HTML page installed beside the program; the desktop's
// opener shows it in the user's browser.
void frmMain::itmGeneralHelp_Click() {
    const QString help = QDir(programFolder(ctx_)).filePath(QStringLiteral("spoolwright.html"));
    const QString shown = QDir::toNativeSeparators(help);
    if (!QFileInfo(help).isFile()) {
        ctx_.services.msgBox(QStringLiteral("The help file ") + shown + QStringLiteral(" is not found."),
                    MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
#if defined(Q_OS_WIN)
    const QString opener = QStringLiteral("explorer.exe");
#else
    const QString opener = QStringLiteral("xdg-open");
#endif
    if (!ctx_.services.processes || !ctx_.services.processes->start(opener, {help}))
        ctx_.services.msgBox(QStringLiteral("The help file ") + shown +
                        QStringLiteral(" cannot be shown: no program to open it was found."),
                    MsgButtons::OK, MsgIcon::Exclamation);
}

void frmMain::itmAbout_Click() {
    frmAbout& about = ctx_.aboutWindow();
    about.show();
    about.raise();
    about.activateWindow();
}
