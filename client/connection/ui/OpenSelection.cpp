#include "OpenSelection.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "AppContext.h"
#include "Codec.h"
#include "ConnectionWindows.h"
#include "HostLink.h"
#include "ListRecords.h"
#include "SplfGrid.h"
#include "SplfScreenApi.h"
#include "WindowServices.h"
#include "frmMain.h"
#include "frmOutq.h"

bool normaliseSelection(SpoolSelection& s) {
    s.outq = s.outq.trimmed().toUpper();
    s.user = s.user.trimmed().toUpper();
    s.library = s.library.trimmed().toUpper();
    const QString all = QStringLiteral("*ALL");
    if (s.outq.isEmpty() && !s.user.isEmpty()) s.outq = all;
    if (s.library.isEmpty() && !s.user.isEmpty()) s.library = all;
    if (!s.outq.isEmpty() && s.user.isEmpty()) s.user = all;
    if (s.outq.isEmpty() || (s.outq != all && s.library.isEmpty())) return false;
    if (s.user == QLatin1String("CURRENT")) s.user = QStringLiteral("*CURRENT");
    if (s.user == QLatin1String("ALL")) s.user = all;
    if (s.outq == QLatin1String("ALL")) s.outq = all;
    if (s.outq == all) s.library.clear();
    return true;
}

namespace {
struct GridColumn {
    const char* key;
    const char* header;
    int width;
};
constexpr GridColumn kColumns[] = {
    {"Date", "Date and Time", 130}, {"File", "Spool File", 85}, {"User", "User", 75},
    {"Outq", "Outq", 80},           {"Pages", "Pages", 60},     {"Form", "Form", 50},
    {"JobNumber", "Job#", 50},      {"Job", "Job/Seq#", 90},    {"UserData", "User Data", 75},
};
}  // namespace

void defineSplfGridColumns(SplfGrid& grid) {
    grid.clear(true);
    for (const GridColumn& c : kColumns)
        grid.addColumn(QString::fromLatin1(c.key), QString::fromLatin1(c.header), c.width);
}

QString splfScreenCaption(const QString& library, const QString& outq, const QString& user) {
    return QStringLiteral("iSeries Spool Files - ") + library.trimmed() + QLatin1Char('/') + outq.trimmed() +
           QLatin1Char('/') + user.trimmed();
}

namespace {
const QString kTitle = QStringLiteral("Tolvane");

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
    return ConnectToHost(ctx) == 0 && !m.isNotConnected();
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
        const std::string request = OutqQueryRequest(Codec::fromUnicode(s.outq), Codec::fromUnicode(s.library));
        bool first = true;
        const ListExchange x =
            exchangeList(ctx.link, ctx, ctx, request, QStringLiteral("outqs"), [&](const std::string& reply) {
                // The library in which the host found the queue (for "*LIBL" and the like).
                const QString found = outqCheckLibrary(reply);
                if (first && !found.isEmpty()) m.cboLibrary->setEditText(found);
                first = false;
            });
        if (x.result != LinkResult::Reply || x.cut) {
            setMousePointer(MousePointer::Normal);
            return Listed::Stopped;
        }
        if (listBlockEnd(x.last) == ListBlockEnd::Invalid) {
            ctx.msgBox(QStringLiteral("iSeries library or outq not found."), MsgButtons::OK, MsgIcon::None, kTitle);
            return Listed::Stopped;
        }
    }

    setMousePointer(MousePointer::Hourglass);
    m.setStatusPanel(QStringLiteral("Getting spool files in ") + s.outq.trimmed() + QStringLiteral("   "));
    m.Refresh();
    GetSpoolFiles(ctx, m.txtOutq->text(), m.cboLibrary->currentText(), m.txtWrkSplf->text());
    setMousePointer(MousePointer::Normal);
    if (grid.rowCount() == 0) return Listed::Empty;
    screen.setCaption(splfScreenCaption(m.cboLibrary->currentText(), m.txtOutq->text(), m.txtWrkSplf->text()));
    if (!ctx.gBatchNoDialogs) screen.showModal();
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
        ctx_.msgBox(QStringLiteral("An iSeries outq and library name must be specified for user (*ALL)."),
                    MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("iSeries Outq Selection..."));
        giveOutqFocus = true;
    } else {
        giveOutqFocus = listAndShow(ctx_, *this, s) == Listed::Empty;
    }

    enableSelectionInputs(*this, true);
    setMousePointer(MousePointer::Normal);
    setStatusPanel(QStringLiteral("Key an iSeries outq name or Browse..."));
    if (giveOutqFocus && !ctx_.gBatchMode) txtOutq->setFocus();
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
    ctx_.gNoOutqs = false;
    if (ListOutputQueues(ctx_) == 0) {
        showModalWindow(ctx_, &ctx_.outqWindow());
        ctx_.unloadOutqWindow();
        setStatusPanel(QStringLiteral("Key an iSeries outq name or Browse.   "));
    } else {
        setStatusPanel(QString());
    }
    Refresh();
    enableSelectionInputs(*this, true);
    setMousePointer(MousePointer::Normal);
    if (!ctx_.gNoOutqs) cmdOK_Click();
}

void frmMain::itmListOutqs_Click() { cmdListOutqs_Click(); }
