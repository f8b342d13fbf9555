#include "HostInstall.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "HostprepContext.h"
#include "MousePointer.h"
#include "frmLogin.h"
#include "frmMain.h"

namespace hostprep {
namespace {
const QString kNotFound =
    QStringLiteral("Install file not found.  Make sure the 'iSeries Hostprep' option was installed on this PC.");
const QString kSpoolwright = QStringLiteral("iSeries Spoolwright");

void status(HostprepContext& ctx, const QString& text) {
    ctx.mainWindow().lblInfo->setText(text);
    ctx.clock->pumpOnce();
}

// Overwrites the script's bytes before they are freed: it holds the password.
void wipe(std::string& s) {
    for (char& c : s) c = '\0';
    s.clear();
}

int notFound(HostprepContext& ctx) {
    ctx.msgBox(kNotFound, MsgButtons::OK, MsgIcon::Exclamation, kSpoolwright);
    return -1;
}

QString joined(const QString& dir, const QString& name) {
    return QDir::toNativeSeparators(QDir(dir).filePath(name));
}
}  // namespace

int WriteFtpScript(HostprepContext& ctx, const QString& host, std::string& script) {
    const QString name = ctx.gSaveFileName;
    ctx.gSaveFileDir.clear();
    for (const QString& dir : ctx.saveFileFolders) {
        if (QFileInfo(joined(dir, name)).isFile()) {
            ctx.gSaveFileDir = QDir::toNativeSeparators(QDir::cleanPath(dir));
            break;
        }
    }
    if (ctx.gSaveFileDir.isEmpty()) {
        if (ctx.msgBox(QStringLiteral("Please specify where ") + name + QStringLiteral(" may be found."),
                       MsgButtons::OKCancel, MsgIcon::None, kSpoolwright) == vbCancel)
            return -1;
        const QString chosen = ctx.presenter
                                   ->openFileName(&ctx.mainWindow(), QStringLiteral("Please locate file ") + name,
                                                  QDir::homePath(),
                                                  QStringLiteral("iSeries Spoolwright install file|") + name)
                                   .trimmed();
        if (chosen.isEmpty() || !QFileInfo(chosen).isFile()) return notFound(ctx);
        // Only the folder counts: the script always sends spwsvv4.sav from it.
        // The file's own name, not a folder above it named alike.
        const int at = QDir::toNativeSeparators(chosen).lastIndexOf(QDir::separator() + QStringLiteral("spwsvv"));
        if (at < 0) return notFound(ctx);
        const QString dir = QDir::toNativeSeparators(chosen).left(at);
        if (!QFileInfo(joined(dir, name)).isFile()) return notFound(ctx);
        ctx.gSaveFileDir = dir;
    }
    const QString path = joined(ctx.gSaveFileDir, name);
    const QString refused = InstallScript::savePathRefusal(path);
    if (!refused.isEmpty()) {
        ctx.msgBox(refused, MsgButtons::OK, MsgIcon::Exclamation, kSpoolwright);
        return -1;
    }
    frmLogin& login = ctx.loginWindow();
    script = InstallScript::build(host, login.txtUserID->text(), login.txtPassword->text(), path);
    return 0;
}

InstallResult RunHostInstall(HostprepContext& ctx, const QString& host) {
    InstallResult result;
    frmMain& main = ctx.mainWindow();
    setMousePointer(MousePointer::Hourglass);
    status(ctx, QStringLiteral("Sending and restoring iSeries programs..."));
    setMousePointer(MousePointer::Normal);

    frmLogin& login = ctx.loginWindow();
    login.accepted = false;
    ctx.presenter->showModal(&login);
    // Every way out of the dialog but OK ends the installer.
    if (!login.accepted) ctx.endProgram(kExitOk, QStringLiteral("Sign-on cancelled"));

    PointerGuard busy;
    const QString userId = login.txtUserID->text().trimmed().toUpper();
    const QString password = login.txtPassword->text().trimmed().toUpper();
    const QString refused = InstallScript::inputRefusal(host, userId, password);
    if (!refused.isEmpty()) {
        result.outcome.failedStep = QStringLiteral("checking the sign-on");
        result.message = refused + QStringLiteral("  Nothing was sent to the iSeries.");
        return result;
    }

    std::string script;
    if (WriteFtpScript(ctx, host, script) != 0) ctx.endProgram(kExitInstallFailed, QStringLiteral("No install file"));

    status(ctx, QStringLiteral("Attempting to run the FTP script..."));
    {
        PointerGuard normal(MousePointer::Normal);
        if (ctx.msgBox(QStringLiteral("The FTP (File Transfer Protocol) job will now run the FTP script. "
                                      "THIS STEP MAY TAKE A MINUTE OR SO.  "),
                       MsgButtons::OKCancel, MsgIcon::None, QStringLiteral("iSeries Installation Program")) == vbCancel) {
            wipe(script);
            ctx.endProgram(kExitOk, QStringLiteral("Install cancelled"));
        }
    }
    status(ctx, QStringLiteral("Please wait..."));
    // The script goes to the runner in memory; the run ends when its last
    // line has run, and every wait in it has a limit.
    // The first required step that fails ends the run: nothing after it may
    // change the host (no profile without its library, no server start).
    ctx.ftp->goOnAfterRefusal = InstallScript::goesOnAfterRefusal;
    const FtpRunResult run = ctx.ftp->run(script, *ctx.clock);
    wipe(script);

    result.outcome = InstallScript::judge(run, password);
    result.message = InstallScript::completionMessage(result.outcome, host);
    if (result.outcome.succeeded) {
        // Only one of the two boxes holds text.
        if (!main.txtHostName->text().isEmpty()) ctx.saveSetting(QStringLiteral("URL"), main.txtHostName->text());
        if (!main.txtIPAddress->text().isEmpty()) ctx.saveSetting(QStringLiteral("URL"), main.txtIPAddress->text());
    }
    status(ctx, result.outcome.succeeded ? QStringLiteral("Install complete.")
                                         : QStringLiteral("Install failed: %1.").arg(result.outcome.failedStep));
    return result;
}

}  // namespace hostprep
