#pragma once
#include <QDialog>
#include <array>

class AppContext;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The sign-on dialog "iSeries Security". Shown without waiting by SignOn,
// which polls gSignOnAccepted; OK hides it (it stays loaded so that
// chkSavePassword keeps its state). Cancel closes the link and sets
// `cancelled`: whoever waits for the dialog then ends the program, since an
// exception must not leave through the window's event handler.
class frmLogin : public QDialog {
    Q_OBJECT
public:
    explicit frmLogin(AppContext& ctx, QWidget* parent = nullptr);
    ~frmLogin() override;

    std::array<QLabel*, 3> lblLabels{};
    QLabel* lblIPAddress = nullptr;
    QLineEdit* txtUserID = nullptr;
    QLineEdit* txtPassword = nullptr;
    QCheckBox* chkSavePassword = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    bool cancelled = false;

    void Form_Load();
    void Form_Activate();
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void refuse(QLineEdit* field, const QString& text);
    AppContext& ctx_;
};
