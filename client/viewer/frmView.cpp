#include "frmView.h"

#include <QAction>
#include <QLabel>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>

#include "AppContext.h"
#include "frmMain.h"

frmView::frmView(AppContext& ctx, QRect& rememberedPlace)
    : ReportViewer(ctx, {Setting::ViewWindowState, Setting::ViewMatchCase, Setting::ViewSearchString}, rememberedPlace, 8300) {
    setObjectName(QStringLiteral("frmView"));
    setWindowTitle(QStringLiteral("Preview Spool File"));
    Label2->setObjectName(QStringLiteral("Label2"));
    txtClip->setObjectName(QStringLiteral("txtClip"));
    QPalette p = txtClip->palette();
    p.setColor(QPalette::Text, QColor(0, 128, 0));
    txtClip->setPalette(p);
    cmdFindNext->setText(QStringLiteral("Find Next"));
    cmdClose->setText(QStringLiteral("Close"));
    QMenu* file = menu->addMenu(QStringLiteral("&File"));
    itmClose = file->addAction(QStringLiteral("Close"));
    itmClose->setObjectName(QStringLiteral("itmClose"));
    itmClose->setShortcut(Qt::Key_F3);
    itmClose->setShortcutContext(Qt::WindowShortcut);
    QMenu* edit = menu->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    itmCopy = edit->addAction(QStringLiteral("&Copy"));
    itmCopy->setObjectName(QStringLiteral("itmCopy"));
    QMenu* help = menu->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    itmContents = help->addAction(QStringLiteral("Contents..."));
    itmContents->setObjectName(QStringLiteral("itmContents"));
    // The window takes the shortcuts even while its menu is closed.
    addActions({itmClose, itmCopy});
    setTabOrder(txtClip, cmdClose);
    setTabOrder(cmdClose, txtFindWhat);
    setTabOrder(txtFindWhat, chkMatchCase);
    setTabOrder(chkMatchCase, cmdFindNext);
    connect(itmClose, &QAction::triggered, this, [this] { unload(); });
    connect(itmCopy, &QAction::triggered, this, [this] { copySelection(); });
    connect(itmContents, &QAction::triggered, this, [this] { ctx_.mainWindow().itmGeneralHelp_Click(); });
    connect(cmdFindNext, &QPushButton::clicked, this, [this] { cmdFindNext_Click(); });
}

void frmView::searchTextChanged() {
    ReportViewer::searchTextChanged();
    lastHit_ = 0;
}

void frmView::cmdFindNext_Click() {
    const QString s = txtFindWhat->text().trimmed();
    QTextDocument::FindFlags flags;
    if (chkMatchCase->isChecked()) flags |= QTextDocument::FindCaseSensitively;
    const QTextCursor hit = s.isEmpty() ? QTextCursor() : txtClip->document()->find(s, lastHit_, flags);
    if (hit.isNull()) {
        ctx_.services.msgBox(QStringLiteral("Text string ") + s + QStringLiteral(" not found from cursor to end of text."),
                    MsgButtons::OK, MsgIcon::Information, QStringLiteral("Tolvane"));
        lastHit_ = 0;
        return;
    }
    txtClip->setFocus();
    txtClip->setTextCursor(hit);
    lastHit_ = hit.selectionStart() + 1;
}
