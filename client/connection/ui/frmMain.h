#pragma once
#include <QMainWindow>

#include "HostLink.h"
#include "WindowServices.h"

class AppContext;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;

// The main window. Controls carry their original names as members and as
// objectName. Handlers are public so that other procedures (and tests) call
// them as described.
class frmMain : public QMainWindow, public LinkObserver {
    Q_OBJECT
public:
    explicit frmMain(AppContext& ctx);
    ~frmMain() override;

    // --- controls ---
    QLineEdit* txtOutq = nullptr;
    QPushButton* cmdListOutqs = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdOK = nullptr;
    QComboBox* cboLibrary = nullptr;
    QLineEdit* txtWrkSplf = nullptr;
    QStatusBar* sbMain = nullptr;
    QLabel* sbMainPanel1 = nullptr;  // first panel of sbMain
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* lblWrkSplf = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* picDisConnect = nullptr;
    QLabel* picConnect = nullptr;
    QLabel* Image1 = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* itmOpen = nullptr;
    QAction* itmSave = nullptr;
    QAction* itmSaveAs = nullptr;
    QAction* itmListOutqs = nullptr;
    QAction* itmSaveSettings = nullptr;
    QAction* itmExit = nullptr;
    QMenu* mnuConnect = nullptr;
    QAction* itmConnect = nullptr;
    QAction* itmDisconnect = nullptr;
    QAction* itmAutoConnect = nullptr;
    QAction* itmChangePassword = nullptr;
    QAction* itmChangeAddress = nullptr;
    QAction* itmWaitTime = nullptr;
    QAction* mnuOptions = nullptr;  // the menu title itself is the command
    QMenu* mnuHelp = nullptr;
    QAction* itmGeneralHelp = nullptr;
    QAction* itmAbout = nullptr;

    // First panel of the status bar, and the window's repaint.
    void setStatusPanel(const QString& text);
    QString statusPanel() const;
    void Refresh();
    bool isNotConnected() const;
    // The window's connected state (the end of a successful connect): status text,
    // connection sign and the Connect menu; Disconnect returns to not connected.
    void showConnected(const QString& status);

    // --- handlers ---
    void Form_Load();
    void cmdExit_Click();
    void cmdOK_Click();
    void cmdListOutqs_Click();
    void itmConnect_Click();
    void itmDisconnect_Click();
    void itmAutoConnect_Click();
    void itmChangePassword_Click();
    void itmChangeAddress_Click();
    void itmWaitTime_Click();
    void itmOpen_Click();
    void itmSave_Click();
    void itmSaveAs_Click();
    void itmSaveSettings_Click();
    void itmListOutqs_Click();
    void mnuOptions_Click();
    void itmGeneralHelp_Click();
    void itmAbout_Click();
    void itmExit_Click();
    void txtOutq_GotFocus();
    void txtWrkSplf_GotFocus();
    // The stop sequence: remembers the settings and ends the program (ProgramEnd).
    [[noreturn]] void Form_Unload();

    // --- LinkObserver ---
    void linkBusy(bool busy) override;
    void linkClosed() override;
    void linkLost() override;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void buildControls();
    void wireHandlers();
    void rememberSettings();
    void openOptions(int tab);
    // Runs f with the host commands as the window keeps them, not as the
    // busy link left them, and turns them off again after.
    template <class F>
    void unlocked(F f);
    AppContext& ctx_;
    HostCommandLock hostCommands_;
    bool closeWhenIdle_ = false;  // the close box was used during a download
    void closeAfterTheDownload();
};
