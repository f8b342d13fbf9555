#pragma once
#include <QString>

#include "HostLink.h"

class QWidget;
class SplfGrid;

// The spooled-file screen's option controls, by what they hold.
enum class ScreenText {
    ProcessType, Translation, FromPage, ToPage, PageLength, HtmlFontSize,
    PdfFontSize, PdfPaperSize, PdfVertSize, Tabs, Tabs2, Link,
};
enum class ScreenCheck {
    RemoveBlankLines, SuppressOverprinting, ConvertMinusSign, PrintControl,
    AutoSend, AttachMultiples, RunMacro, RunSilent, Autoformat,
};
// Groups of option buttons of which one is chosen, their buttons counted in
// the order shown: PrintControlFormat, PageOrientation, TextOrPdf and Email
// two each, Parse three; HtmlAddReplace and TextAddReplace are "Replace
// file" (0) and "Add to file" (1) of the HTML and the text options.
enum class ScreenChoice { PrintControlFormat, PageOrientation, TextOrPdf, Email, Parse, HtmlAddReplace, TextAddReplace };
// The controls a download turns off and on.
enum class ScreenControl {
    OK, Cancel, Printer, FromPage, ToPage, Formatting, Macro, Parse, Email,
    Range, PrinterFrame, Html, Pdf, Grid, ProcessType, AttachMultiples,
};

// What the connection and download layers use of the spooled-file screen,
// which the download control builds.
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

    // A text box's or combo box's text.
    virtual QString text(ScreenText control) const = 0;
    virtual void setText(ScreenText control, const QString& value) = 0;
    // A check box: 0 clear, 1 checked, 2 grey.
    virtual int check(ScreenCheck control) const = 0;
    virtual void setCheck(ScreenCheck control, int value) = 0;
    // The group's first chosen button, -1 when none.
    virtual int chosen(ScreenChoice group) const = 0;
    virtual bool isChosen(ScreenChoice group, int button) const = 0;
    // Chooses the button (the group's others are cleared) or clears it.
    virtual void setChosen(ScreenChoice group, int button, bool on) = 0;

    // What the download driver needs besides the options; the defaults do
    // nothing, for screens that have no such control.
    virtual void setControlEnabled(ScreenControl /*control*/, bool /*enabled*/) {}
    virtual bool controlEnabled(ScreenControl /*control*/) const { return true; }
    // "&Close", or "&Cancel" while a download runs.
    virtual QString cancelCaption() const { return {}; }
    virtual void setCancelCaption(const QString& /*caption*/) {}
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
