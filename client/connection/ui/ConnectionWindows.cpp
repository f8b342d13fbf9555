#include "ConnectionWindows.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

#include "AppContext.h"
#include "SplfGrid.h"
#include "SplfScreenApi.h"
#include "frmLogin.h"
#include "frmMain.h"
#include "frmOptions.h"
#include "frmOutq.h"

void MainWindowConnectView::connecting() { ctx_.mainWindow().lblStatus->setText(QStringLiteral("Connecting...")); }

void MainWindowConnectView::status(const QString& text) {
    frmMain& m = ctx_.mainWindow();
    m.setStatusPanel(text);
    m.Refresh();
}

void MainWindowConnectView::workingControlsEnabled(bool on) {
    frmMain& m = ctx_.mainWindow();
    for (QWidget* w : std::initializer_list<QWidget*>{m.cmdExit, m.cmdListOutqs, m.cmdOK, m.mnuConnect, m.mnuFile,
                                                      m.mnuHelp, m.txtOutq, m.cboLibrary, m.txtWrkSplf})
        w->setEnabled(on);
    m.mnuOptions->setEnabled(on);
}

void MainWindowConnectView::connected(const QString& text) {
    frmMain& m = ctx_.mainWindow();
    m.showConnected(text);
    m.Refresh();
}

void MainWindowConnectView::focusOpen() { ctx_.mainWindow().cmdOK->setFocus(); }
void MainWindowConnectView::showConnectionOptions() { ctx_.optionsWindow().showModal(); }
void MainWindowConnectView::showNamingOptions() { ctx_.mainWindow().mnuOptions_Click(); }

void MainWindowConnectView::showSignOn(const QString& userId) {
    frmLogin& login = ctx_.loginWindow();
    login.txtUserID->setText(userId);
    login.cancelled = false;
    if (ctx_.services.presenter)
        ctx_.services.presenter->showModeless(&login);
    else
        login.show();
}

bool MainWindowConnectView::signOnCancelled() const { return ctx_.loginWindowLoaded() && ctx_.loginWindow().cancelled; }

SignOnAnswer MainWindowConnectView::signOnAnswer() const {
    frmLogin& login = ctx_.loginWindow();
    return {login.txtUserID->text(), login.txtPassword->text()};
}

void MainWindowConnectView::discardSignOn() { ctx_.unloadLoginWindow(); }

bool MainWindowConnectView::savePasswordChecked() const {
    return ctx_.loginWindowLoaded() && ctx_.loginWindow().chkSavePassword->isChecked();
}

std::optional<SignOnAnswer> MainWindowConnectView::askServerStartSignOn(const QString& userId) {
    frmLogin& login = ctx_.loginWindow();
    login.txtUserID->setText(userId);
    login.chkSavePassword->setEnabled(false);
    login.setWindowTitle(QStringLiteral("Starting the iSeries Spoolwright server..."));
    login.cancelled = false;
    if (ctx_.services.presenter)
        ctx_.services.presenter->showModal(&login);
    else
        login.exec();
    const bool cancelled = login.cancelled;
    const SignOnAnswer typed{login.txtUserID->text(), login.txtPassword->text()};
    ctx_.unloadLoginWindow();
    if (cancelled) return std::nullopt;
    return typed;
}

void OutqChooserList::status(const QString& text) {
    frmMain& m = ctx_.mainWindow();
    m.setStatusPanel(text);
    m.Refresh();
}

void OutqChooserList::clearOutqs() { ctx_.outqWindow().lstOutq->clear(); }
void OutqChooserList::addOutqs(const QStringList& rows) { ctx_.outqWindow().lstOutq->addItems(rows); }

Outcome ConnectToHost(AppContext& ctx) {
    MainWindowConnectView view(ctx);
    return ConnectToHost(ctx.link, ctx.services, ctx.connection, view);
}

SignOnResult SignOn(AppContext& ctx) {
    MainWindowConnectView view(ctx);
    return SignOn(ctx.services, ctx.connection, ctx.link, view);
}

Outcome StartHostServerViaFtp(AppContext& ctx) {
    MainWindowConnectView view(ctx);
    return StartHostServerViaFtp(ctx.services, ctx.connection, view);
}

Outcome ListOutputQueues(AppContext& ctx) {
    OutqChooserList view(ctx);
    return ListOutputQueues(ctx.link, ctx.services, ctx.connection, ctx.mainWindow().cboLibrary->currentText(), view);
}

Outcome GetSpoolFiles(AppContext& ctx, const QString& outq, const QString& library, const QString& user) {
    return GetSpoolFiles(ctx.link, ctx.services, ctx.connection, ctx.frmSplf().grdSplf(), outq, library, user,
                         ctx.mainWindow().txtOutq->text());
}
