#include <QAction>
#include <QCheckBox>
#include <QLabel>

#include "AppContext.h"
#include "ConnectionWindows.h"
#include "HostLink.h"
#include "MousePointer.h"
#include "frmLogin.h"
#include "frmMain.h"
#include "frmOptions.h"

// The Connect menu of the main window.

void frmMain::itmConnect_Click() {
    if (isNotConnected())
        ConnectToHost(ctx_);
    else
        ctx_.services.msgBox(QStringLiteral("Already connected."), MsgButtons::OK, MsgIcon::None, QStringLiteral("Tolvane"));
}

void frmMain::itmAutoConnect_Click() {
    itmAutoConnect->setChecked(!itmAutoConnect->isChecked());
    // A running download or list holds the link; the tick then counts from the next start.
    if (itmAutoConnect->isChecked() && !ctx_.link.busy()) ConnectToHost(ctx_);
}

void frmMain::itmChangePassword_Click() {
    ctx_.services.saveNotKept(Setting::Password);
    // The held credentials go too, or the next connection of this run would
    // send the old password again instead of asking.
    ctx_.connection.gUserId.assign(ctx_.connection.gUserId.size(), ' ');
    ctx_.connection.gPassword.assign(ctx_.connection.gPassword.size(), ' ');
    ctx_.services.msgBox(QStringLiteral("Any saved password has been removed.  You'll be prompted for a password the next time "
                               "you connect."),
                MsgButtons::OK, MsgIcon::Information, QStringLiteral("Tolvane"));
    ctx_.loginWindow().chkSavePassword->setChecked(false);
}

void frmMain::itmChangeAddress_Click() { openOptions(frmOptions::kAddressTab); }

// Each menu item opens the options on its own tab.
void frmMain::openOptions(int tab) {
    PointerGuard pointer(MousePointer::Normal);
    const QString before = ctx_.services.getSetting(Setting::URL);
    setMousePointer(MousePointer::Normal);
    ctx_.optionsWindow().showTab(tab);
    ctx_.optionsWindow().showModal();
    setMousePointer(MousePointer::Hourglass);
    const QString after = ctx_.services.getSetting(Setting::URL);
    if (after != before && !isNotConnected()) {
        ctx_.services.msgBox(QStringLiteral("The selected iSeries host name or IP address has been changed while connected.  "
                                   "This utility will deallocate any conversations and end.  You may then restart."),
                    MsgButtons::OK, MsgIcon::None, QStringLiteral("Tolvane"));
        ctx_.connection.gHostAddress = after;
        // Through the stop sequence: the link goes, and what the user set in
        // this run is remembered as at any other end.
        if (ctx_.services.stopExitStatus == 0) ctx_.services.stopExitStatus = kExitHostChanged;
        Form_Unload();
    }
    setMousePointer(MousePointer::Normal);
}

void frmMain::itmWaitTime_Click() { openOptions(frmOptions::kWaitTimeTab); }
