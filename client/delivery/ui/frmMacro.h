#pragma once
#include <QDialog>

#include "OfficeWindows.h"

class AppContext;
class QLabel;
class QLineEdit;
class QPushButton;

// The macro dialogs of the office deliveries: the file that holds the macros
// and the macro's name. One instance of each stays loaded (hidden) for the
// run, so that its texts carry over to the next delivery.
class MacroDialog : public QDialog {
    Q_OBJECT
public:
    struct Texts {
        const char* objectName;
        const char* caption;
        const char* fileLabel;
        const char* fileControl;    // "txtMacroSheet" / "txtMacroFile"
        MacroProgram program;       // its remembered values and its file's check
        const char* dialogTitle;    // of the file dialog
        const char* pattern;        // "*.xl*" / "*.dot"
    };
    MacroDialog(AppContext& ctx, const Texts& texts, bool& loadedFlag);

    QLineEdit* txtMacroFileBox;  // txtMacroSheet (Excel) or txtMacroFile (Word)
    QLineEdit* txtMacroName;
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* cmdBrowse;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    void Form_Load(bool fromSettingsFile);
    void Form_Activate();
    void cmdBrowse_Click();
    // Public: the delivery calls it to accept the dialog without a person.
    void cmdOK_Click();
    void cmdCancel_Click();
    // Shown modally; returns when the dialog hid itself.
    void showModal();
    // Shown without waiting, then accepted at once (a settings-file run).
    void showAndAccept();
    // The folder offered when no file is named.
    static QString defaultFolder() { return MacroDefaultFolder(); }

private:
    AppContext& ctx_;
    const Texts& t_;
};

class frmExcel : public MacroDialog {
public:
    explicit frmExcel(AppContext& ctx);
    QLineEdit*& txtMacroSheet = txtMacroFileBox;
};

class frmWord : public MacroDialog {
public:
    explicit frmWord(AppContext& ctx);
    QLineEdit*& txtMacroFile = txtMacroFileBox;
};

// The run's two macro dialogs, loaded (Form_Load) on first use.
frmExcel& ExcelMacroWindow(AppContext& ctx);
frmWord& WordMacroWindow(AppContext& ctx);
