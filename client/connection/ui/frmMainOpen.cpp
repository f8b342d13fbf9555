#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "AppContext.h"
#include "ConnectionWindows.h"
#include "HostLink.h"
#include "OpenSelection.h"
#include "SplfGrid.h"
#include "SplfScreenApi.h"
#include "WindowServices.h"
#include "frmMain.h"
#include "frmOutq.h"

namespace {
// The main window's inputs and menus, locked while an operation waits on the host.
void enableSelectionInputs(frmMain& m, bool on) {
    for (QWidget* w :
         {static_cast<QWidget*>(m.cmdExit), static_cast<QWidget*>(m.cmdOK), static_cast<QWidget*>(m.cmdListOutqs),
          static_cast<QWidget*>(m.txtOutq), static_cast<QWidget*>(m.txtWrkSplf), static_cast<QWidget*>(m.cboLibrary)})
        w->setEnabled(on);
    for (QMenu* menu : {m.mnuConnect, m.mnuFile, m.mnuHelp}) menu->menuAction()->setEnabled(on);
    m.mnuOptions->setEnabled(on);
}

// Connects when no link is held; false when that failed, so that nothing is
// sent over a link that does not exist (which would only add a second error).
bool ensureConnected(AppContext& ctx, frmMain& m) {
    if (!m.isNotConnected()) return true;
    return ConnectToHost(ctx) && !m.isNotConnected();
}

enum class Listed { Shown, Empty, Stopped };

// Steps of "&Open" once the selection is valid: check a named queue, list its
// spooled files and show the screen.
Listed listAndShow(AppContext& ctx, frmMain& m, const SpoolSelection& s) {
    SplfScreenApi& screen = ctx.frmSplf();
    SplfGrid& grid = screen.grdSplf();
    defineSplfGridColumns(grid);

    if (!ensureConnected(ctx, m)) return Listed::Stopped;

    if (s.outq != QLatin1String("*ALL")) {
        m.setStatusPanel(QStringLiteral("Checking iSeries outq ") + s.outq.trimmed() + QStringLiteral("   "));
        m.Refresh();
        const OutqCheck check = checkOutq(ctx.link, ctx.services, ctx.connection, s.outq, s.library);
        // The library in which the host found the queue (for "*LIBL" and the like).
        if (!check.library.isEmpty()) m.cboLibrary->setEditText(check.library);
        if (!check.outcome && !check.notFound) setMousePointer(MousePointer::Normal);
        if (!check.outcome) return Listed::Stopped;
    }

    setMousePointer(MousePointer::Hourglass);
    m.setStatusPanel(QStringLiteral("Getting spool files in ") + s.outq.trimmed() + QStringLiteral("   "));
    m.Refresh();
    GetSpoolFiles(ctx, m.txtOutq->text(), m.cboLibrary->currentText(), m.txtWrkSplf->text());
    setMousePointer(MousePointer::Normal);
    if (grid.rowCount() == 0) return Listed::Empty;
    screen.setCaption(splfScreenCaption(m.cboLibrary->currentText(), m.txtOutq->text(), m.txtWrkSplf->text()));
    // Out of reach (menus, shortcuts) while the screen is up; its close box still works.
    struct Off {
        frmMain& m;
        ~Off() { m.setEnabled(true); }
    } off{m};
    m.setEnabled(false);
    screen.showModal();
    return Listed::Shown;
}
}  // namespace

void frmMain::cmdOK_Click() {
    PointerGuard pointer;  // also when a failed connection ends the program
    enableSelectionInputs(*this, false);
    SpoolSelection s{txtOutq->text(), cboLibrary->currentText(), txtWrkSplf->text()};
    const bool valid = normaliseSelection(s);
    txtOutq->setText(s.outq);
    txtWrkSplf->setText(s.user);
    cboLibrary->setEditText(s.library);

    bool giveOutqFocus = false;
    if (!valid) {
        ctx_.services.msgBox(QStringLiteral("An iSeries outq and library name must be specified for user (*ALL)."),
                    MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("iSeries Outq Selection..."));
        giveOutqFocus = true;
    } else {
        giveOutqFocus = listAndShow(ctx_, *this, s) == Listed::Empty;
    }

    enableSelectionInputs(*this, true);
    setMousePointer(MousePointer::Normal);
    setStatusPanel(QStringLiteral("Key an iSeries outq name or Browse..."));
    if (giveOutqFocus) txtOutq->setFocus();
}

void frmMain::cmdListOutqs_Click() {
    PointerGuard pointer;
    enableSelectionInputs(*this, false);
    if (!ensureConnected(ctx_, *this)) {
        // Nothing was listed and nothing is opened.
        setStatusPanel(QString());
        Refresh();
        enableSelectionInputs(*this, true);
        setMousePointer(MousePointer::Normal);
        return;
    }
    ctx_.connection.gNoOutqs = false;
    if (ListOutputQueues(ctx_)) {
        showModalWindow(ctx_, &ctx_.outqWindow());
        ctx_.unloadOutqWindow();
        setStatusPanel(QStringLiteral("Key an iSeries outq name or Browse.   "));
    } else {
        setStatusPanel(QString());
    }
    Refresh();
    enableSelectionInputs(*this, true);
    setMousePointer(MousePointer::Normal);
    if (!ctx_.connection.gNoOutqs) cmdOK_Click();
}

void frmMain::itmListOutqs_Click() { cmdListOutqs_Click(); }
