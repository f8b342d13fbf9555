#pragma once
#include <QDialog>
#include <array>

class AppContext;
class QGroupBox;

// Connection options: host address and history, connect wait time.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(AppContext& ctx, QWidget* parent = nullptr);
    ~frmOptions() override;

    // Frame array; element 0 holds the host address.
    std::array<QGroupBox*, 2> fraIPAddress{};

private:
    AppContext& ctx_;
};
