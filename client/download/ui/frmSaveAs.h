#pragma once
#include <QDialog>
#include <QString>

#include "SettingKeys.h"

class AppContext;
class QLabel;
class QLineEdit;
class QPushButton;

// The four twin save-as windows: frmSave (text), frmSaveHtml, frmSaveXml and
// frmPDF. They differ only in the texts and flags of their Kind.
class frmSaveAs : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Text, Html, Xml, Pdf };
    struct Texts {
        const char* objectName;
        const char* caption;
        const char* messageTitle;
        const char* filter;          // description|pattern pairs, the window's own type first
        const char* pattern;         // the file name Browse proposes at first
        const SettingKey* rememberedFolder;  // the remembered value Browse starts in
        const SettingKey* lastFile;          // the remembered name of the last file
    };
    static const Texts& textsOf(Kind kind);

    frmSaveAs(AppContext& ctx, Kind kind);
    ~frmSaveAs() override;

    QLabel* Label1 = nullptr;
    QLineEdit* txtSave = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* cmdOpenAll = nullptr;

    // The common file dialog's state, kept while the window stays loaded.
    struct FileDialogState {
        QString initDir;
        QString fileName;
        QString filter;
    } dlgFile;

    // The folder of the name last accepted in this run, empty before: the
    // next report's name is proposed there.
    QString chosenFolder() const { return chosenFolder_; }

    // txtSave's Tag: "1" when a settings file put the name there.
    QString txtSaveTag() const;
    void setTxtSaveTag(const QString& tag);

    Kind kind() const { return kind_; }
    bool& acceptedFlag();
    bool& cancelledFlag();
    bool& saveAllFlag();

    // Shows the window modally (through the presenter) and returns once it
    // has hidden itself. Accepts at once while the save-all flag is set.
    void showModal();
    // True when the last name was accepted by the user's own press of
    // "&Save" or "Save &All", not by an earlier "Save &All".
    bool chosenByUser() const { return chosenByUser_; }

    void Form_Activate();
    void OKButton_Click();
    void CancelButton_Click();
    void cmdOpenAll_Click();
    void cmdBrowse_Click();

protected:
    // Esc and the window's close button are its Cancel.
    void reject() override { CancelButton_Click(); }

private:
    void accept(bool byUser);
    // Widens the name box to show the whole name, as far as the screen allows.
    void fitName();
    AppContext& ctx_;
    Kind kind_;
    bool shown_ = false;
    bool activating_ = false;
    bool chosenByUser_ = false;
    QString chosenFolder_;
};
