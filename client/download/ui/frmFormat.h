#pragma once
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class AppContext;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// A folder list (a DirListBox): the subfolders of one path, a
// double-click enters one.
class FolderList {
public:
    explicit FolderList(QWidget* parent);
    QListWidget* widget() const { return list_; }
    QString path() const { return path_; }
    // Shows the folder; false (and nothing changes) when it does not exist.
    bool setPath(const QString& path);
    std::function<void()> onChange;

private:
    QListWidget* list_;
    QString path_;
};

// "Naming Options": how PC file names are proposed and where files go.
class frmFormat : public QDialog {
    Q_OBJECT
public:
    explicit frmFormat(AppContext& ctx);
    ~frmFormat() override;

    QGroupBox* Frame2 = nullptr;
    QCheckBox* chkFullName = nullptr;
    QLabel* Label3 = nullptr;
    QRadioButton* optUseFileName = nullptr;
    QRadioButton* optUseJobName = nullptr;
    QRadioButton* optUseJobNumber = nullptr;
    QRadioButton* optUseUserName = nullptr;
    QRadioButton* optUseDateandTime = nullptr;
    QRadioButton* optUseUserData = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtSavePath = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* drvSavePath = nullptr;
    FolderList* dirSavePath = nullptr;
    QPushButton* cmdApply = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOK = nullptr;

    // An option button of the group: selecting one clears the others;
    // clearing one leaves none selected, as option buttons do.
    void setOption(QRadioButton* button, bool selected);

    void Form_Load();
    void chkFullName_Click();
    void drvSavePath_Change();
    void dirSavePath_Change();
    // Stores the choices and rebuilds the work folder; false when the chosen
    // folder was refused (the user is told, the earlier one stays).
    bool cmdApply_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Cancel unloads the window: the next use loads it afresh.
    bool unloadRequested() const { return unloadRequested_; }
    void showModal();

protected:
    // Esc and the window's close button are its Cancel.
    void reject() override { cmdCancel_Click(); }

private:
    void clearRememberedNames();
    QRadioButton* option(const char* name, const QString& caption);
    AppContext& ctx_;
    std::unique_ptr<FolderList> folderList_;
    QList<QRadioButton*> options_;
    bool unloadRequested_ = false;
};
