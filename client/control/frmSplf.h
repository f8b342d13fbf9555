#pragma once
#include <QDialog>
#include <QMap>
#include <array>
#include <memory>
#include <vector>

#include "SplfScreenApi.h"
#include "WindowServices.h"

class AppContext;
class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTableView;
class TableSplfGrid;

// The spooled-file screen: the grid of a listed queue, the destination
// (process type) and the download options. Controls carry their names as
// members and objectName; an option array `optX` is a fixed array whose
// element i is named "optX_i". By name, value("optX") is the index of its
// first chosen button (-1 when none) and value("optX_i") that button's state
// (0/1); optAddReplace holds two groups, 0-1 (HTML options) and 2-3 (text
// options), which SplfScreenApi names apart.
class frmSplf : public QDialog, public SplfScreenApi {
    Q_OBJECT
public:
    explicit frmSplf(AppContext& ctx);
    ~frmSplf() override;

    // --- menus ---
    QMenuBar* menuBar = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* itmRefresh = nullptr;
    QAction* itmExit = nullptr;
    QAction* itmTranslation = nullptr;
    QAction* mnuOptions = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* itmContents = nullptr;
    QAction* itmAbout = nullptr;

    // --- grid, destination, translation ---
    QGroupBox* fraGrd = nullptr;
    QTableView* grdSplfTable = nullptr;  // objectName "grdSplf": a view of the list (TableSplfGrid)
    QLabel* lblDownloadTo = nullptr;
    QComboBox* cboProcessType = nullptr;
    QLabel* lblTranslation = nullptr;
    QComboBox* cboTranslation = nullptr;

    // --- page range and format options ---
    QGroupBox* fraRange = nullptr;
    QLabel* lblFrom = nullptr;
    QLineEdit* txtFrom = nullptr;
    QLabel* lblTo = nullptr;
    QLineEdit* txtTo = nullptr;
    QGroupBox* fraFormatting = nullptr;
    QCheckBox* chkBlankLines = nullptr;
    QCheckBox* chkOverprinting = nullptr;
    QCheckBox* chkORMinusSign = nullptr;

    // --- text options ---
    QGroupBox* fraText = nullptr;
    QCheckBox* chkPrtCtl = nullptr;
    std::array<QRadioButton*, 2> optPrtCtlFormat{};
    QLabel* lblPageLength = nullptr;
    QComboBox* cboPageLength = nullptr;
    std::array<QRadioButton*, 4> optAddReplace{};  // 0-1 in fraHTML, 2-3 in fraText

    // --- HTML, PDF and print options ---
    QGroupBox* fraHTML = nullptr;
    QLabel* lblFontSizeHTML = nullptr;
    QComboBox* cboFontSizeHTML = nullptr;
    QGroupBox* fraPDF = nullptr;
    std::array<QRadioButton*, 2> optPageOrientation{};
    QLabel* lblPaperSize = nullptr;
    QComboBox* cboPaperSize = nullptr;
    QLabel* lblFontSize = nullptr;
    QComboBox* cboFontSize = nullptr;
    QLabel* lblVertSize = nullptr;
    QComboBox* cboVertSize = nullptr;
    QGroupBox* fraPrinter = nullptr;
    QPushButton* cmdPrinter = nullptr;

    // --- e-mail options ---
    QGroupBox* fraEmail = nullptr;
    std::array<QRadioButton*, 2> optEmail{};
    std::array<QRadioButton*, 2> optTextOrPDF{};
    QCheckBox* chkAutoSend = nullptr;
    QCheckBox* chkAttachMultiples = nullptr;
    QPushButton* cmdAutoOptions = nullptr;
    QLabel* lblTabs = nullptr;
    QLineEdit* txtTabs = nullptr;
    QLineEdit* txtTabs2 = nullptr;

    // --- macro and parsing options ---
    QGroupBox* fraMacro = nullptr;
    QCheckBox* chkMacro = nullptr;
    QCheckBox* chkRunSilent = nullptr;
    QCheckBox* chkAutoformat = nullptr;
    QGroupBox* fraParse = nullptr;
    std::array<QRadioButton*, 3> optParse{};
    QLineEdit* txtLink = nullptr;  // never shown

    // --- buttons and status bar ---
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QStatusBar* sbSplf = nullptr;
    QLabel* sbSplfPanel1 = nullptr;
    QLabel* sbSplfPanel2 = nullptr;

    // --- handlers ---
    void Form_Load();
    void Form_Unload();
    void cboProcessType_Click() override;
    void cboPaperSize_Click() override;
    void chkPrtCtl_Click();
    void chkAutoSend_Click();
    void optEmail_Click(int index);
    void cmdAutoOptions_Click();
    void cmdPrinter_Click();
    void mnuOptions_Click();
    void itmRefresh_Click();
    void itmExit_Click();
    void itmContents_Click();
    void itmAbout_Click();
    void grdSplf_DblClick();
    void cmdOK_Click();
    void cmdCancel_Click();

    // The lists and texts that the load puts in when nothing is remembered.
    void fillDesignedLists();

    // --- SplfScreenApi ---
    QWidget* widget() override { return this; }
    void setStatus(const QString& text) override;
    QString status() const override;
    void setCaption(const QString& text) override;
    QString caption() const override;
    SplfGrid& grdSplf() override;
    void showModal() override;
    void Refresh() override;
    void giveFocus() override;
    QString text(ScreenText control) const override;
    void setText(ScreenText control, const QString& value) override;
    int check(ScreenCheck control) const override;
    void setCheck(ScreenCheck control, int value) override;
    int chosen(ScreenChoice group) const override;
    bool isChosen(ScreenChoice group, int button) const override;
    void setChosen(ScreenChoice group, int button, bool on) override;
    void setControlEnabled(ScreenControl control, bool enabled) override;
    bool controlEnabled(ScreenControl control) const override;
    QString cancelCaption() const override;
    void setCancelCaption(const QString& caption) override;
    void hideScreen() override;

    // The window's own controls by their names, for its tests; an option
    // array's element i is "optX_i". A name it has not throws std::logic_error.
    QString text(const QString& control) const;
    void setText(const QString& control, const QString& value);
    int value(const QString& control) const;
    void setValue(const QString& control, int value);
    bool enabled(const QString& control) const;
    bool visible(const QString& control) const;
    void linkBusy(bool busy) override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildLayout();
    void setDesignedValues();
    void connectHandlers();
    QWidget* control(const QString& name) const;
    bool downloadRunning() const;

    AppContext& ctx_;
    HostCommandLock hostCommands_;
    std::unique_ptr<TableSplfGrid> grid_;
    // Option arrays by name, and the exclusive groups their buttons form.
    QMap<QString, std::vector<QRadioButton*>> arrays_;
    std::vector<QButtonGroup*> groups_;
};

// Installs this layer as the context's upper windows (UpperWindows): frmSplf
// as its spooled-file screen (loaded on first use), the File menu's settings
// files, and the save-as and macro dialogs' fields for the stop sequence.
void installWindows(AppContext& ctx);
