#pragma once
#include "ReportViewer.h"

class QAction;

// "Preview / Copy": a whole report, read from its file in the work directory.
// Find Next searches from just after the start of the selection and shows the
// hit in red bold until the next search or until the search box is left; F3
// searches while the button or the report has the focus.
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

protected:
    void searchTextChanged() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
