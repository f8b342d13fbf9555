#pragma once
#include <QDialog>

#include "HostprepContext.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace hostprep {

// The installer's window "iSeries Spoolwright - iSeries Installation": the
// host's IP address or name, Install and Exit. Its Form_Load runs the
// start-up: leftover script, migration, the two questions.
class frmMain : public QDialog {
    Q_OBJECT
public:
    explicit frmMain(HostprepContext& ctx, QWidget* parent = nullptr);
    ~frmMain() override;

    QLabel* Image1 = nullptr;
    QFrame* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtIPAddress = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txtHostName = nullptr;
    QLabel* lblInfo = nullptr;
    QPushButton* Command2 = nullptr;  // Install
    QPushButton* Command1 = nullptr;  // Exit

    void Form_Load();
    // Keeps a typed character only when it is a digit, a full stop or
    // backspace; sets keyAscii to 0 (and beeps) otherwise.
    void txtIPAddress_KeyPress(int& keyAscii);
    void Command2_Click();
    void Command1_Click(int status = kExitOk);

    // The banner across the top, drawn here.
    static QPixmap banner();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;
    void closeEvent(QCloseEvent* e) override;

private:
    HostprepContext& ctx_;
    bool installing_ = false;
};

}  // namespace hostprep
