#pragma once
#include <QString>
#include <QTimer>

#include "ReportViewer.h"

class QAction;

// "Preview / Copy": a whole report, read from its file in the work directory.
// Find Next searches from just after the start of the selection and shows the
// hit in red bold until the next search or until the search box is left; F3
// searches while the button or the report has the focus. A large report is
// shown from its first lines at once and the rest follows in pieces while the
// window is up; a search, or a copy that reaches the end, takes it all first.
class frmFullView : public ReportViewer {
    Q_OBJECT
public:
    explicit frmFullView(AppContext& ctx, QRect& rememberedPlace);

    QLabel*& Label1 = heading;
    QPlainTextEdit*& rtbPreview = text;
    QAction* itmEdit = nullptr;

    // The remembered values and place, the heading, and the report file
    // (false when it cannot be read: `error` says why).
    bool Form_Load(const QString& file, QString& error);
    void cmdFindNext_Click();
    // The selection back to black, not bold.
    void removeHighlight();
    // Puts the rest of the report into the box now.
    void finishLoading();
    bool loading() const { return pendingAt_ < pending_.size(); }

    // Characters put into the box at once, and with each later piece.
    static constexpr qsizetype kFirstPiece = 256 * 1024;
    static constexpr qsizetype kPiece = 1024 * 1024;

protected:
    void searchTextChanged() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Adds the next piece, cut at a line end; false when nothing is left.
    bool loadPiece();
    void copyAll();

    QString pending_;
    qsizetype pendingAt_ = 0;
    QTimer loader_;
};
