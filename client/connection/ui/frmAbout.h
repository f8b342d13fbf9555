#pragma once
#include <QDialog>
#include <array>

class AppContext;
class QFrame;
class QLabel;
class QPushButton;

// The about box: title, version, maker, what the program does, and a way to
// the platform's system-information program.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(AppContext& ctx, QWidget* parent = nullptr);
    ~frmAbout() override;

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblWhatItDoes = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblDisclaimer = nullptr;
    std::array<QFrame*, 2> Line1{};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void StartSysInfo();

protected:
    // Esc: the OK button is also the cancel button.
    void reject() override;
    void closeEvent(QCloseEvent* e) override;

private:
    AppContext& ctx_;
};
