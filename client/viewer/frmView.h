#pragma once
#include "ReportViewer.h"

class QAction;

// "Preview Spool File": the few pages of a preview, held in memory. Find Next
// goes from one hit to the next and starts again at the top after the
// not-found message; F3 closes the window.
class frmView : public ReportViewer {
    Q_OBJECT
public:
    explicit frmView(AppContext& ctx, QRect& rememberedPlace);

    QLabel*& Label2 = heading;
    QPlainTextEdit*& txtClip = text;
    QAction* itmClose = nullptr;
    QAction* itmCopy = nullptr;
    QAction* itmContents = nullptr;

    void Form_Load() { loadWindow(); }
    void cmdFindNext_Click();
    // 1-based start of the last hit, 0 = none.
    int lastHit() const { return lastHit_; }

protected:
    void searchTextChanged() override;

private:
    int lastHit_ = 0;
};
