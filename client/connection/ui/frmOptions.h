#pragma once
#include <QDialog>
#include <array>

class AppContext;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QTabBar;

// Connection options: host address and history, connect wait time. Loaded
// once on first use; OK and Cancel only hide it, so its texts and list stay
// for the next showing.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(AppContext& ctx, QWidget* parent = nullptr);
    ~frmOptions() override;

    QTabBar* tbsOptions = nullptr;
    // Frame array; element 0 holds the host address, element 1 the wait time.
    std::array<QGroupBox*, 2> fraIPAddress{};
    QComboBox* cboIPAddress = nullptr;
    QLabel* Label1 = nullptr;
    QSlider* sliWaitTime = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblWaitTime = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdApply = nullptr;

    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    // False when the entry was refused and the window stays open for a correction.
    bool cmdApply_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void sliWaitTime_Change();
    void tbsOptions_Click();
    static constexpr int kAddressTab = 0, kWaitTimeTab = 1;
    void showTab(int tab);

    // Shows the window modally through the presenter.
    void showModal();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void buildControls();
    void unload();
    AppContext& ctx_;
};
