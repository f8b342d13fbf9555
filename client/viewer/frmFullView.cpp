#include "frmFullView.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include "AppContext.h"
#include "Codec.h"

namespace {
void formatSelection(QPlainTextEdit* box, const QColor& colour, bool bold) {
    QTextCursor c = box->textCursor();
    if (!c.hasSelection()) return;
    QTextCharFormat f;
    f.setForeground(colour);
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    c.mergeCharFormat(f);
}
}  // namespace

frmFullView::frmFullView(AppContext& ctx, QRect& rememberedPlace)
    : ReportViewer(ctx, {Setting::FullViewWindowState, Setting::FullViewMatchCase, Setting::FullViewSearchString},
                   rememberedPlace, 8500) {
    setObjectName(QStringLiteral("frmFullView"));
    setWindowTitle(QStringLiteral("Preview / Copy"));
    Label1->setObjectName(QStringLiteral("Label1"));
    rtbPreview->setObjectName(QStringLiteral("rtbPreview"));
    lblEntry->setText(QStringLiteral("Spool file"));
    cmdFindNext->setText(QStringLiteral("&Find Next"));
    cmdClose->setText(QStringLiteral("&Close"));
    // Alt+C is "&Close": the menu's caption reads the same, its key is P.
    itmEdit = menu->addAction(QStringLiteral("Co&py"));
    itmEdit->setObjectName(QStringLiteral("itmEdit"));
    connect(itmEdit, &QAction::triggered, this, [this] { ctx_.services.runHandler([&] { copyAll(); }); });
    loader_.setInterval(0);
    connect(&loader_, &QTimer::timeout, this, [this] {
        bool more = false;
        ctx_.services.runHandler([&] { more = loadPiece(); });
        if (!more) loader_.stop();
    });
    connect(cmdFindNext, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([&] { cmdFindNext_Click(); }); });
    cmdFindNext->installEventFilter(this);
    rtbPreview->installEventFilter(this);
    txtFindWhat->installEventFilter(this);
}

bool frmFullView::Form_Load(const QString& file, QString& error) {
    loadWindow();
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        error = f.errorString();
        return false;
    }
    const QByteArray bytes = f.readAll();
    pending_ = Codec::toUnicode(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
    pendingAt_ = 0;
    rtbPreview->clear();
    loadPiece();
    if (loading()) loader_.start();
    update();
    return true;
}

bool frmFullView::loadPiece() {
    if (!loading()) return false;
    const bool first = pendingAt_ == 0;
    qsizetype end = pendingAt_ + (first ? kFirstPiece : kPiece);
    if (end >= pending_.size()) {
        end = pending_.size();
    } else {
        const qsizetype lineEnd = pending_.indexOf(QLatin1Char('\n'), end);
        end = lineEnd < 0 ? pending_.size() : lineEnd;
    }
    const QString piece = pending_.mid(pendingAt_, end - pendingAt_);
    if (first) {
        rtbPreview->setPlainText(piece);
    } else {
        // Appended behind the user's cursor and scroll position, which stay.
        QTextCursor tail(rtbPreview->document());
        tail.movePosition(QTextCursor::End);
        tail.insertText(piece);
    }
    pendingAt_ = end;
    if (!loading()) {
        pending_.clear();
        pendingAt_ = 0;
        loader_.stop();
    }
    return true;
}

void frmFullView::finishLoading() {
    while (loadPiece()) {
    }
}

void frmFullView::copyAll() {
    // A selection that reaches the end of what is loaded means "to the end".
    QTextCursor c = rtbPreview->textCursor();
    if (loading() && c.hasSelection() && c.selectionEnd() == rtbPreview->document()->characterCount() - 1) {
        const int anchor = c.selectionStart();
        finishLoading();
        c.setPosition(anchor);
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        rtbPreview->setTextCursor(c);
    }
    copySelection();
}

void frmFullView::hideEvent(QHideEvent* event) {
    loader_.stop();
    ReportViewer::hideEvent(event);
}

void frmFullView::removeHighlight() { formatSelection(rtbPreview, Qt::black, false); }

void frmFullView::searchTextChanged() {
    removeHighlight();
    ReportViewer::searchTextChanged();
}

void frmFullView::cmdFindNext_Click() {
    finishLoading();
    removeHighlight();
    QTextCursor c = rtbPreview->textCursor();
    const int start = c.selectionStart() + 1;
    c.setPosition(c.selectionStart());
    rtbPreview->setTextCursor(c);
    QTextDocument::FindFlags flags;
    if (chkMatchCase->isChecked()) flags |= QTextDocument::FindCaseSensitively;
    const QString what = txtFindWhat->text();
    const QTextCursor hit = what.isEmpty() ? QTextCursor() : rtbPreview->document()->find(what, start, flags);
    if (hit.isNull()) {
        ctx_.services.msgBox(QStringLiteral("String not found from current curson position to end of document."),
                    MsgButtons::OK, MsgIcon::None, QStringLiteral("Tolvane"));
        return;
    }
    rtbPreview->setTextCursor(hit);
    formatSelection(rtbPreview, QColor(255, 0, 0), true);
}

bool frmFullView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtFindWhat && event->type() == QEvent::FocusOut) removeHighlight();
    if ((watched == cmdFindNext || watched == rtbPreview) && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F3) {
        if (cmdFindNext->isEnabled()) cmdFindNext_Click();
        return true;
    }
    return ReportViewer::eventFilter(watched, event);
}
