#pragma once
#include <QString>

#include "HostLink.h"

class QWidget;
class SplfGrid;

// What the connection and download layers use of the spooled-file screen,
// which the download control builds. Option controls are reached by their
// names ("txtFrom", "chkBlankLines", "optPrtCtlFormat", ...): text() gives a
// text box's or combo box's text, value() a check box's value (0/1) or the
// index of the chosen button of an option array (-1 when none). Element i of
// an option array is the control "name_i" ("optAddReplace_2"): value() gives
// its state (0/1), setValue() chooses or clears it. optAddReplace is two
// groups, 0-1 (HTML options) and 2-3 (text options): read it by element.
class SplfScreenApi : public LinkObserver {
public:
    virtual ~SplfScreenApi() = default;
    virtual QWidget* widget() = 0;
    // First panel of sbSplf, followed by a repaint.
    virtual void setStatus(const QString& text) = 0;
    virtual QString status() const = 0;
    virtual void setCaption(const QString& text) = 0;
    virtual QString caption() const = 0;
    virtual SplfGrid& grdSplf() = 0;
    virtual void showModal() = 0;
    virtual void Refresh() = 0;
    virtual void giveFocus() = 0;

    virtual QString text(const QString& control) const = 0;
    virtual void setText(const QString& control, const QString& value) = 0;
    virtual int value(const QString& control) const = 0;
    virtual void setValue(const QString& control, int value) = 0;
    virtual bool enabled(const QString& control) const = 0;
    virtual bool visible(const QString& control) const = 0;

    // What the download driver needs besides the options; the defaults do
    // nothing, for screens that have no such control.
    virtual void setControlEnabled(const QString& /*control*/, bool /*enabled*/) {}
    virtual QString controlCaption(const QString& /*control*/) const { return {}; }
    virtual void setControlCaption(const QString& /*control*/, const QString& /*caption*/) {}
    // Re-applies the chosen process type to the option frames.
    virtual void cboProcessType_Click() {}
    // Re-applies the chosen paper size to the PDF options.
    virtual void cboPaperSize_Click() {}
    // Hides the screen, so that its modal show returns.
    virtual void hideScreen() {}
    // While a download or list holds the link the screen's commands that
    // talk to the host are off (the driver locks the rest).
    void linkBusy(bool /*busy*/) override {}
};
