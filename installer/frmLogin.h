#pragma once
#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace hostprep {

class HostprepContext;

// The sign-on dialog "iSeries Security" for the host's security officer.
// OK hides it with `accepted` set (it stays loaded, so the install reads both
// boxes afterwards); Cancel, Esc and the close box hide it without: the
// install then ends the program.
class frmLogin : public QDialog {
    Q_OBJECT
public:
    explicit frmLogin(HostprepContext& ctx, QWidget* parent = nullptr);
    ~frmLogin() override;

    std::array<QLabel*, 3> lblLabels{};
    QLabel* lblIPAddress = nullptr;
    QLineEdit* txtUserID = nullptr;
    QLineEdit* txtPassword = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    bool accepted = false;

    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void refuse(QLineEdit* field, const QString& text);
    HostprepContext& ctx_;
};

}  // namespace hostprep
