#pragma once
#include <QDialog>

class AppContext;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Automated email options": the company name, subject and message that the
// automatic e-mail puts into its messages.
class frmEdit : public QDialog {
    Q_OBJECT
public:
    explicit frmEdit(AppContext& ctx);
    QLineEdit* txtCompanyName = nullptr;
    QLineEdit* txtSubject = nullptr;
    QPlainTextEdit* txtEdit = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    // Fills the boxes from the e-mail text files and the company name.
    void Form_Load();
    // Keeps the texts and closes; a text file that cannot be written is
    // reported and the dialog stays open (false).
    bool cmdOK_Click();
    void cmdCancel_Click();

private:
    AppContext& ctx_;
};

// The spooled-file screen's "Auto send options..." opens the dialog modally.
void ShowAutoSendOptions(AppContext& ctx);
