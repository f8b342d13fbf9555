#pragma once
#include <QDialog>

class AppContext;
class QLabel;
class QListWidget;
class QPushButton;

// The output-queue chooser: the queues of a library in host order; Open puts
// the chosen queue and library into the main window.
class frmOutq : public QDialog {
    Q_OBJECT
public:
    explicit frmOutq(AppContext& ctx);
    ~frmOutq() override;

    QLabel* Label1 = nullptr;
    QListWidget* lstOutq = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdCancel = nullptr;

    void Form_Load();
    void cmdOpen_Click();
    void cmdCancel_Click();
    void lstOutq_DblClick();

    // Open or Cancel has ended the window's use; the caller unloads it once
    // its modal show has returned.
    bool unloadRequested() const { return unloadRequested_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void unload();
    AppContext& ctx_;
    bool unloadRequested_ = false;
};
